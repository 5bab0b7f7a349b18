// Where the user's desktop folder is on this host.
#pragma once

#include <optional>
#include <string>

namespace zplat {

// The desktop folder as a host path, or nothing when it does not exist.
std::optional<std::string> desktopHostFolder();

}  // namespace zplat
