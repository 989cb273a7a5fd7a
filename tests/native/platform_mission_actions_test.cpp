#include "platform/platform_mission_actions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "core/scheduler.h"
#include "platform/platform_sound_player.h"
#include "platform/recording_platform_services.h"

namespace {

using Lines = std::vector<std::string>;

// A popup that writes what happens to it into the same log as the platform,
// so the order of both can be checked. whileShown runs "inside the modal
// loop", where the scheduler's timer would go on ticking.
class FakePopup final : public ReminderPopup {
 public:
  explicit FakePopup(Lines& log) : log_(log) {}

  void setMessage(const std::string& cp936) override {
    message = cp936;
    log_.push_back("setMessage " + cp936);
  }
  void showModal() override {
    ++shows;
    ++depth;
    maxDepth = std::max(maxDepth, depth);
    log_.push_back("showModal " + message);
    struct Leave {
      int& depth;
      ~Leave() { --depth; }
    } leave{depth};
    if (whileShown) whileShown(message);
  }
  WindowHandle window() const override { return const_cast<int*>(&windowMarker_); }

  std::string message;
  int shows = 0;
  int depth = 0;
  int maxDepth = 0;
  std::function<void(const std::string&)> whileShown;

 private:
  Lines& log_;
  int windowMarker_ = 0;
};

// Sounds asked for, written into the log as they are asked for.
struct SoundLog final : SoundPlayer {
  explicit SoundLog(Lines& into) : log(into) {}
  void play(const std::string& name) override { log.push_back("play " + name); }
  void playFile(const std::string& path, const std::string& fallback) override {
    log.push_back("play " + path + " or " + fallback);
  }
  Lines& log;
};

class PlatformMissionActionsTest : public ::testing::Test {
 protected:
  PlatformMissionActionsTest() {
    platform.onCall = [this](const std::string& line) { log.push_back(line); };
  }

