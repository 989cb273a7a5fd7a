#include "core/date_time_text.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "core/cp936.h"

namespace {

using Field = DateTimeText::Field;
using Token = DateTimeText::Token;

Field fieldOfLetter(char c) {
  switch (c) {
    case 'd': return Field::Day;
    case 'M': return Field::Month;
    case 'y': return Field::Year;
    case 'g': return Field::Era;
    case 'h': return Field::Hour12;
    case 'H': return Field::Hour24;
    case 'm': return Field::Minute;
    case 's': return Field::Second;
    case 't': return Field::AmPm;
    default: return Field::Literal;
  }
}

void appendLiteral(std::vector<Token>& tokens, std::string_view text) {
  if (tokens.empty() || tokens.back().field != Field::Literal) tokens.push_back({Field::Literal, 0, {}});
  tokens.back().literal.append(text);
}

std::vector<Token> compile(std::string_view pattern) {
  std::vector<Token> tokens;
  std::size_t pos = 0;
  while (pos < pattern.size()) {
    const char c = pattern[pos];
    if (c == '\'') {
      // Quoted text; two quotes in a row stand for one quote.
      ++pos;
      while (pos < pattern.size()) {
        if (pattern[pos] == '\'') {
          if (pos + 1 < pattern.size() && pattern[pos + 1] == '\'') {
            appendLiteral(tokens, "'");
            pos += 2;
            continue;
          }
          ++pos;
          break;
        }
        const std::size_t len = cp936::charLength(pattern, pos);
        appendLiteral(tokens, pattern.substr(pos, len));
        pos += len;
      }
      continue;
    }
    const std::size_t len = cp936::charLength(pattern, pos);
    const Field field = len == 1 ? fieldOfLetter(c) : Field::Literal;
    if (field == Field::Literal) {
      appendLiteral(tokens, pattern.substr(pos, len));
      pos += len;
      continue;
    }
    int width = 0;
    while (pos < pattern.size() && pattern[pos] == c) {
      ++width;
      ++pos;
    }
    tokens.push_back({field, width, {}});
  }
  return tokens;
}

void appendNumber(std::string& out, int value, int minDigits) {
  char digits[12];
  int n = 0;
  unsigned v = value < 0 ? 0u : static_cast<unsigned>(value);
  do {
    digits[n++] = static_cast<char>('0' + v % 10);
    v /= 10;
  } while (v != 0);
  for (int i = n; i < minDigits; ++i) out.push_back('0');
  while (n > 0) out.push_back(digits[--n]);
}

void appendName(std::string& out, const std::string& name, int fallbackNumber) {
  if (name.empty()) {
    appendNumber(out, fallbackNumber, 1);
  } else {
    out.append(name);
  }
}

// The first character of a designator (a single 't').
std::string_view firstChar(std::string_view text) {
  return text.empty() ? text : text.substr(0, cp936::charLength(text, 0));
}

bool startsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix) {
  if (prefix.size() > text.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    const auto a = static_cast<unsigned char>(text[i]);
    const auto b = static_cast<unsigned char>(prefix[i]);
    if (a < 0x80 && b < 0x80) {
      if (std::tolower(a) != std::tolower(b)) return false;
    } else if (a != b) {
      return false;
    }
  }
  return true;
}

// Reads 1 to maxDigits decimal digits.
bool readNumber(std::string_view text, std::size_t& pos, int maxDigits, int& value) {
  int digits = 0;
  value = 0;
  while (pos < text.size() && digits < maxDigits && text[pos] >= '0' && text[pos] <= '9') {
    value = value * 10 + (text[pos] - '0');
    ++pos;
    ++digits;
  }
  return digits > 0;
}

// Reads the longest of the given names (1-based index into names), or a number.
template <std::size_t N>
bool readNameOrNumber(std::string_view text, std::size_t& pos, const std::array<std::string, N>& names,
                      int& value) {
  std::size_t best = 0;
  for (std::size_t i = 0; i < N; ++i) {
    const std::string& name = names[i];
    if (!name.empty() && name.size() > best && startsWithIgnoringAsciiCase(text.substr(pos), name)) {
      best = name.size();
      value = static_cast<int>(i) + 1;
    }
  }
  if (best > 0) {
    pos += best;
    return true;
  }
  return readNumber(text, pos, 2, value);
}

// The same time on the 24-hour clock: the hour as 'H', the AM/PM symbol
// gone together with the blanks that set it apart.
std::vector<Token> on24HourClock(std::vector<Token> tokens) {
  std::vector<Token> out;
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    Token& token = tokens[i];
    if (token.field == Field::Hour12) token.field = Field::Hour24;
    if (token.field == Field::AmPm) {
      if (i + 1 < tokens.size() && tokens[i + 1].field == Field::Literal) {
        std::string& next = tokens[i + 1].literal;
        next.erase(0, next.find_first_not_of(' '));
      } else if (!out.empty() && out.back().field == Field::Literal) {
        std::string& previous = out.back().literal;
        previous.erase(previous.find_last_not_of(' ') + 1);
      }
      continue;
    }
    if (token.field == Field::Literal) {
      if (token.literal.empty()) continue;
      if (!out.empty() && out.back().field == Field::Literal) {
        out.back().literal += token.literal;
        continue;
      }
    }
    out.push_back(std::move(token));
  }
  std::erase_if(out, [](const Token& t) { return t.field == Field::Literal && t.literal.empty(); });
  return out;
}

}  // namespace

