#pragma once
// The notice before a power action: "任务即将执行", what is about to happen
// and in how many seconds, the mission's detail, and three answers: "立即执行",
// "推迟10分钟", "取消" (Esc, the close box). It is modeless and topmost, in
// the lower right corner of the work area of the main window's monitor, and
// never takes the keyboard from what the user is typing into: it shows
// without activation, flashes its own taskbar button and raises an alert
// for screen readers; the user reaches it by its button, Alt+Tab or the
// mouse, and then Tab moves between its buttons. Other forms shown modally
// leave it usable. What the answers do is the countdown's (PowerCountdown);
// the window shows, counts the seconds and passes the answers on.

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "core/mis_kind.h"
#include "core/power_countdown.h"
#include "ui/components/form.h"

class TfrmNotice final : public Form {
 public:
  // Created hidden; placed beside mainWindow's monitor at every showing.
  TfrmNotice(HWND mainWindow, PowerCountdown& countdown);
  ~TfrmNotice() override;

  static constexpr UINT_PTR kTimer1 = 1;  // one tick a second while it shows
  enum Command : int { kBtnNow = 101, kBtnPostpone, kBtnCancel };

  // Shows the notice, or brings it up to date while it shows.
  void showNotice(MisAction action, int secondsLeft, const std::string& detail);
  void hideNotice();

  // The text for an action and the seconds left: "计算机将在 N 秒后关闭。".
  static std::wstring countdownText(MisAction action, int secondsLeft);

  void Timer1Timer();
  void btnNowClick();
  void btnPostponeClick();
  void btnCancelClick();

  HWND Label1 = nullptr;  // the countdown text
  HWND Label2 = nullptr;  // the mission's detail; hidden when it has none
  HWND btnNow = nullptr;
  HWND btnPostpone = nullptr;
  HWND btnCancel = nullptr;
  // The action whose picture shows beside the text.
  MisAction shownAction() const { return action_; }
  bool timerRunning() const { return timerRunning_; }

 protected:
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void layout() override;
  void loadPictures() override;
  void skinChanged() override;

 private:
  void createControls();
  SIZE windowSize() const;
  void setLabel(HWND label, const std::wstring& text);
  void paint(HDC dc) const;
  void stopTimer();

  HWND mainWindow_;
  PowerCountdown& countdown_;
  MisAction action_ = MisAction::Shutdown;
  HBITMAP picture_ = nullptr;  // the action's 32x32 picture, premultiplied
  bool timerRunning_ = false;
};