  std::string topmost() const {
    char text[48];
    std::snprintf(text, sizeof text, "MakeTopmost %p", popup.window());
    return text;
  }
  // What one reminder does, in order.
  Lines reminder(const std::string& message) const {
    return {"setMessage " + message, "SimpleBeep", "showModal " + message, topmost()};
  }
  static Lines joined(std::initializer_list<Lines> parts) {
    Lines all;
    for (const Lines& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
  }

  Lines log;
  RecordingPlatformServices platform;
  SoundLog sounds{log};
  FakePopup popup{log};
  PlatformMissionActions actions{platform, popup, sounds};
  // What a scheduler over these actions needs.
  MisTable table;
  ManualClock clock;
  DateTimeText text;
  struct : StatusClockView {
    void showStatusClock(const std::string&) override {}
  } status;
};

}  // namespace

TEST_F(PlatformMissionActionsTest, PowerActionsAskWindowsToEndWithTheirFlagsOrLockSleepOrDarken) {
  actions.mShutdown();
  actions.mReboot();
  actions.mLogoff();
  actions.mLock();
  actions.mMonitorOff();
  actions.mSleep();
  actions.mHibernate();
  EXPECT_EQ(log, (Lines{"ExitSystem 13", "ExitSystem 2", "ExitSystem 4", "LockComputer", "MonitorOff", "SleepSystem",
                        "HibernateSystem"}));
  EXPECT_EQ(popup.shows, 0);
}

TEST_F(PlatformMissionActionsTest, ShellActionsOpenTheDetailUnchanged) {
  actions.mExecPro("C:\\程序\\备份 脚本.bat");
  actions.mOpenFile("D:\\文档\\报告.doc");
  actions.mOpenUrl("http://example.org/页面?a=1&b=2");
  actions.mExecPro("");
  EXPECT_EQ(log, (Lines{"ShellOpen - C:\\程序\\备份 脚本.bat", "ShellOpen open D:\\文档\\报告.doc",
                        "ShellOpen open http://example.org/页面?a=1&b=2", "ShellOpen - "}));
}

// Without a scheme, the shell would run a program of that name from the
// current folder or the PATH before it thought of a web page.
TEST_F(PlatformMissionActionsTest, AWebAddressWithoutASchemeOpensOverHttp) {
  for (const char* url : {"www.example.com", "example.org/页面?a=1", "localhost:8080/a", "notepad"})
    actions.mOpenUrl(url);
  for (const char* url : {"https://example.org", "HTTP://EXAMPLE.ORG", "ftp://example.org/a", "about:blank",
                          "file:///C:/pages/a.html", "C:\\pages\\a.html", "\\\\server\\pages\\a.html", ""})
    actions.mOpenUrl(url);
  EXPECT_EQ(log, (Lines{"ShellOpen open http://www.example.com", "ShellOpen open http://example.org/页面?a=1",
                        "ShellOpen open http://localhost:8080/a", "ShellOpen open http://notepad",
                        "ShellOpen open https://example.org", "ShellOpen open HTTP://EXAMPLE.ORG",
                        "ShellOpen open ftp://example.org/a", "ShellOpen open about:blank",
                        "ShellOpen open file:///C:/pages/a.html", "ShellOpen open C:\\pages\\a.html",
                        "ShellOpen open \\\\server\\pages\\a.html", "ShellOpen open "}));
}

TEST_F(PlatformMissionActionsTest, EmailPutsMailtoBeforeTheAddressAsStoredUnlessItIsThere) {
  actions.mEmail("someone@example.org");
  actions.mEmail("mailto:someone@example.org");
  actions.mEmail("MailTo:a@example.org");
  actions.mEmail(" 张三 <zs@example.org>?subject=你好 world");
  actions.mEmail("");
  EXPECT_EQ(log, (Lines{"ShellOpen open mailto:someone@example.org", "ShellOpen open mailto:someone@example.org",
                        "ShellOpen open MailTo:a@example.org",
                        "ShellOpen open mailto: 张三 <zs@example.org>?subject=你好 world", "ShellOpen open mailto:"}));
}

TEST_F(PlatformMissionActionsTest, ARingPlaysItsChosenFileOrElseTheBuiltInRing) {
  RecordingPlatformServices speaker;
  speaker.playableFiles["C:\\声音\\闹钟.wav"] = true;
  {
    PlatformSoundPlayer player{speaker};
    PlatformMissionActions ringing{platform, popup, player};
    const auto played = [&](std::size_t n) {
      const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
      while (speaker.calls().size() < n && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    };
    ringing.mRing("C:\\声音\\闹钟.wav");
    ringing.mRing("内置铃声");
    ringing.mRing("C:\\声音\\不见了.wav");
    played(4);
    // Asked for once the built-in ring no longer waits: it plays again.
    ringing.mRing("");
    played(5);
  }
  EXPECT_EQ(speaker.calls(), (Lines{"PlaySoundFile C:\\声音\\闹钟.wav", "PlayResourceSound ring",
                                    "PlaySoundFile C:\\声音\\不见了.wav", "PlayResourceSound ring",
                                    "PlayResourceSound ring"}));
}

TEST_F(PlatformMissionActionsTest, AReminderSetsTheTextBeepsShowsAndThenMakesThePopupTopmost) {
  // Topmost comes after the popup has closed: the first showing is an
  // ordinary window, every later one is topmost.
  Lines seenWhileShown;
  popup.whileShown = [&](const std::string&) { seenWhileShown = log; };
  actions.mMessage("该开会了");
  EXPECT_EQ(log, reminder("该开会了"));
  EXPECT_EQ(seenWhileShown, (Lines{"setMessage 该开会了", "SimpleBeep", "showModal 该开会了"}));
  EXPECT_FALSE(actions.showingReminder());

  actions.mMessage("第二次");
  EXPECT_EQ(log, joined({reminder("该开会了"), reminder("第二次")}));
}

TEST_F(PlatformMissionActionsTest, RemindersDueWhileOneShowsWaitAndFollowInOrder) {
  popup.whileShown = [&](const std::string&) {
    if (popup.shows == 1) {
      const Lines before = log;
      actions.mMessage("二");
      actions.mMessage("三");
      // Nothing shown yet and the call came straight back.
      EXPECT_EQ(log, before);
      EXPECT_TRUE(actions.showingReminder());
      EXPECT_EQ(actions.waitingReminders(), 2u);
    }
    if (popup.shows == 2) actions.mMessage("四");  // due while a waiting one shows
    if (popup.shows == 3) actions.mMessage("二");  // the same text again is a reminder of its own
  };
  actions.mMessage("一");
  EXPECT_EQ(log, joined({reminder("一"), reminder("二"), reminder("三"), reminder("四"), reminder("二")}));
  EXPECT_EQ(popup.maxDepth, 1);
  EXPECT_FALSE(actions.showingReminder());
  EXPECT_EQ(actions.waitingReminders(), 0u);
}

TEST_F(PlatformMissionActionsTest, OtherActionsDueWhileAReminderShowsActAtOnce) {
  popup.whileShown = [&](const std::string& shown) {
    if (shown != "a") return;
    actions.mRing("内置铃声");
    actions.mMessage("b");
    actions.mOpenUrl("http://example.org/");
  };
  actions.mMessage("a");
  EXPECT_EQ(log, joined({{"setMessage a", "SimpleBeep", "showModal a", "play ring",
                          "ShellOpen open http://example.org/", topmost()},
                         reminder("b")}));
}

TEST_F(PlatformMissionActionsTest, AFailingShowingNeitherSticksNorDropsTheRemindersInLine) {
  popup.whileShown = [&](const std::string& shown) {
    if (shown == "坏") {
      actions.mMessage("后");
      throw std::runtime_error("window gone");
    }
  };
  EXPECT_THROW(actions.mMessage("坏"), std::runtime_error);
  // The one in line was still shown before the failure came out.
  EXPECT_EQ(log, joined({{"setMessage 坏", "SimpleBeep", "showModal 坏"}, reminder("后")}));
  EXPECT_FALSE(actions.showingReminder());
  EXPECT_EQ(actions.waitingReminders(), 0u);

  log.clear();
  actions.mMessage("好");
  EXPECT_EQ(log, reminder("好"));
}

TEST_F(PlatformMissionActionsTest, ThroughTheSchedulerRemindersOneSecondApartAreBothShownInTurn) {
  clock.set({2026, 12, 9, 12, 30, 0, 0});
  const bool autoSpeek = false;
  Scheduler scheduler{table, clock, text, actions, sounds, status, autoSpeek};
  table.append({"提示消息", "第一条", "2026/12/9", "12:30:00", 3});
  table.append({"提示消息", "第二条", "2026/12/9", "12:30:01", 3});
  table.append({"系统响铃", "C:\\声音\\别的.wav", "2026/12/9", "12:30:15", 4});
  table.append({"执行程序", "同一秒", "2026/12/9", "12:30:00", 1});

  // The popup's eleven seconds, each with its own nested pass.
  int passesWhileShown = 0;
  popup.whileShown = [&](const std::string&) {
    for (int i = 0; i < 11; ++i) {
      LocalDateTime now = clock.now();
      now.second += 1;
      clock.set(now);
      ++passesWhileShown;
      scheduler.CheckMis();
    }
  };
  scheduler.CheckMis();

  // The ring plays the file its detail names. The row due in the first
  // reminder's second fires once both popups have closed.
  EXPECT_EQ(log, joined({reminder("第一条"), {"setMessage 第二条", "SimpleBeep", "showModal 第二条"},
                         {"play C:\\声音\\别的.wav or ring", topmost(), "ShellOpen - 同一秒"}}));
  EXPECT_EQ(passesWhileShown, 22);
  EXPECT_EQ(popup.maxDepth, 1);
  EXPECT_EQ(clock.now().second, 22);
}

TEST_F(PlatformMissionActionsTest, ThroughTheSchedulerSoundsPlayOffThePassInOrderAndStopWhenTheProgramEnds) {
  // Each sound "plays" until the test lets it end or it is stopped; the gate
  // gives up after a while, so a player that blocks the pass fails instead
  // of hanging.
  std::mutex mutex;
  std::condition_variable changed;
  int mayEnd = 0;
  bool stopped = false;
  RecordingPlatformServices speaker;
  speaker.onCall = [&](const std::string& line) {
    std::unique_lock<std::mutex> lock(mutex);
    if (line == "StopSound") stopped = true;
    changed.notify_all();
    if (line.rfind("PlayResourceSound", 0) != 0) return;
    changed.wait_for(lock, std::chrono::seconds(3), [&] { return mayEnd > 0 || stopped; });
    if (mayEnd > 0) --mayEnd;
  };
  const auto soundsStarted = [&](std::size_t n) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (speaker.calls().size() < n && std::chrono::steady_clock::now() < until)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return speaker.calls().size() >= n;
  };

  clock.set({2026, 12, 9, 15, 0, 0, 20});
  const bool autoSpeek = true;
  table.append({"系统响铃", "内置铃声", "2026/12/9", "15:00:00", 4});
  table.append({"执行程序", "after the ring", "2026/12/9", "15:00:00", 1});
  {
    PlatformSoundPlayer player{speaker};
    PlatformMissionActions ringing{platform, popup, player};
    Scheduler scheduler{table, clock, text, ringing, player, status, autoSpeek};
    const auto before = std::chrono::steady_clock::now();
    scheduler.CheckMis();
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(1));
    EXPECT_EQ(log, (Lines{"ShellOpen - after the ring"}));

    // The chime waits for the ring to end; it never cuts it short.
    ASSERT_TRUE(soundsStarted(1));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(speaker.calls(), (Lines{"PlayResourceSound ring"}));
    {
      const std::lock_guard<std::mutex> lock(mutex);
      ++mayEnd;
    }
    changed.notify_all();
    ASSERT_TRUE(soundsStarted(2));
    // The program ends while the chime plays.
  }
  const Lines calls = speaker.calls();
  ASSERT_GE(calls.size(), 3u);
  EXPECT_EQ(Lines(calls.begin(), calls.begin() + 2), (Lines{"PlayResourceSound ring", "PlayResourceSound t15"}));
  for (std::size_t i = 2; i < calls.size(); ++i) EXPECT_EQ(calls[i], "StopSound");
}

