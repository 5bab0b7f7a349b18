#include "paths.h"

#include <cstdlib>
#include <dirent.h>
#include <mutex>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace zplat {
namespace {

std::string withoutTrailingSlashes(std::string folder) {
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder.empty() ? "/" : folder;
}

struct DriveRoot {
    std::mutex mutex;
    std::string folder;
    DriveRoot() {
        const char* fromEnvironment = std::getenv("ZIMBALO_DRIVE_ROOT");
        folder = withoutTrailingSlashes(fromEnvironment && *fromEnvironment ? fromEnvironment : "/");
    }
};

DriveRoot& driveRoot() {
    static DriveRoot* instance = new DriveRoot;
    return *instance;
}

std::string currentDriveRoot() {
    std::lock_guard<std::mutex> lock(driveRoot().mutex);
    return driveRoot().folder;
}

std::string joined(const std::string& folder, const std::string& name) {
    return folder == "/" ? "/" + name : folder + "/" + name;
}

bool exists(const std::string& hostPath) {
    struct stat info;
    return lstat(hostPath.c_str(), &info) == 0;
}

// The entry of folder whose name matches without regard to case; the exact
// spelling wins, otherwise the first match in name order.
std::optional<std::string> findEntry(const std::string& folder, const std::string& name) {
    if (exists(joined(folder, name))) return name;
    DIR* directory = opendir(folder.c_str());
    if (!directory) return std::nullopt;
    std::optional<std::string> best;
    while (dirent* entry = readdir(directory)) {
        std::string candidate = entry->d_name;
        if (candidate == "." || candidate == "..") continue;
        if (equalsIgnoringCase(candidate, name) && (!best || candidate < *best)) best = candidate;
    }
    closedir(directory);
    return best;
}

std::vector<std::string> components(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : text) {
        if (c == separator) {
            if (!part.empty()) parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty()) parts.push_back(part);
    return parts;
}

std::string hostCurrentFolder() {
    std::vector<char> buffer(4096);
    if (getcwd(buffer.data(), buffer.size())) return buffer.data();
    return "/";
}

}  // namespace

bool equalsIgnoringCase(const std::string& a, const std::string& b) {
    return upperAscii(a) == upperAscii(b);
}

std::string upperAscii(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

void setDriveRootFolder(const std::string& hostFolder) {
    std::lock_guard<std::mutex> lock(driveRoot().mutex);
    driveRoot().folder = withoutTrailingSlashes(hostFolder);
}

void resetDriveRootForTests() { setDriveRootFolder("/"); }

std::string hostPathFor(const std::string& windowsPath) {
    std::string path = windowsPath;
    for (char& c : path)
        if (c == '/') c = '\\';

    std::string base;
    std::string rest;
    bool hasDrive = path.size() >= 2 && path[1] == ':' &&
                    ((path[0] >= 'a' && path[0] <= 'z') || (path[0] >= 'A' && path[0] <= 'Z'));
    if (hasDrive) {
        base = (path[0] == 'z' || path[0] == 'Z') ? "/" : currentDriveRoot();
        rest = path.substr(2);  // a drive-relative name starts at the drive's root
    } else if (!path.empty() && path[0] == '\\') {
        base = currentDriveRoot();
        rest = path;
    } else {
        base = hostCurrentFolder();
        rest = path;
    }

    std::vector<std::string> resolved;
    bool stillExisting = true;
    auto folderOf = [&](size_t count) {
        std::string folder = base;
        for (size_t i = 0; i < count; ++i) folder = joined(folder, resolved[i]);
        return folder;
    };
    for (const std::string& part : components(rest, '\\')) {
        if (part == ".") continue;
        if (part == "..") {
            if (!resolved.empty()) resolved.pop_back();
            stillExisting = exists(folderOf(resolved.size()));
            continue;
        }
        if (stillExisting) {
            if (std::optional<std::string> found = findEntry(folderOf(resolved.size()), part)) {
                resolved.push_back(*found);
                continue;
            }
            stillExisting = false;
        }
        resolved.push_back(part);
    }
    return folderOf(resolved.size());
}

std::string windowsPathFor(const std::string& hostPath) {
    std::string absolute = hostPath.empty() || hostPath[0] != '/' ? joined(hostCurrentFolder(), hostPath)
                                                                  : hostPath;
    std::vector<std::string> parts;
    for (const std::string& part : components(absolute, '/')) {
        if (part == ".") continue;
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
            continue;
        }
        parts.push_back(part);
    }

    std::vector<std::string> rootParts = components(currentDriveRoot(), '/');
    bool underRoot = parts.size() >= rootParts.size();
    for (size_t i = 0; underRoot && i < rootParts.size(); ++i) underRoot = parts[i] == rootParts[i];

    std::string result = underRoot ? "C:" : "Z:";
    size_t first = underRoot ? rootParts.size() : 0;
    for (size_t i = first; i < parts.size(); ++i) result += "\\" + parts[i];
    if (result.size() == 2) result += "\\";
    return result;
}

}  // namespace zplat