struct DateTimeText::Fields {
  int year = -1, month = -1, day = -1;
  bool twoDigitYear = false;
  int hour = -1, minute = -1, second = -1;
  bool twelveHour = false;
  int pm = -1;  // -1 unknown, 0 am, 1 pm
};

DateTimeText::DateTimeText(DateTimePatterns patterns)
    : patterns_(std::move(patterns)),
      dateTokens_(compile(patterns_.shortDate)),
      timeTokens_(compile(patterns_.longTime)) {
  if (!datesReadBack()) {
    patterns_.monthNames = {};
    patterns_.monthAbbreviations = {};
    patterns_.dayNames = {};
    patterns_.dayAbbreviations = {};
    if (!datesReadBack()) dateTokens_ = compile(DateTimePatterns{}.shortDate);
  }
  if (!timesReadBack()) {
    timeTokens_ = on24HourClock(std::move(timeTokens_));
    if (!timesReadBack()) timeTokens_ = compile(DateTimePatterns{}.longTime);
  }
}

// Every day of two years, as far as the pattern tells days apart, reads back
// as itself, and its text does not change with the time of day: the
// scheduler compares date texts as they stand.
bool DateTimeText::datesReadBack() const {
  for (const int year : {2026, 2031}) {
    for (int month = 1; month <= 12; ++month) {
      for (const int day : {1, 2, 10, 12, 28}) {
        const LocalDateTime midnight{year, month, day, 0, 0, 0, 0};
        const std::string text = dateText(midnight);
        if (parseDate(text) != CivilDate{year, month, day}) return false;
        if (dateText({year, month, day, 13, 45, 30, 0}) != text) return false;
      }
    }
  }
  return true;
}

// Every hour of the day, with its minutes and seconds where the pattern
// writes them, reads back as itself.
bool DateTimeText::timesReadBack() const {
  const auto has = [this](Field field) {
    return std::any_of(timeTokens_.begin(), timeTokens_.end(), [field](const Token& t) { return t.field == field; });
  };
  const bool minutes = has(Field::Minute);
  const bool seconds = has(Field::Second);
  for (int hour = 0; hour < 24; ++hour) {
    for (const auto& [minute, second] : {std::pair{0, 0}, std::pair{5, 7}, std::pair{59, 59}}) {
      const TimeOfDay expected{hour, minutes ? minute : 0, seconds ? second : 0};
      if (parseTime(timeText({2026, 6, 1, hour, minute, second, 0})) != expected) return false;
    }
  }
  return true;
}

void DateTimeText::write(const std::vector<Token>& tokens, const LocalDateTime& t, std::string& out) const {
  for (const Token& token : tokens) {
    const int w = token.width;
    switch (token.field) {
      case Field::Literal: out.append(token.literal); break;
      case Field::Day:
        if (w <= 2) {
          appendNumber(out, t.day, w);
        } else {
          const int dow = dayOfWeek(t.year, t.month, t.day);
          const auto& names = w == 3 ? patterns_.dayAbbreviations : patterns_.dayNames;
          appendName(out, names[static_cast<std::size_t>(dow)], t.day);
        }
        break;
      case Field::Month:
        if (w <= 2) {
          appendNumber(out, t.month, w);
        } else {
          const auto& names = w == 3 ? patterns_.monthAbbreviations : patterns_.monthNames;
          appendName(out, names[static_cast<std::size_t>(t.month - 1)], t.month);
        }
        break;
      case Field::Year:
        if (w <= 2) {
          appendNumber(out, t.year % 100, w);
        } else {
          appendNumber(out, t.year, 4);
        }
        break;
      case Field::Era: break;  // Gregorian only: the era is not written
      case Field::Hour12: appendNumber(out, t.hour % 12 == 0 ? 12 : t.hour % 12, w > 1 ? 2 : 1); break;
      case Field::Hour24: appendNumber(out, t.hour, w > 1 ? 2 : 1); break;
      case Field::Minute: appendNumber(out, t.minute, w > 1 ? 2 : 1); break;
      case Field::Second: appendNumber(out, t.second, w > 1 ? 2 : 1); break;
      case Field::AmPm: {
        const std::string& designator = t.hour < 12 ? patterns_.amDesignator : patterns_.pmDesignator;
        out.append(w == 1 ? firstChar(designator) : std::string_view(designator));
        break;
      }
    }
  }
}

