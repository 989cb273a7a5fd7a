#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "core/repeat_rule.h"
#include "platform/recording_platform_services.h"
#include "storage/history_log.h"
#include "ui/components/form.h"
#include "ui/main_window.h"
#include "ui/power_notice.h"
#include "ui/program_windows.h"
#include "window_test_support.h"

namespace {

using Calls = std::vector<std::string>;

// A program folder without everyday.mis or config.ini: a notice of 60 s.
std::filesystem::path emptyFolder() {
  const auto folder = std::filesystem::temp_directory_path() / L"horavel-notice";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  return folder;
}

// Calls but the sounds, which the sound thread makes beside the window's.
Calls actionsOf(Calls calls) {
  std::erase_if(calls, [](const std::string& call) { return call.rfind("PlayResourceSound", 0) == 0; });
  return calls;
}

// The program's windows in their start order, the scheduler running from
// 10:00:00 on 2026/12/9.
class PowerNoticeTest : public ::testing::Test {
 protected:
  PowerNoticeTest() : program(platform, clock, text, emptyFolder(), SW_SHOWNOACTIVATE) {
    form.autoSpeek = false;
    form.mStart();
  }
  ~PowerNoticeTest() override { form.mStop(); }

  void add(const char* kind, const char* detail, const char* date, const char* time) {
    form.MisTable1.append({kind, detail, date, time, 0});
  }
  // A pass at that time of the day.
  void passAt(int hour, int minute, int second) {
    clock.setTime(hour, minute, second);
    form.CheckMis();
  }
  TfrmNotice& notice() { return *form.frmNotice(); }
  bool shows() { return form.frmNotice() && IsWindowVisible(notice().handle()); }
  void tick() { SendMessageW(notice().handle(), WM_TIMER, TfrmNotice::kTimer1, 0); }
  void click(HWND button) { SendMessageW(button, BM_CLICK, 0, 0); }

  RecordingPlatformServices platform;
  ManualClock clock{{2026, 12, 9, 10, 0, 0, 0}};
  DateTimeText text;
  ProgramWindows program;
  TForm1& form = program.Form1;
};

}  // namespace

TEST_F(PowerNoticeTest, EachPowerKindShowsItsNoticeWithItsVerbAndCountsDown) {
  struct Case {
    const char* kind;
    const char* detail;
    const wchar_t* text;
    const wchar_t* shownDetail;
  };
  const Case cases[] = {
      {"关闭计算机", "关闭计算机", L"计算机将在 60 秒后关闭。", L""},
      {"重启计算机", "重启计算机", L"计算机将在 60 秒后重启。", L""},
      {"注销计算机", "下班了,记得保存文件", L"计算机将在 60 秒后注销。", L"下班了,记得保存文件"},
      {"计算机睡眠", "计算机睡眠", L"计算机将在 60 秒后睡眠。", L""},
      {"计算机休眠", "午休", L"计算机将在 60 秒后休眠。", L"午休"},
  };
  int second = 1;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    char time[16];
    snprintf(time, sizeof time, "10:00:%02d", second);
    add(c.kind, c.detail, "2026/12/9", time);
    passAt(10, 0, second++);
    ASSERT_TRUE(shows());
    EXPECT_EQ(textOf(notice().handle()), L"任务即将执行");
    EXPECT_EQ(textOf(notice().Label1), c.text);
    EXPECT_EQ(IsWindowVisible(notice().Label2) != FALSE, *c.shownDetail != L'\0');
    if (*c.shownDetail) {
      EXPECT_EQ(textOf(notice().Label2), c.shownDetail);
    }
    EXPECT_EQ(textOf(notice().btnNow), L"立即执行");
    EXPECT_EQ(textOf(notice().btnPostpone), L"推迟10分钟");
    EXPECT_EQ(textOf(notice().btnCancel), L"取消");
    tick();
    std::wstring later = c.text;
    later.replace(later.find(L"60"), 2, L"59");
    EXPECT_EQ(textOf(notice().Label1), later);
    EXPECT_TRUE(actionsOf(platform.calls()).empty());
    click(notice().btnCancel);
    EXPECT_FALSE(shows());
  }
  // Topmost, with a taskbar button of its own, in the lower right corner of
  // the work area of the main window's monitor.
  const LONG_PTR ex = GetWindowLongPtrW(notice().handle(), GWL_EXSTYLE);
  EXPECT_TRUE(ex & WS_EX_TOPMOST);
  EXPECT_TRUE(ex & WS_EX_APPWINDOW);
  EXPECT_EQ(GetWindow(notice().handle(), GW_OWNER), nullptr);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(form.handle(), MONITOR_DEFAULTTOPRIMARY), &monitor);
  RECT r;
  GetWindowRect(notice().handle(), &r);
  EXPECT_EQ(r.right, monitor.rcWork.right);
  EXPECT_EQ(r.bottom, monitor.rcWork.bottom);
  // Each notice rang once; every row is still there, passed.
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (std::ranges::count(platform.calls(), "PlayResourceSound ring") < 5 && std::chrono::steady_clock::now() < until)
    Sleep(10);
  EXPECT_EQ(std::ranges::count(platform.calls(), "PlayResourceSound ring"), 5);
  EXPECT_EQ(form.MisTable1.count(), 5);
}

