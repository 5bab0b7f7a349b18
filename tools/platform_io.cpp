#include "platform_io.h"

#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <io.h>
#include <process.h>
#include <windows.h>
#else
#include <sys/types.h>
#include <unistd.h>
#endif

bool stderrIsTerminal()
{
#ifdef _WIN32
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(fileno(stderr)) != 0;
#endif
}

bool seekFile(std::FILE* file, std::uint64_t offset)
{
    if (offset > static_cast<std::uint64_t>(INT64_MAX))
        return false;
#ifdef _WIN32
    return _fseeki64(file, static_cast<__int64>(offset), SEEK_SET) == 0;
#else
    return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}

bool fileSize(std::FILE* file, std::uint64_t& size)
{
#ifdef _WIN32
    if (_fseeki64(file, 0, SEEK_END) != 0)
        return false;
    const __int64 end = _ftelli64(file);
#else
    if (fseeko(file, 0, SEEK_END) != 0)
        return false;
    const off_t end = ftello(file);
#endif
    if (end < 0)
        return false;
    size = static_cast<std::uint64_t>(end);
    return seekFile(file, 0);
}

std::string replaceFile(const std::string& from, const std::string& to)
{
#ifdef _WIN32
    // rename() refuses to replace an existing file on Windows.
    if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING))
        return {};
    const DWORD code = GetLastError();
    char text[256];
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                  code, 0, text, sizeof text, nullptr);
    while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n' || text[length - 1] == '.'))
        --length;
    if (length == 0)
        return "system error " + std::to_string(code);
    return std::string(text, length);
#else
    if (std::rename(from.c_str(), to.c_str()) == 0)
        return {};
    return std::strerror(errno);
#endif
}

int currentProcessId()
{
#ifdef _WIN32
    return _getpid();
#else
    return static_cast<int>(getpid());
#endif
}
