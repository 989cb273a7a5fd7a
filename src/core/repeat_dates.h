#pragma once
// Where a row stands in time, and the date that puts a repeating row at its
// next occurrence. The scheduler, the loads and the editor move repeating
// rows with these, so the list always shows when a row fires next.

#include <optional>
#include <string>
#include <vector>

#include "core/date_time_text.h"
#include "core/mission_table.h"

// The wall second (see wallSecond) of a row's date and time, read as the
// scheduler reads them; nullopt when either text does not read.
std::optional<long long> missionSecond(const MisRecord& row, const DateTimeText& text);

// The date text of a repeating row's first occurrence at or after both its
// own date and time and notBefore (notBefore alone when its date does not
// read). nullopt when the row is dated so already, does not repeat, or its
// time does not read.
std::optional<std::string> caughtUpDate(const MisRecord& row, long long notBefore, const DateTimeText& text);

// caughtUpDate applied to each of rows.
void catchUpRows(std::vector<MisRecord>& rows, long long notBefore, const DateTimeText& text);

// caughtUpDate applied to every row of the table, as one change.
void catchUp(MisTable& table, long long notBefore, const DateTimeText& text);
