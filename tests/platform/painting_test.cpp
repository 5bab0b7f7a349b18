#include "platform_test_support.h"

namespace {

class Painting : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        RecordingClass::registerOnce();
        window = CreateWindowExA(0, RecordingClass::name(), "", WS_CAPTION, 0, 0, 200, 100, nullptr,
                                 nullptr, nullptr, nullptr);
    }
    int paintCount() {
        int count = 0;
        for (UINT id : RecordingClass::messageIds(window)) count += id == WM_PAINT;
        return count;
    }
    HWND window = nullptr;
};

TEST_F(Painting, AHiddenWindowGetsNoPaint) {
    InvalidateRect(window, nullptr, TRUE);
    EXPECT_EQ(platformtest::dispatchPending(), 0);
    EXPECT_EQ(paintCount(), 0);
}

TEST_F(Painting, ShowingMakesTheWindowInvalidAndUpdateWindowPaintsAtOnce) {
    ShowWindow(window, SW_SHOW);
    EXPECT_TRUE(platformtest::needsPaint(window));
    UpdateWindow(window);
    EXPECT_EQ(paintCount(), 1);
    EXPECT_FALSE(platformtest::needsPaint(window));  // DefWindowProcA validated it
    UpdateWindow(window);
    EXPECT_EQ(paintCount(), 1);
}

TEST_F(Painting, PaintComesWhenThePostedMessagesAreDone) {
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    RecordingClass::messages().clear();
    InvalidateRect(window, nullptr, TRUE);
    InvalidateRect(window, nullptr, TRUE);  // one paint for both
    PostMessageA(window, WM_USER, 0, 0);
    EXPECT_EQ(platformtest::dispatchPending(), 2);
    std::vector<UINT> ids = RecordingClass::messageIds(window);
    ASSERT_GE(ids.size(), 2u);
    EXPECT_EQ(ids.front(), UINT(WM_USER));
    EXPECT_EQ(paintCount(), 1);
}

TEST_F(Painting, BeginPaintReportsTheUpdateRegionAndValidates) {
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    RECT part{10, 10, 20, 20};
    InvalidateRect(window, &part, TRUE);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    ASSERT_NE(dc, nullptr);
    EXPECT_TRUE(paint.fErase);
    EXPECT_EQ(paint.rcPaint.left, 10);
    EXPECT_EQ(paint.rcPaint.bottom, 20);
    EXPECT_FALSE(platformtest::needsPaint(window));
    EXPECT_TRUE(DrawIcon(dc, 120, 60, LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(107))));
    EndPaint(window, &paint);

    std::vector<platformtest::IconDrawn> icons = platformtest::iconsDrawn();
    ASSERT_EQ(icons.size(), 1u);
    EXPECT_EQ(icons[0].window, window);
    EXPECT_EQ(icons[0].x, 120);
    EXPECT_EQ(icons[0].y, 60);
    EXPECT_EQ(icons[0].icon, platformtest::iconHandle(107));
    EXPECT_NE(platformtest::iconHandle(107), platformtest::iconHandle(108));
}

TEST_F(Painting, AProcedureThatNeverValidatesDoesNotHangDispatchPending) {
    RecordingClass::overriddenMessage() = WM_PAINT;
    RecordingClass::overriddenResult() = 0;
    ShowWindow(window, SW_SHOW);
    EXPECT_EQ(platformtest::dispatchPending(), 1);
    EXPECT_TRUE(platformtest::needsPaint(window));
}

TEST_F(Painting, FillsAreRecordedWithTheBrushColour) {
    HWND meter = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_BORDER, 200, 90, 135, 20, window,
                                 nullptr, nullptr, nullptr);
    HBRUSH green = CreateSolidBrush(RGB(0, 200, 0));
    HDC dc = GetDC(meter);
    RECT rect{0, 0, 66, 18};
    EXPECT_EQ(FillRect(dc, &rect, green), 1);
    RECT face{0, 0, 5, 5};
    EXPECT_EQ(FillRect(dc, &face, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)), 1);
    ReleaseDC(meter, dc);

    std::vector<platformtest::Fill> fills = platformtest::fills();
    ASSERT_EQ(fills.size(), 2u);
    EXPECT_EQ(fills[0].window, meter);
    EXPECT_EQ(fills[0].rect.right, 66);
    EXPECT_EQ(fills[0].color, RGB(0, 200, 0));
    EXPECT_EQ(fills[1].color, GetSysColor(COLOR_BTNFACE));

    std::vector<COLORREF> live = platformtest::liveBrushes();
    EXPECT_NE(std::find(live.begin(), live.end(), RGB(0, 200, 0)), live.end());
    EXPECT_TRUE(DeleteObject(green));
    EXPECT_FALSE(DeleteObject(green));
    EXPECT_EQ(platformtest::liveBrushes().size(), live.size() - 1);
    EXPECT_EQ(FillRect(dc, &rect, green), 0);  // released context, deleted brush
}

}  // namespace
