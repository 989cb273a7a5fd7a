#include "core/scheduler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "core/mis_kind.h"
#include "core/run_control.h"
#include "core/tick_schedule.h"

namespace {

// Records each action as one line; a test may hook the reminder to act
// while "the popup is open".
struct ActionLog : MissionActions {
  std::vector<std::string> lines;
  std::function<void(const std::string&)> whileReminderShows;

  void mShutdown() override { lines.push_back("mShutdown"); }
  void mReboot() override { lines.push_back("mReboot"); }
  void mLogoff() override { lines.push_back("mLogoff"); }
  void mExecPro(std::string d) override { lines.push_back("mExecPro " + d); }
  void mOpenFile(std::string d) override { lines.push_back("mOpenFile " + d); }
  void mMessage(std::string d) override {
    lines.push_back("mMessage " + d);
    if (whileReminderShows) whileReminderShows(d);
  }
  void mRing(std::string) override { lines.push_back("mRing"); }
  void mOpenUrl(std::string d) override { lines.push_back("mOpenUrl " + d); }
  void mEmail(std::string d) override { lines.push_back("mEmail " + d); }
  void mLock() override { lines.push_back("mLock"); }
  void mMonitorOff() override { lines.push_back("mMonitorOff"); }
  void mSleep() override { lines.push_back("mSleep"); }
  void mHibernate() override { lines.push_back("mHibernate"); }
};

// Writes the sounds asked for into the same log as the actions, so the
// order of both shows.
struct SoundLog : SoundPlayer {
  std::vector<std::string>& lines;
  explicit SoundLog(std::vector<std::string>& into) : lines(into) {}
  void play(const std::string& name) override { lines.push_back("play " + name); }
  void playFile(const std::string& path, const std::string&) override { lines.push_back("play " + path); }
};

struct SwitchTimer : TickTimer {
  bool on = false;
  void setEnabled(bool enabled) override { on = enabled; }
  bool enabled() const override { return on; }
};

struct StatusBar : StatusClockView {
  std::vector<std::string> texts;
  void showStatusClock(const std::string& text) override { texts.push_back(text); }
};

// Each entry as "outcome detail [due time]".
struct HistoryLines : MissionHistory {
  std::vector<std::string> lines;
  void record(const HistoryEntry& entry) noexcept override {
    static const char* const outcomes[] = {"done", "late", "missed", "postponed", "cancelled", "failed"};
    std::string line = std::string(outcomes[static_cast<int>(entry.outcome)]) + " " + entry.detail;
    if (entry.due) line += " " + DateTimeText().dateText(*entry.due) + " " + DateTimeText().timeText(*entry.due);
    lines.push_back(line);
  }
};

struct MissedNotice : MissedMissionsView {
  std::vector<std::vector<MisRecord>> shown;
  void showMissed(std::vector<MisRecord> rows) override { shown.push_back(std::move(rows)); }
};

class SchedulerTest : public ::testing::Test {
 protected:
  MisTable table;
  ManualClock clock{{2026, 12, 9, 12, 30, 0, 0}};
  DateTimeText text;
  ActionLog actions;
  SoundLog sounds{actions.lines};
  StatusBar status;
  bool autoSpeek = false;
  Scheduler scheduler{table, clock, text, actions, sounds, status, autoSpeek};
  SwitchTimer timer;
  RunControl run{timer};
  HistoryLines history;
  MissedNotice notice;

  SchedulerTest() {
    run.attach(&scheduler);
    scheduler.reportTo(&history, &notice);
  }

  void add(const char* kind, const char* detail, const char* date, const char* time) {
    table.append({kind, detail, date, time, 0});
  }
  void setTime(int h, int m, int s, int ms = 0) {
    LocalDateTime now = clock.now();
    now.hour = h;
    now.minute = m;
    now.second = s;
    now.millisecond = ms;
    clock.set(now);
  }
  // A tick: shortly after its second begins, as the timer aims it.
  void passAt(int h, int m, int s) {
    setTime(h, m, s, kTickMargin);
    scheduler.CheckMis();
  }
  void startAt(int h, int m, int s, int ms = 0) {
    setTime(h, m, s, ms);
    run.mStart();
  }
  using Lines = std::vector<std::string>;
};

}  // namespace

