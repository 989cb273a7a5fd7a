#pragma once
// Plays one of the program's built-in sounds by its resource name ("ring",
// "t1" .. "t24").

#include <functional>
#include <string>

class SoundPlayer {
 public:
  virtual ~SoundPlayer() = default;
  virtual void play(const std::string& name) = 0;
  // Plays a sound file (a code page 936 path); one that is missing or
  // cannot be played gives the built-in sound named fallback instead.
  virtual void playFile(const std::string& path, const std::string& fallback) = 0;

  // A mission's ring: the file, or the built-in sound fallback for an empty
  // path. failed hears, from wherever the sound played, the system's error
  // text of the first sound that could not play.
  using Failed = std::function<void(const std::string& errorText)>;
  virtual void ring(const std::string& path, const std::string& fallback, Failed failed) {
    (void)failed;
    if (path.empty()) {
      play(fallback);
    } else {
      playFile(path, fallback);
    }
  }
};