// A hundred thousand ring missions due in one second must not line up
// hours of ringing in front of the chime: a sound already waiting is not
// put in line again.
TEST_F(PlatformMissionActionsTest, ManyRingsDueAtOnceWaitAsOneRing) {
  std::mutex mutex;
  std::condition_variable changed;
  bool firstMayEnd = false;
  RecordingPlatformServices speaker;
  speaker.onCall = [&](const std::string&) {
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait_for(lock, std::chrono::seconds(3), [&] { return firstMayEnd; });
  };
  const auto soundsStarted = [&](std::size_t n) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (speaker.calls().size() < n && std::chrono::steady_clock::now() < until)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return speaker.calls().size() >= n;
  };
  PlatformSoundPlayer player{speaker};
  PlatformMissionActions ringing{platform, popup, player};
  ringing.mRing("");
  ASSERT_TRUE(soundsStarted(1));
  for (int i = 0; i < 100000; ++i) ringing.mRing("");
  player.play("t15");
  player.play("t15");
  {
    const std::lock_guard<std::mutex> lock(mutex);
    firstMayEnd = true;
  }
  changed.notify_all();
  ASSERT_TRUE(soundsStarted(3));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(speaker.calls(), (Lines{"PlayResourceSound ring", "PlayResourceSound ring", "PlayResourceSound t15"}));
}

