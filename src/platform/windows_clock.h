#pragma once
// The local wall clock of Windows.

#include "core/clock.h"

class WindowsClock final : public Clock {
 public:
  LocalDateTime now() const override;
};