TEST(SplitTimeTextTest, ReadsThreeIntegersSeparatedByColons) {
  EXPECT_EQ(splitTimeText("12:30:00"), (TimeOfDay{12, 30, 0}));
  EXPECT_EQ(splitTimeText("9:5:7"), (TimeOfDay{9, 5, 7}));
  EXPECT_EQ(splitTimeText("009:05:0000000000007"), (TimeOfDay{9, 5, 7}));  // leading zeros allowed
  EXPECT_EQ(splitTimeText("25:99:99"), (TimeOfDay{25, 99, 99}));          // read, never due
  for (const char* bad : {"", "12", "12:30", "12:30:", ":30:00", "12::00", "12:30:00:00", "3:00:00 PM",
                          "下午 3:00:00", "12.30.00", "+1:00:00", "-1:00:00", "1 :00:00", "9999999999:00:00"}) {
    EXPECT_EQ(splitTimeText(bad), std::nullopt) << bad;
  }
}

TEST(RepeatRuleTest, NextOccurrenceOfEveryRule) {
  const auto at = [](int y, int mo, int d, int h = 8, int mi = 0, int s = 0) {
    return wallSecond({y, mo, d, h, mi, s, 0});
  };
  const auto next = [](const char* rule, long long from) {
    const auto parsed = parseRepeatText(rule);
    EXPECT_TRUE(parsed) << rule;
    return parsed ? nextOccurrence(*parsed, {8, 0, 0}, from) : std::nullopt;
  };
  // Its own second counts; one second later, the next day it falls on.
  EXPECT_EQ(next("每天", at(2026, 12, 9)), at(2026, 12, 9));
  EXPECT_EQ(next("每天", at(2026, 12, 9, 8, 0, 1)), at(2026, 12, 10));
  EXPECT_EQ(next("每天", at(2028, 2, 28, 23)), at(2028, 2, 29));
  // Friday after eight: Monday.
  EXPECT_EQ(next("工作日", at(2026, 12, 11, 9)), at(2026, 12, 14));
  // Monday, Wednesday and Friday across a year's end: Thursday the 31st
  // gives Friday the 1st, then Monday the 4th.
  EXPECT_EQ(next("每周一、三、五", at(2026, 12, 31)), at(2027, 1, 1));
  EXPECT_EQ(next("每周一、三、五", at(2027, 1, 1, 8, 0, 1)), at(2027, 1, 4));
  EXPECT_EQ(next("每周日", at(2026, 12, 28)), at(2027, 1, 3));
  // The 31st: the last day of a shorter month, then the 31st again.
  EXPECT_EQ(next("每月31日", at(2027, 1, 31, 9)), at(2027, 2, 28));
  EXPECT_EQ(next("每月31日", at(2027, 2, 28, 9)), at(2027, 3, 31));
  EXPECT_EQ(next("每月31日", at(2027, 4, 1)), at(2027, 4, 30));
  EXPECT_EQ(next("每月30日", at(2028, 2, 1)), at(2028, 2, 29));
  EXPECT_EQ(next("每月29日", at(2027, 2, 1)), at(2027, 2, 28));
  EXPECT_EQ(next("每月29日", at(2028, 2, 1)), at(2028, 2, 29));
  EXPECT_EQ(nextOccurrence({}, {8, 0, 0}, at(2026, 12, 9)), std::nullopt);

  // The list's texts are the file's: they read back to the same rule.
  for (const char* text : {"每天", "工作日", "每周一", "每周一、三、五", "每周六、日", "每月1日", "每月31日"}) {
    const auto rule = parseRepeatText(text);
    ASSERT_TRUE(rule) << text;
    EXPECT_EQ(repeatText(*rule), text);
  }
  EXPECT_EQ(repeatText(kDailyFileRule), "每天");
  EXPECT_EQ(repeatText({}), "");
  for (const char* text : {"", "不重复", "每周", "每周一三", "每周一、一", "每周一、", "每月", "每月0日", "每月32日",
                           "每月01日", "每月1", "每天 ", "12:00:00"}) {
    EXPECT_EQ(parseRepeatText(text), std::nullopt) << text;
  }
}