TEST_F(PlatformMissionActionsTest, ThroughTheSchedulerARefusedRequestGoesToTheHistoryWithTheSystemsTextAndNothingShows) {
  platform.refusals = {{"ShellOpen - c:\\gone.exe", "系统找不到指定的文件。"},
                       {"ExitSystem 13", "客户端没有所需的特权。"}};
  RecordingPlatformServices speaker;
  speaker.refusals = {{"PlayResourceSound ring", "没有可用的声音设备"}};
  struct : MissionHistory {
    std::mutex mutex;
    Lines lines;
    void record(const HistoryEntry& entry) noexcept override {
      const std::lock_guard<std::mutex> lock(mutex);
      lines.push_back(entry.kindName + (entry.outcome == MissionOutcome::Failed ? " failed " + entry.failure : " done"));
    }
    Lines taken() {
      const std::lock_guard<std::mutex> lock(mutex);
      return lines;
    }
  } history;
  clock.set({2026, 12, 9, 15, 0, 0, 20});
  const bool autoSpeek = false;
  table.append({"执行程序", "c:\\gone.exe", "2026/12/9", "15:00:00", 1});
  table.append({"关闭计算机", "", "2026/12/9", "15:00:00", 0});
  table.append({"系统响铃", "内置铃声", "2026/12/9", "15:00:00", 4});
  table.append({"打开网页", "http://example.org/", "2026/12/9", "15:00:00", 5});
  PlatformSoundPlayer player{speaker};
  PlatformMissionActions acting{platform, popup, player};
  acting.reportRingsTo(history, clock);
  Scheduler scheduler{table, clock, text, acting, player, status, autoSpeek};
  scheduler.reportTo(&history, nullptr);
  scheduler.CheckMis();
  // The ring's sound fails on the player's thread, after the pass.
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  while (history.taken().size() < 5 && std::chrono::steady_clock::now() < until)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_EQ(history.taken(), (Lines{"执行程序 failed 系统找不到指定的文件。", "关闭计算机 failed 客户端没有所需的特权。",
                                    "系统响铃 done", "打开网页 done", "系统响铃 failed 没有可用的声音设备"}));
  EXPECT_EQ(popup.shows, 0);
}
