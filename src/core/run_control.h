#pragma once
// Start, Pause and Stop of the scheduler. The run state has no variable of
// its own: it is whether the timer runs plus which commands can be chosen.

class Scheduler;

// A toolbar button, menu item or side-bar item that can be greyed out.
class CommandControl {
 public:
  virtual ~CommandControl() = default;
  virtual void setEnabled(bool enabled) = 0;
};

// The scheduler's once-a-second timer. Switching it on while it runs does
// not restart it.
class TickTimer {
 public:
  virtual ~TickTimer() = default;
  virtual void setEnabled(bool enabled) = 0;
  virtual bool enabled() const = 0;
};

// The nine controls, bound by the main window to its real ones.
struct RunControls {
  CommandControl* tbStart = nullptr;
  CommandControl* tbPause = nullptr;
  CommandControl* tbStop = nullptr;
  CommandControl* mnStart = nullptr;
  CommandControl* mnPause = nullptr;
  CommandControl* mnStop = nullptr;
  CommandControl* bStart = nullptr;
  CommandControl* bPause = nullptr;
  CommandControl* bStop = nullptr;
};

class RunControl {
 public:
  explicit RunControl(TickTimer& timer, const RunControls& controls = {}) : timer_(timer), controls_(controls) {}
  // The window binds its controls once it has made them.
  void bind(const RunControls& controls) { controls_ = controls; }
  // The scheduler learns where a run begins and ends, so that it makes up
  // only seconds of the current run.
  void attach(Scheduler* scheduler) { scheduler_ = scheduler; }

  // Each sets the timer and then all nine controls, whatever the state before.
  // Start while running neither restarts the timer nor begins a new run.
  void mStart();
  void mPause();
  void mStop();

  bool running() const { return timer_.enabled(); }

 private:
  void apply(bool timerOn, bool start, bool pause, bool stop);

  TickTimer& timer_;
  RunControls controls_;
  Scheduler* scheduler_ = nullptr;
};
