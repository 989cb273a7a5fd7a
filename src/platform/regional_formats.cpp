#include "platform/regional_formats.h"

#include <windows.h>

#include <algorithm>

#include "platform/text_conversion.h"

namespace {

// Marks that set the direction of right-to-left text (the Arabic short
// date is "d<RLM>/M<RLM>/yyyy"): they show nothing and carry no meaning
// for a date.
bool isDirectionMark(wchar_t c) { return c == 0x200E || c == 0x200F || c == 0x061C; }

// The setting in code page 936, or empty when it is missing or holds a
// character that code page 936 cannot keep: a name or symbol turned into
// "?" would read back as any other.
std::string localeText(const wchar_t* locale, LCTYPE type) {
  wchar_t buffer[128];
  const int length = GetLocaleInfoEx(locale, type, buffer, ARRAYSIZE(buffer));
  if (length <= 1) return {};
  std::wstring text(buffer, static_cast<std::size_t>(length - 1));
  std::erase_if(text, isDirectionMark);
  return toCp936Exactly(text).value_or(std::string());
}

}  // namespace

DateTimePatterns localeDateTimePatterns(const wchar_t* locale) {
  DateTimePatterns patterns;
  if (std::string shortDate = localeText(locale, LOCALE_SSHORTDATE); !shortDate.empty())
    patterns.shortDate = shortDate;
  if (std::string longTime = localeText(locale, LOCALE_STIMEFORMAT); !longTime.empty()) patterns.longTime = longTime;
  patterns.amDesignator = localeText(locale, LOCALE_S1159);
  patterns.pmDesignator = localeText(locale, LOCALE_S2359);
  for (LCTYPE i = 0; i < 12; ++i) {
    patterns.monthNames[i] = localeText(locale, LOCALE_SMONTHNAME1 + i);
    patterns.monthAbbreviations[i] = localeText(locale, LOCALE_SABBREVMONTHNAME1 + i);
  }
  // Windows numbers the days from Monday; the patterns hold them from Sunday.
  for (LCTYPE i = 0; i < 7; ++i) {
    const std::size_t sundayFirst = (i + 1) % 7;
    patterns.dayNames[sundayFirst] = localeText(locale, LOCALE_SDAYNAME1 + i);
    patterns.dayAbbreviations[sundayFirst] = localeText(locale, LOCALE_SABBREVDAYNAME1 + i);
  }
  return patterns;
}

DateTimePatterns userDateTimePatterns() { return localeDateTimePatterns(LOCALE_NAME_USER_DEFAULT); }
