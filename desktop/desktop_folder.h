#pragma once

constexpr int DESKTOP_PATH_BYTES = 260;

// The user's desktop folder. A lookup that fails leaves the text of the
// previous successful one, or the empty text if there was none.
const char* desktopPath();

// Empties the buffer, as at program start.
void forgetDesktopPath();
