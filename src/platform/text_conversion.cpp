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

}  // namespace

std::wstring toWide(std::string_view cp936) {
  if (cp936.empty()) return {};
  const int length = checkedLength(cp936.size());
  const int needed = MultiByteToWideChar(kCodePage, 0, cp936.data(), length, nullptr, 0);
  if (needed <= 0) throw HoravelError("No mapping for the Unicode character exists in the target multi-byte code page");
  std::wstring wide(static_cast<std::size_t>(needed), L'\0');
  MultiByteToWideChar(kCodePage, 0, cp936.data(), length, wide.data(), needed);
  return wide;
}

std::string toCp936(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int length = checkedLength(wide.size());
  const int needed = WideCharToMultiByte(kCodePage, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) throw HoravelError("No mapping for the Unicode character exists in the target multi-byte code page");
  std::string narrow(static_cast<std::size_t>(needed), '\0');
  WideCharToMultiByte(kCodePage, 0, wide.data(), length, narrow.data(), needed, nullptr, nullptr);
  return narrow;
}
