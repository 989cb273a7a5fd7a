#pragma once
// Tests that write the machine's registry or start programs run only where
// that harms nothing: in the project's private Wine prefix.

#include <windows.h>

inline bool runningUnderWine() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}
