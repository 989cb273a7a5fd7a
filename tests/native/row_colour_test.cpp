#include "core/row_colour.h"

#include <gtest/gtest.h>

#include "core/tick_schedule.h"

namespace {

MisRecord row(const char* date, const char* time) { return {"执行程序", "x", date, time, 1}; }

}  // namespace

TEST(RowStateTest, DateAndTimeTogetherAtTenOClock) {
  const DateTimeText text;
  const LocalDateTime now{2026, 12, 9, 10, 0, 0, 0};
  EXPECT_EQ(rowState(row("2026/12/8", "23:00:00"), now, text), RowState::Passed);   // yesterday
  EXPECT_EQ(rowState(row("2026/12/9", "09:59:59"), now, text), RowState::Passed);   // earlier today
  EXPECT_EQ(rowState(row("2026/12/9", "10:30:00"), now, text), RowState::Pending);  // later today
  // Tomorrow is still to come, whatever its time of day.
  EXPECT_EQ(rowState(row("2026/12/10", "08:00:00"), now, text), RowState::Pending);
  EXPECT_EQ(rowState(row("2026/12/10", "11:00:00"), now, text), RowState::Pending);
}

TEST(RowStateTest, MillisecondsCountAndYearsCompareAsDates) {
  const DateTimeText text;
  EXPECT_EQ(rowState(row("2026/12/9", "10:00:00"), {2026, 12, 9, 10, 0, 0, 0}, text), RowState::Pending);
  EXPECT_EQ(rowState(row("2026/12/9", "10:00:00"), {2026, 12, 9, 10, 0, 0, 1}, text), RowState::Passed);
  // 2026/12/31 is before 2027/1/1 although 12 > 1 and 31 > 1.
  EXPECT_EQ(rowState(row("2026/12/31", "23:59:59"), {2027, 1, 1, 0, 0, 0, 0}, text), RowState::Passed);
  EXPECT_EQ(rowState(row("2027/1/1", "00:00:01"), {2026, 12, 31, 0, 0, 0, 0}, text), RowState::Pending);
}

TEST(RowStateTest, TextsTheFormatsDoNotReadAreMarked) {
  const DateTimeText text;
  const LocalDateTime now{2026, 12, 9, 10, 0, 0, 0};
  EXPECT_EQ(rowState(row("12/9/2026", "10:30:00"), now, text), RowState::Unreadable);
  EXPECT_EQ(rowState(row("2026/12/9", "10:30"), now, text), RowState::Unreadable);
  EXPECT_EQ(rowState(row("", ""), now, text), RowState::Unreadable);

  // Under a 12-hour format a 24-hour time reads as the scheduler reads it.
  DateTimePatterns english;
  english.shortDate = "M/d/yyyy";
  english.longTime = "h:mm:ss tt";
  english.amDesignator = "AM";
  english.pmDesignator = "PM";
  const DateTimeText twelve(english);
  EXPECT_EQ(rowState(row("12/9/2026", "07:30:00"), now, twelve), RowState::Passed);
  EXPECT_EQ(rowState(row("12/9/2026", "1:30:00 PM"), now, twelve), RowState::Pending);
  EXPECT_EQ(rowState(row("12/9/2026", "13:30:00"), now, twelve), RowState::Pending);
}

TEST(TickScheduleTest, TicksLandJustAfterEachSecondBegins) {
  EXPECT_EQ(nextTickDelay(0), 1000 + kTickMargin);
  EXPECT_EQ(nextTickDelay(kTickMargin), 1000);
  EXPECT_EQ(nextTickDelay(999), 1 + kTickMargin);
  // A late tick (the thread was busy) still aims at the next boundary.
  for (int ms = 0; ms < 1000; ++ms) EXPECT_EQ((ms + nextTickDelay(ms)) % 1000, kTickMargin) << ms;
}
