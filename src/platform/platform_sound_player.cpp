#include "platform/platform_sound_player.h"

#include <algorithm>
#include <chrono>
#include <utility>

void PlatformSoundPlayer::play(const std::string& name) { enqueue({name, {}, {}}); }

void PlatformSoundPlayer::playFile(const std::string& path, const std::string& fallback) {
  enqueue({fallback, path, {}});
}

void PlatformSoundPlayer::ring(const std::string& path, const std::string& fallback, Failed failed) {
  enqueue({fallback, path, std::move(failed)});
}

void PlatformSoundPlayer::enqueue(Sound sound) {
  const std::lock_guard<std::mutex> lock(mutex_);
  if (ending_) return;
  // A sound already in line plays once: however many rings fall due in one
  // second, the line stays as short as the number of different sounds.
  const auto same = [&](const Sound& waiting) { return waiting.name == sound.name && waiting.file == sound.file; };
  if (std::any_of(waiting_.begin(), waiting_.end(), same)) return;
  waiting_.push_back(std::move(sound));
  if (!thread_.joinable()) thread_ = std::thread([this] { playInTurn(); });
  changed_.notify_all();
}

void PlatformSoundPlayer::playInTurn() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return ending_ || !waiting_.empty(); });
    if (ending_) return;
    const Sound sound = std::move(waiting_.front());
    waiting_.pop_front();
    playing_ = true;
    lock.unlock();
    // A sound that can't be played passes silently; a mission's ring
    // tells the history.
    try {
      RequestFailure failure;
      if (!sound.file.empty()) failure = platform_.PlaySoundFile(sound.file);
      if (sound.file.empty() || failure) {
        RequestFailure builtIn = platform_.PlayResourceSound(sound.name);
        if (!failure) failure = std::move(builtIn);
      }
      if (failure && sound.failed) sound.failed(*failure);
    } catch (...) {
    }
    lock.lock();
    playing_ = false;
    changed_.notify_all();
  }
}

PlatformSoundPlayer::~PlatformSoundPlayer() { stop(); }

void PlatformSoundPlayer::stop() {
  {
    std::unique_lock<std::mutex> lock(mutex_);
    ending_ = true;
    if (!thread_.joinable()) return;
    waiting_.clear();
    changed_.notify_all();
    // A sound that was only about to start when the first stop came is cut
    // short by a later one.
    while (playing_) {
      lock.unlock();
      platform_.StopSound();
      lock.lock();
      changed_.wait_for(lock, std::chrono::milliseconds(20), [this] { return !playing_; });
    }
  }
  thread_.join();
}