TEST(ChimeSoundNameTest, EveryHourHasAClip) {
  EXPECT_EQ(chimeSoundName(1), "t1");
  EXPECT_EQ(chimeSoundName(15), "t15");
  EXPECT_EQ(chimeSoundName(23), "t23");
  EXPECT_EQ(chimeSoundName(0), "t24");
}

TEST_F(SchedulerTest, FiresOnceInItsSecondAndAgainWhenTheClockIsSetBack) {
  add("执行程序", "c:\\a.exe", "2026/12/9", "12:30:00");
  startAt(12, 29, 58, 400);
  passAt(12, 29, 59);
  EXPECT_TRUE(actions.lines.empty());
  passAt(12, 30, 0);
  EXPECT_EQ(actions.lines, (Lines{"mExecPro c:\\a.exe"}));
  passAt(12, 30, 1);
  setTime(12, 30, 1, 900);  // a second tick in one second examines nothing
  scheduler.CheckMis();
  EXPECT_EQ(actions.lines.size(), 1u);
  // The fired row stays as it was; set the clock back and it fires again
  // when its time comes again, not at once.
  EXPECT_EQ(table.row(0).timeText, "12:30:00");
  passAt(12, 29, 59);
  EXPECT_EQ(actions.lines.size(), 1u);
  passAt(12, 30, 0);
  EXPECT_EQ(actions.lines.size(), 2u);
}

TEST_F(SchedulerTest, FirstPassAfterStartIsInTheNextSecondWhateverTheMillisecondOfStart) {
  add("执行程序", "start second", "2026/12/9", "12:30:00");
  add("执行程序", "next second", "2026/12/9", "12:30:01");
  for (const int ms : {0, 520, 999}) {
    actions.lines.clear();
    run.mStop();
    startAt(12, 30, 0, ms);
    // The timer aims its first tick as it aims every other.
    const int tickAt = ms + nextTickDelay(ms);
    ASSERT_GE(tickAt, 1000) << ms;
    ASSERT_LT(tickAt, 2000) << ms;
    setTime(12, 30, 1, tickAt - 1000);
    scheduler.CheckMis();
    EXPECT_EQ(actions.lines, (Lines{"mExecPro next second"})) << ms;
  }
}

TEST_F(SchedulerTest, DateMustMatchByteForByte) {
  add("执行程序", "past", "2026/12/8", "12:30:00");
  add("执行程序", "padded", "2026/12/09", "12:30:00");
  add("执行程序", "future", "2026/12/10", "12:30:00");
  add("执行程序", "today", "2026/12/9", "12:30:00");
  passAt(12, 30, 0);
  EXPECT_EQ(actions.lines, (std::vector<std::string>{"mExecPro today"}));
  EXPECT_EQ(table.count(), 4);
}

TEST_F(SchedulerTest, LeadingZerosInTheTimeTextDoNotMatter) {
  add("打开文件", "f", "2026/12/9", "9:05:07");
  add("打开文件", "g", "2026/12/9", "09:05:07");
  passAt(9, 5, 7);
  EXPECT_EQ(actions.lines, (std::vector<std::string>{"mOpenFile f", "mOpenFile g"}));
}

TEST_F(SchedulerTest, EveryKindReachesItsActionInTableOrder) {
  const char* kinds[] = {"发送邮件", "关闭计算机", "重启计算机", "注销计算机", "执行程序",
                         "打开文件", "提示消息",   "系统响铃",   "打开网页"};
  for (const char* kind : kinds) add(kind, "D", "2026/12/9", "12:30:00");
  passAt(12, 30, 0);
  EXPECT_EQ(actions.lines, (std::vector<std::string>{"mEmail D", "mShutdown", "mReboot", "mLogoff", "mExecPro D",
                                                     "mOpenFile D", "mMessage D", "mRing", "mOpenUrl D"}));
}

TEST_F(SchedulerTest, IdenticalRowsBothFireInOnePass) {
  add("打开网页", "http://example.org/", "2026/12/9", "12:30:00");
  add("打开网页", "http://example.org/", "2026/12/9", "12:30:00");
  passAt(12, 30, 0);
  EXPECT_EQ(actions.lines.size(), 2u);
}

