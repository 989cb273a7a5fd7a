#pragma once
// Plays one of the program's built-in sounds by its resource name ("ring",
// "t1" .. "t24").

#include <string>

class SoundPlayer {
 public:
  virtual ~SoundPlayer() = default;
  virtual void play(const std::string& name) = 0;
  // Plays a sound file (a code page 936 path); one that is missing or
  // cannot be played gives the built-in sound named fallback instead.
  virtual void playFile(const std::string& path, const std::string& fallback) = 0;
};
