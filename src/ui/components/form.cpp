#include "ui/components/form.h"

#include <algorithm>
#include <vector>

#include "ui/components/graphics.h"
#include "ui/components/skin_engine.h"

namespace {

HWND mainWindow = nullptr;
// Marks a form that a modal form leaves enabled.
constexpr const wchar_t* kUsableUnderModal = L"HoravelUsableUnderModal";
HACCEL mainAccelerators = nullptr;

struct DisabledWindows {
  DWORD thread;
  HWND except;
  std::vector<HWND> windows;
};

BOOL CALLBACK disableOne(HWND window, LPARAM param) {
  auto* state = reinterpret_cast<DisabledWindows*>(param);
  if (window != state->except && IsWindowVisible(window) && IsWindowEnabled(window) &&
      !GetPropW(window, kUsableUnderModal)) {
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

void Form::Show(Activation activation) {
  ShowWindow(handle(), activation == Activation::Activate ? SW_SHOW : SW_SHOWNOACTIVATE);
  FormShow();
}

void Form::keepEnabledUnderModalForms() { SetPropW(handle(), kUsableUnderModal, reinterpret_cast<HANDLE>(1)); }

// The window goes right after this (Window's destructor), with nothing
// painted in between.
Form::~Form() {
  if (handle()) RemovePropW(handle(), kUsableUnderModal);
  if (font_) DeleteObject(font_);
  for (HICON icon : captionIcons_)
    if (icon) DestroyIcon(icon);
}

void Form::useCaptionIcon(const wchar_t* name) {
  captionIconName_ = name;
  loadCaptionIcon();
}

void Form::loadCaptionIcon() {
  if (!captionIconName_) return;
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  const UINT dpi = this->dpi();
  const int sizes[2][2] = {{GetSystemMetricsForDpi(SM_CXICON, dpi), GetSystemMetricsForDpi(SM_CYICON, dpi)},
                           {GetSystemMetricsForDpi(SM_CXSMICON, dpi), GetSystemMetricsForDpi(SM_CYSMICON, dpi)}};
  const WPARAM kinds[2] = {ICON_BIG, ICON_SMALL};
  for (int i = 0; i < 2; ++i) {
    const HICON old = captionIcons_[i];
    captionIcons_[i] =
        static_cast<HICON>(LoadImageW(instance, captionIconName_, IMAGE_ICON, sizes[i][0], sizes[i][1], 0));
    SendMessageW(handle(), WM_SETICON, kinds[i], reinterpret_cast<LPARAM>(captionIcons_[i]));
    if (old) DestroyIcon(old);
  }
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

RECT fitInside(const RECT& wanted, const RECT& area) {
  const LONG width = std::min(wanted.right - wanted.left, area.right - area.left);
  const LONG height = std::min(wanted.bottom - wanted.top, area.bottom - area.top);
  const LONG left = std::clamp(wanted.left, area.left, area.right - width);
  const LONG top = std::clamp(wanted.top, area.top, area.bottom - height);
  return {left, top, left + width, top + height};
}

RECT workAreaOf(const RECT& where) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  GetMonitorInfoW(MonitorFromRect(&where, MONITOR_DEFAULTTONEAREST), &info);
  return info.rcWork;
}

void Form::centreOn(HWND other) {
  RECT own;
  GetWindowRect(handle(), &own);
  RECT outer;
  if (other && IsWindowVisible(other)) {
    GetWindowRect(other, &outer);
  } else {
    outer = workAreaOf(own);
  }
  const LONG width = own.right - own.left;
  const LONG height = own.bottom - own.top;
  const LONG left = outer.left + (outer.right - outer.left - width) / 2;
  const LONG top = outer.top + (outer.bottom - outer.top - height) / 2;
  const RECT r = insideWorkArea({left, top, left + width, top + height});
  SetWindowPos(handle(), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::createDialog(const wchar_t* className, const wchar_t* caption, HWND owner, DWORD style, DWORD exStyle) {
  CreateParams params;
  params.className = className;
  params.caption = caption;
  params.style = style;
  params.exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT | exStyle;
  params.owner = owner;
  params.x = 0;
  params.y = 0;
  params.width = 0;
  params.height = 0;
  createWindow(params);
  if (SkinEngine* skins = programSkinEngine()) skins->attachForm(handle());
}

void Form::placeInCorner(HWND mainWindow, SIZE size) {
  const HMONITOR monitor = mainWindow ? MonitorFromWindow(mainWindow, MONITOR_DEFAULTTOPRIMARY)
                                      : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  GetMonitorInfoW(monitor, &info);
  const RECT r = fitInside(
      {info.rcWork.right - size.cx, info.rcWork.bottom - size.cy, info.rcWork.right, info.rcWork.bottom}, info.rcWork);
  SetWindowPos(handle(), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
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
    case WM_NEXTDLGCTL: {
      // Sent by a control that takes Tab itself (a multi-line edit): the
      // focus moves on as the dialog's Tab would move it.
      const HWND next = LOWORD(lParam) ? reinterpret_cast<HWND>(wParam)
                                       : GetNextDlgTabItem(handle(), GetFocus(), wParam != 0);
      if (next) {
        SetFocus(next);
        if (SendMessageW(next, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessageW(next, EM_SETSEL, 0, -1);
      }
      return 0;
    }
    case WM_DPICHANGED: {
      recordDpi(LOWORD(wParam));
      const auto* suggested = reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(handle(), nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                   suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
      if (fontMaker_) useFont(fontMaker_);
      loadCaptionIcon();
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
