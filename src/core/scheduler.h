#pragma once
// The once-a-second pass over the mission table: shows the clock, deals
// with the missions of a gap it could not watch, moves repeating rows on to
// a new day, fires every mission due in the seconds since the previous
// pass, then sounds the hourly chime. What became of each mission goes to
// the history.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/clock.h"
#include "core/date_time_text.h"
#include "core/mission_actions.h"
#include "core/mission_history.h"
#include "core/mission_table.h"
#include "core/sound_player.h"

class PowerCountdown;

// Where the pass writes the current date and time (the status bar's clock).
class StatusClockView {
 public:
  virtual ~StatusClockView() = default;
  virtual void showStatusClock(const std::string& text) = 0;
};

// Where the user is told of missions that a gap cost and that were not
// carried out: their rows with the date and time they were due. It must not
// hold the pass up (no modal loop).
class MissedMissionsView {
 public:
  virtual ~MissedMissionsView() = default;
  virtual void showMissed(std::vector<MisRecord> rows) = 0;
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

// The most seconds a pass makes up as if they had each had a pass. A longer
// gap means the computer slept or the clock was set forward: only the
// current second is examined as usual, and the missions of the gap go by
// the rules of findMissed (a power-off never fires on wake).
inline constexpr int kMakeUpSeconds = 60;

class Scheduler {
 public:
  // autoSpeek is the main window's chime flag, read at the end of each pass.
  Scheduler(MisTable& table, const Clock& clock, const DateTimeText& text, MissionActions& actions,
            SoundPlayer& sounds, StatusClockView& statusClock, const bool& autoSpeek);

  // Due power missions go to the notice that comes before their action;
  // without one (nullptr) they act at once.
  void handPowerTo(PowerCountdown* notice) { powerNotice_ = notice; }
  // Where carried out, late, missed and failed missions are told, and
  // where missed ones are shown; either may be null.
  void reportTo(MissionHistory* history, MissedMissionsView* missed) {
    history_ = history;
    missed_ = missed;
  }

  // The timer has been switched on: the first pass examines the second
  // after this one.
  void started();
  // Pause or Stop: after the next Start nothing from before it is made up.
  void stopped();
  // The program ends: the pass under way carries out nothing more (a
  // reminder's popup may have held it up), and no later pass runs.
  void halt();
  // The computer was woken for the mission due at second: if the next pass
  // comes at most kMakeUpSeconds after it, that second and those after it
  // are examined as usual, however long the computer took to come up.
  void wokenFor(long long second) { wokenFor_ = second; }

  // One pass. It examines every second since the previous pass (at most the
  // last kMakeUpSeconds), fixed when it begins, so a busy thread delays a
  // mission but never loses it; while not started, only the current second.
  // The due rows fire in the order of their seconds, rows of one second in
  // table order; a repeating row moves to its next occurrence as it fires.
  // Then the hourly chime.
  //
  // Seconds further back than that (the computer slept, the clock was set
  // forward) are a gap: the history learns of every mission due in it,
  // missed or carried out late, the view of those not carried out at all,
  // and the ones to make up are carried out first, in table order.
  //
  // The first pass of a new day (or after the clock was set back) moves
  // each repeating row that lies behind to its next occurrence; after the
  // clock was set back, a repeating row dated at its next occurrence by the
  // old clock moves to its next occurrence by the new one, so a daily
  // mission fires every day whatever day the clock shows. An action may run a modal loop in
  // which further passes run nested: they examine only later seconds, and
  // this pass goes on afterwards with its own rows, each checked again
  // first, since the table may have changed meanwhile.
  void CheckMis();

 private:
  // The seconds a pass examines: wall seconds first..last, both included
  // (none when first > last), with the days of the first and the last and
  // those days' date texts (one day twice unless midnight lies between).
  struct Stretch {
    long long first = 0;
    long long last = -1;
    long long days[2] = {};
    std::string dateTexts[2];
    // The gap before first, when there is one (none when gapFirst > gapLast).
    long long gapFirst = 0;
    long long gapLast = -1;
  };
  struct DueRow {
    long long second;
    MisTable::RowId row;
    // A row of a gap carried out late: the row as it was found, which it
    // must still be when its turn comes.
    std::optional<MisRecord> late = std::nullopt;
  };

  // Fixes the seconds of a pass that began at now.
  void takeSeconds(const LocalDateTime& now, Stretch& stretch);
  // The second of the stretch at which the row is due, if any.
  std::optional<long long> dueSecond(const MisRecord& row, const Stretch& stretch) const;
  // A new day or the clock set back since the previous pass: repeating rows
  // move to their next occurrence.
  void followTheDate(long long current, const Stretch& stretch);
  // The missions of the stretch's gap: told, moved on, and those to make up
  // put in due.
  void takeMissed(const Stretch& stretch, long long current, std::vector<DueRow>& due);
  // Moves a repeating row that fires at second to its next occurrence.
  void moveOn(int row, long long second);
  void dispatch(int row, const DueRow& entry);
  void record(const HistoryEntry& entry);
  void chime(const Stretch& stretch);

  MisTable& table_;
  const Clock& clock_;
  const DateTimeText& text_;
  MissionActions& actions_;
  SoundPlayer& sounds_;
  StatusClockView& statusClock_;
  const bool& autoSpeek_;
  PowerCountdown* powerNotice_ = nullptr;
  MissionHistory* history_ = nullptr;
  MissedMissionsView* missed_ = nullptr;
  std::optional<long long> wokenFor_;
  // Between Start and Pause or Stop: the last second examined and the
  // latest pass's clock reading in milliseconds, which tells a clock set back.
  bool running_ = false;
  bool halted_ = false;
  long long lastExamined_ = 0;
  long long lastReading_ = 0;
  // The full hour whose chime sounded last: never twice for one hour.
  long long lastChime_ = -1;
  // The second of the latest pass, running or not (at first the scheduler's
  // making): tells a new day.
  long long lastPass_ = 0;
  // The first second of the outermost pass still carrying out its rows: a
  // nested pass never moves a row that an outer one is yet to fire.
  long long underWayFrom_;
};
