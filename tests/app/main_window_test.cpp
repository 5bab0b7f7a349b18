// The window as created: controls, placement, device lists, automatic start.
#include "app_test_support.h"

#include <cstring>

#include "app/main_window.h"
#include "app/text_resources.h"
#include "desktop/self_install.h"

namespace {

struct ExpectedControl {
    const char* className;
    const char* text;
    DWORD extraStyle;
    int x, y, width, height;
    bool visible;
};

const DWORD CHOOSER = CBS_DROPDOWNLIST | CBS_HASSTRINGS;

const ExpectedControl CONTROL_TABLE[] = {
    {"STATIC", "Plug in your microphone and listen to your zimbalo!", 0, 5, 5, 550, 20, true},
    {"BUTTON", "<", 0, 200, 60, 30, 20, false},
    {"STATIC", "Pitch: 6", 0, 235, 62, 70, 20, false},
    {"BUTTON", ">", 0, 315, 60, 20, 20, false},
    {"STATIC", "Go to homepage for more great software!", 0, 5, 130, 363, 20, true},
    {"BUTTON", "http://www.zimbalo-soundworks.example.com/", 0, 370, 130, 250, 20, true},
    {"STATIC", "Recommend Zimbalo to a friend", 0, 5, 160, 350, 20, true},
    {"BUTTON", "Mail to friend", 0, 370, 160, 250, 20, true},
    {"STATIC", "Save a recording on desktop", 0, 5, 190, 350, 20, true},
    {"BUTTON", "Record", 0, 370, 190, 250, 20, true},
    {"COMBOBOX", "", CHOOSER, 180, 50, 250, 200, true},
    {"STATIC", "Microphone Source", 0, 25, 53, 150, 20, true},
    {"COMBOBOX", "", CHOOSER, 180, 80, 250, 200, true},
    {"STATIC", "Sound Output", 0, 25, 83, 150, 20, true},
    {"BUTTON", "Start!", 0, 460, 54, 55, 40, true},
    {"STATIC", "", WS_BORDER, 200, 90, 135, 20, false},
    {"STATIC", "Copy Zimbalo to Desktop", 0, 5, 220, 350, 20, true},
    {"BUTTON", "Install on Dektop", 0, 370, 220, 250, 20, true},
};
constexpr size_t CONTROLS_WITHOUT_INSTALL_ROW = 16;

void expectControlTable(HWND window, size_t rows)
{
    const std::vector<platformtest::Control> controls = platformtest::childControls(window);
    ASSERT_EQ(controls.size(), rows);
    for (size_t i = 0; i < rows; ++i) {
        SCOPED_TRACE("control " + std::to_string(i + 1));
        const ExpectedControl& expected = CONTROL_TABLE[i];
        const platformtest::Control& actual = controls[i];
        EXPECT_EQ(actual.className, expected.className);
        EXPECT_EQ(actual.text, expected.text);
        const DWORD style =
            WS_CHILD | WS_TABSTOP | expected.extraStyle | (expected.visible ? WS_VISIBLE : 0);
        EXPECT_EQ(actual.style, style);
        EXPECT_EQ(actual.x, expected.x);
        EXPECT_EQ(actual.y, expected.y);
        EXPECT_EQ(actual.width, expected.width);
        EXPECT_EQ(actual.height, expected.height);
        EXPECT_EQ(actual.visible, expected.visible);
    }
}

platformtest::WaveDevice capable(const char* name)
{
    platformtest::WaveDevice device;
    device.name = name;
    return device;
}

platformtest::WaveDevice withoutFormat(const char* name)
{
    platformtest::WaveDevice device;
    device.name = name;
    device.formats = WAVE_FORMAT_4M16 - 1;
    return device;
}

platformtest::WaveDevice failingCaps(const char* name)
{
    platformtest::WaveDevice device = capable(name);
    device.capsFails = true;
    return device;
}

std::vector<std::pair<std::string, LPARAM>> items(
    std::initializer_list<std::pair<const char*, LPARAM>> list)
{
    std::vector<std::pair<std::string, LPARAM>> result;
    for (const auto& item : list) {
        result.emplace_back(item.first, item.second);
    }
    return result;
}

}  // namespace

