#pragma once
// What became of each mission: carried out in its second or late, missed
// while the computer slept or the clock jumped, postponed or cancelled at a
// notice, or failed with the system's answer. The scheduler, the actions
// and the notices tell the history; the program keeps it beside itself.

#include <optional>
#include <string>

#include "core/clock.h"

enum class MissionOutcome { CarriedOut, CarriedOutLate, Missed, Postponed, Cancelled, Failed };

struct HistoryEntry {
  LocalDateTime at;  // when it happened
  std::string kindName;  // code page 936, as the row holds them
  std::string detail;
  MissionOutcome outcome = MissionOutcome::CarriedOut;
  // The second it was due, when that was not the one it happened in
  // (carried out late, missed).
  std::optional<LocalDateTime> due;
  // Why it failed: the system's error text (code page 936).
  std::string failure;
};

class MissionHistory {
 public:
  virtual ~MissionHistory() = default;
  // May be called from any thread (a sound fails on the sound player's);
  // never throws: a history that cannot be written costs no mission.
  virtual void record(const HistoryEntry& entry) noexcept = 0;
};
