#pragma once
// The notice that comes before a power action: power off, restart, log off,
// hibernate or sleep. A due power mission is handed here instead of to its
// action. The notice says what is about to happen and counts the seconds
// down; nobody answering, the action is carried out at 0. The user may carry
// it out at once, postpone it ten minutes (its row moves on and comes due
// again then, notice and all; a repeating row keeps its time of day and its
// next occurrence, and the occurrence put off comes back as a row of its
// own, once) or cancel it (the row stays, passed). Power
// missions that fall due while the notice shows join it: one notice, one
// action, the strongest (noticeStrength); a stronger one starts the count
// again, so every action gets its whole notice. The length is the user's
// setting, read when a mission comes due; 0 carries the action out at once.
// The history learns the end of every row the notice stood for: carried out
// (or failed), postponed or cancelled.

#include <string>
#include <vector>

#include "core/clock.h"
#include "core/date_time_text.h"
#include "core/mis_kind.h"
#include "core/mission_actions.h"
#include "core/mission_history.h"
#include "core/mission_table.h"
#include "core/sound_player.h"

// The window that shows the notice.
class PowerNoticeView {
 public:
  virtual ~PowerNoticeView() = default;
  // Shows the notice, or brings the one that shows up to date: the action
  // it will carry out, the seconds left, and the mission's detail (empty:
  // nothing to show below the text). It counts by calling tick() once a
  // second while it shows.
  virtual void showPowerNotice(MisAction action, int secondsLeft, const std::string& detail) = 0;
  virtual void hidePowerNotice() = 0;
};

class PowerCountdown {
 public:
  // seconds is the notice's length from the settings; the table's rows move
  // on when the user postpones, their texts written with text.
  PowerCountdown(MisTable& table, const DateTimeText& text, MissionActions& actions, SoundPlayer& sounds,
                 PowerNoticeView& view, const int& seconds);

  static constexpr int kPostponeSeconds = 600;

  // Where the rows' ends are told, at the clock's time then; null for none.
  void reportTo(MissionHistory* history, const Clock* clock) {
    history_ = history;
    clock_ = clock;
  }

  // A mission of a power kind came due: the row (read now; it may change
  // while the notice shows) and the wall second it was due in.
  void due(MisAction action, MisTable::RowId row, long long second, const MisRecord& record);

  // One second of the notice has passed.
  void tick();
  // "立即执行", "推迟10分钟", "取消" (Esc too, and the end of the program
  // or of the session).
  void actNow();
  void postpone();
  void cancel();

  bool showing() const { return !rows_.empty(); }
  MisAction action() const { return action_; }
  int secondsLeft() const { return left_; }

 private:
  // A row the notice stands for, as it was when it fell due.
  struct DueRow {
    MisTable::RowId id;
    long long second;
    MisRecord record;
  };
  // Hides the notice and forgets its rows; gives the action to carry out.
  MisAction close();
  // Carries the action out and tells the history of the rows it stood for.
  void carryOut(MisAction action, const std::vector<DueRow>& rows);
  void tell(const std::vector<DueRow>& rows, MissionOutcome outcome, const std::string& failure = {});

  MisTable& table_;
  const DateTimeText& text_;
  MissionActions& actions_;
  SoundPlayer& sounds_;
  PowerNoticeView& view_;
  const int& seconds_;
  std::vector<DueRow> rows_;
  MisAction action_ = MisAction::Shutdown;
  std::string detail_;
  int left_ = 0;
  MissionHistory* history_ = nullptr;
  const Clock* clock_ = nullptr;
};
