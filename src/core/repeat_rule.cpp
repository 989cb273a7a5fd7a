#include "core/repeat_rule.h"

#include <array>

#include "core/clock.h"

namespace {

// Code page 936 bytes, spelled as escapes so every compiler makes the same.
constexpr std::string_view kEveryDay = "\xC3\xBF\xCC\xEC";        // 每天
constexpr std::string_view kWorkdays = "\xB9\xA4\xD7\xF7\xC8\xD5";  // 工作日
constexpr std::string_view kEveryWeek = "\xC3\xBF\xD6\xDC";       // 每周
constexpr std::string_view kEveryMonth = "\xC3\xBF\xD4\xC2";      // 每月
constexpr std::string_view kDay = "\xC8\xD5";                     // 日
constexpr std::string_view kListComma = "\xA1\xA2";               // 、
// The weekdays' characters from Monday on: 一 二 三 四 五 六 日.
constexpr std::array<std::string_view, 7> kWeekdayChars{"\xD2\xBB", "\xB6\xFE", "\xC8\xFD", "\xCB\xC4",
                                                         "\xCE\xE5", "\xC1\xF9", "\xC8\xD5"};

constexpr long long kSecondsPerDay = 86400;

// Day of the week (0 = Sunday) of the i-th weekday from Monday.
int weekdayFromMonday(int i) { return (i + 1) % 7; }

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::optional<RepeatRule> parseWeekdays(std::string_view text) {
  RepeatRule rule{RepeatKind::Weekly, 0, 0};
  bool first = true;
  while (!text.empty()) {
    if (!first) {
      if (!text.starts_with(kListComma)) return std::nullopt;
      text.remove_prefix(kListComma.size());
    }
    first = false;
    int found = -1;
    for (int i = 0; i < 7; ++i) {
      if (text.starts_with(kWeekdayChars[static_cast<std::size_t>(i)])) found = i;
    }
    if (found < 0) return std::nullopt;
    const auto bit = static_cast<std::uint8_t>(1u << weekdayFromMonday(found));
    if (rule.weekdays & bit) return std::nullopt;
    rule.weekdays = static_cast<std::uint8_t>(rule.weekdays | bit);
    text.remove_prefix(kWeekdayChars[static_cast<std::size_t>(found)].size());
  }
  if (rule.weekdays == 0) return std::nullopt;
  return rule;
}

std::optional<RepeatRule> parseMonthDay(std::string_view text) {
  if (!text.ends_with(kDay)) return std::nullopt;
  text.remove_suffix(kDay.size());
  if (text.empty() || text.size() > 2 || text.front() == '0') return std::nullopt;
  int day = 0;
  for (const char c : text) {
    if (!isDigit(c)) return std::nullopt;
    day = day * 10 + (c - '0');
  }
  if (day < 1 || day > 31) return std::nullopt;
  return RepeatRule{RepeatKind::Monthly, 0, static_cast<std::uint8_t>(day)};
}

}  // namespace

std::string repeatText(const RepeatRule& rule) {
  std::string text;
  switch (rule.kind) {
    case RepeatKind::None: break;
    case RepeatKind::Daily:
    case RepeatKind::DailyFile: text = kEveryDay; break;
    case RepeatKind::Workdays: text = kWorkdays; break;
    case RepeatKind::Weekly:
      text = kEveryWeek;
      for (int i = 0, written = 0; i < 7; ++i) {
        if (!(rule.weekdays & (1u << weekdayFromMonday(i)))) continue;
        if (written++ > 0) text += kListComma;
        text += kWeekdayChars[static_cast<std::size_t>(i)];
      }
      break;
    case RepeatKind::Monthly:
      text = kEveryMonth;
      text += std::to_string(rule.monthDay);
      text += kDay;
      break;
  }
  return text;
}

std::optional<RepeatRule> parseRepeatText(std::string_view text) {
  if (text == kEveryDay) return RepeatRule{RepeatKind::Daily, 0, 0};
  if (text == kWorkdays) return RepeatRule{RepeatKind::Workdays, 0, 0};
  if (text.starts_with(kEveryWeek)) return parseWeekdays(text.substr(kEveryWeek.size()));
  if (text.starts_with(kEveryMonth)) return parseMonthDay(text.substr(kEveryMonth.size()));
  return std::nullopt;
}

bool fallsOn(const RepeatRule& rule, int year, int month, int day) {
  switch (rule.kind) {
    case RepeatKind::None: return false;
    case RepeatKind::Daily:
    case RepeatKind::DailyFile: return true;
    case RepeatKind::Workdays: {
      const int weekday = dayOfWeek(year, month, day);
      return weekday >= 1 && weekday <= 5;
    }
    case RepeatKind::Weekly: return (rule.weekdays & (1u << dayOfWeek(year, month, day))) != 0;
    case RepeatKind::Monthly: {
      // The 31st of a 30-day month is its 30th, of February its 28th or 29th.
      const int last = daysInMonth(year, month);
      return day == (rule.monthDay < last ? rule.monthDay : last);
    }
  }
  return false;
}

std::optional<long long> nextOccurrence(const RepeatRule& rule, const TimeOfDay& time, long long notBefore) {
  if (!rule.repeats()) return std::nullopt;
  const long long ofDay = time.hour * 3600LL + time.minute * 60LL + time.second;
  LocalDateTime day = fromWallSecond(notBefore);
  long long second = wallSecond({day.year, day.month, day.day, 0, 0, 0, 0}) + ofDay;
  if (second < notBefore) second += kSecondsPerDay;
  // Every rule that falls on some day falls within 31 days of any day.
  for (int i = 0; i < 32; ++i, second += kSecondsPerDay) {
    day = fromWallSecond(second);
    if (fallsOn(rule, day.year, day.month, day.day)) return second;
  }
  return std::nullopt;
}
