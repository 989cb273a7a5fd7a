#pragma once
// The one writer and reader of date and time texts. Every dateText and
// timeText is written here from the user's short-date and long-time patterns
// (Windows pattern syntax: d dd ddd dddd M MM MMM MMMM y yy yyyy h hh H HH
// m mm s ss t tt g gg, 'quoted text', anything else literal), and read back
// with the same patterns.
//
// A mission falls due by its texts, so every text written must read back to
// the moment it was written for. Where the user's patterns would not (AM and
// PM symbols that are empty, equal or alike; month names that collide; a
// year left out; numbers run together), a form that does is written
// instead: month and day names become numbers, a 12-hour time becomes the
// same time on the 24-hour clock, and what still fails the standard
// yyyy/M/d or HH:mm:ss.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/clock.h"

// The user's regional formats. All texts are code page 936 bytes; a name or
// symbol that code page 936 cannot hold is left empty, a pattern it cannot
// hold is left as the default.
struct DateTimePatterns {
  std::string shortDate = "yyyy/M/d";
  std::string longTime = "HH:mm:ss";
  // Byte escapes, the same with every compiler (see kMisKinds).
  std::string amDesignator = "\xC9\xCF\xCE\xE7";  // 上午
  std::string pmDesignator = "\xCF\xC2\xCE\xE7";  // 下午
  // Empty names fall back to the month's or day's number.
  std::array<std::string, 12> monthNames{};
  std::array<std::string, 12> monthAbbreviations{};
  std::array<std::string, 7> dayNames{};  // Sunday first
  std::array<std::string, 7> dayAbbreviations{};
};

struct CivilDate {
  int year = 0;
  int month = 0;
  int day = 0;
  friend bool operator==(const CivilDate&, const CivilDate&) = default;
};

struct TimeOfDay {
  int hour = 0;  // 0..23
  int minute = 0;
  int second = 0;
  friend bool operator==(const TimeOfDay&, const TimeOfDay&) = default;
};

class DateTimeText {
 public:
  explicit DateTimeText(DateTimePatterns patterns = {});

  std::string dateText(const LocalDateTime& t) const;
  std::string timeText(const LocalDateTime& t) const;
  // Writes the date into out, reusing its storage.
  void writeDate(const LocalDateTime& t, std::string& out) const;
  // The status bar's clock: the date, and a space and the time unless the
  // time is exactly midnight.
  std::string statusClockText(const LocalDateTime& t) const;

  // The inverse of dateText and timeText; nullopt for a text that the
  // pattern did not write or that names no real day or time.
  std::optional<CivilDate> parseDate(std::string_view text) const;
  std::optional<TimeOfDay> parseTime(std::string_view text) const;

  // True when the long time pattern writes the hour on a 24-hour clock, then
  // minutes and seconds, separated by ':' and nothing else.
  bool isColonSeparated24Hour() const;

  enum class Field : std::uint8_t {
    Literal, Day, Month, Year, Era, Hour12, Hour24, Minute, Second, AmPm
  };
  struct Token {
    Field field = Field::Literal;
    int width = 0;        // number of pattern letters
    std::string literal;  // for Field::Literal
  };

 private:
  struct Fields;
  void write(const std::vector<Token>& tokens, const LocalDateTime& t, std::string& out) const;
  bool read(const std::vector<Token>& tokens, std::string_view text, Fields& fields) const;
  bool datesReadBack() const;
  bool timesReadBack() const;

  DateTimePatterns patterns_;
  std::vector<Token> dateTokens_;
  std::vector<Token> timeTokens_;
};
