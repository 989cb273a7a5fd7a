#include "ui/Unit1.h"

#include <commctrl.h>

namespace {

constexpr int kStatusClockWidth = 100;

}  // namespace

TForm1::TForm1() {
  CreateParams params;
  params.className = L"TForm1";
  params.caption = L"MirolanHoravel";
  params.x = 198;
  params.y = 113;
  params.width = 696;
  params.height = 480;
  params.icon = LoadIconW(GetModuleHandleW(nullptr), L"MAINICON");
  createWindow(params);
}

void TForm1::FormCreate() {
  StatusBar1 = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, handle(), nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  int parts[] = {kStatusClockWidth, -1};
  SendMessageW(StatusBar1, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
}

void TForm1::layout() {
  if (StatusBar1) SendMessageW(StatusBar1, WM_SIZE, 0, 0);
}

LRESULT TForm1::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      FormCreate();
      return 0;
    case WM_SIZE:
      layout();
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return Window::handleMessage(message, wParam, lParam);
  }
}
