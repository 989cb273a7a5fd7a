#include "platform/recording_wake_timer.h"

#include <cstdio>

void RecordingWakeTimer::arm(const LocalDateTime& at) {
  char line[48];
  std::snprintf(line, sizeof line, "arm %04d-%02d-%02d %02d:%02d:%02d", at.year, at.month, at.day, at.hour, at.minute,
                at.second);
  calls.push_back(line);
}
