#pragma once
// Conversion between the program's code page 936 texts and the UTF-16 of
// the Windows API. Always code page 936, whatever the system's ANSI code
// page is, so the Chinese shows correctly on any Windows.

#include <optional>
#include <string>
#include <string_view>

std::wstring toWide(std::string_view cp936);
// Characters that code page 936 lacks become '?'.
std::string toCp936(std::wstring_view wide);
// The text in code page 936 when every character survives the conversion
// unchanged (no '?', no look-alike put in its place); nullopt otherwise.
std::optional<std::string> toCp936Exactly(std::wstring_view wide);
// A path in code page 936 that still names the same file: the path itself
// when it converts exactly, else the short (8.3) name of the existing file
// when that does; nullopt when neither can be stored.
std::optional<std::string> storablePath(const std::wstring& path);

// UTF-8, for texts from the system that must come back whole whatever
// characters they hold (the executable's path in the autostart value).
std::wstring fromUtf8(std::string_view utf8);
std::string toUtf8(std::wstring_view wide);
