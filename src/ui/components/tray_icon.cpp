#include "ui/components/tray_icon.h"

#include <utility>

namespace {

ShellNotifyHook& notifyHook() {
  static ShellNotifyHook hook;
  return hook;
}

BOOL notify(DWORD message, NOTIFYICONDATAW& data) {
  if (const ShellNotifyHook& hook = notifyHook()) return hook(message, data);
  return Shell_NotifyIconW(message, &data);
}

}  // namespace

void setShellNotifyHook(ShellNotifyHook hook) { notifyHook() = std::move(hook); }

TrayIcon::TrayIcon(HWND owner, UINT callbackMessage, HICON icon)
    : owner_(owner),
      callbackMessage_(callbackMessage),
      icon_(icon),
      taskbarCreated_(RegisterWindowMessageW(L"TaskbarCreated")) {}

TrayIcon::~TrayIcon() { hide(); }

bool TrayIcon::add() {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = owner_;
  data.uID = kIconId;
  // No NIF_TIP and no NIF_SHOWTIP: no hint text.
  data.uFlags = NIF_MESSAGE | NIF_ICON;
  data.uCallbackMessage = callbackMessage_;
  data.hIcon = icon_;
  bool added = notify(NIM_ADD, data) != FALSE;
  // Still there from before (the shell kept it): bring it up to date.
  if (!added) added = notify(NIM_MODIFY, data) != FALSE;
  // The version is the shell's per add, so it follows every NIM_ADD.
  data.uFlags = 0;
  data.uVersion = NOTIFYICON_VERSION_4;
  notify(NIM_SETVERSION, data);
  return added;
}

void TrayIcon::show() {
  if (visible_) return;
  // Shown even if the shell is not up yet: "TaskbarCreated" adds it then.
  visible_ = true;
  add();
}

void TrayIcon::hide() {
  if (!visible_) return;
  visible_ = false;
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = owner_;
  data.uID = kIconId;
  notify(NIM_DELETE, data);
}

void TrayIcon::setMenu(HMENU popupMenu) { menu_ = popupMenu; }

void TrayIcon::setDoubleClickCommand(int commandId) {
  doubleClickCommand_ = commandId;
  hasDoubleClickCommand_ = true;
}

void TrayIcon::openMenu(POINT at) {
  if (!menu_) return;
  // Without the owner in front the menu would not close when the user
  // clicks elsewhere.
  SetForegroundWindow(owner_);
  const UINT align = GetSystemMetrics(SM_MENUDROPALIGNMENT) ? TPM_RIGHTALIGN : TPM_LEFTALIGN;
  TrackPopupMenu(menu_, align | TPM_BOTTOMALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, owner_, nullptr);
  // Lets the owner's thread see a message after the menu, so the next
  // opening of the menu works the first time.
  PostMessageW(owner_, WM_NULL, 0, 0);
}

bool TrayIcon::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == taskbarCreated_ && taskbarCreated_ != 0) {
    if (visible_) add();
    return true;
  }
  if (message == callbackMessage_) {
    // Version 4: LOWORD(lParam) is the event, HIWORD(lParam) the icon's id,
    // wParam the place on the screen.
    if (HIWORD(lParam) != kIconId) return false;
    // The icon's place for the keyboard, the mouse's for the mouse.
    const POINT anchor{static_cast<short>(LOWORD(wParam)), static_cast<short>(HIWORD(wParam))};
    switch (LOWORD(lParam)) {
      case WM_LBUTTONDBLCLK:
      case NIN_KEYSELECT:  // Enter or Space on the icon, chosen with the keyboard (Win+B, arrows)
        if (hasDoubleClickCommand_) SendMessageW(owner_, WM_COMMAND, MAKEWPARAM(doubleClickCommand_, 0), 0);
        break;
      case WM_RBUTTONDOWN:  // the menu opens as the right button goes down on the icon
        openMenu(anchor);
        pressMenuClosedAt_ = GetTickCount();
        pressOpenedMenu_ = true;
        break;
      case WM_CONTEXTMENU:
        // The release that follows a press sends this too: that menu has
        // been shown already. Otherwise it is the keyboard's menu key.
        if (pressOpenedMenu_) {
          pressOpenedMenu_ = false;
          if (GetTickCount() - pressMenuClosedAt_ <= GetDoubleClickTime()) break;
        }
        openMenu(anchor);
        break;
      default:
        break;
    }
    return true;
  }
  if (message == WM_SIZE && wParam == SIZE_MINIMIZED && minimizeToTray_) hideOwnerToTray();
  return false;
}

void TrayIcon::hideOwnerToTray() {
  show();
  // A hidden window has no taskbar button.
  ShowWindow(owner_, SW_HIDE);
}

void TrayIcon::restoreOwner() {
  ShowWindow(owner_, IsIconic(owner_) ? SW_RESTORE : SW_SHOW);
  SetForegroundWindow(owner_);
  BringWindowToTop(owner_);
}
