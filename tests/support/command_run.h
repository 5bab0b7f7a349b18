// Running a built tool as a user would, for the tests of the command lines.
#pragma once

#include <filesystem>
#include <string>

struct ToolRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// `s` in single quotes for the shell.
std::string shellQuoted(const std::string& s);
// The whole content of a file; empty when it cannot be read.
std::string fileBytes(const std::filesystem::path& path);
// Runs `tool args` through the shell with no input; its output and error
// streams pass through files in `scratch`.
ToolRun runTool(const std::string& tool, const std::string& args, const std::filesystem::path& scratch);
