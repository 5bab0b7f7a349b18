#include "platform_test_support.h"

namespace {

class Shell : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        platformtest::setDriveRoot(scratch);
        writeFile(path("Programs/zimbalo-1.exe"), "new program");
        std::filesystem::permissions(path("Programs/zimbalo-1.exe"), std::filesystem::perms::owner_all);
        std::filesystem::create_directories(path("home/user/Desktop"));
    }
    // As the program does it: in place, each name gets a second terminator.
    int copy(const std::string& from, const std::string& to, FILEOP_FLAGS flags) {
        std::string source = from + '\0' + '\0';
        std::string target = to + '\0' + '\0';
        SHFILEOPSTRUCTA operation{};
        operation.hwnd = owner;
        operation.wFunc = FO_COPY;
        operation.pFrom = source.c_str();
        operation.pTo = target.c_str();
        operation.fFlags = flags;
        return SHFileOperationA(&operation);
    }
    HWND owner = reinterpret_cast<HWND>(0x4321);
};

TEST_F(Shell, CopyReplacesAnExistingTargetWithoutAsking) {
    writeFile(path("home/user/Desktop/ZIMBALO.EXE"), "an older and longer copy of the program");
    EXPECT_EQ(copy("C:\\PROGRAMS\\ZIMBALO-1.EXE", "C:\\HOME\\USER\\DESKTOP\\ZIMBALO.EXE",
                   FOF_SILENT | FOF_NOCONFIRMATION),
              0);
    EXPECT_EQ(readFile(path("home/user/Desktop/ZIMBALO.EXE")), "new program");
    auto permissions = std::filesystem::status(path("home/user/Desktop/ZIMBALO.EXE")).permissions();
    EXPECT_NE(permissions & std::filesystem::perms::owner_exec, std::filesystem::perms::none);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(path("home/user/Desktop")),
                            std::filesystem::directory_iterator()),
              1);  // no temporary file left behind

    auto operations = platformtest::fileOperations();
    ASSERT_EQ(operations.size(), 1u);
    EXPECT_EQ(operations[0].owner, owner);
    EXPECT_EQ(operations[0].func, UINT(FO_COPY));
    EXPECT_EQ(operations[0].from, std::vector<std::string>{"C:\\PROGRAMS\\ZIMBALO-1.EXE"});
    EXPECT_EQ(operations[0].to, std::vector<std::string>{"C:\\HOME\\USER\\DESKTOP\\ZIMBALO.EXE"});
    EXPECT_EQ(operations[0].flags, FOF_SILENT | FOF_NOCONFIRMATION);
    EXPECT_EQ(operations[0].result, 0);
    EXPECT_TRUE(platformtest::messageBoxes().empty());
}

TEST_F(Shell, CopyIntoAFolderKeepsTheName) {
    EXPECT_EQ(copy("C:\\Programs\\zimbalo-1.exe", "C:\\home\\user\\Desktop", FOF_SILENT), 0);
    EXPECT_EQ(readFile(path("home/user/Desktop/zimbalo-1.exe")), "new program");
}

TEST_F(Shell, AFailedCopyIsShownByTheShellUnlessSwitchedOff) {
    EXPECT_NE(copy("C:\\Programs\\missing.exe", "C:\\home\\user\\Desktop\\ZIMBALO.EXE",
                   FOF_SILENT | FOF_NOCONFIRMATION),
              0);
    EXPECT_EQ(platformtest::messageBoxes().size(), 1u);
    EXPECT_NE(copy("C:\\Programs\\missing.exe", "C:\\home\\user\\Desktop\\ZIMBALO.EXE",
                   FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI),
              0);
    EXPECT_EQ(platformtest::messageBoxes().size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(path("home/user/Desktop/ZIMBALO.EXE")));
}

TEST_F(Shell, CopyOntoItselfFails) {
    EXPECT_NE(copy("C:\\Programs\\zimbalo-1.exe", "C:\\PROGRAMS\\ZIMBALO-1.EXE",
                   FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI),
              0);
    EXPECT_EQ(readFile(path("Programs/zimbalo-1.exe")), "new program");
}

TEST_F(Shell, ShellExecuteIsRecordedAndNotLaunchedInTests) {
    HINSTANCE result = ShellExecuteA(owner, "open", "http://zimbalo.example/", nullptr, nullptr,
                                     SW_SHOWNORMAL);
    EXPECT_GT(reinterpret_cast<INT_PTR>(result), 32);
    auto executions = platformtest::shellExecutions();
    ASSERT_EQ(executions.size(), 1u);
    EXPECT_EQ(executions[0].owner, owner);
    EXPECT_EQ(executions[0].verb, "open");
    EXPECT_EQ(executions[0].file, "http://zimbalo.example/");
    EXPECT_EQ(executions[0].parameters, "");
    EXPECT_EQ(executions[0].show, SW_SHOWNORMAL);
    EXPECT_LE(reinterpret_cast<INT_PTR>(ShellExecuteA(owner, "print", "x", nullptr, nullptr, 0)), 32);
}

}  // namespace