TEST_F(PowerNoticeTest, NobodyAnsweringCarriesTheActionOutAtZeroAndOnlyThen) {
  form.noticeSeconds = 3;
  add("关闭计算机", "关闭计算机", "2026/12/9", "10:00:01");
  // The thread was busy: the pass that makes the second up comes late, and
  // the notice still has all its seconds.
  passAt(10, 0, 9);
  ASSERT_TRUE(shows());
  EXPECT_EQ(textOf(notice().Label1), L"计算机将在 3 秒后关闭。");
  tick();
  tick();
  EXPECT_EQ(textOf(notice().Label1), L"计算机将在 1 秒后关闭。");
  EXPECT_TRUE(actionsOf(platform.calls()).empty());
  tick();
  EXPECT_EQ(actionsOf(platform.calls()), Calls{"ExitSystem 13"});
  EXPECT_FALSE(shows());
  EXPECT_FALSE(notice().timerRunning());
  tick();
  EXPECT_EQ(actionsOf(platform.calls()), Calls{"ExitSystem 13"});
}

TEST_F(PowerNoticeTest, NowActsAtOnceCancelAndEscActNeverAndTheRowsStayPassed) {
  // Windows refuses the restart: nothing shows, the history keeps its words.
  platform.refusals["ExitSystem 2"] = "没有足够的权限。";
  add("重启计算机", "重启计算机", "2026/12/9", "10:00:01");
  passAt(10, 0, 1);
  click(notice().btnNow);
  EXPECT_EQ(actionsOf(platform.calls()), Calls{"ExitSystem 2"});
  EXPECT_FALSE(shows());

  platform.clearCalls();
  add("注销计算机", "注销计算机", "2026/12/9", "10:00:02");
  passAt(10, 0, 2);
  click(notice().btnCancel);
  add("计算机睡眠", "计算机睡眠", "2026/12/9", "10:00:03");
  passAt(10, 0, 3);
  // Esc, typed into the notice once the user has come to it.
  ASSERT_TRUE(shows());
  MSG escape{notice().btnPostpone, WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
  dispatchMessage(escape);
  EXPECT_FALSE(shows());
  for (int i = 0; i < 70; ++i) tick();
  EXPECT_TRUE(actionsOf(platform.calls()).empty());
  ASSERT_EQ(form.MisTable1.count(), 3);
  EXPECT_EQ(form.MisTable1.row(1), (MisRecord{"注销计算机", "注销计算机", "2026/12/9", "10:00:02", 0}));
  EXPECT_EQ(form.MisTable1.row(2), (MisRecord{"计算机睡眠", "计算机睡眠", "2026/12/9", "10:00:03", 0}));
  const HistoryRecords history = form.history().read();
  ASSERT_EQ(history.count(), 3);
  EXPECT_EQ(history.field(0, 3), "执行失败");
  EXPECT_EQ(history.field(0, 4), "没有足够的权限。");
  EXPECT_EQ(history.field(1, 1), "注销计算机");
  EXPECT_EQ(history.field(1, 3), "已取消");
  EXPECT_EQ(history.field(2, 3), "已取消");
  EXPECT_EQ(history.field(2, 4), "原定时间 2026/12/9 10:00:03");
}

TEST_F(PowerNoticeTest, PostponingMovesTheRowTenMinutesOnPastMidnightAndItComesDueAgainNoticeAndAll) {
  clock.set({2026, 12, 9, 23, 54, 59, 0});
  form.mStop();
  form.mStart();
  add("关闭计算机", "关闭计算机", "2026/12/9", "23:55:00");
  // A daily one keeps its time of day: the night put off comes back alone.
  form.MisTable1.append({"关闭计算机", "每晚", "2026/12/9", "23:55:00", 0, *parseRepeatText("每天")});
  passAt(23, 55, 0);
  ASSERT_TRUE(shows());
  tick();
  click(notice().btnPostpone);
  EXPECT_FALSE(shows());
  ASSERT_EQ(form.MisTable1.count(), 3);
  EXPECT_EQ(form.MisTable1.row(0), (MisRecord{"关闭计算机", "关闭计算机", "2026/12/10", "00:05:00", 0}));
  EXPECT_EQ(form.MisTable1.row(1),
            (MisRecord{"关闭计算机", "每晚", "2026/12/10", "23:55:00", 0, *parseRepeatText("每天")}));
  EXPECT_EQ(form.MisTable1.row(2), (MisRecord{"关闭计算机", "每晚", "2026/12/10", "00:05:00", 0}));
  // The list shows the new day and time.
  LVITEMW item{};
  wchar_t cell[32] = L"";
  item.iSubItem = 2;
  item.pszText = cell;
  item.cchTextMax = 32;
  SendMessageW(form.ListView1->handle(), LVM_GETITEMTEXTW, 0, reinterpret_cast<LPARAM>(&item));
  EXPECT_STREQ(cell, L"2026/12/10");
  item.iSubItem = 3;
  SendMessageW(form.ListView1->handle(), LVM_GETITEMTEXTW, 0, reinterpret_cast<LPARAM>(&item));
  EXPECT_STREQ(cell, L"00:05:00");

  clock.set({2026, 12, 10, 0, 4, 59, 0});
  form.CheckMis();
  EXPECT_FALSE(shows());
  passAt(0, 5, 0);
  ASSERT_TRUE(shows());
  EXPECT_EQ(textOf(notice().Label1), L"计算机将在 60 秒后关闭。");
  EXPECT_TRUE(actionsOf(platform.calls()).empty());
  click(notice().btnNow);
  EXPECT_EQ(actionsOf(platform.calls()), Calls{"ExitSystem 13"});
}

TEST_F(PowerNoticeTest, ASecondPowerMissionJoinsTheOpenNoticeWithTheStrongestAction) {
  add("计算机睡眠", "计算机睡眠", "2026/12/9", "10:00:01");
  add("关闭计算机", "关机", "2026/12/9", "10:00:05");
  add("注销计算机", "注销计算机", "2026/12/9", "10:00:09");
  add("执行程序", "c:\\a.exe", "2026/12/9", "10:00:09");
  passAt(10, 0, 1);
  ASSERT_TRUE(shows());
  const HWND window = notice().handle();
  for (int i = 0; i < 4; ++i) tick();
  EXPECT_EQ(textOf(notice().Label1), L"计算机将在 56 秒后睡眠。");
  // Power off is stronger: the notice says so, with all its seconds.
  passAt(10, 0, 5);
  EXPECT_EQ(form.frmNotice()->handle(), window);
  EXPECT_EQ(textOf(notice().Label1), L"计算机将在 60 秒后关闭。");
  EXPECT_EQ(textOf(notice().Label2), L"关机");
  tick();
  // Log off is weaker: it joins, and the count goes on; the scheduler goes
  // on with the other missions meanwhile.
  passAt(10, 0, 9);
  EXPECT_EQ(textOf(notice().Label1), L"计算机将在 59 秒后关闭。");
  EXPECT_EQ(actionsOf(platform.calls()), Calls{"ShellOpen - c:\\a.exe"});
  int notices = 0;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND w, LPARAM n) -> BOOL {
        wchar_t name[32] = L"";
        GetClassNameW(w, name, 32);
        if (std::wstring(name) == L"TfrmNotice" && IsWindowVisible(w)) ++*reinterpret_cast<int*>(n);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&notices));
  EXPECT_EQ(notices, 1);
  // One answer for all three rows, each told.
  click(notice().btnPostpone);
  const HistoryRecords history = form.history().read();
  ASSERT_EQ(history.count(), 4);  // the program, then the three rows put off
  EXPECT_EQ(history.field(0, 2), "c:\\a.exe");
  for (int i = 1; i < 4; ++i) EXPECT_EQ(history.field(i, 3), "已推迟") << i;
  EXPECT_EQ(form.MisTable1.row(0).timeText, "10:10:01");
  EXPECT_EQ(form.MisTable1.row(1).timeText, "10:10:05");
  EXPECT_EQ(form.MisTable1.row(2).timeText, "10:10:09");
  EXPECT_EQ(form.MisTable1.row(3).timeText, "10:00:09");
  EXPECT_EQ(actionsOf(platform.calls()), Calls{"ShellOpen - c:\\a.exe"});
}

