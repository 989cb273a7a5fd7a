#include "platform/single_instance.h"

#include <cstdint>
#include <cwchar>
#include <string>

namespace {

// A name a kernel object may carry (no backslash after the namespace),
// the same for every spelling of the path's letter case.
std::wstring objectNameFor(const std::filesystem::path& executable) {
  std::wstring path = executable.wstring();
  if (!path.empty()) CharUpperBuffW(path.data(), static_cast<DWORD>(path.size()));
  std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
  for (wchar_t c : path) {
    hash ^= static_cast<std::uint16_t>(c);
    hash *= 1099511628211ull;
  }
  wchar_t name[64];
  swprintf(name, 64, L"Local\\Horavel-%016llx", static_cast<unsigned long long>(hash));
  return name;
}

struct WindowSearch {
  DWORD process;
  const wchar_t* className;
  HWND found;
};

BOOL CALLBACK matchWindow(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  wchar_t className[64] = L"";
  if (process == search->process && GetClassNameW(window, className, 64) &&
      wcscmp(className, search->className) == 0) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

SingleInstance::SingleInstance(const std::filesystem::path& executable) {
  mapping_ = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(DWORD),
                                objectNameFor(executable).c_str());
  if (!mapping_) {
    // Without the object nothing can be shared: run rather than refuse.
    first_ = true;
    return;
  }
  first_ = GetLastError() != ERROR_ALREADY_EXISTS;
  auto* shared = static_cast<volatile DWORD*>(MapViewOfFile(mapping_, FILE_MAP_WRITE, 0, 0, sizeof(DWORD)));
  if (!shared) return;
  if (first_) {
    *shared = GetCurrentProcessId();
  } else {
    runningProcess_ = *shared;
  }
  UnmapViewOfFile(const_cast<DWORD*>(shared));
}

SingleInstance::~SingleInstance() {
  if (mapping_) CloseHandle(mapping_);
}

UINT SingleInstance::showMessage() {
  static const UINT message = RegisterWindowMessageW(L"Horavel-ShowMainWindow");
  return message;
}

bool SingleInstance::showRunning(const wchar_t* mainWindowClass, DWORD waitMs) const {
  if (first_ || runningProcess_ == 0) return false;
  // This start came from the user, so it may hand the foreground on.
  AllowSetForegroundWindow(runningProcess_);
  const DWORD start = GetTickCount();
  for (;;) {
    WindowSearch search{runningProcess_, mainWindowClass, nullptr};
    EnumWindows(&matchWindow, reinterpret_cast<LPARAM>(&search));
    const DWORD waited = GetTickCount() - start;
    if (search.found) {
      // The running instance answers by bringing its window back; one that
      // does not answer within the time left is stuck.
      DWORD_PTR answer = 0;
      return SendMessageTimeoutW(search.found, showMessage(), 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                                 waited < waitMs ? waitMs - waited : 1, &answer) != 0;
    }
    if (waited >= waitMs) return false;
    Sleep(50);
  }
}
