#include "platform/windows_platform_services.h"

#include <windows.h>
#include <mmsystem.h>
#include <shellapi.h>

#include <vector>

#include "core/error.h"
#include "platform/run_value_errors.h"
#include "platform/text_conversion.h"

namespace {

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// An open registry key, closed when it goes out of scope.
class RegistryKey {
 public:
  RegistryKey() = default;
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;
  ~RegistryKey() {
    if (key_) RegCloseKey(key_);
  }
  bool openForReading() { return RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_READ, &key_) == ERROR_SUCCESS; }
  bool openOrCreate() {
    return RegCreateKeyExW(HKEY_LOCAL_MACHINE, kRunKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                           &key_, nullptr) == ERROR_SUCCESS;
  }
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

}  // namespace

void WindowsPlatformServices::ExitSystem(unsigned flags) {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return;
  TOKEN_PRIVILEGES wanted{};
  wanted.PrivilegeCount = 1;
  wanted.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &wanted.Privileges[0].Luid);
  TOKEN_PRIVILEGES previous{};
  DWORD returned = 0;
  AdjustTokenPrivileges(token, FALSE, &wanted, sizeof previous, &previous, &returned);
  // Not-all-assigned also counts as refused: end the session only when the
  // privilege really is held.
  const DWORD result = GetLastError();
  CloseHandle(token);
  if (result == ERROR_SUCCESS) ExitWindowsEx(flags, 0);
}

void WindowsPlatformServices::ShellOpen(ShellVerb verb, const std::string& target) {
  const std::wstring file = toWide(target);
  ShellExecuteW(nullptr, verb == ShellVerb::Open ? L"open" : nullptr, file.c_str(), nullptr, nullptr, SW_SHOW);
}

void WindowsPlatformServices::PlayResourceSound(const std::string& name) {
  const std::wstring resource = toWide(name);
  PlaySoundW(resource.c_str(), GetModuleHandleW(nullptr), SND_RESOURCE);
}

void WindowsPlatformServices::SimpleBeep() { MessageBeep(0xFFFFFFFF); }

bool WindowsPlatformServices::SetClock(const LocalDateTime& local) {
  SYSTEMTIME localTime{};
  localTime.wYear = static_cast<WORD>(local.year);
  localTime.wMonth = static_cast<WORD>(local.month);
  localTime.wDay = static_cast<WORD>(local.day);
  localTime.wHour = static_cast<WORD>(local.hour);
  localTime.wMinute = static_cast<WORD>(local.minute);
  localTime.wSecond = static_cast<WORD>(local.second);
  localTime.wMilliseconds = static_cast<WORD>(local.millisecond);
  SYSTEMTIME utc{};
  if (!TzSpecificLocalTimeToSystemTime(nullptr, &localTime, &utc)) return false;
  return SetSystemTime(&utc) != FALSE;
}

std::string WindowsPlatformServices::ReadRunValue(const std::string& name) {
  RegistryKey key;
  if (!key.openForReading()) return {};
  const std::wstring valueName = toWide(name);
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return {};
  if (type != REG_SZ && type != REG_EXPAND_SZ) throw HoravelError(invalidDataTypeMessage(name));
  std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
  DWORD bytes = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
  if (RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                       &bytes) != ERROR_SUCCESS)
    return {};
  // The stored text may or may not carry its terminating zero.
  return toCp936(std::wstring(buffer.data()));
}

void WindowsPlatformServices::WriteRunValue(const std::string& name, const std::string& text) {
  RegistryKey key;
  if (!key.openOrCreate()) throw HoravelError(failedToSetDataMessage(name));
  const std::wstring valueName = toWide(name);
  const std::wstring data = toWide(text);
  const auto bytes = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
  if (RegSetValueExW(key.get(), valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()), bytes) !=
      ERROR_SUCCESS)
    throw HoravelError(failedToSetDataMessage(name));
}

void WindowsPlatformServices::DeleteRunValue(const std::string& name) {
  RegistryKey key;
  if (!key.openOrCreate()) return;
  RegDeleteValueW(key.get(), toWide(name).c_str());
}

void WindowsPlatformServices::MakeTopmost(WindowHandle window) {
  SetWindowPos(static_cast<HWND>(window), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}
