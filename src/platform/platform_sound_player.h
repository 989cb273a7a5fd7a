#pragma once
// Built-in sounds played through PlatformServices on a thread of their own,
// so that a sound never holds up the window or the scheduler's passes (the
// chime lasts up to twelve seconds). Sounds play one after another in the
// order they were asked for; none cuts another short, and a sound asked for
// while it already waits in line is not put in line again. When the player is
// destroyed (the program ends) the sounds in line are dropped and the one
// that plays is cut short.

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

#include "core/platform_services.h"
#include "core/sound_player.h"

class PlatformSoundPlayer final : public SoundPlayer {
 public:
  explicit PlatformSoundPlayer(PlatformServices& platform) : platform_(platform) {}
  ~PlatformSoundPlayer() override;
  PlatformSoundPlayer(const PlatformSoundPlayer&) = delete;
  PlatformSoundPlayer& operator=(const PlatformSoundPlayer&) = delete;

  // Put the sound in line and return at once.
  void play(const std::string& name) override;
  void playFile(const std::string& path, const std::string& fallback) override;
  // failed is called on the player's thread.
  void ring(const std::string& path, const std::string& fallback, Failed failed) override;
  // As when the player is destroyed: the sounds in line are dropped, the one
  // that plays is cut short, the thread ends and nothing plays any more.
  void stop();

 private:
  // A built-in sound, or a file with the built-in sound that stands in for it.
  struct Sound {
    std::string name;
    std::string file;
    Failed failed;
  };
  void enqueue(Sound sound);
  void playInTurn();

  PlatformServices& platform_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Sound> waiting_;
  bool playing_ = false;
  bool ending_ = false;
  std::thread thread_;  // started with the first sound
};
