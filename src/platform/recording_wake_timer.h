#pragma once
// A wake timer that only records what it was asked, one line per call:
// "arm 2026-12-09 12:00:00", "disarm", "holdAwake 1", "holdAwake 0".

#include <string>
#include <vector>

#include "platform/wake_timer.h"

class RecordingWakeTimer final : public WakeTimer {
 public:
  void arm(const LocalDateTime& at) override;
  void disarm() override { calls.push_back("disarm"); }
  void holdAwake(bool hold) override { calls.push_back(hold ? "holdAwake 1" : "holdAwake 0"); }
  WakeSupport support() override { return answer; }

  std::vector<std::string> calls;
  WakeSupport answer = WakeSupport::Supported;
};
