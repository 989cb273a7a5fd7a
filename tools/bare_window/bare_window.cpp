// The yardstick for tools/measure-lightness.sh: the barest Win32 program
// with Horavel's frame size, built by the same toolchain with the same
// options and manifest. "bare_window.exe" shows an empty window;
// "bare_window.exe clock" adds a status bar whose clock it updates once a
// second, as a resident program with a status clock at least must.

#include <windows.h>
#include <commctrl.h>

#include <cwchar>

namespace {

HWND statusBar = nullptr;

void showClock() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  wchar_t text[32];
  swprintf(text, 32, L"%d/%d/%d %02d:%02d:%02d", now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute,
           now.wSecond);
  SendMessageW(statusBar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text));
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      if (statusBar) SendMessageW(statusBar, WM_SIZE, 0, 0);
      return 0;
    case WM_TIMER:
      showClock();
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int showCommand) {
  const bool clock = commandLine && wcsstr(commandLine, L"clock");
  WNDCLASSW wc{};
  wc.lpfnWndProc = windowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = L"BareWindow";
  RegisterClassW(&wc);
  HWND window = CreateWindowExW(0, L"BareWindow", clock ? L"BareClockWindow" : L"BareWindow",
                                WS_OVERLAPPEDWINDOW, 198, 113, 696, 480, nullptr, nullptr, instance, nullptr);
  if (clock) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    statusBar = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, window, nullptr,
                                instance, nullptr);
    int parts[] = {100, -1};
    SendMessageW(statusBar, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
    SetTimer(window, 1, 1000, nullptr);
  }
  ShowWindow(window, showCommand);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