TEST_F(PowerNoticeTest, TheNoticeNeverTakesTheFocusAndScreenReadersReachIt) {
  // The user types into another window of the thread.
  const HWND typing = CreateWindowExW(0, L"EDIT", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200, nullptr,
                                      nullptr, GetModuleHandleW(nullptr), nullptr);
  SetForegroundWindow(typing);
  SetFocus(typing);
  ASSERT_EQ(GetFocus(), typing);
  struct Alerts {
    static std::vector<HWND>& seen() {
      static std::vector<HWND> windows;
      return windows;
    }
    static void CALLBACK record(HWINEVENTHOOK, DWORD, HWND window, LONG, LONG, DWORD, DWORD) {
      seen().push_back(window);
    }
  };
  Alerts::seen().clear();
  const HWINEVENTHOOK hook = SetWinEventHook(EVENT_SYSTEM_ALERT, EVENT_SYSTEM_ALERT, nullptr, &Alerts::record,
                                             GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);

  add("关闭计算机", "关闭计算机", "2026/12/9", "10:00:01");
  passAt(10, 0, 1);
  ASSERT_TRUE(shows());
  EXPECT_EQ(GetFocus(), typing);
  EXPECT_EQ(GetForegroundWindow(), typing);
  EXPECT_NE(GetActiveWindow(), notice().handle());
  tick();
  EXPECT_EQ(GetFocus(), typing);

  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  UnhookWinEvent(hook);
  EXPECT_EQ(std::ranges::count(Alerts::seen(), notice().handle()), 1);
  // What a screen reader finds in it, control by control: its text and its
  // answers (the standard controls' roles are Windows' own).
  std::vector<std::wstring> names;
  for (HWND child = GetWindow(notice().handle(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsWindowVisible(child)) continue;
    Accessible part(child);
    if (part.object) names.push_back(part.name(CHILDID_SELF));
  }
  EXPECT_EQ(names, (std::vector<std::wstring>{L"计算机将在 59 秒后关闭。", L"立即执行", L"推迟10分钟", L"取消"}));

  // Coming to it, the user lands on the answer that loses nothing, and Tab
  // moves between the answers.
  SetForegroundWindow(notice().handle());
  SendMessageW(notice().handle(), WM_ACTIVATE, WA_ACTIVE, 0);
  EXPECT_EQ(GetFocus(), notice().btnPostpone);
  MSG tab{notice().btnPostpone, WM_KEYDOWN, VK_TAB, 0, 0, {}};
  dispatchMessage(tab);
  EXPECT_EQ(GetFocus(), notice().btnCancel);
  click(notice().btnCancel);
  DestroyWindow(typing);
}

TEST_F(PowerNoticeTest, AModalFormLeavesTheNoticeUsable) {
  add("关闭计算机", "关闭计算机", "2026/12/9", "10:00:01");
  passAt(10, 0, 1);
  ASSERT_TRUE(shows());
  // The user opens the editor while the notice counts down.
  Probe probe;
  probe.post([&] {
    EXPECT_FALSE(IsWindowEnabled(form.handle()));
    EXPECT_TRUE(IsWindowEnabled(notice().handle()));
    click(notice().btnCancel);
    program.frmMis->closeWith(IDCANCEL);
  });
  program.frmMis->showEditor();
  EXPECT_FALSE(shows());
  EXPECT_TRUE(actionsOf(platform.calls()).empty());
}
