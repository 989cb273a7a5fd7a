#pragma once
// The mission actions, carried out through PlatformServices, the sound
// player (the ring plays off the window's thread, in line with the chime)
// and the reminder popup.
//
// Reminders take turns. The popup is one window that holds one text and is
// shown modally; while it shows, the scheduler's timer keeps running nested
// passes, and a reminder due in one of them reaches mMessage again. That call
// only puts its text in line and returns, so the nested pass goes on; the
// outermost call shows every text in line, one after another, each with its
// beep and its full countdown. However many reminders fall due, at most one
// modal loop runs and nothing is dropped until the program ends.

#include <cstddef>
#include <deque>
#include <string>

#include "core/clock.h"
#include "core/mission_actions.h"
#include "core/mission_history.h"
#include "core/platform_services.h"
#include "core/sound_player.h"

// What a reminder needs of the popup window.
class ReminderPopup {
 public:
  virtual ~ReminderPopup() = default;
  // The message label's text, code page 936.
  virtual void setMessage(const std::string& cp936) = 0;
  // Shows the popup and returns when it has closed.
  virtual void showModal() = 0;
  virtual WindowHandle window() const = 0;
};

class PlatformMissionActions final : public MissionActions {
 public:
  PlatformMissionActions(PlatformServices& platform, ReminderPopup& popup, SoundPlayer& sounds);
  // The popup comes later (attachPopup): the program makes it after the
  // main window, whose scheduler exists from the start.
  PlatformMissionActions(PlatformServices& platform, SoundPlayer& sounds);
  void attachPopup(ReminderPopup& popup) { popup_ = &popup; }
  bool hasPopup() const { return popup_ != nullptr; }

  void mShutdown() override;
  void mReboot() override;
  void mLogoff() override;
  void mExecPro(std::string path) override;
  void mOpenFile(std::string path) override;
  void mMessage(std::string message) override;
  // A chosen sound file, or the built-in ring for "内置铃声", an empty
  // detail or a file that cannot be played.
  void mRing(std::string soundFile) override;
  void mOpenUrl(std::string url) override;
  void mEmail(std::string address) override;
  void mLock() override;
  void mMonitorOff() override;
  void mSleep() override;
  void mHibernate() override;
  std::string takeFailure() override;

  // Where a ring whose sound could not play is recorded as failed: on the
  // sound player's thread, once the ring's action is long over, at the
  // clock's time then.
  void reportRingsTo(MissionHistory& history, const Clock& clock) {
    history_ = &history;
    clock_ = &clock;
  }

  // True while a reminder's popup is up (or between two reminders in line).
  bool showingReminder() const { return showing_; }
  // Reminders waiting for the popup, not counting the one it shows.
  std::size_t waitingReminders() const { return waiting_.size(); }
  // The program ends: the reminders in line are dropped, and the one that
  // shows is the last.
  void dropWaitingReminders() { waiting_.clear(); }

 private:
  void showOne(const std::string& message);
  // What the request of the action under way answered.
  void keep(RequestFailure failure);

  PlatformServices& platform_;
  ReminderPopup* popup_;
  SoundPlayer& sounds_;
  bool showing_ = false;
  std::deque<std::string> waiting_;
  std::string failure_;  // of the latest action, until taken
  MissionHistory* history_ = nullptr;
  const Clock* clock_ = nullptr;
};
