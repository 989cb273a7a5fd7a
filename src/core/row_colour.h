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

// Passed when the row's date and time together lie before now (with its
// milliseconds): a row dated tomorrow stays white all of today. The time is
// read as the scheduler reads it.
RowState rowState(const MisRecord& row, const LocalDateTime& now, const DateTimeText& text);