TEST_F(SchedulerTest, UnknownKindAndMalformedTimesDoNothingAndNeverStopThePass) {
  add("随便", "x", "2026/12/9", "12:30:00");
  add("执行程序", "x", "2026/12/9", "12:30");
  add("执行程序", "x", "2026/12/9", "下午 12:30:00");
  add("执行程序", "x", "2026/12/9", "");
  add("执行程序", "x", "2026/12/9", "12:30:00:00");
  add("执行程序", "x", "2026/12/9", "12:29:60");  // read, but no clock reads it
  add("执行程序", "last", "2026/12/9", "12:30:00");
  passAt(12, 30, 0);
  EXPECT_EQ(actions.lines, (std::vector<std::string>{"mExecPro last"}));
}

TEST_F(SchedulerTest, RenamedRowStopsFiringAndFiresAgainWhenNamedBack) {
  add("系统响铃", "内置铃声", "2026/12/9", "12:30:00");
  table.renameKind(0, "系统响铃吧");
  passAt(12, 30, 0);
  EXPECT_TRUE(actions.lines.empty());
  table.renameKind(0, "系统响铃");
  passAt(12, 30, 0);
  EXPECT_EQ(actions.lines, (std::vector<std::string>{"mRing"}));
}

TEST_F(SchedulerTest, ABusyStretchMakesUpItsSecondsInOrderOnce) {
  add("执行程序", "c", "2026/12/9", "12:30:04");
  add("执行程序", "a", "2026/12/9", "12:30:02");
  add("执行程序", "b1", "2026/12/9", "12:30:03");
  add("执行程序", "start second", "2026/12/9", "12:30:00");
  add("执行程序", "b2", "2026/12/9", "12:30:03");
  add("执行程序", "d", "2026/12/9", "12:30:06");
  add("执行程序", "later", "2026/12/9", "12:30:07");
  startAt(12, 30, 0, 300);
  passAt(12, 30, 1);
  // The thread was busy for five seconds: one late pass makes them up.
  passAt(12, 30, 6);
  EXPECT_EQ(actions.lines, (Lines{"mExecPro a", "mExecPro b1", "mExecPro b2", "mExecPro c", "mExecPro d"}));
  passAt(12, 30, 7);
  passAt(12, 30, 8);
  EXPECT_EQ(actions.lines, (Lines{"mExecPro a", "mExecPro b1", "mExecPro b2", "mExecPro c", "mExecPro d",
                                  "mExecPro later"}));
}

TEST_F(SchedulerTest, ARowBehindAReminderFiresWhenThePopupClosesAndNotAgainInANestedPass) {
  add("提示消息", "起床", "2026/12/9", "12:30:00");
  add("执行程序", "same second", "2026/12/9", "12:30:00");
  add("执行程序", "during", "2026/12/9", "12:30:05");
  add("执行程序", "after", "2026/12/9", "12:30:12");
  actions.whileReminderShows = [&](const std::string&) {
    for (int s = 1; s <= 11; ++s) passAt(12, 30, s);  // the popup's eleven seconds
  };
  startAt(12, 29, 59, 500);
  passAt(12, 30, 0);
  passAt(12, 30, 12);
  EXPECT_EQ(actions.lines, (Lines{"mMessage 起床", "mExecPro during", "mExecPro same second", "mExecPro after"}));
  // The history in the order things happened: the reminder as it showed.
  EXPECT_EQ(history.lines, (Lines{"done 起床", "done during", "done same second", "done after"}));
}

TEST_F(SchedulerTest, RowsDeletedOrEditedWhileAReminderShowsAreCheckedAgainBeforeTheyFire) {
  // As a load fills the table.
  const auto fill = [&] {
    table.assign({{"提示消息", "a", "2026/12/9", "12:30:00", 0},
                  {"执行程序", "b", "2026/12/9", "12:30:00", 0},
                  {"执行程序", "not due", "2026/12/9", "12:45:00", 0},
                  {"执行程序", "c", "2026/12/9", "12:30:00", 0}});
  };
  // The same rows loaded again: the new rows are not the ones that fell due.
  fill();
  actions.whileReminderShows = [&](const std::string&) { fill(); };
  passAt(12, 30, 0);
  EXPECT_EQ(actions.lines, (Lines{"mMessage a"}));

  // b deleted: the row that moves into its place is not due and stays
  // quiet; c, moved up, still fires.
  fill();
  actions.lines.clear();
  actions.whileReminderShows = [&](const std::string&) { table.remove(1); };
  passAt(12, 30, 0);
  EXPECT_EQ(actions.lines, (Lines{"mMessage a", "mExecPro c"}));

  // b moved to another time, c's program changed.
  fill();
  actions.lines.clear();
  actions.whileReminderShows = [&](const std::string&) {
    table.overwrite(1, {"执行程序", "b", "2026/12/9", "12:31:00", 0});
    table.overwrite(3, {"执行程序", "c2", "2026/12/9", "12:30:00", 0});
  };
  passAt(12, 30, 0);
  EXPECT_EQ(actions.lines, (Lines{"mMessage a", "mExecPro c2"}));
}

