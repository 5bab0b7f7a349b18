#pragma once
#include <windows.h>

// The program's single top-level window: its instance, icon and the handles
// of the controls that are used after creation.
namespace MainWindow {

constexpr int WIDTH = 630;
constexpr int HEIGHT_WITH_INSTALL_ROW = 273;
constexpr int HEIGHT_WITHOUT_INSTALL_ROW = 243;

extern HINSTANCE instance;
extern HICON appIcon;

extern HWND pitchDownButton;
extern HWND pitchReadout;
extern HWND pitchUpButton;
extern HWND homePageButton;
extern HWND mailButton;
extern HWND recordButton;
extern HWND inputChooser;
extern HWND inputLabel;
extern HWND outputChooser;
extern HWND outputLabel;
extern HWND startButton;
extern HWND meterControl;
// Null when the program runs from its desktop copy: there is no install row.
extern HWND installButton;

}  // namespace MainWindow

void registerMainWindowClass(HINSTANCE instance);

// 1 when the window exists and has been shown, 0 when its creation failed.
int createMainWindow(HINSTANCE instance, int showState);

// The creation step, run on WM_CREATE.
void onCreate(HWND window);

// The window procedure registered with the class.
LRESULT CALLBACK mainWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
