#pragma once
// Whether the program runs under Wine rather than Windows: where Wine's own
// libraries have a fault, the program steps around it there only.

#include <windows.h>

inline bool runningUnderWine() {
  static const bool wine = [] {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
  }();
  return wine;
}