TEST_F(SchedulerTest, AfterAGapMissionsOfADayAreCarriedOutLateOnceButNeverAPowerActionAndEveryOneIsRecorded) {
  add("执行程序", "in 61 s gap", "2026/12/9", "12:30:30");
  add("执行程序", "after 61 s", "2026/12/9", "12:31:02");
  add("执行程序", "in 60 s gap", "2026/12/9", "12:31:03");
  // Every kind, due in the evening.
  for (const MisKind& kind : kMisKinds) table.append({std::string(kind.name), "D", "2026/12/9", "22:00:00", 0});
  add("执行程序", "a day and a second ago", "2026/12/9", "12:59:59");
  add("打开网页", "a day ago", "2026/12/9", "13:00:00");
  add("随便", "no kind", "2026/12/9", "21:00:00");
  add("执行程序", "on wake", "2026/12/10", "13:00:00");
  startAt(12, 30, 0, 500);
  passAt(12, 30, 1);
  passAt(12, 31, 2);  // 61 seconds later: the 60 before this one are a gap
  EXPECT_EQ(actions.lines, (Lines{"mExecPro in 61 s gap", "mExecPro after 61 s"}));
  passAt(12, 32, 2);  // 60 seconds later: made up as usual
  EXPECT_EQ(actions.lines.back(), "mExecPro in 60 s gap");
  EXPECT_EQ(history.lines, (Lines{"late in 61 s gap 2026/12/9 12:30:30", "done after 61 s", "done in 60 s gap"}));

  // Asleep until 13:00 the next day: late in table order, then this second;
  // nothing that acts on the computer itself.
  actions.lines.clear();
  history.lines.clear();
  clock.set({2026, 12, 10, 13, 0, 0, 20});
  scheduler.CheckMis();
  EXPECT_EQ(actions.lines, (Lines{"mExecPro D", "mOpenFile D", "mMessage D", "mRing", "mOpenUrl D", "mEmail D",
                                  "mOpenUrl a day ago", "mExecPro on wake"}));
  // One notice of those not carried out, dated when they were due.
  ASSERT_EQ(notice.shown.size(), 1u);
  std::vector<std::string> told;
  for (const MisRecord& row : notice.shown[0]) told.push_back(row.kindName + " " + row.dateText + " " + row.timeText);
  EXPECT_EQ(told, (Lines{"关闭计算机 2026/12/9 22:00:00", "重启计算机 2026/12/9 22:00:00",
                         "注销计算机 2026/12/9 22:00:00", "锁定计算机 2026/12/9 22:00:00",
                         "关闭显示器 2026/12/9 22:00:00", "计算机睡眠 2026/12/9 22:00:00",
                         "计算机休眠 2026/12/9 22:00:00", "执行程序 2026/12/9 12:59:59"}));
  // Each of them in the history first, as missed, then each late run.
  ASSERT_EQ(history.lines.size(), 16u);
  EXPECT_EQ(std::count(history.lines.begin(), history.lines.begin() + 8, "missed D 2026/12/9 22:00:00"), 7);
  EXPECT_EQ(history.lines[7], "missed a day and a second ago 2026/12/9 12:59:59");
  EXPECT_EQ(history.lines[8], "late D 2026/12/9 22:00:00");
  EXPECT_EQ(history.lines[14], "late a day ago 2026/12/9 13:00:00");
  EXPECT_EQ(history.lines[15], "done on wake");

  // Woken by the timer for a power-off and up seconds after its second: it
  // goes as if in its second.
  add("关闭计算机", "", "2026/12/11", "06:00:00");
  clock.set({2026, 12, 11, 6, 0, 7, 20});
  scheduler.wokenFor(wallSecond({2026, 12, 11, 6, 0, 0, 0}));
  scheduler.CheckMis();
  EXPECT_EQ(actions.lines.back(), "mShutdown");
  EXPECT_EQ(notice.shown.size(), 1u);
}

