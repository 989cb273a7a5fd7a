#include "platform/text_conversion.h"

#include <windows.h>

#include <climits>

#include "core/error.h"

namespace {

constexpr UINT kCodePage = 936;

int checkedLength(std::size_t size) {
  if (size > static_cast<std::size_t>(INT_MAX)) throw HoravelError("Text too long to convert");
  return static_cast<int>(size);
}

std::wstring narrowToWide(UINT codePage, std::string_view narrow) {
  if (narrow.empty()) return {};
  const int length = checkedLength(narrow.size());
  const int needed = MultiByteToWideChar(codePage, 0, narrow.data(), length, nullptr, 0);
  if (needed <= 0) throw HoravelError("No mapping for the Unicode character exists in the target multi-byte code page");
  std::wstring wide(static_cast<std::size_t>(needed), L'\0');
  MultiByteToWideChar(codePage, 0, narrow.data(), length, wide.data(), needed);
  return wide;
}

std::string wideToNarrow(UINT codePage, std::wstring_view wide) {
  if (wide.empty()) return {};
  const int length = checkedLength(wide.size());
  const int needed = WideCharToMultiByte(codePage, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) throw HoravelError("No mapping for the Unicode character exists in the target multi-byte code page");
  std::string narrow(static_cast<std::size_t>(needed), '\0');
  WideCharToMultiByte(codePage, 0, wide.data(), length, narrow.data(), needed, nullptr, nullptr);
  return narrow;
}

}  // namespace

std::wstring toWide(std::string_view cp936) { return narrowToWide(kCodePage, cp936); }
std::string toCp936(std::wstring_view wide) { return wideToNarrow(kCodePage, wide); }
std::optional<std::string> toCp936Exactly(std::wstring_view wide) {
  std::string narrow = toCp936(wide);
  if (narrowToWide(kCodePage, narrow) != wide) return std::nullopt;
  return narrow;
}
std::optional<std::string> storablePath(const std::wstring& path) {
  if (std::optional<std::string> exact = toCp936Exactly(path)) return exact;
  const DWORD needed = GetShortPathNameW(path.c_str(), nullptr, 0);
  if (needed == 0) return std::nullopt;
  std::wstring shortName(needed, L'\0');
  const DWORD length = GetShortPathNameW(path.c_str(), shortName.data(), needed);
  if (length == 0 || length >= needed) return std::nullopt;
  shortName.resize(length);
  return toCp936Exactly(shortName);
}

std::wstring fromUtf8(std::string_view utf8) { return narrowToWide(CP_UTF8, utf8); }
std::string toUtf8(std::wstring_view wide) { return wideToNarrow(CP_UTF8, wide); }