bool DateTimeText::read(const std::vector<Token>& tokens, std::string_view text, Fields& f) const {
  std::size_t pos = 0;
  for (const Token& token : tokens) {
    const int w = token.width;
    switch (token.field) {
      case Field::Literal:
        if (text.substr(pos, token.literal.size()) != token.literal) return false;
        pos += token.literal.size();
        break;
      case Field::Day:
        if (w <= 2) {
          if (!readNumber(text, pos, 2, f.day)) return false;
        } else {
          // The weekday name carries no information of its own: skip it.
          int ignored = 0;
          if (!readNameOrNumber(text, pos, w == 3 ? patterns_.dayAbbreviations : patterns_.dayNames, ignored))
            return false;
        }
        break;
      case Field::Month:
        if (w <= 2) {
          if (!readNumber(text, pos, 2, f.month)) return false;
        } else if (!readNameOrNumber(text, pos, w == 3 ? patterns_.monthAbbreviations : patterns_.monthNames,
                                     f.month)) {
          return false;
        }
        break;
      case Field::Year:
        if (!readNumber(text, pos, w <= 2 ? 2 : 4, f.year)) return false;
        f.twoDigitYear = w <= 2;
        break;
      case Field::Era: break;
      case Field::Hour12:
      case Field::Hour24:
        if (!readNumber(text, pos, 2, f.hour)) return false;
        f.twelveHour = token.field == Field::Hour12;
        break;
      case Field::Minute:
        if (!readNumber(text, pos, 2, f.minute)) return false;
        break;
      case Field::Second:
        if (!readNumber(text, pos, 2, f.second)) return false;
        break;
      case Field::AmPm: {
        const std::string_view am = w == 1 ? firstChar(patterns_.amDesignator) : patterns_.amDesignator;
        const std::string_view pm = w == 1 ? firstChar(patterns_.pmDesignator) : patterns_.pmDesignator;
        const std::string_view rest = text.substr(pos);
        // The longer designator first, so that neither hides the other.
        const bool pmFirst = pm.size() >= am.size();
        const std::string_view first = pmFirst ? pm : am;
        const std::string_view second = pmFirst ? am : pm;
        if (!first.empty() && startsWithIgnoringAsciiCase(rest, first)) {
          f.pm = pmFirst ? 1 : 0;
          pos += first.size();
        } else if (!second.empty() && startsWithIgnoringAsciiCase(rest, second)) {
          f.pm = pmFirst ? 0 : 1;
          pos += second.size();
        } else if (!am.empty() && !pm.empty()) {
          return false;
        }
        break;
      }
    }
  }
  return pos == text.size();
}

std::string DateTimeText::dateText(const LocalDateTime& t) const {
  std::string out;
  write(dateTokens_, t, out);
  return out;
}

void DateTimeText::writeDate(const LocalDateTime& t, std::string& out) const {
  out.clear();
  write(dateTokens_, t, out);
}

std::string DateTimeText::timeText(const LocalDateTime& t) const {
  std::string out;
  write(timeTokens_, t, out);
  return out;
}

std::string DateTimeText::statusClockText(const LocalDateTime& t) const {
  std::string out = dateText(t);
  if (t.hour != 0 || t.minute != 0 || t.second != 0) {
    out.push_back(' ');
    write(timeTokens_, t, out);
  }
  return out;
}

std::optional<CivilDate> DateTimeText::parseDate(std::string_view text) const {
  Fields f;
  if (!read(dateTokens_, text, f) || f.year < 0 || f.month < 0 || f.day < 0) return std::nullopt;
  // Two-digit years fall in 1950..2049, as on Windows by default.
  if (f.twoDigitYear) f.year += f.year < 50 ? 2000 : 1900;
  if (f.year < 1 || f.month < 1 || f.month > 12 || f.day < 1 || f.day > daysInMonth(f.year, f.month))
    return std::nullopt;
  return CivilDate{f.year, f.month, f.day};
}

std::optional<TimeOfDay> DateTimeText::parseTime(std::string_view text) const {
  Fields f;
  if (!read(timeTokens_, text, f) || f.hour < 0) return std::nullopt;
  if (f.minute < 0) f.minute = 0;
  if (f.second < 0) f.second = 0;
  int hour = f.hour;
  if (f.twelveHour) {
    if (hour < 1 || hour > 12) return std::nullopt;
    hour %= 12;
    if (f.pm == 1) hour += 12;
  }
  if (hour > 23 || f.minute > 59 || f.second > 59) return std::nullopt;
  return TimeOfDay{hour, f.minute, f.second};
}

bool DateTimeText::isColonSeparated24Hour() const {
  const auto& t = timeTokens_;
  return t.size() == 5 && t[0].field == Field::Hour24 && t[1].field == Field::Literal && t[1].literal == ":" &&
         t[2].field == Field::Minute && t[3].field == Field::Literal && t[3].literal == ":" &&
         t[4].field == Field::Second;
}
