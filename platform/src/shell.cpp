// Shell services: the file copy and opening documents with xdg-open.
#include "paths.h"
#include "process_launch.h"
#include "records.h"
#include "settings.h"

#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;

namespace zplat {
namespace {

constexpr int DE_SAMEFILE = 0x71;
constexpr int SHELL_EXECUTE_OK = 42;  // any value above 32 means success

std::vector<std::string> nameList(LPCSTR names) {
    std::vector<std::string> list;
    if (!names) return list;
    while (*names) {
        list.emplace_back(names);
        names += list.back().size() + 1;
    }
    return list;
}

std::string baseName(const std::string& hostPath) {
    size_t slash = hostPath.find_last_of('/');
    return slash == std::string::npos ? hostPath : hostPath.substr(slash + 1);
}

// Copies through a temporary file beside the target and renames it over the
// target, so that an existing file (even a running program) is replaced whole.
int copyOne(const std::string& from, const std::string& to, std::string* reason) {
    std::error_code error;
    std::string source = hostPathFor(from);
    std::string target = hostPathFor(to);
    if (!fs::is_regular_file(source, error)) {
        *reason = "The source file cannot be found.";
        return ERROR_FILE_NOT_FOUND;
    }
    if (fs::is_directory(target, error)) target += "/" + baseName(source);
    std::string folder = fs::path(target).parent_path().string();
    if (!folder.empty() && !fs::is_directory(folder, error)) {
        *reason = "The destination folder does not exist.";
        return ERROR_PATH_NOT_FOUND;
    }
    if (fs::exists(target, error) && fs::equivalent(source, target, error)) {
        *reason = "The source and destination file names are the same.";
        return DE_SAMEFILE;
    }
    std::string temporary = target + ".copying-" + std::to_string(getpid());
    fs::copy_file(source, temporary, fs::copy_options::overwrite_existing, error);
    if (!error) fs::rename(temporary, target, error);
    if (error) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        *reason = error.message();
        return ERROR_ACCESS_DENIED;
    }
    return 0;
}

bool looksLikeAddress(const std::string& file) {
    return file.find("://") != std::string::npos || file.rfind("mailto:", 0) == 0;
}

}  // namespace
}  // namespace zplat

using namespace zplat;

int WINAPI SHFileOperationA(LPSHFILEOPSTRUCTA operation) {
    if (!operation) return ERROR_INVALID_PARAMETER;
    operation->fAnyOperationsAborted = FALSE;
    std::vector<std::string> from = nameList(operation->pFrom);
    std::vector<std::string> to = nameList(operation->pTo);
    int result = 0;
    std::string failedName;
    std::string reason;
    if (operation->wFunc != FO_COPY) {
        result = ERROR_INVALID_FUNCTION;
        reason = "Only copying is supported.";
    } else if (from.empty() || to.empty()) {
        result = ERROR_INVALID_PARAMETER;
        reason = "No file name was given.";
    } else {
        bool oneTargetEach = (operation->fFlags & FOF_MULTIDESTFILES) && to.size() == from.size();
        for (size_t i = 0; i < from.size() && result == 0; ++i) {
            result = copyOne(from[i], oneTargetEach ? to[i] : to[0], &reason);
            if (result != 0) failedName = from[i];
        }
    }
    record(&Records::fileOperations,
           platformtest::FileOperation{operation->hwnd, operation->wFunc, from, to,
                                       operation->fFlags, result});
    if (result != 0 && !(operation->fFlags & FOF_NOERRORUI)) {
        std::string text = "Cannot copy " + (failedName.empty() ? std::string("file") : failedName) +
                           ": " + reason;
        MessageBoxA(operation->hwnd, text.c_str(), "Error Copying File or Folder", MB_OK | MB_ICONERROR);
    }
    return result;
}

HINSTANCE WINAPI ShellExecuteA(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters,
                               LPCSTR directory, INT show) {
    std::string verbText = verb ? verb : "";
    std::string fileText = file ? file : "";
    record(&Records::shellExecutions,
           platformtest::ShellExecution{owner, verbText, fileText, parameters ? parameters : "",
                                        directory ? directory : "", show});
    auto result = [](int value) { return reinterpret_cast<HINSTANCE>(static_cast<intptr_t>(value)); };
    if (!file) return result(SE_ERR_FNF);
    if (!verbText.empty() && upperAscii(verbText) != "OPEN") return result(SE_ERR_NOASSOC);
    if (!shellLaunches()) return result(SHELL_EXECUTE_OK);
    if (!programOnPath("xdg-open")) return result(SE_ERR_NOASSOC);
    std::string target = looksLikeAddress(fileText) ? fileText : hostPathFor(fileText);
    return result(launchDetached({"xdg-open", target}) ? SHELL_EXECUTE_OK : SE_ERR_NOASSOC);
}
