#pragma once
// The one exception type of the program's runtime faults (file, registry,
// conversion). Handlers let it pass; the message dispatch, the timer tick and
// the creation steps catch it at the edge and show the standard error box.

#include <stdexcept>
#include <string>

class HoravelError : public std::runtime_error {
 public:
  // message: code page 936 text, shown to the user as it stands.
  explicit HoravelError(const std::string& message) : std::runtime_error(message) {}
};
