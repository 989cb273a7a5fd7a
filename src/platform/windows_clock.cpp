#include "platform/windows_clock.h"

#include <windows.h>

LocalDateTime WindowsClock::now() const {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}
