#include "platform_test_support.h"

#include <cstring>

namespace {

class WindowLifecycle : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        RecordingClass::registerOnce();
    }
    HWND createTopLevel(DWORD style = WS_CAPTION | WS_SYSMENU) {
        return CreateWindowExA(0, RecordingClass::name(), "Title", style, 10, 20, 300, 200, nullptr,
                               nullptr, nullptr, nullptr);
    }
};

TEST_F(WindowLifecycle, CreateSendsCreateWithTheCreationParameters) {
    static CREATESTRUCTA seen;
    static int createCount;
    createCount = 0;
    struct Capture {
        static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
            if (message == WM_CREATE) {
                seen = *reinterpret_cast<CREATESTRUCTA*>(lParam);
                ++createCount;
            }
            return DefWindowProcA(window, message, wParam, lParam);
        }
    };
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = Capture::procedure;
    windowClass.lpszClassName = "CaptureCreate";
    RegisterClassExA(&windowClass);
    int parameter = 5;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    HWND window = CreateWindowExA(0, "capturecreate", "Caption", WS_CAPTION, 1, 2, 3, 4, nullptr,
                                  nullptr, instance, &parameter);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(createCount, 1);
    EXPECT_EQ(seen.lpCreateParams, &parameter);
    EXPECT_EQ(seen.hInstance, instance);
    EXPECT_EQ(seen.x, 1);
    EXPECT_EQ(seen.y, 2);
    EXPECT_EQ(seen.cx, 3);
    EXPECT_EQ(seen.cy, 4);
    EXPECT_EQ(static_cast<DWORD>(seen.style), WS_CAPTION);
    EXPECT_STREQ(seen.lpszName, "Caption");
}

TEST_F(WindowLifecycle, CreateFailsWhenTheProcedureAnswersMinusOne) {
    RecordingClass::overriddenMessage() = WM_CREATE;
    RecordingClass::overriddenResult() = -1;
    EXPECT_EQ(createTopLevel(), nullptr);
    EXPECT_TRUE(platformtest::topLevelWindows().empty());
}

TEST_F(WindowLifecycle, UnknownClassGivesNoWindow) {
    EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr),
              nullptr);
}

TEST_F(WindowLifecycle, CloseThroughDefWindowProcDestroysTheWindowAndItsChildren) {
    HWND window = createTopLevel();
    HWND child = CreateWindowExA(0, RecordingClass::name(), "", WS_CHILD, 0, 0, 10, 10, window,
                                 nullptr, nullptr, nullptr);
    HWND button = CreateWindowExA(0, "BUTTON", "b", WS_CHILD, 0, 0, 10, 10, window, nullptr,
                                  nullptr, nullptr);
    RecordingClass::messages().clear();

    EXPECT_EQ(SendMessageA(window, WM_CLOSE, 0, 0), 0);

    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(IsWindow(child));
    EXPECT_FALSE(IsWindow(button));
    std::vector<UINT> order;
    for (const RecordedMessage& m : RecordingClass::messages())
        if (m.message == WM_DESTROY) order.push_back(m.window == window ? 1 : 2);
    EXPECT_EQ(order, (std::vector<UINT>{1, 2}));  // the parent hears of it first
}

TEST_F(WindowLifecycle, PostedMessagesOfADestroyedWindowAreDropped) {
    HWND window = createTopLevel();
    PostMessageA(window, WM_USER + 1, 0, 0);
    DestroyWindow(window);
    EXPECT_EQ(platformtest::dispatchPending(), 0);
    EXPECT_FALSE(PostMessageA(window, WM_USER, 0, 0));
}

TEST_F(WindowLifecycle, PlacementAndTheDefaultPosition) {
    platformtest::setScreenSize(800, 600);
    HWND window = CreateWindowExA(0, RecordingClass::name(), "", WS_CAPTION, CW_USEDEFAULT, 0,
                                  CW_USEDEFAULT, 0, nullptr, nullptr, nullptr, nullptr);
    platformtest::WindowPlacement before = platformtest::placement(window);
    EXPECT_GT(before.width, 0);
    EXPECT_GT(before.height, 0);
    EXPECT_FALSE(before.visible);

    SetWindowPos(window, HWND_TOP, -5, 7, 630, 273, SWP_NOOWNERZORDER);
    ShowWindow(window, SW_SHOWDEFAULT);
    platformtest::WindowPlacement after = platformtest::placement(window);
    EXPECT_EQ(after.x, -5);
    EXPECT_EQ(after.y, 7);
    EXPECT_EQ(after.width, 630);
    EXPECT_EQ(after.height, 273);
    EXPECT_TRUE(after.visible);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 800);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 600);
}

TEST_F(WindowLifecycle, ScreenIs1024By768AfterReset) {
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
}

TEST_F(WindowLifecycle, ShowingATopLevelWindowGivesItTheFocus) {
    HWND window = createTopLevel();
    ShowWindow(window, SW_SHOWDEFAULT);
    EXPECT_EQ(GetFocus(), window);
    std::vector<UINT> ids = RecordingClass::messageIds(window);
    EXPECT_NE(std::find(ids.begin(), ids.end(), UINT(WM_SETFOCUS)), ids.end());
}

TEST_F(WindowLifecycle, WindowTextGoesThroughTheProcedure) {
    HWND window = createTopLevel();
    EXPECT_TRUE(SetWindowTextA(window, "New title"));
    char text[6];
    EXPECT_EQ(GetWindowTextA(window, text, sizeof text), 5);
    EXPECT_STREQ(text, "New t");
    std::vector<UINT> ids = RecordingClass::messageIds(window);
    EXPECT_NE(std::find(ids.begin(), ids.end(), UINT(WM_SETTEXT)), ids.end());
}

struct ClientCase {
    const char* className;
    DWORD style;
    int width, height;
    RECT expected;
};

class ClientRect : public WindowLifecycle, public ::testing::WithParamInterface<ClientCase> {};

TEST_P(ClientRect, FollowsTheFrame) {
    const ClientCase& c = GetParam();
    HWND parent = createTopLevel();
    HWND window = (c.style & WS_CHILD)
                      ? CreateWindowExA(0, c.className, "", c.style, 200, 90, c.width, c.height,
                                        parent, nullptr, nullptr, nullptr)
                      : CreateWindowExA(0, c.className, "", c.style, 0, 0, c.width, c.height,
                                        nullptr, nullptr, nullptr, nullptr);
    RECT rect{-1, -1, -1, -1};
    ASSERT_TRUE(GetClientRect(window, &rect));
    EXPECT_EQ(rect.left, c.expected.left);
    EXPECT_EQ(rect.top, c.expected.top);
    EXPECT_EQ(rect.right, c.expected.right);
    EXPECT_EQ(rect.bottom, c.expected.bottom);
}

INSTANTIATE_TEST_SUITE_P(
    Frames, ClientRect,
    ::testing::Values(ClientCase{"STATIC", WS_CHILD | WS_BORDER, 135, 20, {0, 0, 133, 18}},
                      ClientCase{"STATIC", WS_CHILD, 135, 20, {0, 0, 135, 20}},
                      ClientCase{"PlatformTestWindow", WS_CAPTION | WS_SYSMENU, 630, 273, {0, 0, 624, 248}},
                      ClientCase{"PlatformTestWindow", WS_OVERLAPPED, 100, 50, {0, 0, 100, 50}}));

}  // namespace
