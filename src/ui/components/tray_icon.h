#pragma once
// The program's icon in the notification area, with its menu and
// minimise-to-tray. The icon has no hint text. It speaks the shell's
// version 4 protocol: the event is LOWORD(lParam) of the callback message.
//
// The owner window forwards every message to handleMessage; that also covers
// the "TaskbarCreated" broadcast, after which a shown icon is added again
// (Explorer restarted and forgot it).

#include <windows.h>
#include <shellapi.h>

#include <functional>

class TrayIcon {
 public:
  TrayIcon(HWND owner, UINT callbackMessage /*e.g. WM_APP+1*/, HICON icon);
  ~TrayIcon();  // removes the icon if shown
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  // Adds the icon (NIM_ADD, then NIM_SETVERSION 4); nothing when shown.
  void show();
  void hide();
  bool visible() const { return visible_; }

  // The menu opened when the right button is pressed on the icon, or by the
  // keyboard's context-menu event; its commands reach the owner as WM_COMMAND.
  void setMenu(HMENU popupMenu);
  // A double-click on the icon, or Enter/Space on it when the keyboard has
  // chosen it in the notification area, sends WM_COMMAND(commandId) to the
  // owner.
  void setDoubleClickCommand(int commandId);
  // When on, handleMessage turns the owner's minimising (WM_SIZE,
  // SIZE_MINIMIZED) into hideOwnerToTray. Off at first.
  void setMinimizeToTray(bool on) { minimizeToTray_ = on; }

  // True when the message was the icon's: its callback message or
  // "TaskbarCreated".
  bool handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  // Hides the owner and its taskbar button and shows the icon.
  void hideOwnerToTray();
  // Un-minimises the owner if minimised, shows it with its taskbar button
  // and brings it to the front. The icon stays.
  void restoreOwner();

  UINT iconId() const { return kIconId; }

 private:
  static constexpr UINT kIconId = 1;
  bool add();
  void openMenu(POINT at);

  HWND owner_;
  UINT callbackMessage_;
  HICON icon_;
  UINT taskbarCreated_;
  HMENU menu_ = nullptr;
  int doubleClickCommand_ = 0;
  bool hasDoubleClickCommand_ = false;
  bool visible_ = false;
  bool minimizeToTray_ = false;
  bool pressOpenedMenu_ = false;  // until the context event of that press's release
  DWORD pressMenuClosedAt_ = 0;
};

// Every call of Shell_NotifyIconW made by TrayIcon goes through here. While a
// hook is set, it gets the calls instead of the shell (tests record them).
using ShellNotifyHook = std::function<BOOL(DWORD message, const NOTIFYICONDATAW& data)>;
void setShellNotifyHook(ShellNotifyHook hook);
