#include "ui/components/form.h"

#include <vector>

namespace {

HWND mainWindow = nullptr;
HACCEL mainAccelerators = nullptr;

struct DisabledWindows {
  DWORD thread;
  HWND except;
  std::vector<HWND> windows;
};

BOOL CALLBACK disableOne(HWND window, LPARAM param) {
  auto* state = reinterpret_cast<DisabledWindows*>(param);
  if (window != state->except && IsWindowVisible(window) && IsWindowEnabled(window)) {
    EnableWindow(window, FALSE);
    state->windows.push_back(window);
  }
  return TRUE;
}

}  // namespace

void setMainAccelerators(HWND window, HACCEL accelerators) {
  mainWindow = window;
  mainAccelerators = accelerators;
}

void dispatchMessage(MSG& message) {
  if (mainAccelerators && mainWindow && IsWindowEnabled(mainWindow) &&
      (message.hwnd == mainWindow || IsChild(mainWindow, message.hwnd)) &&
      TranslateAcceleratorW(mainWindow, mainAccelerators, &message)) {
    return;
  }
  const HWND root = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
  if (root && root != mainWindow && IsDialogMessageW(root, &message)) return;
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

int Form::ShowModal() {
  DisabledWindows disabled{GetCurrentThreadId(), handle(), {}};
  EnumThreadWindows(disabled.thread, &disableOne, reinterpret_cast<LPARAM>(&disabled));
  modal_ = true;
  modalResult_ = 0;
  ShowWindow(handle(), SW_SHOW);
  FormShow();
  SetForegroundWindow(handle());

  bool quit = false;
  int quitCode = 0;
  MSG message;
  while (modalResult_ == 0) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got <= 0) {  // WM_QUIT: leave the modal loop and let the outer loop see it
      quit = true;
      quitCode = static_cast<int>(message.wParam);
      break;
    }
    dispatchMessage(message);
  }

  for (HWND window : disabled.windows) EnableWindow(window, TRUE);
  ShowWindow(handle(), SW_HIDE);
  modal_ = false;
  if (quit) PostQuitMessage(quitCode);
  const int result = modalResult_ == 0 ? IDCANCEL : modalResult_;
  modalResult_ = 0;
  return result;
}

void Form::closeWith(int modalResult) {
  if (modal_) {
    modalResult_ = modalResult;
  } else {
    ShowWindow(handle(), SW_HIDE);
  }
}

void Form::centreOn(HWND other) {
  RECT outer;
  if (other && IsWindowVisible(other)) {
    GetWindowRect(other, &outer);
  } else {
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &outer, 0);
  }
  RECT own;
  GetWindowRect(handle(), &own);
  const int width = own.right - own.left;
  const int height = own.bottom - own.top;
  SetWindowPos(handle(), nullptr, outer.left + (outer.right - outer.left - width) / 2,
               outer.top + (outer.bottom - outer.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::setClientSize(int width96, int height96) {
  RECT frame{0, 0, scale(width96), scale(height96)};
  AdjustWindowRectExForDpi(&frame, static_cast<DWORD>(GetWindowLongPtrW(handle(), GWL_STYLE)), FALSE,
                           static_cast<DWORD>(GetWindowLongPtrW(handle(), GWL_EXSTYLE)), GetDpiForWindow(handle()));
  SetWindowPos(handle(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT Form::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) {
    closeWith(IDCANCEL);
    return 0;
  }
  return Window::handleMessage(message, wParam, lParam);
}
