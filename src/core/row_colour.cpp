#include "core/row_colour.h"

#include <tuple>

RowState rowState(const MisRecord& row, const LocalDateTime& now, const DateTimeText& text) {
  const auto date = text.parseDate(row.dateText);
  const auto time = text.parseTime(row.timeText);
  if (!date || !time) return RowState::Unreadable;
  const bool dayPassed = std::tie(now.year, now.month, now.day) > std::tie(date->year, date->month, date->day);
  const long long nowMs = ((now.hour * 60LL + now.minute) * 60 + now.second) * 1000 + now.millisecond;
  const long long rowMs = ((time->hour * 60LL + time->minute) * 60 + time->second) * 1000;
  return dayPassed || nowMs > rowMs ? RowState::Passed : RowState::Pending;
}