TEST_F(AppTest, TitleAndClassNameComeFromTheStringTable)
{
    HWND window = createWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_STREQ(className, "ZIMBALO");
    EXPECT_EQ(std::strncmp(title, "Zimbalo", 7), 0);
    EXPECT_LT(std::strlen(title), static_cast<size_t>(TITLE_BYTES));
    char shown[TITLE_BYTES] = "";
    GetWindowTextA(window, shown, sizeof shown);
    EXPECT_STREQ(shown, title);
    EXPECT_EQ(platformtest::control(window).style & ~WS_VISIBLE,
              WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX);
    EXPECT_TRUE(platformtest::placement(window).visible);
}

TEST_F(AppTest, CreatesEveryControlOfTheTableInOrderWithTheInstallRow)
{
    HWND window = createWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(runningFromDesktopCopy);
    expectControlTable(window, std::size(CONTROL_TABLE));
    const platformtest::WindowPlacement where = platformtest::placement(window);
    EXPECT_EQ(where.width, 630);
    EXPECT_EQ(where.height, 273);
}

TEST_F(AppTest, KeepsTheHandlesOfTheControlsThatAreUsedLater)
{
    HWND window = createWindow();
    ASSERT_NE(window, nullptr);
    const std::vector<platformtest::Control> controls = platformtest::childControls(window);
    ASSERT_EQ(controls.size(), std::size(CONTROL_TABLE));
    using namespace MainWindow;
    const HWND kept[] = {
        nullptr,       pitchDownButton, pitchReadout, pitchUpButton, nullptr,      homePageButton,
        nullptr,       mailButton,      nullptr,      recordButton,  inputChooser, inputLabel,
        outputChooser, outputLabel,     startButton,  meterControl,  nullptr,      installButton};
    for (size_t i = 0; i < controls.size(); ++i) {
        if (kept[i] != nullptr) {
            EXPECT_EQ(controls[i].handle, kept[i]) << "control " << i + 1;
        }
    }
}

TEST_F(AppTest, RunningFromTheDesktopCopyLeavesOutTheInstallRow)
{
    const std::string copy = desktop + "/zimbalo.EXE";
    writeFile(copy, "program");
    platformtest::setModuleFileName(copy);
    HWND window = createWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(runningFromDesktopCopy);
    expectControlTable(window, CONTROLS_WITHOUT_INSTALL_ROW);
    EXPECT_EQ(MainWindow::installButton, nullptr);
    const platformtest::WindowPlacement where = platformtest::placement(window);
    EXPECT_EQ(where.width, 630);
    EXPECT_EQ(where.height, 243);
}

struct PlacementCase {
    int screenWidth, screenHeight;
    bool fromDesktopCopy;
    int x, y;
};

class PlacementTest : public AppTest, public ::testing::WithParamInterface<PlacementCase> {};

TEST_P(PlacementTest, CentresTheWindowOnTheScreen)
{
    const PlacementCase& c = GetParam();
    platformtest::setScreenSize(c.screenWidth, c.screenHeight);
    if (c.fromDesktopCopy) {
        const std::string copy = desktop + "/Zimbalo.exe";
        writeFile(copy, "program");
        platformtest::setModuleFileName(copy);
    }
    HWND window = createWindow();
    ASSERT_NE(window, nullptr);
    const platformtest::WindowPlacement where = platformtest::placement(window);
    EXPECT_EQ(where.x, c.x);
    EXPECT_EQ(where.y, c.y);
}

// Signed divisions truncate toward zero, also for a screen smaller than the window.
INSTANTIATE_TEST_SUITE_P(Screens, PlacementTest,
                         ::testing::Values(PlacementCase{1024, 768, false, 197, 247},
                                           PlacementCase{1024, 768, true, 197, 262},
                                           PlacementCase{1921, 1080, false, 645, 403},
                                           PlacementCase{640, 200, false, 5, -36},
                                           PlacementCase{500, 240, true, -65, -1},
                                           PlacementCase{320, 200, false, -155, -36}));

