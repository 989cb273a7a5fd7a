#pragma once
// Waking the computer for a mission: a timer the system keeps while the
// computer sleeps or hibernates, and a hold that keeps it from going back to
// sleep on its own before the mission has run (woken by a timer with nobody
// at it, Windows lets it sleep again after a couple of minutes).

#include "core/clock.h"

enum class WakeSupport {
  Supported,
  NotSupported,  // the system cannot wake by timer at all
  TimersOff,     // the power plan does not allow wake timers
};

class WakeTimer {
 public:
  virtual ~WakeTimer() = default;
  // Wakes the computer at that local date and time, in place of any earlier.
  virtual void arm(const LocalDateTime& at) = 0;
  virtual void disarm() = 0;
  // While held, the computer does not go to sleep on its own.
  virtual void holdAwake(bool hold) = 0;
  // Whether a timer can wake this computer now.
  virtual WakeSupport support() = 0;
};
