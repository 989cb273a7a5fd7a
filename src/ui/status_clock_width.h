#pragma once
// The width of the main window's status clock: 100 pixels at 96 dpi, or more
// when the widest date and time the user's formats can write needs it, so
// the seconds are never cut off ("12/19/2026 11:59:59 PM", "2026/12/19
// 23:59:59").

#include <windows.h>

#include "core/date_time_text.h"

// Measured with font (the status bar's) at dpi; year is the one shown.
int statusClockWidth(HFONT font, UINT dpi, const DateTimeText& text, int year);
