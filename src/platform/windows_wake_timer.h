#pragma once
// The wake timer on Windows: a waitable timer set with resume, and the
// thread's execution state for the hold.

#include <windows.h>

#include "platform/wake_timer.h"

class WindowsWakeTimer final : public WakeTimer {
 public:
  WindowsWakeTimer();
  ~WindowsWakeTimer() override;
  WindowsWakeTimer(const WindowsWakeTimer&) = delete;
  WindowsWakeTimer& operator=(const WindowsWakeTimer&) = delete;

  void arm(const LocalDateTime& at) override;
  void disarm() override;
  void holdAwake(bool hold) override;
  // A timer set with resume answers ERROR_NOT_SUPPORTED where the system
  // cannot wake by timer; the power plan's setting "allow wake timers" for
  // the power source now in use may be off.
  WakeSupport support() override;

 private:
  HANDLE timer_;
};
