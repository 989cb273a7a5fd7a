#pragma once
// The user's date and time patterns, from the regional settings.

#include "core/date_time_text.h"

DateTimePatterns userDateTimePatterns();
// The patterns of a named locale ("ko-KR"), as the user's are read.
DateTimePatterns localeDateTimePatterns(const wchar_t* localeName);
