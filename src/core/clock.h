#pragma once
// Local wall-clock time, read through an interface so the scheduler, the row
// colours and the editor can be driven by a settable clock in tests.

#include <compare>

struct LocalDateTime {
  int year = 2000;
  int month = 1;  // 1..12
  int day = 1;    // 1..31
  int hour = 0;   // 0..23
  int minute = 0;
  int second = 0;
  int millisecond = 0;

  friend bool operator==(const LocalDateTime&, const LocalDateTime&) = default;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalDateTime now() const = 0;
};

// A clock that reads whatever it was last set to.
class ManualClock final : public Clock {
 public:
  explicit ManualClock(LocalDateTime start = {}) : now_(start) {}
  LocalDateTime now() const override { return now_; }
  void set(const LocalDateTime& t) { now_ = t; }
  void setTime(int hour, int minute, int second) {
    now_.hour = hour;
    now_.minute = minute;
    now_.second = second;
  }

 private:
  LocalDateTime now_;
};

// Calendar helpers shared by the formatter, the parser and the clocks.
bool isLeapYear(int year);
int daysInMonth(int year, int month);
// 0 = Sunday .. 6 = Saturday, proleptic Gregorian calendar.
int dayOfWeek(int year, int month, int day);

// Wall-clock seconds counted on one line (from 1970/1/1 0:00:00 local), so
// that seconds can be compared, counted and stepped across midnight. The
// milliseconds are dropped.
long long wallSecond(const LocalDateTime& t);
// The date and time of such a second; milliseconds 0.
LocalDateTime fromWallSecond(long long second);
