// Brushes and drawing contexts.
#pragma once

#include <windows.h>

#include <vector>

namespace zplat {

std::vector<COLORREF> liveBrushColors();

}  // namespace zplat
