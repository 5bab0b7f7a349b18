// The desktop folder, the desktop-copy detection and the self-copy.
#include "app_test_support.h"

#include <cstring>

#include "app/main_window.h"
#include "app/private_messages.h"
#include "desktop/desktop_folder.h"
#include "desktop/self_install.h"

namespace {

std::string windowsForm(const std::string& hostPath)
{
    return platformtest::toWindowsPath(hostPath);
}

std::string upper(std::string text)
{
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

}  // namespace

TEST_F(AppTest, DesktopPathIsTheDesktopFolder)
{
    EXPECT_EQ(std::string(desktopPath()), windowsForm(desktop));
}

TEST_F(AppTest, AFailedLookupKeepsTheEarlierPath)
{
    const std::string found = desktopPath();
    ASSERT_FALSE(found.empty());
    platformtest::setDesktopFolder(std::nullopt);
    EXPECT_EQ(std::string(desktopPath()), found);
}

TEST_F(AppTest, AFailedFirstLookupGivesTheEmptyText)
{
    platformtest::setDesktopFolder(std::nullopt);
    EXPECT_STREQ(desktopPath(), "");
}

TEST_F(AppTest, DetectionUpperCasesBothPaths)
{
    const std::string program = root + "/Programs/zimbalo-1.exe";
    std::filesystem::create_directories(root + "/Programs");
    writeFile(program, "program");
    platformtest::setModuleFileName(program);
    detectDesktopCopy(instance);
    EXPECT_EQ(std::string(modulePath), upper(windowsForm(program)));
    EXPECT_EQ(std::string(desktopTarget), upper(windowsForm(desktop) + "\\Zimbalo.exe"));
    EXPECT_FALSE(runningFromDesktopCopy);
}

struct CopyNameCase {
    const char* fileName;
    bool desktopCopy;
};

class DesktopCopyNameTest : public AppTest, public ::testing::WithParamInterface<CopyNameCase> {};

TEST_P(DesktopCopyNameTest, OnlyZimbaloExeOnTheDesktopIsTheCopy)
{
    const std::string program = desktop + "/" + GetParam().fileName;
    writeFile(program, "program");
    platformtest::setModuleFileName(program);
    detectDesktopCopy(instance);
    EXPECT_EQ(runningFromDesktopCopy, GetParam().desktopCopy);
}

INSTANTIATE_TEST_SUITE_P(Names, DesktopCopyNameTest,
                         ::testing::Values(CopyNameCase{"Zimbalo.exe", true},
                                           CopyNameCase{"ZIMBALO.EXE", true},
                                           CopyNameCase{"zImBaLo.ExE", true},
                                           CopyNameCase{"Zimbalo2.exe", false},
                                           CopyNameCase{"Zimbalo.exe.bak", false}));

TEST_F(AppTest, WithoutADesktopTheTargetIsTheDriveRoot)
{
    platformtest::setDesktopFolder(std::nullopt);
    detectDesktopCopy(instance);
    EXPECT_STREQ(desktopTarget, "\\ZIMBALO.EXE");
    EXPECT_FALSE(runningFromDesktopCopy);
}

TEST_F(AppTest, InstallButtonCopiesTheProgramToTheDesktop)
{
    const std::string program = root + "/Programs/zimbalo-setup.exe";
    std::filesystem::create_directories(root + "/Programs");
    writeFile(program, "the program's bytes");
    platformtest::setModuleFileName(program);
    offerTwoDevicesOfEachKind();
    HWND window = createWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_NE(MainWindow::installButton, nullptr);
    platformtest::clickButton(MainWindow::installButton);
    // Deferred: nothing is copied until the posted message is handled.
    EXPECT_TRUE(platformtest::fileOperations().empty());
    platformtest::dispatchPending();

    const std::vector<platformtest::FileOperation> operations = platformtest::fileOperations();
    ASSERT_EQ(operations.size(), 1u);
    EXPECT_EQ(operations[0].owner, window);
    EXPECT_EQ(operations[0].func, static_cast<UINT>(FO_COPY));
    EXPECT_EQ(operations[0].flags, FOF_SILENT | FOF_NOCONFIRMATION);
    EXPECT_EQ(operations[0].from, std::vector<std::string>{upper(windowsForm(program))});
    EXPECT_EQ(operations[0].to,
              std::vector<std::string>{upper(windowsForm(desktop) + "\\Zimbalo.exe")});
    EXPECT_EQ(operations[0].result, 0);
    EXPECT_TRUE(platformtest::messageBoxes().empty());
    EXPECT_EQ(readFile(platformtest::toHostPath(desktopTarget)), "the program's bytes");
    // The install row stays.
    EXPECT_TRUE(platformtest::control(MainWindow::installButton).visible);
    EXPECT_FALSE(runningFromDesktopCopy);
}

TEST_F(AppTest, ASecondCopyReplacesTheFirst)
{
    const std::string program = root + "/zimbalo.exe";
    writeFile(program, "first version");
    platformtest::setModuleFileName(program);
    offerTwoDevicesOfEachKind();
    HWND window = createWindow();
    ASSERT_NE(window, nullptr);
    platformtest::clickButton(MainWindow::installButton);
    platformtest::dispatchPending();
    const std::string copy = platformtest::toHostPath(desktopTarget);
    ASSERT_EQ(readFile(copy), "first version");

    writeFile(program, "second, longer version");
    platformtest::clickButton(MainWindow::installButton);
    platformtest::dispatchPending();
    EXPECT_EQ(readFile(copy), "second, longer version");
    EXPECT_EQ(platformtest::fileOperations().size(), 2u);
    EXPECT_TRUE(platformtest::messageBoxes().empty());
}

TEST_F(AppTest, AProgramStartedUnderAnotherNameOnTheDesktopCopiesItselfBeside)
{
    const std::string program = desktop + "/Zimbalo (2).exe";
    writeFile(program, "program");
    platformtest::setModuleFileName(program);
    HWND window = createWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_FALSE(runningFromDesktopCopy);
    platformtest::clickButton(MainWindow::installButton);
    platformtest::dispatchPending();
    EXPECT_EQ(readFile(platformtest::toHostPath(desktopTarget)), "program");
}

TEST_F(AppTest, ACopyStartedFromTheDesktopFindsItselfThere)
{
    const std::string program = root + "/zimbalo.exe";
    writeFile(program, "program");
    platformtest::setModuleFileName(program);
    HWND window = createWindow();
    ASSERT_NE(window, nullptr);
    platformtest::clickButton(MainWindow::installButton);
    platformtest::dispatchPending();
    const std::string copy = platformtest::toHostPath(desktopTarget);
    ASSERT_TRUE(fileExists(copy));

    // The next run, from the copy.
    platformtest::reset();
    resetProgramState();
    platformtest::setDriveRoot(root);
    platformtest::setDesktopFolder(desktop);
    platformtest::setModuleFileName(copy);
    ASSERT_NE(createWindow(), nullptr);
    EXPECT_TRUE(runningFromDesktopCopy);
    EXPECT_EQ(MainWindow::installButton, nullptr);
}

TEST_F(AppTest, FromTheDesktopCopyNoCommandPostsTheCopy)
{
    const std::string copy = desktop + "/ZIMBALO.EXE";
    writeFile(copy, "program");
    platformtest::setModuleFileName(copy);
    HWND window = createWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(MainWindow::installButton, nullptr);
    // Every button the window has, and a command that names no control.
    for (const platformtest::Control& control : platformtest::childControls(window)) {
        ShowWindow(control.handle, SW_SHOW);
        if (control.className == "BUTTON") {
            platformtest::clickButton(control.handle);
        }
    }
    SendMessageA(window, WM_COMMAND, 0, 0);
    const std::vector<MSG> posted = takePostedMessages(window);
    EXPECT_FALSE(posted.empty());
    for (const MSG& message : posted) {
        EXPECT_NE(message.message, UM_COPY_TO_DESKTOP);
    }
    EXPECT_TRUE(platformtest::fileOperations().empty());
}

// Paths that do not leave room for both terminators are not cut short.
TEST_F(AppTest, AModulePathTooLongForItsBufferIsNeitherDetectedNorCopied)
{
    std::string folder = desktop;
    // Long enough that the Windows form passes 398 characters.
    while (windowsForm(folder).size() < COPY_PATH_BYTES) {
        folder += "/a-rather-long-folder-name";
    }
    std::filesystem::create_directories(folder);
    platformtest::setDesktopFolder(desktop);
    const std::string program = folder + "/Zimbalo.exe";
    writeFile(program, "program");
    platformtest::setModuleFileName(program);
    HWND window = createWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(runningFromDesktopCopy);
    EXPECT_STREQ(modulePath, "");
    platformtest::clickButton(MainWindow::installButton);
    platformtest::dispatchPending();
    EXPECT_TRUE(platformtest::fileOperations().empty());
    EXPECT_FALSE(fileExists(desktop + "/ZIMBALO.EXE"));
}

struct FitCase {
    size_t sourceLength;
    bool copied;
};

class CopyFitTest : public AppTest, public ::testing::WithParamInterface<FitCase> {};

TEST_P(CopyFitTest, CopiesOnlyPathsWithRoomForBothTerminators)
{
    char source[COPY_PATH_BYTES];
    char target[COPY_PATH_BYTES];
    std::memset(source, 'a', sizeof source);
    source[0] = 'C';
    source[1] = ':';
    source[2] = '\\';
    source[GetParam().sourceLength] = '\0';
    std::strcpy(target, "C:\\target.exe");
    const int result = copyToDesktop(nullptr, source, target);
    EXPECT_EQ(platformtest::fileOperations().size(), GetParam().copied ? 1u : 0u);
    if (!GetParam().copied) {
        EXPECT_EQ(result, COPY_REFUSED);
    }
}

INSTANTIATE_TEST_SUITE_P(Lengths, CopyFitTest,
                         ::testing::Values(FitCase{10, true}, FitCase{398, true},
                                           FitCase{399, false}));

TEST_F(AppTest, CopyWithAnUnterminatedBufferDoesNothing)
{
    char source[COPY_PATH_BYTES];
    char target[COPY_PATH_BYTES];
    std::memset(source, 'a', sizeof source);
    std::strcpy(target, "C:\\target.exe");
    EXPECT_EQ(copyToDesktop(nullptr, source, target), COPY_REFUSED);
    EXPECT_TRUE(platformtest::fileOperations().empty());
}

TEST_F(AppTest, CopyGivesBothListsTheirSecondTerminator)
{
    const std::string program = root + "/zimbalo.exe";
    writeFile(program, "program");
    char source[COPY_PATH_BYTES];
    char target[COPY_PATH_BYTES];
    std::memset(source, 'x', sizeof source);
    std::memset(target, 'x', sizeof target);
    std::strcpy(source, windowsForm(program).c_str());
    std::strcpy(target, (windowsForm(desktop) + "\\Copy.exe").c_str());
    copyToDesktop(nullptr, source, target);
    EXPECT_EQ(source[std::strlen(source) + 1], '\0');
    EXPECT_EQ(target[std::strlen(target) + 1], '\0');
    ASSERT_EQ(platformtest::fileOperations().size(), 1u);
    EXPECT_EQ(platformtest::fileOperations()[0].from.size(), 1u);
    EXPECT_EQ(readFile(desktop + "/Copy.exe"), "program");
}
