#include "ui/components/application_window.h"

namespace {

// Activation is handed on after the activation message has been handled.
constexpr UINT kActivateMain = WM_APP + 40;

}  // namespace

ApplicationWindow::ApplicationWindow(const wchar_t* title, HICON icon) {
  CreateParams params;
  params.className = L"HoravelApplication";
  params.caption = title;
  // A caption, a system menu and a minimise box make the taskbar offer
  // restore, minimise and close for the button.
  params.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPSIBLINGS;
  params.x = GetSystemMetrics(SM_CXSCREEN) / 2;
  params.y = GetSystemMetrics(SM_CYSCREEN) / 2;
  params.width = 0;
  params.height = 0;
  params.icon = icon;
  createWindow(params);
}

void ApplicationWindow::followMainWindow(bool shown) {
  if (!shown) {
    ShowWindow(handle(), SW_HIDE);
    return;
  }
  // Minimised by the taskbar before it went to the notification area.
  if (IsIconic(handle())) ShowWindow(handle(), SW_SHOWNOACTIVATE);
  SetWindowPos(handle(), nullptr, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void ApplicationWindow::activateMainWindow() {
  if (!main_ || !IsWindowVisible(main_)) return;
  // An open dialog or question of the main window comes to the front instead.
  const HWND popup = GetLastActivePopup(main_);
  const HWND target = IsWindowEnabled(main_) || !popup ? main_ : popup;
  SetActiveWindow(target);
}

LRESULT ApplicationWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) PostMessageW(handle(), kActivateMain, 0, 0);
      return 0;
    case kActivateMain:
      activateMainWindow();
      return 0;
    case WM_SYSCOMMAND:
      switch (wParam & 0xFFF0) {
        case SC_MINIMIZE:
        case SC_CLOSE:
          if (main_) SendMessageW(main_, WM_SYSCOMMAND, wParam, lParam);
          return 0;
        case SC_RESTORE:
          activateMainWindow();
          return 0;
        default:
          break;
      }
      break;
    case WM_SIZE:
      // Minimised without a system command (Win+M, a shell's minimise all):
      // the main window goes where its own minimise sends it.
      if (wParam == SIZE_MINIMIZED && main_) SendMessageW(main_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
      return 0;
    case WM_CLOSE:
      if (main_) SendMessageW(main_, WM_CLOSE, 0, 0);
      return 0;
    default:
      break;
  }
  return Window::handleMessage(message, wParam, lParam);
}
