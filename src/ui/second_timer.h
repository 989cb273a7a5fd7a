#pragma once
// The scheduler's timer Timer1: a window timer armed afresh at every tick for
// shortly after the next wall-clock second begins, so that each second gets
// one pass while the thread is idle. Its ticks arrive as WM_TIMER messages of
// the owner window, also inside modal loops.

#include <windows.h>

#include <functional>

#include "core/clock.h"
#include "core/run_control.h"

class SecondTimer final : public TickTimer {
 public:
  explicit SecondTimer(const Clock& clock) : clock_(clock) {}
  ~SecondTimer() override { setEnabled(false); }

  void attach(HWND owner, UINT_PTR id) {
    owner_ = owner;
    id_ = id;
  }
  UINT_PTR id() const { return id_; }

  // On: the first tick shortly after the next wall-clock second begins.
  // On while on changes nothing.
  void setEnabled(bool enabled) override;
  bool enabled() const override { return enabled_; }

  // At every tick, before the tick's work: aims the next tick.
  void rearm();

  // Called after the timer is switched on or off.
  std::function<void()> onSwitch;

 private:
  const Clock& clock_;
  HWND owner_ = nullptr;
  UINT_PTR id_ = 0;
  bool enabled_ = false;
};
