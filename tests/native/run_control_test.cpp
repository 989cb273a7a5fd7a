#include "core/run_control.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Every control and the timer write into one log, so the order shows.
struct Log {
  std::vector<std::string> lines;
};

struct LoggedControl : CommandControl {
  Log* log = nullptr;
  std::string name;
  bool isEnabled = true;
  void setEnabled(bool enabled) override {
    isEnabled = enabled;
    log->lines.push_back(name + (enabled ? "+" : "-"));
  }
};

struct LoggedTimer : TickTimer {
  Log* log = nullptr;
  bool on = false;
  int restarts = 0;
  void setEnabled(bool enabled) override {
    if (enabled && !on) ++restarts;
    on = enabled;
    log->lines.push_back(enabled ? "timer+" : "timer-");
  }
  bool enabled() const override { return on; }
};

class RunControlTest : public ::testing::Test {
 protected:
  RunControlTest() {
    const char* names[] = {"tbStart", "tbPause", "tbStop", "mnStart", "mnPause", "mnStop", "bStart", "bPause", "bStop"};
    for (int i = 0; i < 9; ++i) {
      controls[i].log = &log;
      controls[i].name = names[i];
    }
    timer.log = &log;
  }
  RunControls bound() {
    return {&controls[0], &controls[1], &controls[2], &controls[3], &controls[4],
            &controls[5], &controls[6], &controls[7], &controls[8]};
  }
  std::string states() const {
    std::string s;
    for (const auto& c : controls) s += c.isEnabled ? '1' : '0';
    return s;
  }

  Log log;
  LoggedControl controls[9];
  LoggedTimer timer;
};

}  // namespace

TEST_F(RunControlTest, EachCommandSetsTimerThenAllNineControlsInOrder) {
  RunControl run(timer, bound());
  run.mStart();
  EXPECT_EQ(log.lines, (std::vector<std::string>{"timer+", "tbStart-", "tbPause+", "tbStop+", "mnStart-", "mnPause+",
                                                 "mnStop+", "bStart-", "bPause+", "bStop+"}));
  EXPECT_TRUE(run.running());
  EXPECT_EQ(states(), "011011011");

  run.mPause();
  EXPECT_FALSE(timer.on);
  EXPECT_EQ(states(), "101101101");

  run.mStop();
  EXPECT_FALSE(timer.on);
  EXPECT_EQ(states(), "100100100");
}

TEST_F(RunControlTest, StartWhileRunningDoesNotRestartTheTimer) {
  RunControl run(timer, bound());
  run.mStart();
  log.lines.clear();
  run.mStart();
  EXPECT_EQ(timer.restarts, 1);
  EXPECT_EQ(log.lines.size(), 10u);  // every control is set again, to the same value
  EXPECT_EQ(states(), "011011011");
}

TEST_F(RunControlTest, PauseThenStartResumes) {
  RunControl run(timer, bound());
  run.mStart();
  run.mPause();
  run.mStart();
  EXPECT_TRUE(timer.on);
  EXPECT_EQ(timer.restarts, 2);
  EXPECT_EQ(states(), "011011011");
}

TEST_F(RunControlTest, UnboundControlsAreSkipped) {
  RunControls some;
  some.tbStart = &controls[0];
  RunControl run(timer, some);
  run.mStop();
  EXPECT_EQ(log.lines, (std::vector<std::string>{"timer-", "tbStart+"}));
}
