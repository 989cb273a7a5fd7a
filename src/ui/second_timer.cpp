#include "ui/second_timer.h"

#include "core/tick_schedule.h"

void SecondTimer::setEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  if (owner_) {
    if (enabled) {
      SetTimer(owner_, id_, static_cast<UINT>(nextTickDelay(clock_.now().millisecond)), nullptr);
    } else {
      KillTimer(owner_, id_);
    }
  }
  if (onSwitch) onSwitch();
}

void SecondTimer::rearm() {
  if (enabled_ && owner_) SetTimer(owner_, id_, static_cast<UINT>(nextTickDelay(clock_.now().millisecond)), nullptr);
}
