#include "core/repeat_dates.h"

#include <algorithm>

#include "core/scheduler.h"

namespace {

std::optional<TimeOfDay> clockTime(const MisRecord& row, const DateTimeText& text) {
  const std::optional<TimeOfDay> time = readMissionTime(text, row.timeText);
  if (!time || time->hour > 23 || time->minute > 59 || time->second > 59) return std::nullopt;
  return time;
}

}  // namespace

std::optional<long long> missionSecond(const MisRecord& row, const DateTimeText& text) {
  const std::optional<CivilDate> date = text.parseDate(row.dateText);
  const std::optional<TimeOfDay> time = clockTime(row, text);
  if (!date || !time) return std::nullopt;
  return wallSecond({date->year, date->month, date->day, time->hour, time->minute, time->second, 0});
}

std::optional<std::string> caughtUpDate(const MisRecord& row, long long notBefore, const DateTimeText& text) {
  if (!row.repeat.repeats()) return std::nullopt;
  const std::optional<TimeOfDay> time = clockTime(row, text);
  if (!time) return std::nullopt;
  const std::optional<long long> own = missionSecond(row, text);
  const std::optional<long long> next = nextOccurrence(row.repeat, *time, own ? std::max(*own, notBefore) : notBefore);
  if (!next || next == own) return std::nullopt;
  return text.dateText(fromWallSecond(*next));
}

void catchUpRows(std::vector<MisRecord>& rows, long long notBefore, const DateTimeText& text) {
  for (MisRecord& row : rows) {
    if (std::optional<std::string> date = caughtUpDate(row, notBefore, text)) row.dateText = std::move(*date);
  }
}

void catchUp(MisTable& table, long long notBefore, const DateTimeText& text) {
  std::vector<MisTable::Redating> changes;
  for (int i = 0; i < table.count(); ++i) {
    if (std::optional<std::string> date = caughtUpDate(table.row(i), notBefore, text))
      changes.push_back({i, std::move(*date)});
  }
  table.redate(changes);
}
