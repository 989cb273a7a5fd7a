#pragma once
// The user's date and time patterns, from the regional settings.

#include "core/date_time_text.h"

DateTimePatterns userDateTimePatterns();
