#include "ui/status_clock_width.h"

#include <algorithm>
#include <string>

#include "platform/text_conversion.h"

int statusClockWidth(HFONT font, UINT dpi, const DateTimeText& text, int year) {
  const int dpiValue = static_cast<int>(dpi == 0 ? 96 : dpi);
  HDC dc = GetDC(nullptr);
  const HGDIOBJ old = SelectObject(dc, font);
  int widest = 0;
  // Every month (its name may be long), the seven weekdays (days 22 to 28),
  // two-digit days, hours before and after noon.
  for (int month = 1; month <= 12; ++month) {
    for (int day = 22; day <= 28; ++day) {
      for (int hour : {11, 23}) {
        const std::wstring shown = toWide(text.statusClockText({year, month, day, hour, 59, 59, 0}));
        SIZE size{};
        GetTextExtentPoint32W(dc, shown.c_str(), static_cast<int>(shown.size()), &size);
        widest = std::max(widest, static_cast<int>(size.cx));
      }
    }
  }
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  // The panel's frame and the margins the status bar keeps around its text.
  const int margins = MulDiv(10, dpiValue, 96);
  return std::max(MulDiv(100, dpiValue, 96), widest + margins);
}
