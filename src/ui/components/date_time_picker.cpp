#include "ui/components/date_time_picker.h"

#include <commctrl.h>

#include "core/clock.h"
#include "platform/under_wine.h"
#include "ui/components/subclass.h"

namespace {

constexpr UINT_PTR kGuardId = 1;

// Asks a guarded picker for the last real value it held; lParam points to a
// SYSTEMTIME. An unguarded picker answers 0.
UINT lastRealMessage() {
  static const UINT message = RegisterWindowMessageW(L"HoravelPickerLastRealValue");
  return message;
}

bool isReal(const SYSTEMTIME& t) {
  if (t.wYear < 1601 || t.wYear > 9999 || t.wMonth < 1 || t.wMonth > 12) return false;
  return t.wDay >= 1 && t.wDay <= daysInMonth(t.wYear, t.wMonth) && t.wHour < 24 && t.wMinute < 60 &&
         t.wSecond < 60 && t.wMilliseconds < 1000;
}

// The messages through which typing, clicking and the drop-down calendar
// change a picker's value.
bool mayChangeValue(UINT message) {
  switch (message) {
    case WM_CHAR:
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_IME_CHAR:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_MOUSEWHEEL:
    case WM_VSCROLL:
    case WM_NOTIFY:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case DTM_SETSYSTEMTIME:
      return true;
    default:
      return false;
  }
}

LRESULT CALLBACK guardProc(HWND picker, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
  auto* lastReal = reinterpret_cast<SYSTEMTIME*>(data);
  if (message == lastRealMessage()) {
    *reinterpret_cast<SYSTEMTIME*>(lParam) = *lastReal;
    return TRUE;
  }
  if (message == WM_NCDESTROY) {
    removeSubclass(picker, &guardProc, kGuardId);
    delete lastReal;
    return nextSubclassProc(picker, message, wParam, lParam);
  }
  const LRESULT result = nextSubclassProc(picker, message, wParam, lParam);
  // Wine leaves the picker without a chosen field here; the right arrow
  // from there chooses the first one, as Windows has it.
  if (message == WM_SETFOCUS && runningUnderWine()) nextSubclassProc(picker, WM_KEYDOWN, VK_RIGHT, 0);
  if (mayChangeValue(message)) {
    SYSTEMTIME value{};
    if (nextSubclassProc(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&value)) == GDT_VALID &&
        isReal(value)) {
      *lastReal = value;
    } else {
      nextSubclassProc(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(lastReal));
    }
  }
  return result;
}

}  // namespace

void guardDateTimePicker(HWND picker) {
  SYSTEMTIME value{};
  if (SendMessageW(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&value)) != GDT_VALID || !isReal(value))
    GetLocalTime(&value);
  auto* lastReal = new SYSTEMTIME(value);
  if (!addSubclass(picker, &guardProc, kGuardId, reinterpret_cast<DWORD_PTR>(lastReal))) delete lastReal;
}

SYSTEMTIME dateTimePickerValue(HWND picker) {
  SYSTEMTIME value{};
  if (SendMessageW(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&value)) == GDT_VALID && isReal(value))
    return value;
  SYSTEMTIME lastReal{};
  if (!SendMessageW(picker, lastRealMessage(), 0, reinterpret_cast<LPARAM>(&lastReal))) GetLocalTime(&lastReal);
  SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&lastReal));
  return lastReal;
}
