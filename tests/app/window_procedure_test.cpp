// The teardown and the routing of the window procedure.
#include "app_test_support.h"

#include <algorithm>

#include "app/level_meter.h"
#include "app/main_window.h"
#include "app/private_messages.h"
#include "audio/monitor_mute.h"

namespace {

const COLORREF GREEN = RGB(0, 200, 0);
const COLORREF WHITE = RGB(255, 255, 255);

size_t liveCount(COLORREF color)
{
    const std::vector<COLORREF> brushes = platformtest::liveBrushes();
    return static_cast<size_t>(std::count(brushes.begin(), brushes.end(), color));
}

}  // namespace

TEST_F(AppTest, TheMeterBrushesAreLiveUntilTheWindowIsDestroyed)
{
    EXPECT_EQ(liveCount(GREEN), 1u);
    EXPECT_EQ(liveCount(WHITE), 1u);
    HWND window = createWindow();
    ASSERT_NE(window, nullptr);
    DestroyWindow(window);
    EXPECT_EQ(liveCount(GREEN), 0u);
    EXPECT_EQ(liveCount(WHITE), 0u);
}

TEST_F(AppTest, DestroyingTheWindowRestoresTheMuteAndEndsTheLoop)
{
    platformtest::Mixer mixer;
    mixer.value = 0;
    platformtest::setMixer(mixer);
    MonitorMute::apply();
    ASSERT_EQ(platformtest::mixerMuteValue(), 1);
    HWND window = createWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(platformtest::quitPosted());
    DestroyWindow(window);
    EXPECT_EQ(platformtest::mixerMuteValue(), 0);
    EXPECT_TRUE(platformtest::quitPosted());
    EXPECT_EQ(platformtest::quitCode(), 0);
}

TEST_F(AppTest, CommandsFromOtherSourcesDoNothing)
{
    platformtest::setWaveInDevices({{"A"}, {"B"}});
    HWND window = createWindow();
    ASSERT_NE(window, nullptr);
    // A chooser's notification and a command without a control.
    EXPECT_EQ(SendMessageA(window, WM_COMMAND, MAKEWPARAM(0, 1),
                           reinterpret_cast<LPARAM>(MainWindow::inputChooser)),
              0);
    EXPECT_EQ(SendMessageA(window, WM_COMMAND, 0, 0), 0);
    EXPECT_TRUE(takePostedMessages(window).empty());
}

struct RoutingCase {
    const char* name;
    HWND* button;
    UINT posted;
};

class RoutingTest : public AppTest, public ::testing::WithParamInterface<RoutingCase> {};

TEST_P(RoutingTest, AClickPostsItsPrivateMessage)
{
    platformtest::setWaveInDevices({{"A"}, {"B"}});
    HWND window = createWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(SendMessageA(window, WM_COMMAND, 0, reinterpret_cast<LPARAM>(*GetParam().button)), 0);
    const std::vector<MSG> posted = takePostedMessages(window);
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].hwnd, window);
    EXPECT_EQ(posted[0].message, GetParam().posted);
    EXPECT_EQ(posted[0].wParam, 0u);
    EXPECT_EQ(posted[0].lParam, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, RoutingTest,
    ::testing::Values(RoutingCase{"Mail", &MainWindow::mailButton, UM_SEND_MAIL},
                      RoutingCase{"HomePage", &MainWindow::homePageButton, UM_OPEN_HOMEPAGE},
                      RoutingCase{"Record", &MainWindow::recordButton, UM_RECORD_START},
                      RoutingCase{"Install", &MainWindow::installButton, UM_COPY_TO_DESKTOP}),
    [](const ::testing::TestParamInfo<RoutingCase>& info) { return std::string(info.param.name); });

TEST_F(AppTest, OtherMessagesGoToTheDefaultProcessing)
{
    HWND window = createWindow();
    ASSERT_NE(window, nullptr);
    SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Renamed"));
    char text[32] = "";
    GetWindowTextA(window, text, sizeof text);
    EXPECT_STREQ(text, "Renamed");
}
