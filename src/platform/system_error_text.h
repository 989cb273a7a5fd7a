#pragma once
// The system's own text for an error number, in the user's language, as the
// history keeps it (code page 936, without the line break Windows ends it
// with); "错误 <number>" when Windows has no text for it.

#include <windows.h>

#include <string>

std::string systemErrorText(DWORD error);
