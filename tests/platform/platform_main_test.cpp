#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

struct Probe {
    pid_t pid = -1;
    std::string firstLine;
};

// Starts the probe and waits for the line it prints once its window is up.
Probe start(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), PROBE_PATH);
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(&argument[0]);
    argv.push_back(nullptr);
    int out[2];
    EXPECT_EQ(pipe(out), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    Probe probe;
    if (posix_spawn(&probe.pid, PROBE_PATH, &actions, nullptr, argv.data(), environ) != 0) {
        ADD_FAILURE() << "cannot start " << PROBE_PATH;
        probe.pid = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    char c;
    while (read(out[0], &c, 1) == 1 && c != '\n') probe.firstLine += c;
    close(out[0]);
    return probe;
}

int exitCodeAfter(const Probe& probe, int signal) {
    if (probe.pid <= 0) return -1;  // never signal anything but the probe
    kill(probe.pid, signal);
    int status = 0;
    waitpid(probe.pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(PlatformMain, PassesTheArgumentsJoinedBySingleSpaces) {
    Probe probe = start({"-5", "two words", "x"});
    EXPECT_EQ(probe.firstLine, "[-5 two words x] 10 1");  // SW_SHOWDEFAULT, no previous instance
    EXPECT_EQ(exitCodeAfter(probe, SIGTERM), 7);
}

TEST(PlatformMain, NoArgumentsGiveAnEmptyCommandLine) {
    Probe probe = start({});
    EXPECT_EQ(probe.firstLine, "[] 10 1");
    EXPECT_EQ(exitCodeAfter(probe, SIGINT), 7);  // closed like the close box
}

}  // namespace
