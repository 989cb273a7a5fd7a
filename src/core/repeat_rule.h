#pragma once
// How a mission repeats: once (the default), every day, on workdays, on
// chosen weekdays or once a month. A repeating row keeps one date, that of
// its next occurrence, and moves on after it fires; the rule says where to.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/date_time_text.h"

enum class RepeatKind : std::uint8_t {
  None,      // "不重复": fires once, at its date and time
  Daily,     // "每天"
  Workdays,  // "工作日": Monday to Friday
  Weekly,    // "每周", on the chosen weekdays
  Monthly,   // "每月", on the day of its date; in a shorter month its last day
  // A row of everyday.mis: repeats every day, but the daily missions file is
  // where it lives, so it is neither written into mission files nor kept.
  DailyFile,
};

struct RepeatRule {
  RepeatKind kind = RepeatKind::None;
  std::uint8_t weekdays = 0;  // Weekly: bit d set for day d of the week, 0 = Sunday
  std::uint8_t monthDay = 0;  // Monthly: 1..31

  bool repeats() const { return kind != RepeatKind::None; }
  friend bool operator==(const RepeatRule&, const RepeatRule&) = default;
};

inline constexpr RepeatRule kDailyFileRule{RepeatKind::DailyFile, 0, 0};

// The rule as the main list shows it and a mission file stores it (code page
// 936): "" once, "每天", "工作日", "每周" and the weekdays from Monday on
// ("每周一、三、五"), "每月" and the day ("每月31日"). A row of everyday.mis
// shows "每天".
std::string repeatText(const RepeatRule& rule);
// The rule a text of repeatText stands for; nullopt for any other text, the
// empty one included.
std::optional<RepeatRule> parseRepeatText(std::string_view text);

// True when the rule falls on that day (a rule that does not repeat: never).
bool fallsOn(const RepeatRule& rule, int year, int month, int day);

// The first wall second (see wallSecond) at or after notBefore at which the
// rule falls with the given time of day; nullopt for a rule that does not
// repeat or falls on no day at all.
std::optional<long long> nextOccurrence(const RepeatRule& rule, const TimeOfDay& time, long long notBefore);