TEST_F(AppTest, ListsOnlyCapableDevicesWithTheirDeviceNumbers)
{
    platformtest::setWaveInDevices({withoutFormat("Line In"), capable("Microphone A"),
                                    failingCaps("Broken"), capable("Microphone B")});
    platformtest::setWaveOutDevices(
        {capable("Speakers"), withoutFormat("Modem"), capable("Headset")});
    HWND window = createWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(platformtest::comboItems(MainWindow::inputChooser),
              items({{"Microphone A", 1}, {"Microphone B", 3}}));
    EXPECT_EQ(platformtest::comboItems(MainWindow::outputChooser),
              items({{"Speakers", 0}, {"Headset", 2}}));
    EXPECT_EQ(platformtest::comboSelection(MainWindow::inputChooser), 0);
    EXPECT_EQ(platformtest::comboSelection(MainWindow::outputChooser), 0);
}

TEST_F(AppTest, EmptyDeviceListsSelectNothing)
{
    platformtest::setWaveInDevices({withoutFormat("Line In")});
    HWND window = createWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(platformtest::comboItems(MainWindow::inputChooser).empty());
    EXPECT_TRUE(platformtest::comboItems(MainWindow::outputChooser).empty());
    EXPECT_EQ(platformtest::comboSelection(MainWindow::inputChooser), -1);
}

struct AutomaticStartCase {
    int inputs, outputs;
    bool posted;
};

class AutomaticStartTest : public AppTest,
                           public ::testing::WithParamInterface<AutomaticStartCase> {};

TEST_P(AutomaticStartTest, PostsTheStartClickOnlyWhenThereIsNothingToChoose)
{
    const AutomaticStartCase& c = GetParam();
    std::vector<platformtest::WaveDevice> inputs(c.inputs, capable("Microphone"));
    std::vector<platformtest::WaveDevice> outputs(c.outputs, capable("Speakers"));
    platformtest::setWaveInDevices(inputs);
    platformtest::setWaveOutDevices(outputs);
    HWND window = createWindow();
    ASSERT_NE(window, nullptr);
    const std::vector<MSG> posted = takePostedMessages(window);
    if (c.posted) {
        ASSERT_EQ(posted.size(), 1u);
        EXPECT_EQ(posted[0].hwnd, window);
        EXPECT_EQ(posted[0].message, static_cast<UINT>(WM_COMMAND));
        EXPECT_EQ(posted[0].wParam, 0u);
        EXPECT_EQ(posted[0].lParam, reinterpret_cast<LPARAM>(MainWindow::startButton));
    } else {
        EXPECT_TRUE(posted.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    DeviceCounts, AutomaticStartTest,
    ::testing::Values(AutomaticStartCase{0, 0, true}, AutomaticStartCase{1, 1, true},
                      AutomaticStartCase{1, 0, true}, AutomaticStartCase{2, 1, false},
                      AutomaticStartCase{1, 2, false}, AutomaticStartCase{3, 3, false}));

TEST_F(AppTest, WithTwoInputsTheFirstListedInputIsSelectedAndNothingStarts)
{
    platformtest::setWaveInDevices({withoutFormat("Line In"), capable("First"), capable("Second")});
    platformtest::setWaveOutDevices({capable("Speakers")});
    HWND window = createWindow();
    ASSERT_NE(window, nullptr);
    const int selected = platformtest::comboSelection(MainWindow::inputChooser);
    ASSERT_EQ(selected, 0);
    EXPECT_EQ(SendMessageA(MainWindow::inputChooser, CB_GETITEMDATA, selected, 0), 1);
    EXPECT_TRUE(takePostedMessages(window).empty());
}

TEST_F(AppTest, FailedWindowCreationGivesZero)
{
    // No class of that name is registered.
    std::strcpy(className, "NOT REGISTERED");
    EXPECT_EQ(createMainWindow(instance, SW_SHOWNORMAL), 0);
    EXPECT_TRUE(platformtest::topLevelWindows().empty());
}

TEST_F(AppTest, ClassRegistrationLoadsTheIcons)
{
    HWND window = createWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_NE(MainWindow::appIcon, nullptr);
    EXPECT_EQ(MainWindow::appIcon, platformtest::iconHandle(107));
}