TEST_F(SchedulerTest, ARepeatingRowMissedThreeTimesIsCarriedOutOnceAndAClockSetBackMissesNothing) {
  const RepeatRule daily = *parseRepeatText("每天");
  table.append({"执行程序", "daily", "2026/12/9", "08:00:00", 1, daily});
  table.append({"重启计算机", "", "2026/12/9", "09:00:00", 0, daily});
  table.append({"执行程序", "at one", "2026/12/9", "13:00:00", 1, daily});
  clock.set({2026, 12, 8, 22, 0, 0, 0});
  run.mStart();
  passAt(22, 0, 1);
  // Asleep from the evening of the 8th to 13:00 on the 11th.
  clock.set({2026, 12, 11, 13, 0, 0, 20});
  scheduler.CheckMis();
  // Once for the three mornings; the row due at 13:00 only in its own second.
  EXPECT_EQ(actions.lines, (Lines{"mExecPro daily", "mExecPro at one"}));
  EXPECT_EQ(history.lines, (Lines{"missed daily 2026/12/9 08:00:00", "missed daily 2026/12/10 08:00:00",
                                  "missed  2026/12/9 09:00:00", "missed  2026/12/10 09:00:00",
                                  "missed  2026/12/11 09:00:00", "missed at one 2026/12/9 13:00:00",
                                  "missed at one 2026/12/10 13:00:00", "late daily 2026/12/11 08:00:00",
                                  "done at one"}));
  ASSERT_EQ(notice.shown.size(), 1u);
  ASSERT_EQ(notice.shown[0].size(), 3u);
  EXPECT_EQ(notice.shown[0][2].dateText, "2026/12/11");
  for (int i = 0; i < table.count(); ++i) EXPECT_EQ(table.row(i).dateText, "2026/12/12") << i;

  // The clock set back an hour: no gap, nothing missed; a row fires again
  // when its time comes again.
  actions.lines.clear();
  history.lines.clear();
  passAt(12, 0, 0);
  passAt(12, 0, 1);
  EXPECT_TRUE(history.lines.empty());
  EXPECT_EQ(notice.shown.size(), 1u);
  clock.set({2026, 12, 11, 12, 59, 59, 500});
  scheduler.CheckMis();
  passAt(13, 0, 0);
  EXPECT_EQ(actions.lines, (Lines{"mExecPro at one"}));
  EXPECT_EQ(history.lines, (Lines{"done at one"}));
}

TEST_F(SchedulerTest, PauseOrStopThenStartMakesUpNothingFromBefore) {
  add("执行程序", "while paused", "2026/12/9", "12:30:05");
  add("执行程序", "while stopped", "2026/12/9", "12:30:15");
  add("执行程序", "after start", "2026/12/9", "12:30:21");
  add("执行程序", "behind a late tick", "2026/12/9", "12:30:22");
  startAt(12, 30, 0, 100);
  passAt(12, 30, 1);
  setTime(12, 30, 1, 600);
  run.mPause();
  startAt(12, 30, 10, 0);
  passAt(12, 30, 11);
  setTime(12, 30, 11, 50);
  run.mStop();
  startAt(12, 30, 20, 999);
  passAt(12, 30, 21);
  // Start while running begins no new run: the seconds since the last
  // pass are still made up.
  startAt(12, 30, 22, 500);
  passAt(12, 30, 23);
  EXPECT_EQ(actions.lines, (Lines{"mExecPro after start", "mExecPro behind a late tick"}));
}

TEST_F(SchedulerTest, StatusClockShowsEveryPass) {
  passAt(14, 3, 9);
  clock.set({2027, 1, 1, 0, 0, 0, 0});
  scheduler.CheckMis();
  EXPECT_EQ(status.texts, (std::vector<std::string>{"2026/12/9 14:03:09", "2027/1/1"}));
}

