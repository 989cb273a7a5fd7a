#include "core/missed_missions.h"

#include "core/mis_kind.h"
#include "core/repeat_dates.h"
#include "core/scheduler.h"

namespace {

// A daily row left over years: its occurrences beyond these are not listed.
constexpr std::size_t kMostOccurrences = 1000;

}  // namespace

std::optional<long long> dueSecondOf(const MisRecord& row, const DateTimeText& text) {
  const std::optional<long long> second = missionSecond(row, text);
  // A pass compares date texts, so "2026/12/09" never falls due under yyyy/M/d.
  if (!second || text.dateText(fromWallSecond(*second)) != row.dateText) return std::nullopt;
  return second;
}

GapFindings findMissed(const MisTable& table, long long first, long long last, long long resumeFrom, long long now,
                       const DateTimeText& text) {
  GapFindings found;
  const int count = table.count();
  for (int i = 0; i < count; ++i) {
    const MisRecord& row = table.row(i);
    const MisKind* kind = findMisKind(row.kindName);
    if (!kind) continue;  // nothing happens when such a row falls due
    const std::optional<long long> own = dueSecondOf(row, text);
    if (!own || *own < first || *own > last) continue;

    std::vector<long long> seconds{*own};
    bool dueAgain = false;  // in the seconds examined as usual
    if (row.repeat.repeats()) {
      const std::optional<TimeOfDay> time = readMissionTime(text, row.timeText);
      for (std::optional<long long> next = nextOccurrence(row.repeat, *time, *own + 1);
           next && *next <= last && seconds.size() < kMostOccurrences;
           next = nextOccurrence(row.repeat, *time, *next + 1)) {
        seconds.push_back(*next);
      }
      if (std::optional<std::string> date = caughtUpDate(row, resumeFrom, text)) found.moves.push_back({i, *date});
      const std::optional<long long> next = nextOccurrence(row.repeat, *time, resumeFrom);
      dueAgain = next && *next <= now;
    }
    const bool late = !isPowerKind(kind->action) && !dueAgain && now - seconds.back() <= kLatestMakeUp;
    for (const long long second : seconds)
      found.missed.push_back({i, second, late && second == seconds.back(), !late && !dueAgain});
  }
  return found;
}

std::optional<long long> nextDueSecond(const MisTable& table, long long after, const DateTimeText& text) {
  std::optional<long long> best;
  const int count = table.count();
  for (int i = 0; i < count; ++i) {
    const MisRecord& row = table.row(i);
    const std::optional<long long> second = missionSecond(row, text);
    if (!second || *second <= after || (best && *second >= *best)) continue;
    // The costlier checks only for a row that would come first.
    if (findMisKind(row.kindName) && dueSecondOf(row, text)) best = second;
  }
  return best;
}
