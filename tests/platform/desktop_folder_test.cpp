#include "platform_test_support.h"

#include <cstdlib>
#include <map>

namespace {

class DesktopFolderLookup : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        saveVariable("HOME");
        saveVariable("XDG_CONFIG_HOME");
        setenv("HOME", path("home/user").c_str(), 1);
        unsetenv("XDG_CONFIG_HOME");
        std::filesystem::create_directories(path("home/user"));
        platformtest::setDriveRoot(scratch);
        platformtest::useSystemDesktopFolder();
    }
    void TearDown() override {
        for (auto& saved : variables) {
            if (saved.second.first) setenv(saved.first.c_str(), saved.second.second.c_str(), 1);
            else unsetenv(saved.first.c_str());
        }
        PlatformTest::TearDown();
    }
    void saveVariable(const std::string& name) {
        const char* value = std::getenv(name.c_str());
        variables[name] = {value != nullptr, value ? value : ""};
    }

    // The desktop path as the program reads it: SHGetSpecialFolderLocation,
    // SHGetPathFromIDListA, CoTaskMemFree; empty when the lookup fails.
    static std::string desktopPath() {
        LPITEMIDLIST list = nullptr;
        if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOPDIRECTORY, &list))) return "";
        char buffer[MAX_PATH] = "";
        EXPECT_TRUE(SHGetPathFromIDListA(list, buffer));
        CoTaskMemFree(list);
        return buffer;
    }

    std::map<std::string, std::pair<bool, std::string>> variables;
};

TEST_F(DesktopFolderLookup, FallsBackToDesktopInTheHomeFolder) {
    std::filesystem::create_directories(path("home/user/Desktop"));
    EXPECT_EQ(desktopPath(), "C:\\home\\user\\Desktop");
}

TEST_F(DesktopFolderLookup, TakesTheXdgSettingFromTheConfigFolder) {
    std::filesystem::create_directories(path("home/user/Schreibtisch"));
    std::filesystem::create_directories(path("home/user/Desktop"));
    writeFile(path("home/user/.config/user-dirs.dirs"),
              "# written by xdg-user-dirs-update\nXDG_DOWNLOAD_DIR=\"$HOME/Downloads\"\n"
              "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n");
    EXPECT_EQ(desktopPath(), "C:\\home\\user\\Schreibtisch");
}

TEST_F(DesktopFolderLookup, HonoursXdgConfigHomeAndAbsolutePaths) {
    std::filesystem::create_directories(path("elsewhere/My Desk"));
    writeFile(path("config/user-dirs.dirs"), "XDG_DESKTOP_DIR=\"" + path("elsewhere/My Desk") + "\"\n");
    setenv("XDG_CONFIG_HOME", path("config").c_str(), 1);
    EXPECT_EQ(desktopPath(), "C:\\elsewhere\\My Desk");
}

TEST_F(DesktopFolderLookup, FailsWhenTheFolderDoesNotExist) {
    writeFile(path("home/user/.config/user-dirs.dirs"), "XDG_DESKTOP_DIR=\"$HOME/Gone\"\n");
    LPITEMIDLIST list = reinterpret_cast<LPITEMIDLIST>(1);
    EXPECT_TRUE(FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOPDIRECTORY, &list)));
    EXPECT_EQ(list, nullptr);
}

TEST_F(DesktopFolderLookup, TestsCanSetTheFolderOrTakeItAway) {
    std::filesystem::create_directories(path("desk"));
    platformtest::setDesktopFolder(path("desk"));
    EXPECT_EQ(desktopPath(), "C:\\desk");
    platformtest::setDesktopFolder(std::nullopt);
    EXPECT_EQ(desktopPath(), "");
}

TEST_F(DesktopFolderLookup, ThePathMustFitMaxPath) {
    std::string deep = path(std::string(250, 'd') + "/" + std::string(20, 'e'));
    std::filesystem::create_directories(deep);
    platformtest::setDesktopFolder(deep);
    LPITEMIDLIST list = nullptr;
    ASSERT_TRUE(SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOPDIRECTORY, &list)));
    char buffer[MAX_PATH] = "unchanged";
    EXPECT_FALSE(SHGetPathFromIDListA(list, buffer));
    EXPECT_STREQ(buffer, "");
    CoTaskMemFree(list);
}

TEST_F(PlatformTest, ComponentLibraryCountsPerThread) {
    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
    CoUninitialize();
    CoUninitialize();
    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    CoUninitialize();

    IShellFolder* folder = nullptr;
    ASSERT_EQ(SHGetDesktopFolder(&folder), S_OK);
    ASSERT_NE(folder, nullptr);
    EXPECT_EQ(folder->Release(), 0u);
}

}  // namespace
