#pragma once
// The local wall clock of Windows.

#include <windows.h>

#include "core/clock.h"

// The same moment as Windows writes it, the day of the week included.
SYSTEMTIME toSystemTime(const LocalDateTime& t);

class WindowsClock final : public Clock {
 public:
  LocalDateTime now() const override;
};
