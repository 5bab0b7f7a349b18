#include "app/main_window.h"

#include "app/device_lists.h"
#include "app/pitch_control.h"
#include "app/program_objects.h"
#include "app/text_resources.h"
#include "audio/audio_format.h"
#include "desktop/self_install.h"
#include "res/resource_ids.h"

namespace MainWindow {

HINSTANCE instance;
HICON appIcon;

HWND pitchDownButton;
HWND pitchReadout;
HWND pitchUpButton;
HWND homePageButton;
HWND mailButton;
HWND recordButton;
HWND inputChooser;
HWND inputLabel;
HWND outputChooser;
HWND outputLabel;
HWND startButton;
HWND meterControl;
HWND installButton;

}  // namespace MainWindow

namespace {

constexpr bool VISIBLE = true;
constexpr bool HIDDEN = false;

// Controls carry no identifier: commands are told apart by their handles.
HWND createControl(HWND parent, const char* windowClass, const char* text, DWORD extraStyle,
                   bool visible, int x, int y, int width, int height)
{
    const DWORD style = WS_CHILD | WS_TABSTOP | (visible ? WS_VISIBLE : 0) | extraStyle;
    return CreateWindowExA(0, windowClass, text, style, x, y, width, height, parent, nullptr,
                           MainWindow::instance, nullptr);
}

void placeWindow(HWND window, int height)
{
    const int x = (GetSystemMetrics(SM_CXSCREEN) - MainWindow::WIDTH) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    SetWindowPos(window, HWND_TOP, x, y, MainWindow::WIDTH, height, SWP_NOOWNERZORDER);
}

void createControls(HWND window)
{
    using namespace MainWindow;
    const DWORD chooserStyle = CBS_DROPDOWNLIST | CBS_HASSTRINGS;
    createControl(window, "STATIC", loadText(STRING_INTRO), 0, VISIBLE, 5, 5, 550, 20);
    pitchDownButton = createControl(window, "BUTTON", "<", 0, HIDDEN, 200, 60, 30, 20);
    pitchReadout = createControl(window, "STATIC", "", 0, HIDDEN, 235, 62, 70, 20);
    pitchUpButton = createControl(window, "BUTTON", ">", 0, HIDDEN, 315, 60, 20, 20);
    createControl(window, "STATIC", loadText(STRING_HOME_PAGE_LABEL), 0, VISIBLE, 5, 130, 363, 20);
    homePageButton = createControl(window, "BUTTON", loadText(STRING_HOME_PAGE_ADDRESS), 0,
                                   VISIBLE, 370, 130, 250, 20);
    createControl(window, "STATIC", loadText(STRING_MAIL_LABEL), 0, VISIBLE, 5, 160, 350, 20);
    mailButton = createControl(window, "BUTTON", loadText(STRING_MAIL_BUTTON), 0, VISIBLE, 370,
                               160, 250, 20);
    createControl(window, "STATIC", loadText(STRING_RECORD_LABEL), 0, VISIBLE, 5, 190, 350, 20);
    recordButton = createControl(window, "BUTTON", loadText(STRING_RECORD_BUTTON), 0, VISIBLE,
                                 370, 190, 250, 20);
    inputChooser = createControl(window, "COMBOBOX", "", chooserStyle, VISIBLE, 180, 50, 250, 200);
    inputLabel = createControl(window, "STATIC", loadText(STRING_INPUT_LABEL), 0, VISIBLE, 25, 53,
                               150, 20);
    outputChooser = createControl(window, "COMBOBOX", "", chooserStyle, VISIBLE, 180, 80, 250, 200);
    outputLabel = createControl(window, "STATIC", loadText(STRING_OUTPUT_LABEL), 0, VISIBLE, 25,
                                83, 150, 20);
    startButton = createControl(window, "BUTTON", "Start!", 0, VISIBLE, 460, 54, 55, 40);
    meterControl = createControl(window, "STATIC", "", WS_BORDER, HIDDEN, 200, 90, 135, 20);
}

void createInstallRow(HWND window)
{
    createControl(window, "STATIC", loadText(STRING_INSTALL_LABEL), 0, VISIBLE, 5, 220, 350, 20);
    MainWindow::installButton = createControl(window, "BUTTON", loadText(STRING_INSTALL_BUTTON),
                                              0, VISIBLE, 370, 220, 250, 20);
}

// With nothing to choose, the start runs as if startButton had been clicked.
void postStartWhenNothingToChoose(HWND window)
{
    const LRESULT inputs = SendMessageA(MainWindow::inputChooser, CB_GETCOUNT, 0, 0);
    const LRESULT outputs = SendMessageA(MainWindow::outputChooser, CB_GETCOUNT, 0, 0);
    if (inputs <= 1 && outputs <= 1) {
        PostMessageA(window, WM_COMMAND, 0, reinterpret_cast<LPARAM>(MainWindow::startButton));
    }
}

void configureEngine()
{
    pitchEngine.setChannels(STREAM_CHANNELS);
    pitchEngine.setSampleRate(STREAM_SAMPLE_RATE);
    pitchEngine.setOutputBlockBytes(BLOCK_BYTES);
}

}  // namespace

void registerMainWindowClass(HINSTANCE instance)
{
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = mainWindowProcedure;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = instance;
    MainWindow::appIcon = LoadIconA(instance, MAKEINTRESOURCEA(ICON_ZIMBALO));
    windowClass.hIcon = MainWindow::appIcon;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszMenuName = nullptr;
    windowClass.lpszClassName = className;
    windowClass.hIconSm = LoadIconA(instance, MAKEINTRESOURCEA(ICON_ZIMBALO_SMALL));
    RegisterClassExA(&windowClass);
}

int createMainWindow(HINSTANCE instance, int showState)
{
    MainWindow::instance = instance;
    HWND window = CreateWindowExA(0, className, title, WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                                  CW_USEDEFAULT, 0, CW_USEDEFAULT, 0, nullptr, nullptr, instance,
                                  nullptr);
    if (window == nullptr) {
        return 0;
    }
    ShowWindow(window, showState);
    UpdateWindow(window);
    return 1;
}

void onCreate(HWND window)
{
    detectDesktopCopy(MainWindow::instance);
    placeWindow(window, runningFromDesktopCopy ? MainWindow::HEIGHT_WITHOUT_INSTALL_ROW
                                               : MainWindow::HEIGHT_WITH_INSTALL_ROW);
    createControls(window);
    fillInputChooser(MainWindow::inputChooser);
    fillOutputChooser(MainWindow::outputChooser);
    postStartWhenNothingToChoose(window);
    if (!runningFromDesktopCopy) {
        createInstallRow(window);
    }
    configureEngine();
    updatePitchReadout();
}
