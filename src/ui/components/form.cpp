#include "ui/components/form.h"

#include <vector>

#include "ui/components/graphics.h"
#include "ui/components/skin_engine.h"

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

// Tab and Shift+Tab between the main window's tab stops (the toolbar, the
// side bar, the list). The main window runs no dialog keyboard handling as a
// whole: it would take Enter and the arrows from the list.
bool moveMainFocus(const MSG& message) {
  if (message.message != WM_KEYDOWN || message.wParam != VK_TAB || GetKeyState(VK_CONTROL) < 0 ||
      GetKeyState(VK_MENU) < 0 || !IsWindowEnabled(mainWindow)) {
    return false;
  }
  const HWND focus = GetFocus();
  wchar_t className[16] = L"";
  // An edit box open in a control (a list's label) keeps its own keys.
  if (focus && GetClassNameW(focus, className, 16) && lstrcmpiW(className, L"Edit") == 0) return false;
  const HWND next = GetNextDlgTabItem(mainWindow, focus, GetKeyState(VK_SHIFT) < 0);
  if (next) SetFocus(next);
  return true;
}

// Return on a focused push button presses it, wherever the button sits. The
// dialog manager would send the window IDOK or the button's id instead, and
// a window cannot tell those from its own ids when the button belongs to a
// child control (the browse button of a file-name edit).
bool pressFocusedButton(const MSG& message) {
  if (message.message != WM_KEYDOWN || message.wParam != VK_RETURN || !message.hwnd) return false;
  const LRESULT code = SendMessageW(message.hwnd, WM_GETDLGCODE, 0, 0);
  if (!(code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))) return false;
  SendMessageW(message.hwnd, BM_CLICK, 0, 0);
  return true;
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
  if (root && root == mainWindow && moveMainFocus(message)) return;
  if (root && root != mainWindow && pressFocusedButton(message)) return;
  if (root && root != mainWindow && IsDialogMessageW(root, &message)) return;
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

int Form::ShowModal(Activation activation) {
  DisabledWindows disabled{GetCurrentThreadId(), handle(), {}};
  EnumThreadWindows(disabled.thread, &disableOne, reinterpret_cast<LPARAM>(&disabled));
  modal_ = true;
  modalResult_ = 0;
  const bool activate = activation == Activation::Activate;
  ShowWindow(handle(), activate ? SW_SHOW : SW_SHOWNOACTIVATE);
  FormShow();
  if (activate) SetForegroundWindow(handle());

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

// The window goes right after this (Window's destructor), with nothing
// painted in between.
Form::~Form() {
  if (font_) DeleteObject(font_);
}

void Form::useFont(std::function<HFONT(UINT dpi)> maker) {
  fontMaker_ = std::move(maker);
  const HFONT old = font_;
  font_ = fontMaker_ ? fontMaker_(dpi()) : nullptr;
  setFontOnTree(handle(), font_);
  if (old) DeleteObject(old);
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

void Form::createDialog(const wchar_t* className, const wchar_t* caption, HWND owner, DWORD style) {
  CreateParams params;
  params.className = className;
  params.caption = caption;
  params.style = style;
  params.exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
  params.owner = owner;
  params.x = 0;
  params.y = 0;
  params.width = 0;
  params.height = 0;
  createWindow(params);
  if (SkinEngine* skins = programSkinEngine()) skins->attachForm(handle());
}

void Form::setClientSize(int width96, int height96) {
  RECT frame{0, 0, scale(width96), scale(height96)};
  AdjustWindowRectExForDpi(&frame, static_cast<DWORD>(GetWindowLongPtrW(handle(), GWL_STYLE)), FALSE,
                           static_cast<DWORD>(GetWindowLongPtrW(handle(), GWL_EXSTYLE)), dpi());
  SetWindowPos(handle(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  // The frame Windows really drew may differ from the reckoning (a caption
  // still at the old dpi, a menu that wrapped): make up the difference.
  RECT client;
  GetClientRect(handle(), &client);
  const int dx = scale(width96) - client.right;
  const int dy = scale(height96) - client.bottom;
  if (dx != 0 || dy != 0) {
    SetWindowPos(handle(), nullptr, 0, 0, frame.right - frame.left + dx, frame.bottom - frame.top + dy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

LRESULT Form::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == skinChangedMessage()) {
    skinChanged();
    return 0;
  }
  switch (message) {
    case WM_CLOSE:
      closeWith(IDCANCEL);
      return 0;
    case WM_ACTIVATE:
      // Back to the control that had the focus (after a notice, say), not
      // to the window itself.
      if (LOWORD(wParam) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        if (focus && IsChild(handle(), focus)) focused_ = focus;
      } else if (focused_ && IsWindow(focused_) && IsChild(handle(), focused_) && IsWindowVisible(focused_)) {
        // A control hidden meanwhile (a button of another mode) never gets it.
        SetFocus(focused_);
        return 0;
      }
      break;
    case WM_DPICHANGED: {
      recordDpi(LOWORD(wParam));
      const auto* suggested = reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(handle(), nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                   suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
      if (fontMaker_) useFont(fontMaker_);
      loadPictures();
      layout();
      InvalidateRect(handle(), nullptr, TRUE);
      return 0;
    }
    default:
      break;
  }
  return Window::handleMessage(message, wParam, lParam);
}
