#include "platform_test_support.h"

#include <cstring>

namespace {

class Paths : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        std::filesystem::create_directories(path("home/user/Desktop"));
        platformtest::setDriveRoot(scratch);
    }
};

struct PathCase {
    const char* windows;
    const char* host;  // relative to the drive root
};

class PathResolution : public Paths, public ::testing::WithParamInterface<PathCase> {};

TEST_P(PathResolution, MapsOntoTheDriveRoot) {
    EXPECT_EQ(platformtest::toHostPath(GetParam().windows), path(GetParam().host));
}

INSTANTIATE_TEST_SUITE_P(
    Table, PathResolution,
    ::testing::Values(PathCase{"C:\\home\\user\\Desktop", "home/user/Desktop"},
                      PathCase{"C:\\HOME\\USER\\DESKTOP\\ZIMBALO.EXE", "home/user/Desktop/ZIMBALO.EXE"},
                      PathCase{"c:\\Home\\User\\desktop\\New Folder\\A.txt",
                               "home/user/Desktop/New Folder/A.txt"},
                      PathCase{"\\Zimbalo Record.wav", "Zimbalo Record.wav"},
                      PathCase{"C:\\home\\.\\user\\..\\USER\\Desktop\\", "home/user/Desktop"},
                      PathCase{"C:/home/user", "home/user"}));

TEST_F(Paths, ALaterOpenFindsAFileWhateverTheCase) {
    writeFile(platformtest::toHostPath("C:\\HOME\\USER\\DESKTOP\\ZIMBALO.EXE"), "x");
    EXPECT_TRUE(std::filesystem::exists(path("home/user/Desktop/ZIMBALO.EXE")));
    EXPECT_EQ(platformtest::toHostPath("C:\\home\\user\\desktop\\zimbalo.exe"),
              path("home/user/Desktop/ZIMBALO.EXE"));
}

TEST_F(Paths, DriveRootItselfAndBack) {
    EXPECT_EQ(platformtest::toHostPath("C:\\"), scratch);
    EXPECT_EQ(platformtest::toWindowsPath(scratch), "C:\\");
    EXPECT_EQ(platformtest::toWindowsPath(path("home/user/Desktop")), "C:\\home\\user\\Desktop");
}

TEST_F(Paths, HostPathsOutsideTheRootAreOnDriveZ) {
    EXPECT_EQ(platformtest::toWindowsPath("/usr/bin"), "Z:\\usr\\bin");
    EXPECT_EQ(platformtest::toHostPath("Z:\\usr\\bin"), "/usr/bin");
}

TEST_F(Paths, DefaultRootIsTheHostRoot) {
    platformtest::reset();
    EXPECT_EQ(platformtest::toHostPath("C:\\tmp"), "/tmp");
    EXPECT_EQ(platformtest::toWindowsPath("/tmp"), "C:\\tmp");
}

TEST_F(Paths, ModuleFileNameIsInWindowsFormAndTruncatesLikeWindows) {
    writeFile(path("home/user/Desktop/Zimbalo.exe"), "program");
    platformtest::setModuleFileName(path("home/user/Desktop/Zimbalo.exe"));
    char name[400];
    DWORD length = GetModuleFileNameA(nullptr, name, sizeof name);
    EXPECT_STREQ(name, "C:\\home\\user\\Desktop\\Zimbalo.exe");
    EXPECT_EQ(length, std::strlen(name));

    char small[8];
    EXPECT_EQ(GetModuleFileNameA(nullptr, small, sizeof small), 8u);
    EXPECT_STREQ(small, "C:\\home");
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
}

TEST_F(Paths, ModuleFileNameIsTheRunningExecutableByDefault) {
    platformtest::reset();
    char name[4096];
    ASSERT_GT(GetModuleFileNameA(nullptr, name, sizeof name), 0u);
    EXPECT_EQ(platformtest::toHostPath(name), std::filesystem::canonical("/proc/self/exe").string());
}

}  // namespace
