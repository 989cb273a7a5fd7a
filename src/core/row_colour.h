#pragma once
// The background of a row in the main list: light blue once the row's time
// has passed, white while it is still to come.

#include "core/clock.h"
#include "core/date_time_text.h"
#include "core/mission_table.h"

enum class RowState {
  Pending,     // white
  Passed,      // light blue
  Unreadable,  // date or time text that the current formats don't read
};

// Two separate tests: the day is before today, or the time of day (with its
// milliseconds) is past the row's. So a row dated tomorrow is light blue
// while the clock is past its time of day.
RowState rowState(const MisRecord& row, const LocalDateTime& now, const DateTimeText& text);