TEST_F(SchedulerTest, AStretchAcrossMidnightComparesEachSecondWithItsOwnDaysText) {
  add("执行程序", "new day", "2026/12/10", "00:00:01");
  add("执行程序", "old day", "2026/12/9", "23:59:59");
  add("执行程序", "old day's text, new day's time", "2026/12/9", "00:00:01");
  add("执行程序", "new day's text, old day's time", "2026/12/10", "23:59:59");
  autoSpeek = true;
  clock.set({2026, 12, 9, 23, 59, 57, 500});
  run.mStart();
  passAt(23, 59, 58);
  clock.set({2026, 12, 10, 0, 0, 2, 20});
  scheduler.CheckMis();
  EXPECT_EQ(actions.lines, (Lines{"mExecPro old day", "mExecPro new day", "play t24"}));
}

TEST_F(SchedulerTest, RepeatingRowsMoveOnAsTheyFireAndOnTheFirstPassOfANewDay) {
  const RepeatRule daily = *parseRepeatText("每天");
  table.append({"执行程序", "everyday.mis", "2026/12/9", "08:00:00", 1, kDailyFileRule});  // passed at start
  table.append({"执行程序", "daily", "2026/12/9", "23:59:59", 1, daily});
  table.append({"执行程序", "workdays", "2026/12/10", "00:00:05", 1, *parseRepeatText("工作日")});
  table.append({"执行程序", "fridays", "2026/12/11", "00:00:05", 1, *parseRepeatText("每周五")});
  table.append({"执行程序", "once", "2026/12/9", "08:00:00", 1});
  table.append({"执行程序", "daily from the 20th", "2026/12/20", "08:00:00", 1, daily});
  table.append({"执行程序", "not a time", "2026/12/9", "8 o'clock", 1, daily});
  const auto dates = [&] {
    std::vector<std::string> texts;
    for (int i = 0; i < table.count(); ++i) texts.push_back(table.row(i).dateText);
    return texts;
  };
  clock.set({2026, 12, 9, 23, 59, 58, 0});
  run.mStart();
  passAt(23, 59, 59);
  EXPECT_EQ(actions.lines, (Lines{"mExecPro daily"}));
  // Fired, it shows when it fires next.
  EXPECT_EQ(dates(), (std::vector<std::string>{"2026/12/9", "2026/12/10", "2026/12/10", "2026/12/11", "2026/12/9",
                                               "2026/12/20", "2026/12/9"}));
  clock.set({2026, 12, 10, 0, 0, 0, kTickMargin});
  scheduler.CheckMis();
  // The new day: the daily mission of everyday.mis takes today's date; the
  // row that fires once and rows dated ahead stay.
  EXPECT_EQ(dates(), (std::vector<std::string>{"2026/12/10", "2026/12/10", "2026/12/10", "2026/12/11", "2026/12/9",
                                               "2026/12/20", "2026/12/9"}));
  for (int s = 1; s <= 5; ++s) passAt(0, 0, s);
  EXPECT_EQ(actions.lines, (Lines{"mExecPro daily", "mExecPro workdays"}));
  EXPECT_EQ(table.row(2).dateText, "2026/12/11");
  clock.set({2026, 12, 10, 8, 0, 0, kTickMargin});
  scheduler.CheckMis();
  EXPECT_EQ(actions.lines.back(), "mExecPro everyday.mis");
  EXPECT_EQ(table.row(0).dateText, "2026/12/11");

  // Stopped over the weekend: the first pass after Start, however late,
  // brings every repeating row up to date before it looks for due rows.
  run.mStop();
  clock.set({2026, 12, 14, 0, 0, 4, 0});
  run.mStart();
  passAt(0, 0, 5);
  EXPECT_EQ(actions.lines.back(), "mExecPro workdays");
  EXPECT_EQ(dates(), (std::vector<std::string>{"2026/12/14", "2026/12/14", "2026/12/15", "2026/12/18", "2026/12/9",
                                               "2026/12/20", "2026/12/9"}));
}

