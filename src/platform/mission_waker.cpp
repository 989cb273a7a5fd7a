#include "platform/mission_waker.h"

#include "core/missed_missions.h"
#include "core/scheduler.h"

MissionWaker::MissionWaker(WakeTimer& timer, MisTable& table, const Clock& clock, const DateTimeText& text)
    : timer_(timer), table_(table), clock_(clock), text_(text) {
  table_.addObserver(this);
}

MissionWaker::~MissionWaker() {
  table_.removeObserver(this);
  if (armed_) timer_.disarm();
  release();
}

void MissionWaker::setEnabled(bool on) {
  enabled_ = on;
  arm();
}

void MissionWaker::setRunning(bool running) {
  running_ = running;
  arm();
}

void MissionWaker::clockChanged() {
  armed_.reset();
  arm();
}

void MissionWaker::arm() {
  tableChanged_ = false;
  std::optional<long long> next;
  if (enabled_ && running_) {
    next = nextDueSecond(table_, wallSecond(clock_.now()), text_);
  } else {
    release();
  }
  if (next == armed_) return;
  if (next) {
    timer_.arm(fromWallSecond(*next));
  } else {
    timer_.disarm();
  }
  armed_ = next;
}

std::optional<long long> MissionWaker::resumed() {
  if (!enabled_ || !running_ || !armed_) return std::nullopt;
  const long long now = wallSecond(clock_.now());
  if (now < *armed_ - kMakeUpSeconds || now - *armed_ > kMakeUpSeconds) return std::nullopt;
  if (!heldFor_) timer_.holdAwake(true);
  heldFor_ = armed_;
  return armed_;
}

void MissionWaker::passDone(bool noticeShowing) {
  const long long now = wallSecond(clock_.now());
  if (heldFor_ && now >= *heldFor_ && !noticeShowing) release();
  if (tableChanged_ || (armed_ && *armed_ <= now)) arm();
}

void MissionWaker::release() {
  if (!heldFor_) return;
  heldFor_.reset();
  timer_.holdAwake(false);
}
