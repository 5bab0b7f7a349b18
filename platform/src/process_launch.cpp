#include "process_launch.h"

#include "window_system.h"

#include <chrono>

#include <cerrno>
#include <cstdlib>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace zplat {
namespace {

pid_t spawn(const std::vector<std::string>& arguments) {
    if (arguments.empty()) return -1;
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
    return pid;
}

int waitFor(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

bool programOnPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    if (!path) return false;
    std::string folders = path;
    size_t start = 0;
    while (start <= folders.size()) {
        size_t end = folders.find(':', start);
        if (end == std::string::npos) end = folders.size();
        std::string folder = folders.substr(start, end - start);
        if (folder.empty()) folder = ".";
        std::string candidate = folder + "/" + name;
        struct stat info;
        if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
            access(candidate.c_str(), X_OK) == 0)
            return true;
        start = end + 1;
    }
    return false;
}

int runDispatchingMessages(const std::vector<std::string>& arguments) {
    pid_t pid = spawn(arguments);
    if (pid < 0) return -1;
    RetrieveOptions options;
    options.wait = false;
    options.consumeQuit = false;  // a quit ends the program's own loop, not this one
    for (;;) {
        int status = 0;
        pid_t ended = waitpid(pid, &status, WNOHANG);
        if (ended == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        if (ended < 0 && errno != EINTR) return -1;
        std::vector<HWND> painted;
        options.paintedAlready = &painted;
        MSG message;
        while (retrieveMessage(&message, options) == Retrieved::Message) {
            if (message.message == WM_PAINT) painted.push_back(message.hwnd);
            DispatchMessageA(&message);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

bool launchDetached(const std::vector<std::string>& arguments) {
    pid_t pid = spawn(arguments);
    if (pid < 0) return false;
    std::thread([pid] { waitFor(pid); }).detach();  // reap it when it ends
    return true;
}

}  // namespace zplat
