#include "platform/recording_platform_services.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "core/error.h"
#include "platform/run_value_errors.h"

void RecordingPlatformServices::record(std::string line) {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    calls_.push_back(line);
  }
  if (onCall) onCall(line);
}

std::vector<std::string> RecordingPlatformServices::calls() const {
  const std::lock_guard<std::mutex> lock(mutex_);
  return calls_;
}

void RecordingPlatformServices::clearCalls() {
  const std::lock_guard<std::mutex> lock(mutex_);
  calls_.clear();
}

RequestFailure RecordingPlatformServices::request(std::string line) {
  RequestFailure failure;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (const auto refused = refusals.find(line); refused != refusals.end()) failure = refused->second;
  }
  record(std::move(line));
  return failure;
}

RequestFailure RecordingPlatformServices::ExitSystem(unsigned flags) {
  return request("ExitSystem " + std::to_string(flags));
}

RequestFailure RecordingPlatformServices::LockComputer() { return request("LockComputer"); }

void RecordingPlatformServices::MonitorOff() { record("MonitorOff"); }

RequestFailure RecordingPlatformServices::SleepSystem() { return request("SleepSystem"); }

RequestFailure RecordingPlatformServices::HibernateSystem() { return request("HibernateSystem"); }

bool RecordingPlatformServices::HibernationAvailable() { return hibernationAvailable; }

RequestFailure RecordingPlatformServices::ShellOpen(ShellVerb verb, const std::string& target) {
  return request(std::string("ShellOpen ") + (verb == ShellVerb::Open ? "open " : "- ") + target);
}

RequestFailure RecordingPlatformServices::PlayResourceSound(const std::string& name) {
  return request("PlayResourceSound " + name);
}

RequestFailure RecordingPlatformServices::PlaySoundFile(const std::string& path) {
  record("PlaySoundFile " + path);
  const std::lock_guard<std::mutex> lock(mutex_);
  const auto found = playableFiles.find(path);
  if (found != playableFiles.end() && found->second) return std::nullopt;
  return std::string("cannot play");
}

void RecordingPlatformServices::StopSound() { record("StopSound"); }

void RecordingPlatformServices::SimpleBeep() { record("SimpleBeep"); }

bool RecordingPlatformServices::SetClock(const LocalDateTime& local) {
  char text[64];
  std::snprintf(text, sizeof text, "SetClock %04d-%02d-%02d %02d:%02d:%02d.%03d", local.year, local.month, local.day,
                local.hour, local.minute, local.second, local.millisecond);
  lastClock = local;
  record(text);
  return setClockResult;
}

std::string RecordingPlatformServices::ReadRunValue(const std::string& name) {
  record("ReadRunValue " + name);
  if (std::find(nonStringValues.begin(), nonStringValues.end(), name) != nonStringValues.end())
    throw HoravelError(invalidDataTypeMessage(name));
  const auto found = runValues.find(name);
  return found == runValues.end() ? std::string() : found->second;
}

void RecordingPlatformServices::WriteRunValue(const std::string& name, const std::string& text) {
  record("WriteRunValue " + name + " " + text);
  if (failWrites) throw HoravelError(failedToSetDataMessage(name));
  runValues[name] = text;
  std::erase(nonStringValues, name);
}

void RecordingPlatformServices::DeleteRunValue(const std::string& name) {
  record("DeleteRunValue " + name);
  if (failDeletes) return;
  runValues.erase(name);
  std::erase(nonStringValues, name);
}

void RecordingPlatformServices::MakeTopmost(WindowHandle window) {
  char text[48];
  std::snprintf(text, sizeof text, "MakeTopmost %p", window);
  record(text);
}
