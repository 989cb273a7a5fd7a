#include "platform/regional_formats.h"

#include <windows.h>

#include "platform/text_conversion.h"

namespace {

std::string localeText(LCTYPE type) {
  wchar_t buffer[128];
  const int length = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type, buffer, ARRAYSIZE(buffer));
  if (length <= 1) return {};
  return toCp936(std::wstring_view(buffer, static_cast<std::size_t>(length - 1)));
}

}  // namespace

DateTimePatterns userDateTimePatterns() {
  DateTimePatterns patterns;
  if (std::string shortDate = localeText(LOCALE_SSHORTDATE); !shortDate.empty()) patterns.shortDate = shortDate;
  if (std::string longTime = localeText(LOCALE_STIMEFORMAT); !longTime.empty()) patterns.longTime = longTime;
  patterns.amDesignator = localeText(LOCALE_S1159);
  patterns.pmDesignator = localeText(LOCALE_S2359);
  for (LCTYPE i = 0; i < 12; ++i) {
    patterns.monthNames[i] = localeText(LOCALE_SMONTHNAME1 + i);
    patterns.monthAbbreviations[i] = localeText(LOCALE_SABBREVMONTHNAME1 + i);
  }
  // Windows numbers the days from Monday; the patterns hold them from Sunday.
  for (LCTYPE i = 0; i < 7; ++i) {
    const std::size_t sundayFirst = (i + 1) % 7;
    patterns.dayNames[sundayFirst] = localeText(LOCALE_SDAYNAME1 + i);
    patterns.dayAbbreviations[sundayFirst] = localeText(LOCALE_SABBREVDAYNAME1 + i);
  }
  return patterns;
}
