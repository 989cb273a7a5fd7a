#include "core/scheduler.h"

namespace {

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

Scheduler::Scheduler(const MisTable& table, const Clock& clock, const DateTimeText& text, MissionActions& actions,
                     SoundPlayer& sounds, StatusClockView& statusClock, const bool& autoSpeek)
    : table_(table),
      clock_(clock),
      text_(text),
      actions_(actions),
      sounds_(sounds),
      statusClock_(statusClock),
      autoSpeek_(autoSpeek) {}

void Scheduler::CheckMis() {
  // The clock is read once for the status clock and the rows, and again
  // after each mission that fired (a reminder holds the pass for seconds):
  // reading it for every row would cost more than the comparisons.
  LocalDateTime now = clock_.now();
  statusClock_.showStatusClock(text_.statusClockText(now));

  const int count = table_.count();
  // A reminder's modal loop lets the user delete rows meanwhile: never read
  // past the rows that still exist.
  for (int i = 0; i < count && i < table_.count(); ++i) {
    const MisRecord& row = table_.row(i);
    const std::optional<TimeOfDay> due = readMissionTime(text_, row.timeText);
    if (!due) continue;  // not a time: such a row never falls due
    if (row.dateText == todayText(now) && due->hour == now.hour && due->minute == now.minute &&
        due->second == now.second) {
      dispatch(i);
      now = clock_.now();
    }
  }

  if (autoSpeek_) chime();
}

const std::string& Scheduler::todayText(const LocalDateTime& now) {
  const CivilDate date{now.year, now.month, now.day};
  if (date != todayDate_ || todayText_.empty()) {
    text_.writeDate(now, todayText_);
    todayDate_ = date;
  }
  return todayText_;
}

void Scheduler::dispatch(int i) {
  // Each test reads the row afresh: an action may have changed the table.
  for (const MisKind& kind : kMisKinds) {
    if (i >= table_.count()) return;
    const MisRecord& row = table_.row(i);
    if (row.kindName == kind.name) perform(actions_, kind.action, row.detail);
  }
}

void Scheduler::chime() {
  const LocalDateTime now = clock_.now();
  if (now.minute == 0 && now.second == 0) sounds_.play(chimeSoundName(now.hour));
}
