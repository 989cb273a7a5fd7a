#include "core/power_countdown.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "core/clock.h"

PowerCountdown::PowerCountdown(MisTable& table, const DateTimeText& text, MissionActions& actions,
                               SoundPlayer& sounds, PowerNoticeView& view, const int& seconds)
    : table_(table), text_(text), actions_(actions), sounds_(sounds), view_(view), seconds_(seconds) {}

void PowerCountdown::due(MisAction action, MisTable::RowId row, long long second, const MisRecord& record) {
  // Below the text only what says more than the kind's own name.
  const std::string detail = record.detail == record.kindName ? std::string() : record.detail;
  if (!showing()) {
    if (seconds_ <= 0) {
      carryOut(action, {{row, second, record}});
      return;
    }
    rows_.push_back({row, second, record});
    action_ = action;
    detail_ = detail;
    left_ = seconds_;
    view_.showPowerNotice(action_, left_, detail_);
    sounds_.play("ring");
    return;
  }
  rows_.push_back({row, second, record});
  if (noticeStrength(action) > noticeStrength(action_)) {
    action_ = action;
    detail_ = detail;
    left_ = std::max(left_, seconds_);
    view_.showPowerNotice(action_, left_, detail_);
  }
}

void PowerCountdown::tick() {
  if (!showing()) return;
  if (--left_ > 0) {
    view_.showPowerNotice(action_, left_, detail_);
    return;
  }
  actNow();
}

void PowerCountdown::actNow() {
  if (!showing()) return;
  const std::vector<DueRow> rows = rows_;
  carryOut(close(), rows);
}

void PowerCountdown::carryOut(MisAction action, const std::vector<DueRow>& rows) {
  // The power actions take no detail.
  perform(actions_, action, std::string());
  const std::string failure = actions_.takeFailure();
  tell(rows, failure.empty() ? MissionOutcome::CarriedOut : MissionOutcome::Failed, failure);
}

void PowerCountdown::postpone() {
  if (!showing()) return;
  const std::vector<DueRow> rows = rows_;
  close();
  tell(rows, MissionOutcome::Postponed);
  for (const DueRow& due : rows) {
    // A row deleted meanwhile is gone.
    const int index = table_.indexOf(due.id);
    if (index < 0) continue;
    const LocalDateTime when = fromWallSecond(due.second + kPostponeSeconds);
    if (due.record.repeat.repeats()) {
      // Moved to its time of day ten minutes later, it would fire ten
      // minutes later every time: the occurrence put off goes alone.
      MisRecord once = due.record;
      once.repeat = {};
      once.dateText = text_.dateText(when);
      once.timeText = text_.timeText(when);
      table_.append(std::move(once));
      continue;
    }
    // One the user has given another day or time is already where the user
    // wants it.
    MisRecord moved = table_.row(index);
    if (moved.dateText != due.record.dateText || moved.timeText != due.record.timeText) continue;
    moved.dateText = text_.dateText(when);
    moved.timeText = text_.timeText(when);
    table_.overwrite(index, std::move(moved));
  }
}

void PowerCountdown::cancel() {
  if (!showing()) return;
  const std::vector<DueRow> rows = rows_;
  close();
  tell(rows, MissionOutcome::Cancelled);
}

void PowerCountdown::tell(const std::vector<DueRow>& rows, MissionOutcome outcome, const std::string& failure) {
  if (!history_) return;
  const LocalDateTime now = clock_->now();
  // An answer says when the row was due; one carried out says how it went.
  const bool answered = outcome == MissionOutcome::Postponed || outcome == MissionOutcome::Cancelled;
  for (const DueRow& due : rows) {
    history_->record({now, due.record.kindName, due.record.detail, outcome,
                      answered ? std::optional<LocalDateTime>(fromWallSecond(due.second)) : std::nullopt, failure});
  }
}

MisAction PowerCountdown::close() {
  rows_.clear();
  left_ = 0;
  view_.hidePowerNotice();
  return action_;
}
