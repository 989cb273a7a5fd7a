#include "platform/windows_wake_timer.h"

#include "platform/system_folder.h"
#include "platform/windows_clock.h"

namespace {

// The power plan's "allow wake timers": subgroup sleep, setting RTC wake.
constexpr GUID kSleepSubgroup{0x238C9FA8, 0x0AAD, 0x41ED, {0x83, 0xF4, 0x97, 0xBE, 0x24, 0x2C, 0x8F, 0x20}};
constexpr GUID kAllowWakeTimers{0xBD3B718A, 0x0680, 0x4D9D, {0x8A, 0xB2, 0xE1, 0xD2, 0xB4, 0xAC, 0x80, 0x6D}};

using GetActiveScheme = DWORD(WINAPI*)(HKEY, GUID**);
using ReadValueIndex = DWORD(WINAPI*)(HKEY, const GUID*, const GUID*, const GUID*, LPDWORD);

// Looked up, not linked: not every system has them (Wine lacks the reads).
template <typename Function>
Function procedure(HMODULE module, const char* name) {
  // Through the one function type every other converts to without a warning.
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// False only when the active plan says no for the power source in use;
// a system without the power functions has no such setting.
bool wakeTimersAllowed() {
  const HMODULE power = loadSystemLibrary(L"powrprof.dll");
  if (!power) return true;
  SYSTEM_POWER_STATUS status{};
  const bool onBattery = GetSystemPowerStatus(&status) && status.ACLineStatus == 0;
  const auto activeScheme = procedure<GetActiveScheme>(power, "PowerGetActiveScheme");
  const auto readIndex =
      procedure<ReadValueIndex>(power, onBattery ? "PowerReadDCValueIndex" : "PowerReadACValueIndex");
  bool allowed = true;
  GUID* scheme = nullptr;
  if (activeScheme && readIndex && activeScheme(nullptr, &scheme) == ERROR_SUCCESS && scheme) {
    DWORD value = 1;
    if (readIndex(nullptr, scheme, &kSleepSubgroup, &kAllowWakeTimers, &value) == ERROR_SUCCESS) allowed = value != 0;
    LocalFree(scheme);
  }
  FreeLibrary(power);
  return allowed;
}

}  // namespace

WindowsWakeTimer::WindowsWakeTimer() : timer_(CreateWaitableTimerW(nullptr, TRUE, nullptr)) {}

WindowsWakeTimer::~WindowsWakeTimer() {
  if (timer_) CloseHandle(timer_);
}

void WindowsWakeTimer::arm(const LocalDateTime& at) {
  const SYSTEMTIME local = toSystemTime(at);
  SYSTEMTIME utc{};
  FILETIME due{};
  if (!timer_ || !TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc) || !SystemTimeToFileTime(&utc, &due)) return;
  LARGE_INTEGER when;
  when.LowPart = due.dwLowDateTime;
  when.HighPart = static_cast<LONG>(due.dwHighDateTime);
  SetWaitableTimer(timer_, &when, 0, nullptr, nullptr, TRUE);
}

void WindowsWakeTimer::disarm() {
  if (timer_) CancelWaitableTimer(timer_);
}

void WindowsWakeTimer::holdAwake(bool hold) {
  SetThreadExecutionState(hold ? ES_CONTINUOUS | ES_SYSTEM_REQUIRED : ES_CONTINUOUS);
}

WakeSupport WindowsWakeTimer::support() {
  const HANDLE probe = CreateWaitableTimerW(nullptr, TRUE, nullptr);
  if (!probe) return WakeSupport::NotSupported;
  // A year ahead, in 100 ns units (negative: from now); cancelled at once.
  LARGE_INTEGER due;
  due.QuadPart = -365LL * 24 * 3600 * 10'000'000;
  SetLastError(ERROR_SUCCESS);
  const bool set = SetWaitableTimer(probe, &due, 0, nullptr, nullptr, TRUE) != FALSE;
  const DWORD answer = GetLastError();
  CancelWaitableTimer(probe);
  CloseHandle(probe);
  if (!set || answer == ERROR_NOT_SUPPORTED) return WakeSupport::NotSupported;
  return wakeTimersAllowed() ? WakeSupport::Supported : WakeSupport::TimersOff;
}
