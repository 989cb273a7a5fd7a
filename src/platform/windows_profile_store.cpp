#include "platform/windows_profile_store.h"

#include <windows.h>

#include <string>

#include "core/error.h"
#include "platform/text_conversion.h"

int WindowsProfileStore::readInteger(std::string_view section, std::string_view key, int defaultValue) const {
  const std::wstring wideSection = toWide(section);
  const std::wstring wideKey = toWide(key);
  // An absent value and an empty one both give "", which is no integer. A
  // value that fills the buffer may have been cut: read again with more room.
  std::wstring text(64, L'\0');
  for (;;) {
    const DWORD length = GetPrivateProfileStringW(wideSection.c_str(), wideKey.c_str(), L"", text.data(),
                                                  static_cast<DWORD>(text.size()), file_.c_str());
    if (length + 1 < text.size() || text.size() >= 65536) {
      text.resize(length);
      break;
    }
    text.resize(text.size() * 4);
  }
  return parseProfileInteger(toCp936(text)).value_or(defaultValue);
}

void WindowsProfileStore::writeInteger(std::string_view section, std::string_view key, int value) {
  const std::wstring wideSection = toWide(section);
  const std::wstring wideKey = toWide(key);
  const std::wstring text = std::to_wstring(value);
  if (!WritePrivateProfileStringW(wideSection.c_str(), wideKey.c_str(), text.c_str(), file_.c_str()))
    throw HoravelError(unableToWriteMessage(toCp936(file_.wstring())));
}

void WindowsProfileStore::removeKey(std::string_view section, std::string_view key) {
  const std::wstring wideSection = toWide(section);
  const std::wstring wideKey = toWide(key);
  if (!WritePrivateProfileStringW(wideSection.c_str(), wideKey.c_str(), nullptr, file_.c_str()))
    throw HoravelError(unableToWriteMessage(toCp936(file_.wstring())));
}
