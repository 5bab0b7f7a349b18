#include "desktop_folder.h"

#include "settings.h"

#include <cstdlib>
#include <fstream>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zplat {
namespace {

std::string homeFolder() {
    const char* home = std::getenv("HOME");
    if (home && *home) return home;
    if (passwd* entry = getpwuid(getuid())) return entry->pw_dir ? entry->pw_dir : "";
    return {};
}

// The value of XDG_DESKTOP_DIR in user-dirs.dirs: "$HOME/Name" or "/absolute".
std::optional<std::string> xdgDesktopFolder(const std::string& home) {
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    std::string folder = configHome && *configHome ? configHome : home + "/.config";
    std::ifstream file(folder + "/user-dirs.dirs");
    std::string line;
    const std::string key = "XDG_DESKTOP_DIR=";
    while (std::getline(file, line)) {
        size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line.compare(start, key.size(), key) != 0) continue;
        std::string value = line.substr(start + key.size());
        if (value.size() < 2 || value.front() != '"') continue;
        std::string text;
        for (size_t i = 1; i < value.size() && value[i] != '"'; ++i) {
            if (value[i] == '\\' && i + 1 < value.size()) ++i;
            text += value[i];
        }
        if (text.rfind("$HOME", 0) == 0) return home + text.substr(5);
        if (!text.empty() && text[0] == '/') return text;
    }
    return std::nullopt;
}

bool isFolder(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

std::optional<std::string> desktopHostFolder() {
    DesktopSetting setting = desktopSetting();
    std::optional<std::string> folder = setting.hostFolder;
    if (setting.fromSystem) {
        std::string home = homeFolder();
        folder = xdgDesktopFolder(home);
        if (!folder && !home.empty()) folder = home + "/Desktop";
    }
    if (!folder || !isFolder(*folder)) return std::nullopt;
    // Resolved like the executable's own path (/proc/self/exe), so that the
    // two compare equal when the program runs from the desktop.
    if (char* resolved = realpath(folder->c_str(), nullptr)) {
        folder = std::string(resolved);
        std::free(resolved);
    }
    return folder;
}

}  // namespace zplat
