#include "core/error_text.h"

#include "core/cp936.h"

std::string errorBoxText(const std::string& message) {
  if (message.empty()) return message;
  // The last character, not the last byte: a Chinese character is two bytes.
  std::size_t last = 0;
  for (std::size_t pos = 0; pos < message.size(); pos += cp936::charLength(message, pos)) last = pos;
  const auto first = static_cast<unsigned char>(message[last]);
  std::string text = message;
  if (first > static_cast<unsigned char>('.')) text.push_back('.');
  return text;
}
