#include "platform/windows_platform_services.h"

#include <windows.h>
#include <mmsystem.h>
#include <powrprof.h>
#include <shellapi.h>

#include "platform/program_folder.h"
#include "platform/text_conversion.h"
#include "platform/token_privilege.h"
#include "platform/windows_clock.h"
#include "platform/windows_executable_rights.h"
#include "platform/windows_run_value.h"

void WindowsPlatformServices::ExitSystem(unsigned flags) {
  // Told to Windows as planned (SHTDN_REASON_FLAG_PLANNED, other): the
  // user set it up in advance.
  constexpr DWORD kPlannedReason = SHTDN_REASON_MAJOR_OTHER | SHTDN_REASON_MINOR_OTHER | SHTDN_REASON_FLAG_PLANNED;
  withPrivilege(L"SeShutdownPrivilege", [flags] { ExitWindowsEx(flags, kPlannedReason); });
}

void WindowsPlatformServices::LockComputer() { LockWorkStation(); }

// Posted, not sent: a window that does not answer must not hold us up.
// Every window's default handling passes it on to the system.
void WindowsPlatformServices::MonitorOff() { PostMessageW(HWND_BROADCAST, WM_SYSCOMMAND, SC_MONITORPOWER, 2); }

// Not forced, and the wake events (timers that wake the computer) stay on.
void WindowsPlatformServices::SleepSystem() {
  withPrivilege(L"SeShutdownPrivilege", [] { SetSuspendState(FALSE, FALSE, FALSE); });
}

void WindowsPlatformServices::HibernateSystem() {
  withPrivilege(L"SeShutdownPrivilege", [] { SetSuspendState(TRUE, FALSE, FALSE); });
}

bool WindowsPlatformServices::HibernationAvailable() { return IsPwrHibernateAllowed() != FALSE; }

void WindowsPlatformServices::ShellOpen(ShellVerb verb, const std::string& target) {
  const std::wstring file = toWide(target);
  ShellExecuteW(nullptr, verb == ShellVerb::Open ? L"open" : nullptr, file.c_str(), nullptr, nullptr, SW_SHOW);
}

void WindowsPlatformServices::PlayResourceSound(const std::string& name) {
  const std::wstring resource = toWide(name);
  PlaySoundW(resource.c_str(), GetModuleHandleW(nullptr), SND_RESOURCE | SND_SYNC);
}

bool WindowsPlatformServices::PlaySoundFile(const std::string& path) {
  const std::wstring file = toWide(path);
  // No default sound: a file that cannot be played must say so.
  return PlaySoundW(file.c_str(), nullptr, SND_FILENAME | SND_NODEFAULT | SND_SYNC) != FALSE;
}

// The process has one current sound; a call without a sound stops it,
// whichever thread plays it.
void WindowsPlatformServices::StopSound() { PlaySoundW(nullptr, nullptr, 0); }

void WindowsPlatformServices::SimpleBeep() { MessageBeep(0xFFFFFFFF); }

bool WindowsPlatformServices::SetClock(const LocalDateTime& local) {
  const SYSTEMTIME localTime = toSystemTime(local);
  SYSTEMTIME utc{};
  if (!TzSpecificLocalTimeToSystemTime(nullptr, &localTime, &utc)) return false;
  return SetSystemTime(&utc) != FALSE;
}

// The value's data is UTF-8: it holds the executable's path, which may use
// characters code page 936 lacks.
std::string WindowsPlatformServices::ReadRunValue(const std::string& name) {
  return toUtf8(readRunValue(toWide(name)));
}

void WindowsPlatformServices::WriteRunValue(const std::string& name, const std::string& text) {
  writeRunValue(toWide(name), fromUtf8(text), onlyAdministratorsCanChangeProgram(executablePath()));
}

void WindowsPlatformServices::DeleteRunValue(const std::string& name) { deleteRunValue(toWide(name)); }

void WindowsPlatformServices::MakeTopmost(WindowHandle window) {
  SetWindowPos(static_cast<HWND>(window), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}
