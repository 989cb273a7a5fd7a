#pragma once
// Keeps the wake timer on the next mission due while waking is chosen and
// the scheduler runs: armed again whenever the run state or the clock
// changes, and after the next pass when the table changed (a pass may
// change many rows, and finding the next mission reads them all) or the
// timer's second has passed. After a wake by it, the computer is held awake
// until the pass that carried that mission out is over.

#include <optional>

#include "core/clock.h"
#include "core/date_time_text.h"
#include "core/mission_table.h"
#include "platform/wake_timer.h"

class MissionWaker final : private MisTableObserver {
 public:
  MissionWaker(WakeTimer& timer, MisTable& table, const Clock& clock, const DateTimeText& text);
  ~MissionWaker() override;
  MissionWaker(const MissionWaker&) = delete;
  MissionWaker& operator=(const MissionWaker&) = delete;

  // The setting "唤醒计算机执行任务".
  void setEnabled(bool on);
  void setRunning(bool running);
  // The system clock was set: the timer, kept in universal time, is armed anew.
  void clockChanged();

  // The computer resumed. When the timer woke it (its second is at most
  // kMakeUpSeconds away), the computer is held awake and that second is
  // given back, for the scheduler to examine as usual.
  std::optional<long long> resumed();
  // After a pass, unless it ran nested in another: a hold whose mission
  // has been carried out ends (not while its notice still counts,
  // noticeShowing), and the timer follows the table.
  void passDone(bool noticeShowing = false);

  // The wall second the timer is armed for.
  std::optional<long long> armedFor() const { return armed_; }

 private:
  void rowsChanged(int, int) override { tableChanged_ = true; }
  void selectionChanged(int) override {}
  void arm();
  void release();

  WakeTimer& timer_;
  MisTable& table_;
  const Clock& clock_;
  const DateTimeText& text_;
  bool enabled_ = false;
  bool running_ = false;
  bool tableChanged_ = false;
  std::optional<long long> armed_;
  std::optional<long long> heldFor_;  // the second of the mission the computer was woken for
};