TEST_F(SchedulerTest, ARepeatingRowFiresAgainWhenTheClockIsSetBack) {
  const RepeatRule daily = *parseRepeatText("每天");
  table.append({"执行程序", "daily", "2026/12/9", "12:30:00", 1, daily});
  table.append({"执行程序", "daily from the 20th", "2026/12/20", "12:30:00", 1, daily});
  startAt(12, 29, 59, 500);
  passAt(12, 30, 0);
  EXPECT_EQ(table.row(0).dateText, "2026/12/10");
  // Back within the day, as a row that fires once does: again at its time.
  passAt(12, 29, 59);
  EXPECT_EQ(table.row(0).dateText, "2026/12/9");
  passAt(12, 30, 0);
  EXPECT_EQ(actions.lines, (Lines{"mExecPro daily", "mExecPro daily"}));
  // Back two days: it fires on the day the clock shows, not two days later.
  clock.set({2026, 12, 7, 12, 0, 0, kTickMargin});
  scheduler.CheckMis();
  EXPECT_EQ(table.row(0).dateText, "2026/12/7");
  EXPECT_EQ(table.row(1).dateText, "2026/12/20");  // its first day is the user's
  passAt(12, 30, 0);
  EXPECT_EQ(actions.lines.size(), 3u);
  EXPECT_EQ(table.row(0).dateText, "2026/12/8");
}

TEST_F(SchedulerTest, ChimeComesOnceAfterThePassesMissionsWhenItsFullHourIsExamined) {
  add("执行程序", "x", "2026/12/9", "15:00:02");
  add("执行程序", "y", "2026/12/9", "15:00:00");
  autoSpeek = true;
  startAt(14, 59, 58, 0);
  passAt(14, 59, 59);
  // Busy across the full hour: the chime is caught up, after the missions.
  passAt(15, 0, 3);
  passAt(15, 0, 4);
  EXPECT_EQ(actions.lines, (Lines{"mExecPro y", "mExecPro x", "play t15"}));
  // The clock set back over the hour: the missions fire again, the chime
  // does not.
  passAt(14, 59, 59);
  passAt(15, 0, 0);
  EXPECT_EQ(actions.lines, (Lines{"mExecPro y", "mExecPro x", "play t15", "mExecPro y"}));
  autoSpeek = false;
  passAt(15, 59, 59);
  passAt(16, 0, 0);
  EXPECT_EQ(actions.lines.back(), "mExecPro x");  // carried out late after the gap, and no chime
}

TEST_F(SchedulerTest, MidnightChimePlaysTheTwentyFourOClockClip) {
  autoSpeek = true;
  passAt(0, 0, 0);
  EXPECT_EQ(actions.lines, (Lines{"play t24"}));
}

TEST(SchedulerFormatsTest, TwelveHourFormatReadsRowsWithItsParser) {
  DateTimePatterns patterns;
  patterns.shortDate = "M/d/yyyy";
  patterns.longTime = "h:mm:ss tt";
  patterns.amDesignator = "AM";
  patterns.pmDesignator = "PM";
  const DateTimeText text(patterns);
  MisTable table;
  ManualClock clock{{2026, 12, 9, 15, 0, 0, 0}};
  ActionLog actions;
  SoundLog sounds{actions.lines};
  StatusBar status;
  const bool autoSpeek = false;
  Scheduler scheduler{table, clock, text, actions, sounds, status, autoSpeek};
  table.append({"执行程序", "written here", "12/9/2026", text.timeText(clock.now()), 0});
  table.append({"执行程序", "from a file", "12/9/2026", "15:00:00", 0});
  table.append({"执行程序", "morning", "12/9/2026", "3:00:00 AM", 0});
  scheduler.CheckMis();
  EXPECT_EQ(actions.lines, (std::vector<std::string>{"mExecPro written here", "mExecPro from a file"}));
  EXPECT_EQ(status.texts.back(), "12/9/2026 3:00:00 PM");
}

TEST(SchedulerFormatsTest, ColonFormatDecidesBySplitAlone) {
  // "7.08.09" is what a dotted format would write: under HH:mm:ss it is no time.
  const DateTimeText text;
  MisTable table;
  ManualClock clock{{2026, 12, 9, 7, 8, 9, 0}};
  ActionLog actions;
  SoundLog sounds{actions.lines};
  StatusBar status;
  const bool autoSpeek = false;
  Scheduler scheduler{table, clock, text, actions, sounds, status, autoSpeek};
  table.append({"执行程序", "dotted", "2026/12/9", "7.08.09", 0});
  table.append({"执行程序", "colon", "2026/12/9", "7:8:9", 0});
  scheduler.CheckMis();
  EXPECT_EQ(actions.lines, (std::vector<std::string>{"mExecPro colon"}));
}
