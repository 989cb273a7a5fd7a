#include "platform/windows_platform_services.h"

#include <windows.h>
#include <mmsystem.h>
#include <powrprof.h>
#include <shellapi.h>

#include <functional>

#include "platform/program_folder.h"
#include "platform/system_error_text.h"
#include "platform/text_conversion.h"
#include "platform/token_privilege.h"
#include "platform/windows_clock.h"
#include "platform/windows_executable_rights.h"
#include "platform/windows_run_value.h"

namespace {

// ShellExecute answers a failure with a number of its own; most are the
// system's error numbers, the others have one that says the same.
DWORD shellError(INT_PTR answer) {
  switch (answer) {
    case 0: return ERROR_NOT_ENOUGH_MEMORY;
    case SE_ERR_SHARE: return ERROR_SHARING_VIOLATION;
    case SE_ERR_ASSOCINCOMPLETE:
    case SE_ERR_NOASSOC: return ERROR_NO_ASSOCIATION;
    case SE_ERR_DDETIMEOUT:
    case SE_ERR_DDEFAIL:
    case SE_ERR_DDEBUSY: return ERROR_DDE_FAIL;
    case SE_ERR_DLLNOTFOUND: return ERROR_DLL_NOT_FOUND;
    default: return static_cast<DWORD>(answer);
  }
}

// A power request made with the shutdown privilege: refused when the
// privilege can't be had or the request fails, in the system's words.
RequestFailure withShutdownPrivilege(const std::function<bool()>& request) {
  DWORD refused = ERROR_SUCCESS;
  const DWORD refusal = withPrivilege(L"SeShutdownPrivilege", [&] {
    if (!request()) refused = GetLastError();
  });
  if (refusal != ERROR_SUCCESS) return systemErrorText(refusal);
  if (refused != ERROR_SUCCESS) return systemErrorText(refused);
  return std::nullopt;
}

}  // namespace

RequestFailure WindowsPlatformServices::ExitSystem(unsigned flags) {
  // Told to Windows as planned (SHTDN_REASON_FLAG_PLANNED, other): the
  // user set it up in advance.
  constexpr DWORD kPlannedReason = SHTDN_REASON_MAJOR_OTHER | SHTDN_REASON_MINOR_OTHER | SHTDN_REASON_FLAG_PLANNED;
  return withShutdownPrivilege([flags] { return ExitWindowsEx(flags, kPlannedReason) != FALSE; });
}

RequestFailure WindowsPlatformServices::LockComputer() {
  if (LockWorkStation()) return std::nullopt;
  return systemErrorText(GetLastError());
}

// Posted, not sent: a window that does not answer must not hold us up.
// Every window's default handling passes it on to the system.
void WindowsPlatformServices::MonitorOff() { PostMessageW(HWND_BROADCAST, WM_SYSCOMMAND, SC_MONITORPOWER, 2); }

// Not forced, and the wake events (timers that wake the computer) stay on.
RequestFailure WindowsPlatformServices::SleepSystem() {
  return withShutdownPrivilege([] { return SetSuspendState(FALSE, FALSE, FALSE) != FALSE; });
}

RequestFailure WindowsPlatformServices::HibernateSystem() {
  return withShutdownPrivilege([] { return SetSuspendState(TRUE, FALSE, FALSE) != FALSE; });
}

bool WindowsPlatformServices::HibernationAvailable() { return IsPwrHibernateAllowed() != FALSE; }

RequestFailure WindowsPlatformServices::ShellOpen(ShellVerb verb, const std::string& target) {
  const std::wstring file = toWide(target);
  const auto answer = reinterpret_cast<INT_PTR>(
      ShellExecuteW(nullptr, verb == ShellVerb::Open ? L"open" : nullptr, file.c_str(), nullptr, nullptr, SW_SHOW));
  if (answer > 32) return std::nullopt;
  return systemErrorText(shellError(answer));
}

RequestFailure WindowsPlatformServices::PlayResourceSound(const std::string& name) {
  const std::wstring resource = toWide(name);
  if (PlaySoundW(resource.c_str(), GetModuleHandleW(nullptr), SND_RESOURCE | SND_SYNC)) return std::nullopt;
  // PlaySound says no more than that it failed.
  if (waveOutGetNumDevs() == 0) return std::string("\xC3\xBB\xD3\xD0\xBF\xC9\xD3\xC3\xB5\xC4\xC9\xF9\xD2\xF4\xC9\xE8\xB1\xB8");  // 没有可用的声音设备
  return std::string("\xCE\xDE\xB7\xA8\xB2\xA5\xB7\xC5\xC9\xF9\xD2\xF4");  // 无法播放声音
}

RequestFailure WindowsPlatformServices::PlaySoundFile(const std::string& path) {
  const std::wstring file = toWide(path);
  // No default sound: a file that cannot be played must say so.
  if (PlaySoundW(file.c_str(), nullptr, SND_FILENAME | SND_NODEFAULT | SND_SYNC)) return std::nullopt;
  if (GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES) return systemErrorText(GetLastError());
  return std::string("\xCE\xDE\xB7\xA8\xB2\xA5\xB7\xC5\xB8\xC3\xC9\xF9\xD2\xF4\xCE\xC4\xBC\xFE");  // 无法播放该声音文件
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
