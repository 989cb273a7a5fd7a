#include "platform/token_privilege.h"

#include <windows.h>

DWORD withPrivilege(const wchar_t* name, const std::function<void()>& request) {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return GetLastError();
  TOKEN_PRIVILEGES wanted{};
  wanted.PrivilegeCount = 1;
  wanted.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  TOKEN_PRIVILEGES previous{};
  DWORD returned = 0;
  DWORD refusal = ERROR_SUCCESS;
  if (LookupPrivilegeValueW(nullptr, name, &wanted.Privileges[0].Luid) &&
      AdjustTokenPrivileges(token, FALSE, &wanted, sizeof previous, &previous, &returned)) {
    // Not-all-assigned also counts as refused: act only when the privilege
    // really is held.
    refusal = GetLastError();
    if (refusal == ERROR_SUCCESS) request();
    // The previous state lists the privilege only when this call changed it.
    AdjustTokenPrivileges(token, FALSE, &previous, 0, nullptr, nullptr);
  } else {
    refusal = GetLastError();
    if (refusal == ERROR_SUCCESS) refusal = ERROR_NOT_ALL_ASSIGNED;
  }
  CloseHandle(token);
  return refusal;
}
