#pragma once
// The missions whose second fell in a gap no pass watched: the computer
// slept or hibernated, or the clock was set forward by more than a pass
// makes up. A mission not of a power kind and missed by at most a day is
// carried out once, late; a repeating one missed several times too, once
// for all of them. Every other one is only missed, and the user is told.

#include <optional>
#include <vector>

#include "core/date_time_text.h"
#include "core/mission_table.h"

// How long after its second a mission may still be carried out late.
inline constexpr long long kLatestMakeUp = 86400;

struct MissedOccurrence {
  int row = 0;           // its index in the table
  long long second = 0;  // when it was due (wall second)
  bool carriedOutLate = false;  // the one late run of its row
  // Its row is not carried out at all: the user is told of it. (Earlier
  // occurrences of a row carried out late, or due again at once, are not.)
  bool told = false;
};

struct GapFindings {
  // In table order; the occurrences of one repeating row in time order.
  std::vector<MissedOccurrence> missed;
  // Repeating rows of the gap, to their next occurrence from resumeFrom.
  std::vector<MisTable::Redating> moves;
};

// The gap is the wall seconds first..last; from resumeFrom on seconds are
// examined as usual again, and now is the second of the pass that found the
// gap (a day before it is the limit for a late run).
GapFindings findMissed(const MisTable& table, long long first, long long last, long long resumeFrom, long long now,
                       const DateTimeText& text);

// The second a row falls due at by the scheduler's rule (its date text
// written for that day byte for byte, its time read), or nullopt.
std::optional<long long> dueSecondOf(const MisRecord& row, const DateTimeText& text);

// The first second after the wall second after at which a mission of a
// known kind falls due, or nullopt: what the computer wakes for.
std::optional<long long> nextDueSecond(const MisTable& table, long long after, const DateTimeText& text);
