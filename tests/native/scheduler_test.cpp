#include "core/scheduler.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/platform_sound_player.h"
#include "platform/recording_platform_services.h"

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
  void mRing() override { lines.push_back("mRing"); }
  void mOpenUrl(std::string d) override { lines.push_back("mOpenUrl " + d); }
  void mEmail(std::string d) override { lines.push_back("mEmail " + d); }
};

struct StatusBar : StatusClockView {
  std::vector<std::string> texts;
  void showStatusClock(const std::string& text) override { texts.push_back(text); }
};

class SchedulerTest : public ::testing::Test {
 protected:
  MisTable table;
  ManualClock clock{{2026, 12, 9, 12, 30, 0, 0}};
  DateTimeText text;
  ActionLog actions;
  RecordingPlatformServices platform;
  PlatformSoundPlayer sounds{platform};
  StatusBar status;
  bool autoSpeek = false;
  Scheduler scheduler{table, clock, text, actions, sounds, status, autoSpeek};

  void add(const char* kind, const char* detail, const char* date, const char* time) {
    table.append({kind, detail, date, time, 0});
  }
  void passAt(int h, int m, int s) {
    clock.setTime(h, m, s);
    scheduler.CheckMis();
  }
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

TEST(ChimeSoundNameTest, EveryHourHasAClip) {
  EXPECT_EQ(chimeSoundName(1), "t1");
  EXPECT_EQ(chimeSoundName(15), "t15");
  EXPECT_EQ(chimeSoundName(23), "t23");
  EXPECT_EQ(chimeSoundName(0), "t24");
}

TEST_F(SchedulerTest, FiresExactlyAtItsSecondAndOnlyThen) {
  add("执行程序", "c:\\a.exe", "2026/12/9", "12:30:00");
  passAt(12, 29, 59);
  EXPECT_TRUE(actions.lines.empty());
  passAt(12, 30, 0);
  EXPECT_EQ(actions.lines, (std::vector<std::string>{"mExecPro c:\\a.exe"}));
  passAt(12, 30, 1);
  EXPECT_EQ(actions.lines.size(), 1u);
  // The fired row stays as it was; set the clock back and it fires again.
  EXPECT_EQ(table.row(0).timeText, "12:30:00");
  passAt(12, 30, 0);
  EXPECT_EQ(actions.lines.size(), 2u);
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

TEST_F(SchedulerTest, EachRowIsComparedWithTheClockWhenThePassReachesIt) {
  // The ring holds the pass up for two seconds: the row behind it, due in
  // the same second, is compared too late and never fires.
  add("系统响铃", "内置铃声", "2026/12/9", "12:30:00");
  add("执行程序", "behind", "2026/12/9", "12:30:00");
  add("执行程序", "later", "2026/12/9", "12:30:02");
  struct RingTakesTwoSeconds : ActionLog {
    ManualClock* clock;
    void mRing() override {
      ActionLog::mRing();
      clock->setTime(12, 30, 2);
    }
  } slowRing;
  slowRing.clock = &clock;
  Scheduler slow{table, clock, text, slowRing, sounds, status, autoSpeek};
  clock.setTime(12, 30, 0);
  slow.CheckMis();
  EXPECT_EQ(slowRing.lines, (std::vector<std::string>{"mRing", "mExecPro later"}));
}

TEST_F(SchedulerTest, MissionsDueDuringAReminderFireInNestedPasses) {
  add("提示消息", "起床", "2026/12/9", "12:30:00");
  add("执行程序", "same second", "2026/12/9", "12:30:00");
  add("执行程序", "during", "2026/12/9", "12:30:05");
  actions.whileReminderShows = [&](const std::string&) {
    for (int s = 1; s <= 11; ++s) passAt(12, 30, s);  // the popup's eleven seconds
  };
  passAt(12, 30, 0);
  EXPECT_EQ(actions.lines, (std::vector<std::string>{"mMessage 起床", "mExecPro during"}));
}

TEST_F(SchedulerTest, APassResumingAfterAReminderNeverReadsRowsThatAreGone) {
  add("提示消息", "a", "2026/12/9", "12:30:00");
  add("执行程序", "b", "2026/12/9", "12:30:00");
  add("执行程序", "c", "2026/12/9", "12:30:00");
  // The user deletes every row while the popup shows; the popup is closed
  // within the same second.
  actions.whileReminderShows = [&](const std::string&) { table.clear(); };
  passAt(12, 30, 0);
  EXPECT_EQ(actions.lines, (std::vector<std::string>{"mMessage a"}));

  // Shrunk by one: the pass goes on with the rows that are left.
  table.append({"提示消息", "a", "2026/12/9", "12:30:00", 0});
  table.append({"执行程序", "b", "2026/12/9", "12:30:00", 0});
  table.append({"执行程序", "c", "2026/12/9", "12:30:00", 0});
  actions.lines.clear();
  actions.whileReminderShows = [&](const std::string&) { table.remove(2); };
  passAt(12, 30, 0);
  EXPECT_EQ(actions.lines, (std::vector<std::string>{"mMessage a", "mExecPro b"}));
}

TEST_F(SchedulerTest, StatusClockShowsEveryPass) {
  passAt(14, 3, 9);
  clock.set({2027, 1, 1, 0, 0, 0, 0});
  scheduler.CheckMis();
  EXPECT_EQ(status.texts, (std::vector<std::string>{"2026/12/9 14:03:09", "2027/1/1"}));
}

TEST_F(SchedulerTest, TodaysTextFollowsTheDateAcrossMidnight) {
  add("执行程序", "new day", "2026/12/10", "00:00:01");
  passAt(23, 59, 59);
  clock.set({2026, 12, 10, 0, 0, 1, 0});
  scheduler.CheckMis();
  EXPECT_EQ(actions.lines, (std::vector<std::string>{"mExecPro new day"}));
}

TEST_F(SchedulerTest, ChimeComesAfterTheMissionsOnlyAtTheFullHourAndOnlyWhenOn) {
  add("执行程序", "x", "2026/12/9", "15:00:00");
  std::vector<std::string> order;
  platform.onCall = [&](const std::string& line) { order.push_back(line + " after " + actions.lines.back()); };
  autoSpeek = true;
  passAt(15, 0, 0);
  EXPECT_EQ(order, (std::vector<std::string>{"PlayResourceSound t15 after mExecPro x"}));
  passAt(15, 0, 1);
  passAt(15, 1, 0);
  EXPECT_EQ(platform.calls().size(), 1u);
  autoSpeek = false;
  passAt(16, 0, 0);
  EXPECT_EQ(platform.calls().size(), 1u);
}

TEST_F(SchedulerTest, MidnightChimePlaysTheTwentyFourOClockClip) {
  autoSpeek = true;
  passAt(0, 0, 0);
  EXPECT_EQ(platform.calls(), (std::vector<std::string>{"PlayResourceSound t24"}));
}

TEST_F(SchedulerTest, ASecondWithoutAPassIsNeverMadeUp) {
  // The chime of 10:00:00 plays for seconds; the next pass comes at 10:00:06.
  add("执行程序", "during chime", "2026/12/9", "10:00:03");
  autoSpeek = true;
  passAt(10, 0, 0);
  passAt(10, 0, 6);
  EXPECT_TRUE(actions.lines.empty());
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
  RecordingPlatformServices platform;
  PlatformSoundPlayer sounds{platform};
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
  RecordingPlatformServices platform;
  PlatformSoundPlayer sounds{platform};
  StatusBar status;
  const bool autoSpeek = false;
  Scheduler scheduler{table, clock, text, actions, sounds, status, autoSpeek};
  table.append({"执行程序", "dotted", "2026/12/9", "7.08.09", 0});
  table.append({"执行程序", "colon", "2026/12/9", "7:8:9", 0});
  scheduler.CheckMis();
  EXPECT_EQ(actions.lines, (std::vector<std::string>{"mExecPro colon"}));
}
