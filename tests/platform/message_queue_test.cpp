#include "platform_test_support.h"

#include <thread>

namespace {

class MessageQueue : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        RecordingClass::registerOnce();
        window = CreateWindowExA(0, RecordingClass::name(), "", WS_CAPTION, 0, 0, 100, 100, nullptr,
                                 nullptr, nullptr, nullptr);
        RecordingClass::messages().clear();
    }
    HWND window = nullptr;
};

TEST_F(MessageQueue, PostedMessagesArriveInOrderThenQuit) {
    PostMessageA(window, WM_USER + 1, 11, 12);
    PostMessageA(window, WM_USER + 2, 0, 0);
    PostQuitMessage(3);
    PostMessageA(window, WM_USER + 3, 0, 0);  // posted after the quit, still comes before it

    std::vector<UINT> seen;
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0)) {
        seen.push_back(message.message);
        if (message.message == WM_USER + 1) {
            EXPECT_EQ(message.hwnd, window);
            EXPECT_EQ(message.wParam, 11u);
            EXPECT_EQ(message.lParam, 12);
        }
        DispatchMessageA(&message);
    }
    EXPECT_EQ(message.message, UINT(WM_QUIT));
    EXPECT_EQ(message.wParam, 3u);
    EXPECT_EQ(seen, (std::vector<UINT>{WM_USER + 1, WM_USER + 2, WM_USER + 3}));
    EXPECT_EQ(RecordingClass::messageIds(window), seen);
}

TEST_F(MessageQueue, GetMessageWaitsForAMessagePostedFromAnotherThread) {
    std::thread poster([this] {
        for (int i = 0; i < 100; ++i) PostMessageA(window, WM_USER + 7, static_cast<WPARAM>(i), 0);
        PostMessageA(window, WM_CLOSE, 0, 0);
    });
    std::vector<WPARAM> numbers;
    MSG message;
    bool closed = false;
    while (!closed && GetMessageA(&message, nullptr, 0, 0)) {
        if (message.message == WM_USER + 7) numbers.push_back(message.wParam);
        if (message.message == WM_CLOSE) closed = true;
        DispatchMessageA(&message);
    }
    poster.join();
    ASSERT_EQ(numbers.size(), 100u);
    for (size_t i = 0; i < numbers.size(); ++i) EXPECT_EQ(numbers[i], i);
    EXPECT_FALSE(IsWindow(window));  // WM_CLOSE went to DefWindowProcA
}

TEST_F(MessageQueue, DispatchPendingStopsAtQuitAndLeavesItQueued) {
    PostMessageA(window, WM_USER, 0, 0);
    PostQuitMessage(0);
    EXPECT_EQ(platformtest::dispatchPending(), 1);
    EXPECT_TRUE(platformtest::quitPosted());
    EXPECT_EQ(platformtest::quitCode(), 0);
    PostMessageA(window, WM_USER, 0, 0);
    EXPECT_EQ(platformtest::dispatchPending(), 1);
    MSG message;
    EXPECT_FALSE(GetMessageA(&message, nullptr, 0, 0));
}

TEST_F(MessageQueue, QuitIsNotSeenByOtherThreads) {
    bool quitElsewhere = true;
    std::thread other([&] {
        PostQuitMessage(9);
        quitElsewhere = platformtest::dispatchPending() == 0;
    });
    other.join();
    EXPECT_TRUE(quitElsewhere);
    PostMessageA(window, WM_USER, 0, 0);
    EXPECT_EQ(platformtest::dispatchPending(), 1);  // this thread has no quit
}

TEST_F(MessageQueue, SendMessageCallsTheProcedureAtOnce) {
    SendMessageA(window, WM_USER + 4, 1, 2);
    ASSERT_EQ(RecordingClass::messages().size(), 1u);
    EXPECT_EQ(RecordingClass::messages()[0].message, UINT(WM_USER + 4));
    EXPECT_EQ(platformtest::dispatchPending(), 0);
}

TEST_F(MessageQueue, ResetDestroysWindowsWithoutMessagesAndEmptiesQueues) {
    PostMessageA(window, WM_USER, 0, 0);
    PostQuitMessage(1);
    platformtest::reset();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_TRUE(RecordingClass::messages().empty());
    EXPECT_FALSE(platformtest::quitPosted());
    EXPECT_EQ(platformtest::dispatchPending(), 0);
}

}  // namespace
