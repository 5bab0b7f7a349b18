// Starting the desktop's helper programs (xdg-open, xdg-email).
#pragma once

#include <string>
#include <vector>

namespace zplat {

bool programOnPath(const std::string& name);
// Runs the program and, like a modal window, keeps dispatching this thread's
// posted messages until it ends. Its exit status, or -1 when it could not run.
int runDispatchingMessages(const std::vector<std::string>& arguments);
// Starts the program without waiting; false when it could not be started.
bool launchDetached(const std::vector<std::string>& arguments);

}  // namespace zplat
