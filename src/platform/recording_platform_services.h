#pragma once
// A PlatformServices that only records what it was asked to do. Tests and
// builds without Windows use it; nothing reaches the operating system.

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "core/platform_services.h"

class RecordingPlatformServices final : public PlatformServices {
 public:
  RequestFailure ExitSystem(unsigned flags) override;
  RequestFailure LockComputer() override;
  void MonitorOff() override;
  RequestFailure SleepSystem() override;
  RequestFailure HibernateSystem() override;
  bool HibernationAvailable() override;
  RequestFailure ShellOpen(ShellVerb verb, const std::string& target) override;
  RequestFailure PlayResourceSound(const std::string& name) override;
  RequestFailure PlaySoundFile(const std::string& path) override;
  void StopSound() override;
  void SimpleBeep() override;
  bool SetClock(const LocalDateTime& local) override;
  std::string ReadRunValue(const std::string& name) override;
  void WriteRunValue(const std::string& name, const std::string& text) override;
  void DeleteRunValue(const std::string& name) override;
  void MakeTopmost(WindowHandle window) override;

  // One line per call, e.g. "ExitSystem 13", "ShellOpen open mailto:a@b.c",
  // "PlayResourceSound ring". The sound player calls from its own thread, so
  // this is a copy taken under the lock.
  std::vector<std::string> calls() const;
  void clearCalls();

  // Called after each call is recorded, with its line, on the caller's
  // thread and outside the lock: lets a test make time pass while a sound
  // plays, hold a sound up, or fail a write.
  std::function<void(const std::string&)> onCall;
  bool setClockResult = true;
  // What HibernationAvailable answers; the question itself is not recorded.
  bool hibernationAvailable = true;
  // What PlaySoundFile answers for each path; false for any other.
  std::map<std::string, bool> playableFiles;
  // Requests the system refuses, by their call's line ("ExitSystem 13",
  // "ShellOpen - c:\\a.exe", "PlayResourceSound ring"), with the error text
  // it gives; a file PlaySoundFile cannot play answers "cannot play".
  std::map<std::string, std::string> refusals;
  // The Run key's values; a value listed in nonStringValues is of another type.
  std::map<std::string, std::string> runValues;
  std::vector<std::string> nonStringValues;
  bool failWrites = false;
  // Deletions pass silently but leave the value, as a machine-wide value
  // does for a program without administrator rights.
  bool failDeletes = false;
  LocalDateTime lastClock;

 private:
  void record(std::string line);
  // Records a request and gives what refusals holds for it.
  RequestFailure request(std::string line);
  mutable std::mutex mutex_;
  std::vector<std::string> calls_;
};
