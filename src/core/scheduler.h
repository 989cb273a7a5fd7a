#pragma once
// The once-a-second pass over the mission table: shows the clock, fires every
// mission due this second, then sounds the hourly chime.

#include <optional>
#include <string>
#include <string_view>

#include "core/clock.h"
#include "core/date_time_text.h"
#include "core/mission_actions.h"
#include "core/mission_table.h"
#include "core/sound_player.h"

// Where the pass writes the current date and time (the status bar's clock).
class StatusClockView {
 public:
  virtual ~StatusClockView() = default;
  virtual void showStatusClock(const std::string& text) = 0;
};

// Reads a time text as hour ':' minute ':' second, each a decimal integer
// (leading zeros allowed). The second is everything after the second ':'.
std::optional<TimeOfDay> splitTimeText(std::string_view text);

// Reads a row's time text as a pass does: hour ':' minute ':' second first;
// when that fails and the user's format is not that one, with the format's
// parser. So "07:30:00" reads under a 12-hour format too.
std::optional<TimeOfDay> readMissionTime(const DateTimeText& text, std::string_view timeText);

// The resource name of the chime for an hour: "t1" .. "t23"; midnight plays
// the clip for 24 o'clock.
std::string chimeSoundName(int hour);

class Scheduler {
 public:
  // autoSpeek is the main window's chime flag, read at the end of each pass.
  Scheduler(const MisTable& table, const Clock& clock, const DateTimeText& text, MissionActions& actions,
            SoundPlayer& sounds, StatusClockView& statusClock, const bool& autoSpeek);

  // One pass. An action may run a modal loop in which further passes run
  // nested; this pass resumes afterwards with the rows that still exist.
  void CheckMis();

 private:
  const std::string& todayText(const LocalDateTime& now);
  void dispatch(int row);
  void chime();

  const MisTable& table_;
  const Clock& clock_;
  const DateTimeText& text_;
  MissionActions& actions_;
  SoundPlayer& sounds_;
  StatusClockView& statusClock_;
  const bool& autoSpeek_;
  // Today's date text, rewritten only when the date changes.
  CivilDate todayDate_;
  std::string todayText_;
};
