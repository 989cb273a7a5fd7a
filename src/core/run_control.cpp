#include "core/run_control.h"

#include "core/scheduler.h"

namespace {

void enable(CommandControl* control, bool enabled) {
  if (control) control->setEnabled(enabled);
}

}  // namespace

void RunControl::apply(bool timerOn, bool start, bool pause, bool stop) {
  timer_.setEnabled(timerOn);
  // Toolbar buttons, then menu items, then side-bar items; start, pause, stop in each.
  enable(controls_.tbStart, start);
  enable(controls_.tbPause, pause);
  enable(controls_.tbStop, stop);
  enable(controls_.mnStart, start);
  enable(controls_.mnPause, pause);
  enable(controls_.mnStop, stop);
  enable(controls_.bStart, start);
  enable(controls_.bPause, pause);
  enable(controls_.bStop, stop);
}

void RunControl::mStart() {
  const bool wasRunning = timer_.enabled();
  apply(true, false, true, true);
  if (!wasRunning && scheduler_) scheduler_->started();
}

void RunControl::mPause() {
  apply(false, true, false, true);
  if (scheduler_) scheduler_->stopped();
}

void RunControl::mStop() {
  apply(false, true, false, false);
  if (scheduler_) scheduler_->stopped();
}
