#pragma once
// Scanning code page 936 (GBK) text character by character. A byte from 0x81
// to 0xFE leads a two-byte character and takes the next byte with it, so a
// trail byte that happens to equal a separator (0x80, '$', a pattern letter)
// is never mistaken for one.

#include <cstddef>
#include <string_view>

namespace cp936 {

inline bool isLeadByte(char c) {
  const auto b = static_cast<unsigned char>(c);
  return b >= 0x81 && b <= 0xFE;
}

// Length in bytes of the character at pos (1 or 2; 1 for a lead byte at the end).
inline std::size_t charLength(std::string_view text, std::size_t pos) {
  return isLeadByte(text[pos]) && pos + 1 < text.size() ? 2 : 1;
}

// Position of the first single-byte character equal to separator, at or after
// from, or npos.
inline std::size_t findChar(std::string_view text, char separator, std::size_t from = 0) {
  for (std::size_t pos = from; pos < text.size(); pos += charLength(text, pos)) {
    if (text[pos] == separator) return pos;
  }
  return std::string_view::npos;
}

}  // namespace cp936
