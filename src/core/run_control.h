#pragma once
// Start, Pause and Stop of the scheduler. The run state has no variable of
// its own: it is whether the timer runs plus which commands can be chosen.


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

  // Each sets the timer and then all nine controls, whatever the state before.
  void mStart() { apply(true, false, true, true); }
  void mPause() { apply(false, true, false, true); }
  void mStop() { apply(false, true, false, false); }

  bool running() const { return timer_.enabled(); }

 private:
  void apply(bool timerOn, bool start, bool pause, bool stop);

  TickTimer& timer_;
  RunControls controls_;
};
