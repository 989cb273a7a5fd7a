#pragma once
// Built-in sounds played through PlatformServices.

#include <string>

#include "core/sound_player.h"
#include "core/platform_services.h"

class PlatformSoundPlayer final : public SoundPlayer {
 public:
  explicit PlatformSoundPlayer(PlatformServices& platform) : platform_(platform) {}
  void play(const std::string& name) override { platform_.PlayResourceSound(name); }

 private:
  PlatformServices& platform_;
};
