#include "command_run.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

std::string shellQuoted(const std::string& s)
{
    std::string quoted = "'";
    for (char ch : s)
        quoted += ch == '\'' ? std::string("'\\''") : std::string(1, ch);
    return quoted + "'";
}

std::string fileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

ToolRun runTool(const std::string& tool, const std::string& args, const std::filesystem::path& scratch)
{
    const std::filesystem::path out = scratch / "stdout.txt", err = scratch / "stderr.txt";
    const std::string command = shellQuoted(tool) + " " + args + " >" + shellQuoted(out.string()) + " 2>" +
                                shellQuoted(err.string()) + " </dev/null";
    const int status = std::system(command.c_str());
    ToolRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = fileBytes(out);
    run.err = fileBytes(err);
    return run;
}
