#include "core/scheduler.h"

#include <algorithm>
#include <exception>
#include <limits>
#include <utility>
#include <vector>

#include "core/missed_missions.h"
#include "core/power_countdown.h"
#include "core/repeat_dates.h"

namespace {

constexpr long long kSecondsPerDay = 86400;

long long floorMod(long long a, long long b) { return ((a % b) + b) % b; }
long long dayOf(long long second) { return (second - floorMod(second, kSecondsPerDay)) / kSecondsPerDay; }

long long readingOf(const LocalDateTime& t) { return wallSecond(t) * 1000 + t.millisecond; }

// A decimal integer of digits only; longer texts than any hour, minute or
// second can be are refused rather than overflowing.
std::optional<int> toInteger(std::string_view text) {
  while (text.size() > 1 && text.front() == '0') text.remove_prefix(1);
  if (text.empty() || text.size() > 9) return std::nullopt;
  int value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

}  // namespace

std::optional<TimeOfDay> splitTimeText(std::string_view text) {
  // ':' lies below every trail byte of code page 936, so a byte search is a
  // character search here.
  const std::size_t p = text.find(':');
  if (p == std::string_view::npos) return std::nullopt;
  const std::string_view rest = text.substr(p + 1);
  const std::size_t q = rest.find(':');
  if (q == std::string_view::npos) return std::nullopt;
  const auto hour = toInteger(text.substr(0, p));
  const auto minute = toInteger(rest.substr(0, q));
  const auto second = toInteger(rest.substr(q + 1));
  if (!hour || !minute || !second) return std::nullopt;
  return TimeOfDay{*hour, *minute, *second};
}

std::optional<TimeOfDay> readMissionTime(const DateTimeText& text, std::string_view timeText) {
  std::optional<TimeOfDay> time = splitTimeText(timeText);
  // With a 24-hour ':' format the split alone decides.
  if (!time && !text.isColonSeparated24Hour()) time = text.parseTime(timeText);
  return time;
}

std::string chimeSoundName(int hour) {
  // Appended, not "t" + to_string(...): g++ 12 warns falsely (-Wrestrict)
  // about the insert at the front that operator+ makes of the latter.
  std::string name = "t";
  name += std::to_string(hour == 0 ? 24 : hour);
  return name;
}

Scheduler::Scheduler(MisTable& table, const Clock& clock, const DateTimeText& text, MissionActions& actions,
                     SoundPlayer& sounds, StatusClockView& statusClock, const bool& autoSpeek)
    : table_(table),
      clock_(clock),
      text_(text),
      actions_(actions),
      sounds_(sounds),
      statusClock_(statusClock),
      autoSpeek_(autoSpeek),
      lastPass_(wallSecond(clock.now())),
      underWayFrom_(std::numeric_limits<long long>::max()) {}

void Scheduler::started() {
  const LocalDateTime now = clock_.now();
  running_ = true;
  lastExamined_ = wallSecond(now);
  lastReading_ = readingOf(now);
}

void Scheduler::stopped() { running_ = false; }

void Scheduler::halt() {
  running_ = false;
  halted_ = true;
}

void Scheduler::takeSeconds(const LocalDateTime& now, Stretch& stretch) {
  const long long current = wallSecond(now);
  stretch.first = stretch.last = current;
  const std::optional<long long> wokenFor = std::exchange(wokenFor_, std::nullopt);
  if (running_) {
    const long long reading = readingOf(now);
    // A clock set back examines the current second, so a row fires again
    // when its time comes again. The same second twice examines nothing
    // the second time.
    if (reading >= lastReading_) {
      stretch.first = lastExamined_ + 1;
      if (current - lastExamined_ > kMakeUpSeconds) {
        // A gap: only the current second as usual, or from the second the
        // computer was woken for, if that is recent enough.
        stretch.first = current;
        if (wokenFor && *wokenFor > lastExamined_ && *wokenFor <= current && current - *wokenFor <= kMakeUpSeconds)
          stretch.first = *wokenFor;
        stretch.gapFirst = lastExamined_ + 1;
        stretch.gapLast = stretch.first - 1;
      }
    }
    // Fixed now: a pass nested in this one's actions starts after these.
    lastExamined_ = current;
    lastReading_ = reading;
  }
  if (stretch.first > stretch.last) return;
  // At most kMakeUpSeconds: one midnight at most.
  stretch.days[0] = dayOf(stretch.first);
  stretch.days[1] = dayOf(stretch.last);
  text_.writeDate(fromWallSecond(stretch.first), stretch.dateTexts[0]);
  if (stretch.days[1] == stretch.days[0]) {
    stretch.dateTexts[1] = stretch.dateTexts[0];
  } else {
    text_.writeDate(fromWallSecond(stretch.last), stretch.dateTexts[1]);
  }
}

void Scheduler::CheckMis() {
  if (halted_) return;
  const LocalDateTime now = clock_.now();
  statusClock_.showStatusClock(text_.statusClockText(now));
  Stretch stretch;
  takeSeconds(now, stretch);
  if (stretch.first > stretch.last) return;
  // The gap's repeating rows move on with a trace, before a new day moves
  // every row left behind.
  std::vector<DueRow> due;
  if (stretch.gapFirst <= stretch.gapLast) takeMissed(stretch, wallSecond(now), due);
  followTheDate(wallSecond(now), stretch);

  // One scan of the table; no action has run yet, so the table stands still.
  const std::size_t made = due.size();
  const int count = table_.count();
  for (int i = 0; i < count; ++i) {
    if (const std::optional<long long> second = dueSecond(table_.row(i), stretch))
      due.push_back({*second, table_.rowId(i)});
  }
  // In the order of their seconds; rows of one second stay in table order.
  std::stable_sort(due.begin() + static_cast<std::ptrdiff_t>(made), due.end(),
                   [](const DueRow& a, const DueRow& b) { return a.second < b.second; });

  // A failing action must not cost the missions after it: they run, and
  // the first failure is reported afterwards.
  std::exception_ptr failure;
  const long long outerFrom = underWayFrom_;
  underWayFrom_ = std::min(underWayFrom_, stretch.first);
  for (const DueRow& entry : due) {
    if (halted_) break;
    // An earlier action may have run a modal loop in which the user deleted
    // or edited rows: a deleted row is gone, an edited one must still be due
    // in the same second.
    const int i = table_.indexOf(entry.row);
    if (i < 0) continue;
    if (entry.late ? table_.row(i) != *entry.late : dueSecond(table_.row(i), stretch) != entry.second) continue;
    try {
      // Moved on before it is carried out: its action may run a modal loop
      // or end the session. (A late row has moved on already.)
      if (!entry.late) moveOn(i, entry.second);
      dispatch(i, entry);
    } catch (...) {
      if (!failure) failure = std::current_exception();
    }
  }

  underWayFrom_ = outerFrom;

  if (autoSpeek_ && !halted_) chime(stretch);
  if (failure) std::rethrow_exception(failure);
}

std::optional<long long> Scheduler::dueSecond(const MisRecord& row, const Stretch& stretch) const {
  // The date first: most rows are of other days, and comparing texts is
  // cheaper than reading times.
  long long day;
  if (row.dateText == stretch.dateTexts[1]) {
    day = stretch.days[1];
  } else if (stretch.days[0] != stretch.days[1] && row.dateText == stretch.dateTexts[0]) {
    day = stretch.days[0];
  } else {
    return std::nullopt;
  }
  const std::optional<TimeOfDay> time = readMissionTime(text_, row.timeText);
  // Not a time, or one no clock reads: such a row never falls due.
  if (!time || time->hour > 23 || time->minute > 59 || time->second > 59) return std::nullopt;
  const long long second = day * kSecondsPerDay + time->hour * 3600LL + time->minute * 60LL + time->second;
  if (second < stretch.first || second > stretch.last) return std::nullopt;
  return second;
}

void Scheduler::followTheDate(long long current, const Stretch& stretch) {
  const long long previous = lastPass_;
  lastPass_ = current;
  const bool setBack = current < previous;
  if (!setBack && dayOf(current) == dayOf(previous)) return;
  // Rows due in this pass, or waiting in an outer one, are not behind.
  const long long behind = std::min(stretch.first, underWayFrom_);
  std::vector<MisTable::Redating> changes;
  const int count = table_.count();
  for (int i = 0; i < count; ++i) {
    const MisRecord& row = table_.row(i);
    if (!row.repeat.repeats()) continue;
    std::optional<std::string> date = caughtUpDate(row, behind, text_);
    if (!date && setBack) {
      // In step with the old clock: it was dated at its next occurrence
      // after the previous pass.
      const std::optional<long long> own = missionSecond(row, text_);
      const std::optional<TimeOfDay> time = readMissionTime(text_, row.timeText);
      if (own && time && nextOccurrence(row.repeat, *time, previous + 1) == own) {
        const std::optional<long long> next = nextOccurrence(row.repeat, *time, behind);
        if (next && next != own) date = text_.dateText(fromWallSecond(*next));
      }
    }
    if (date) changes.push_back({i, std::move(*date)});
  }
  table_.redate(changes);
}

void Scheduler::moveOn(int i, long long second) {
  if (std::optional<std::string> date = caughtUpDate(table_.row(i), second + 1, text_))
    table_.redate({{i, std::move(*date)}});
}

void Scheduler::takeMissed(const Stretch& stretch, long long current, std::vector<DueRow>& due) {
  GapFindings found = findMissed(table_, stretch.gapFirst, stretch.gapLast, stretch.first, current, text_);
  table_.redate(found.moves);
  const LocalDateTime now = clock_.now();
  std::vector<MisRecord> told;
  for (const MissedOccurrence& missed : found.missed) {
    const MisRecord& row = table_.row(missed.row);
    if (missed.carriedOutLate) {
      due.push_back({missed.second, table_.rowId(missed.row), row});
      continue;
    }
    record({now, row.kindName, row.detail, MissionOutcome::Missed, fromWallSecond(missed.second), {}});
    if (missed.told) {
      const LocalDateTime at = fromWallSecond(missed.second);
      told.push_back({row.kindName, row.detail, text_.dateText(at), text_.timeText(at), row.imageIndex, {}});
    }
  }
  if (!told.empty() && missed_) missed_->showMissed(std::move(told));
}

void Scheduler::dispatch(int i, const DueRow& entry) {
  // The kind is looked up once: after the action has run, this index may
  // hold another row.
  const MisRecord& row = table_.row(i);
  const MisKind* kind = findMisKind(row.kindName);
  if (!kind) return;
  // A power mission's end is the notice's to tell.
  if (powerNotice_ && noticeStrength(kind->action) > 0) {
    powerNotice_->due(kind->action, table_.rowId(i), entry.second, row);
    return;
  }
  HistoryEntry done{clock_.now(), row.kindName, row.detail, MissionOutcome::CarriedOut, std::nullopt, {}};
  if (entry.late) {
    done.outcome = MissionOutcome::CarriedOutLate;
    done.due = fromWallSecond(entry.second);
  }
  // A reminder holds the pass while its popup shows, and missions of the
  // seconds meanwhile are recorded by the passes nested in it: it goes into
  // the history first, so the history stays in the order things happened.
  // Showing it cannot fail.
  if (kind->action == MisAction::Message) {
    record(done);
    perform(actions_, kind->action, row.detail);
    return;
  }
  perform(actions_, kind->action, row.detail);
  if (std::string failure = actions_.takeFailure(); !failure.empty()) {
    done.outcome = MissionOutcome::Failed;
    done.failure = std::move(failure);
  }
  record(done);
}

void Scheduler::record(const HistoryEntry& entry) {
  if (history_) history_->record(entry);
}

void Scheduler::chime(const Stretch& stretch) {
  // The full hour among the pass's seconds (a pass spans at most one), once,
  // even when the clock is set back over it.
  const long long hour = stretch.first + floorMod(-stretch.first, 3600);
  if (hour > stretch.last || hour == lastChime_) return;
  lastChime_ = hour;
  sounds_.play(chimeSoundName(fromWallSecond(hour).hour));
}
