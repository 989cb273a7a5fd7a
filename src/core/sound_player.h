#pragma once
// Plays one of the program's built-in sounds by its resource name ("ring",
// "t1" .. "t24").

#include <string>

class SoundPlayer {
 public:
  virtual ~SoundPlayer() = default;
  virtual void play(const std::string& name) = 0;
};
