// The desktop helpers as the real program runs them, with stand-ins for
// xdg-email and xdg-open on PATH that write down their arguments.
#include "platform_test_support.h"

#include <chrono>
#include <cstdlib>
#include <thread>

namespace {

class Launching : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        const char* path = std::getenv("PATH");
        savedPath = path ? path : "";
        std::filesystem::create_directories(this->path("bin"));
        setenv("PATH", this->path("bin").c_str(), 1);  // only the stand-ins
        setenv("ZIMBALO_TEST_LOG", this->path("arguments").c_str(), 1);
        setenv("ZIMBALO_TEST_MARKER", this->path("dispatched").c_str(), 1);
        platformtest::setDriveRoot(scratch);
    }
    void TearDown() override {
        setenv("PATH", savedPath.c_str(), 1);
        unsetenv("ZIMBALO_TEST_LOG");
        unsetenv("ZIMBALO_TEST_MARKER");
        unsetenv("ZIMBALO_TEST_STATUS");
        PlatformTest::TearDown();
    }
    // The helper writes its arguments, NUL-separated; with waitForMarker it
    // first waits (a bounded time) for the caller to have dispatched a message.
    void installHelper(const std::string& name, bool waitForMarker) {
        std::string script = "#!/bin/sh\n";
        if (waitForMarker)
            script += "i=0\nwhile [ ! -e \"$ZIMBALO_TEST_MARKER\" ]; do\n"
                      "  i=$((i+1)); [ $i -gt 1000 ] && exit 3\n  /bin/sleep 0.01\ndone\n";
        script += "printf '%s\\0' \"$@\" > \"$ZIMBALO_TEST_LOG.tmp\"\n"
                  "/bin/mv \"$ZIMBALO_TEST_LOG.tmp\" \"$ZIMBALO_TEST_LOG\"\n"
                  "exit ${ZIMBALO_TEST_STATUS:-0}\n";
        writeFile(path("bin/" + name), script);
        std::filesystem::permissions(path("bin/" + name), std::filesystem::perms::owner_all);
    }
    std::vector<std::string> loggedArguments() {
        std::string log = readFile(path("arguments"));
        std::vector<std::string> arguments;
        size_t start = 0;
        for (size_t end; (end = log.find('\0', start)) != std::string::npos; start = end + 1)
            arguments.push_back(log.substr(start, end - start));
        return arguments;
    }
    LPMAPISENDMAIL sendMail() {
        HMODULE library = LoadLibraryA("MAPI32.DLL");
        if (!library) return nullptr;
        return reinterpret_cast<LPMAPISENDMAIL>(
            reinterpret_cast<void*>(GetProcAddress(library, "MAPISendMail")));
    }
    std::string savedPath;
};

std::string markerPath;

LRESULT CALLBACK markWhenDispatched(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_USER + 9) std::ofstream(markerPath) << "x";
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST_F(Launching, WithoutAComposerThereIsNoMapiLibrary) {
    platformtest::useSystemMail();
    EXPECT_EQ(LoadLibraryA("MAPI32.DLL"), nullptr);
}

TEST_F(Launching, SendMailOpensTheComposerWhileMessagesGoOn) {
    installHelper("xdg-email", true);
    platformtest::useSystemMail();
    LPMAPISENDMAIL send = sendMail();
    ASSERT_NE(send, nullptr);

    markerPath = path("dispatched");
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = markWhenDispatched;
    windowClass.lpszClassName = "MarkWhenDispatched";
    RegisterClassExA(&windowClass);
    HWND window = CreateWindowExA(0, "MarkWhenDispatched", "", WS_CAPTION, 0, 0, 10, 10, nullptr,
                                  nullptr, nullptr, nullptr);
    PostMessageA(window, WM_USER + 9, 0, 0);

    MapiMessage message{};
    char subject[] = "Zimbalo";
    char note[] = "first\n\rsecond\n\r\n\rthird";
    message.lpszSubject = subject;
    message.lpszNoteText = note;
    EXPECT_EQ(send(0, reinterpret_cast<ULONG_PTR>(window), &message,
                   MAPI_LOGON_UI | MAPI_NEW_SESSION | MAPI_DIALOG, 0),
              ULONG(SUCCESS_SUCCESS));
    EXPECT_EQ(loggedArguments(), (std::vector<std::string>{"--subject", "Zimbalo", "--body",
                                                           "first\nsecond\n\nthird"}));
}

TEST_F(Launching, AComposerThatFailsIsAFailure) {
    installHelper("xdg-email", false);
    setenv("ZIMBALO_TEST_STATUS", "1", 1);
    platformtest::useSystemMail();
    LPMAPISENDMAIL send = sendMail();
    ASSERT_NE(send, nullptr);
    MapiMessage message{};
    EXPECT_EQ(send(0, 0, &message, MAPI_DIALOG, 0), ULONG(MAPI_E_FAILURE));
}

struct OpenCase {
    const char* file;
    std::string expectedArgument;  // relative to the scratch folder when it starts with '/'
};

TEST_F(Launching, ShellExecuteHandsAddressesAndFilesToXdgOpen) {
    installHelper("xdg-open", false);
    platformtest::setShellLaunches(true);
    writeFile(path("Docs/Read Me.txt"), "text");
    const OpenCase cases[] = {{"http://zimbalo.example/", "http://zimbalo.example/"},
                              {"C:\\DOCS\\read me.txt", scratch + "/Docs/Read Me.txt"}};
    for (const OpenCase& c : cases) {
        std::filesystem::remove(path("arguments"));
        HINSTANCE result = ShellExecuteA(nullptr, "open", c.file, nullptr, nullptr, SW_SHOWNORMAL);
        EXPECT_GT(reinterpret_cast<INT_PTR>(result), 32);
        // Started without waiting: give it time to write its arguments.
        for (int i = 0; i < 1000 && !std::filesystem::exists(path("arguments")); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        EXPECT_EQ(loggedArguments(), std::vector<std::string>{c.expectedArgument}) << c.file;
    }
}

TEST_F(Launching, WithoutXdgOpenNothingOpens) {
    platformtest::setShellLaunches(true);
    HINSTANCE result = ShellExecuteA(nullptr, "open", "http://zimbalo.example/", nullptr, nullptr,
                                     SW_SHOWNORMAL);
    EXPECT_LE(reinterpret_cast<INT_PTR>(result), 32);
}

}  // namespace
