#pragma once
// The window that stands for the program on the taskbar and in Alt+Tab: a
// visible popup of no size, captioned with the application title, that owns
// the main window. An owned window gets no taskbar button of its own, so the
// main window keeps its own caption while the one button reads the
// application title. The button follows the main window: shown with it,
// hidden with it (to the notification area, say).
//
// What the taskbar does to the button (activate, minimise, close) is passed
// on to the main window: activation goes to the main window or its open
// dialog, minimising and closing reach it as its own WM_SYSCOMMAND.

#include "ui/components/window.h"

class ApplicationWindow final : public Window {
 public:
  // The icon is the button's (the class icon, so the window is made with it).
  ApplicationWindow(const wchar_t* title, HICON icon);
  // The window whose button this is; it must be created with this window as
  // its owner.
  void setMainWindow(HWND main) { main_ = main; }
  // Shows or hides the button, never activating this window itself.
  void followMainWindow(bool shown);

 protected:
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void activateMainWindow();
  HWND main_ = nullptr;
};
