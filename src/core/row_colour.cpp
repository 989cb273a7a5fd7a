#include "core/row_colour.h"

#include <tuple>

#include "core/scheduler.h"

RowState rowState(const MisRecord& row, const LocalDateTime& now, const DateTimeText& text) {
  const auto date = text.parseDate(row.dateText);
  const auto time = readMissionTime(text, row.timeText);
  if (!date || !time) return RowState::Unreadable;
  const bool passed = std::tie(date->year, date->month, date->day, time->hour, time->minute, time->second) <
                      std::tie(now.year, now.month, now.day, now.hour, now.minute, now.second);
  // Within its very second, a row has passed once a millisecond of it has.
  const bool sameSecond = std::tie(date->year, date->month, date->day, time->hour, time->minute, time->second) ==
                          std::tie(now.year, now.month, now.day, now.hour, now.minute, now.second);
  return passed || (sameSecond && now.millisecond > 0) ? RowState::Passed : RowState::Pending;
}
