#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/platform_mission_actions.h"
#include "platform/recording_platform_services.h"
#include "platform/recording_wake_timer.h"
#include "platform/text_conversion.h"
#include "platform/windows_clock.h"
#include "platform/windows_file_replace.h"
#include "storage/file_io.h"
#include "storage/history_log.h"
#include "ui/missed_missions_notice.h"
#include "ui/mission_editor.h"
#include "ui/main_window.h"
#include "ui/power_notice.h"
#include "ui/program_windows.h"
#include "ui/status_clock_width.h"
#include "ui/components/form.h"
#include "ui/components/gif_view.h"
#include "ui/components/graphics.h"
#include "ui/components/message_boxes.h"
#include "ui/components/nav_bar.h"
#include "ui/components/tray_icon.h"
#include "window_test_support.h"

namespace {

// A popup that records instead of showing; whileShown runs as if inside
// its modal loop.
struct PopupLog : ReminderPopup {
  std::vector<std::string> shown;
  std::string message;
  std::function<void()> whileShown;
  void setMessage(const std::string& text) override { message = text; }
  void showModal() override {
    shown.push_back(message);
    if (whileShown) whileShown();
  }
  WindowHandle window() const override { return nullptr; }
};

// A program folder without everyday.mis or kept missions.
std::filesystem::path emptyFolder() {
  const auto folder = std::filesystem::temp_directory_path() / L"horavel-empty";
  std::filesystem::create_directories(folder);
  std::filesystem::remove(folder / L"everyday.mis");
  std::filesystem::remove(folder / L"missions.mis");
  std::filesystem::remove(folder / L"history.log");
  return folder;
}

void pumpMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) continue;
    dispatchMessage(message);
  }
}

class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() : form(platform, clock, text, emptyFolder()), editor(form.handle(), form.MisTable1, clock, text, form.runControl(), platform) {
    form.attachWindows(&editor, &popup);
    // The chime is on from the start (no config.ini); these passes count only missions.
    form.autoSpeek = false;
  }

  // The nine run controls as 0/1, in the order toolbar, menu, side bar.
  std::string runControls() {
    std::string states;
    for (int id : {cmdStart, cmdPause, cmdStop})
      states += SendMessageW(form.ToolBar1, TB_ISBUTTONENABLED, id, 0) ? '1' : '0';
    for (int id : {cmdMenuStart, cmdMenuPause, cmdMenuStop})
      states += (GetMenuState(form.MainMenu1, static_cast<UINT>(id), MF_BYCOMMAND) & MF_GRAYED) ? '0' : '1';
    for (int id : {cmdBarStart, cmdBarPause, cmdBarStop}) states += form.dxNavBar1->itemEnabled(id) ? '1' : '0';
    return states;
  }
  void add(const char* kind, const char* detail, const char* date, const char* time) {
    form.MisTable1.append({kind, detail, date, time, 0});
  }

  RecordingPlatformServices platform;
  ManualClock clock{{2026, 12, 9, 10, 0, 0, 0}};
  DateTimeText text;
  PopupLog popup;
  TForm1 form;
  TfrmMis editor;
};

}  // namespace

TEST_F(MainWindowTest, StartsWithItsCaptionSizeListAndEmptyStatusClock) {
  EXPECT_EQ(textOf(form.handle()), L"MirolanHoravel");
  RECT r;
  GetWindowRect(form.handle(), &r);
  EXPECT_EQ(r.left, 198);
  EXPECT_EQ(r.top, 113);
  EXPECT_EQ(r.right - r.left, 696);
  EXPECT_EQ(r.bottom - r.top, 480);
  // One panel, the clock: at least 100 wide, and wide enough for the widest
  // date and time, at 96 and 144 dpi, in a Chinese and an English format.
  int parts[4] = {};
  EXPECT_EQ(SendMessageW(form.StatusBar1, SB_GETPARTS, 4, reinterpret_cast<LPARAM>(parts)), 1);
  EXPECT_GE(parts[0], 100);
  const auto textWidth = [](HFONT font, const wchar_t* shown) {
    HDC dc = GetDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32W(dc, shown, lstrlenW(shown), &size);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return static_cast<int>(size.cx);
  };
  const auto barFont = reinterpret_cast<HFONT>(SendMessageW(form.StatusBar1, WM_GETFONT, 0, 0));
  EXPECT_GE(parts[0], textWidth(barFont, L"2026/12/19 23:59:59"));
  DateTimePatterns english;
  english.shortDate = "M/d/yyyy";
  english.longTime = "h:mm:ss tt";
  english.amDesignator = "AM";
  english.pmDesignator = "PM";
  for (UINT dpi : {96u, 144u}) {
    const HFONT font = createSansSerifFont(dpi);
    EXPECT_GE(statusClockWidth(font, dpi, text, 2026), textWidth(font, L"2026/12/19 23:59:59")) << dpi;
    EXPECT_GE(statusClockWidth(font, dpi, DateTimeText(english), 2026), textWidth(font, L"12/19/2026 11:59:59 PM"))
        << dpi;
    EXPECT_GE(statusClockWidth(font, dpi, text, 2026), MulDiv(100, static_cast<int>(dpi), 96)) << dpi;
    DeleteObject(font);
  }
  EXPECT_EQ(LOWORD(SendMessageW(form.StatusBar1, SB_GETTEXTLENGTHW, 0, 0)), 0);
  // A Chinese Windows keeps the named font; elsewhere a face without Chinese
  // glyphs gives way to the message font, which Windows links to a Chinese one.
  const auto faceOf = [](HFONT font) {
    LOGFONTW logFont{};
    GetObjectW(font, sizeof logFont, &logFont);
    return std::wstring(logFont.lfFaceName);
  };
  EXPECT_EQ(faceOf(barFont), L"MS Sans Serif");
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0));
  for (UINT codePage : {936u, 1252u}) {
    // The caption buttons' symbol face: no Chinese in it.
    const HFONT symbols = createReadableFont(L"Marlett", SYMBOL_CHARSET, 11, 96, codePage);
    EXPECT_EQ(faceOf(symbols), codePage == 936 ? std::wstring(L"Marlett") : metrics.lfMessageFont.lfFaceName)
        << codePage;
    DeleteObject(symbols);
  }
  HWND list = form.ListView1->handle();
  EXPECT_TRUE(GetWindowLongPtrW(list, GWL_STYLE) & LVS_OWNERDATA);
  const wchar_t* captions[] = {L"任务", L"描述", L"执行日期", L"执行时间", L"重复"};
  const int widths[] = {100, 120, 100, 100, 100};
  EXPECT_EQ(Header_GetItemCount(ListView_GetHeader(list)), 5);
  for (int i = 0; i < 5; ++i) {
    wchar_t caption[32] = L"";
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = caption;
    column.cchTextMax = 32;
    ASSERT_TRUE(ListView_GetColumn(list, i, &column));
    EXPECT_STREQ(caption, captions[i]);
    EXPECT_EQ(column.cx, widths[i]);
  }
  EXPECT_FALSE(form.CoolTrayIcon1->visible());

  // What a screen reader finds in the self-drawn parts.
  Accessible animation(form.RxGIFAnimator1->handle());
  ASSERT_NE(animation.object, nullptr);
  EXPECT_EQ(animation.name(CHILDID_SELF), L"动画");
  EXPECT_EQ(animation.role(CHILDID_SELF), ROLE_SYSTEM_ANIMATION);
  Accessible sideBar(form.dxNavBar1->handle());
  EXPECT_EQ(sideBar.childNames(), (std::vector<std::wstring>{L"任务", L"控制"}));
  EXPECT_TRUE(sideBar.state(NavBar::itemNode(1, 1)) & STATE_SYSTEM_UNAVAILABLE);  // Pause
}

TEST_F(MainWindowTest, OnADpiChangeEverythingGrowsAndStaysInPlace) {
  for (UINT dpi : {120u, 144u, 192u}) {
    SCOPED_TRACE(dpi);
    const auto scaled = [dpi](int pixels96) { return MulDiv(pixels96, static_cast<int>(dpi), 96); };
    changeDpi(form.handle(), dpi);
    RECT r;
    GetWindowRect(form.handle(), &r);
    if (scaled(696) <= GetSystemMetrics(SM_CXMAXTRACK) && scaled(480) <= GetSystemMetrics(SM_CYMAXTRACK)) {
      EXPECT_EQ(r.right - r.left, scaled(696));
      EXPECT_EQ(r.bottom - r.top, scaled(480));
    }  // a larger window is held to the screen
    expectTidyLayout(form.handle());

    // The side bar keeps its share and every item fits in it; the list's
    // columns fit in the list; the toolbar's buttons stop before the animation.
    RECT bar;
    GetClientRect(form.dxNavBar1->handle(), &bar);
    EXPECT_EQ(bar.right, scaled(153));
    EXPECT_LE(form.dxNavBar1->itemRect(cmdBarStop).bottom, bar.bottom);
    HWND list = form.ListView1->handle();
    RECT listClient;
    GetClientRect(list, &listClient);
    int columns = 0;
    for (int i = 0; i < 4; ++i) columns += ListView_GetColumnWidth(list, i);
    EXPECT_EQ(columns, scaled(420));
    EXPECT_LE(columns, listClient.right);
    RECT about, animation;
    SendMessageW(form.ToolBar1, TB_GETITEMRECT, 8, reinterpret_cast<LPARAM>(&about));
    GetWindowRect(form.RxGIFAnimator1->handle(), &animation);
    MapWindowPoints(nullptr, form.ToolBar1, reinterpret_cast<POINT*>(&animation), 2);
    EXPECT_LE(about.right, animation.left);
    EXPECT_GE(about.bottom - about.top, scaled(56));

    // Fonts and pictures are made for the new dpi, the pictures drawn at
    // that size, not stretched.
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_EQ(-font.lfHeight, scaled(11));
    int side = 0, height = 0;
    ImageList_GetIconSize(reinterpret_cast<HIMAGELIST>(SendMessageW(form.ToolBar1, TB_GETIMAGELIST, 0, 0)), &side,
                          &height);
    EXPECT_EQ(side, scaled(36));
    ImageList_GetIconSize(ListView_GetImageList(list, LVSIL_SMALL), &side, &height);
    EXPECT_EQ(side, scaled(16));
  }
}

TEST_F(MainWindowTest, RunControlsAtStartAndAfterEachCommand) {
  EXPECT_EQ(runControls(), "100100100");
  EXPECT_FALSE(form.running());
  form.runCommand(cmdStart);
  EXPECT_EQ(runControls(), "011011011");
  EXPECT_TRUE(form.running());
  form.runCommand(cmdMenuPause);
  EXPECT_EQ(runControls(), "101101101");
  EXPECT_FALSE(form.running());
  form.runCommand(cmdBarStart);
  form.runCommand(cmdStop);
  EXPECT_EQ(runControls(), "100100100");
  EXPECT_FALSE(form.running());
}

TEST_F(MainWindowTest, AddAndModifySetTheEditorsModeAndCaptions) {
  Probe probe;
  bool shown = false;
  probe.post([&] {
    shown = IsWindowVisible(editor.handle()) != FALSE;
    EXPECT_EQ(editor.misMode, 1);
    EXPECT_TRUE(IsWindowVisible(editor.btnAddOn));
    EXPECT_EQ(textOf(editor.btnAddOn), L"添加并继续");
    EXPECT_EQ(textOf(editor.btnAdd), L"添加并关闭");
    EXPECT_EQ(textOf(editor.btnClose), L"不添加关闭");
    SendMessageW(editor.btnClose, BM_CLICK, 0, 0);
  });
  form.runCommand(cmdAdd);
  EXPECT_TRUE(shown);
  EXPECT_FALSE(IsWindowVisible(editor.handle()));

  // Modify without a selection: mode and captions change, nothing shows.
  form.runCommand(cmdModify);
  EXPECT_EQ(editor.misMode, 2);
  EXPECT_FALSE(IsWindowVisible(editor.btnAddOn));
  EXPECT_EQ(textOf(editor.btnAdd), L"修改并保存");
  EXPECT_EQ(textOf(editor.btnClose), L"不修改关闭");

  add("执行程序", "a.exe", "2026/12/9", "12:00:00");
  form.MisTable1.select(0);
  shown = false;
  probe.post([&] {
    shown = IsWindowVisible(editor.handle()) != FALSE;
    SendMessageW(editor.btnClose, BM_CLICK, 0, 0);
  });
  form.runCommand(cmdModify);
  EXPECT_TRUE(shown);

  // The next add shows the add-and-continue button again.
  probe.post([&] {
    EXPECT_TRUE(IsWindowVisible(editor.btnAddOn));
    SendMessageW(editor.btnClose, BM_CLICK, 0, 0);
  });
  form.runCommand(cmdAdd);
}

TEST_F(MainWindowTest, DeleteAsksFirst) {
  add("执行程序", "0", "2026/12/9", "12:00:00");
  add("执行程序", "1", "2026/12/9", "12:00:00");
  {
    Answers no(IDNO);
    form.runCommand(cmdDelete);  // nothing selected: not even a question
    EXPECT_TRUE(no.asked.empty());
    form.MisTable1.select(0);
    form.runCommand(cmdDelete);
    ASSERT_EQ(no.asked.size(), 1u);
    EXPECT_EQ(no.asked[0].text, L"确定要删除该任务吗?");
    EXPECT_EQ(no.asked[0].caption, L"提示:");
    EXPECT_EQ(no.asked[0].type, static_cast<UINT>(MB_YESNO));
    EXPECT_EQ(form.MisTable1.count(), 2);
  }
  Answers yes(IDYES);
  form.runCommand(cmdDelete);
  ASSERT_EQ(form.MisTable1.count(), 1);
  EXPECT_EQ(form.MisTable1.row(0).detail, "1");
  EXPECT_EQ(ListView_GetItemCount(form.ListView1->handle()), 1);
}

TEST_F(MainWindowTest, CtrlDelGoesThroughTheAcceleratorsAndNeedsASelection) {
  add("执行程序", "0", "2026/12/9", "12:00:00");
  Answers yes(IDYES);
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  const auto pressCtrlDel = [&] {
    MSG message{form.ListView1->handle(), WM_KEYDOWN, VK_DELETE, 0x01530001, 0, {}};
    dispatchMessage(message);
  };
  pressCtrlDel();
  EXPECT_TRUE(yes.asked.empty());
  form.MisTable1.select(0);
  pressCtrlDel();
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
  EXPECT_EQ(yes.asked.size(), 1u);
  EXPECT_EQ(form.MisTable1.count(), 0);
}

TEST_F(MainWindowTest, TheKeyboardAloneSelectsOpensDeletesAndOpensTheRowMenu) {
  for (const char* detail : {"0", "1", "2"}) add("执行程序", detail, "2026/12/9", "12:00:00");
  HWND list = form.ListView1->handle();
  ShowWindow(form.handle(), SW_SHOW);
  SendMessageW(form.handle(), WM_CLOSE, 0, 0);
  form.runCommand(cmdRestore);  // back from the tray
  pumpMessages();
  ASSERT_EQ(GetFocus(), list);
  EXPECT_GE(ListView_GetNextItem(list, -1, LVNI_FOCUSED), 0);  // a focused row is marked
  const auto press = [](HWND to, UINT key, bool shift = false) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
    MSG message{to, key == VK_F10 ? UINT{WM_SYSKEYDOWN} : UINT{WM_KEYDOWN}, key, 1, 0, {}};
    dispatchMessage(message);
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    pumpMessages();
  };
  press(list, VK_END);
  EXPECT_EQ(form.MisTable1.selectedIndex(), 2);
  press(list, VK_HOME);
  press(list, VK_DOWN);
  EXPECT_EQ(form.MisTable1.selectedIndex(), 1);

  Probe probe;
  bool opened = false;
  probe.post([&] {
    opened = IsWindowVisible(editor.handle()) && editor.misMode == 2;
    SendMessageW(editor.btnClose, BM_CLICK, 0, 0);
  });
  press(list, VK_RETURN);
  EXPECT_TRUE(opened);

  {
    Answers yes(IDYES);
    press(list, VK_DELETE);
    ASSERT_EQ(yes.asked.size(), 1u);
    EXPECT_EQ(yes.asked[0].text, L"确定要删除该任务吗?");
  }
  ASSERT_EQ(form.MisTable1.count(), 2);
  EXPECT_EQ(form.MisTable1.row(1).detail, "2");

  // Shift+F10: the row menu opens at the selected row, not at the mouse.
  form.MisTable1.select(1);
  RECT row{};
  row.left = LVIR_BOUNDS;
  SendMessageW(list, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row));
  MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&row), 2);
  RECT menu{};
  probe.post([&] {
    if (HWND popup = FindWindowW(L"#32768", nullptr)) GetWindowRect(popup, &menu);
    EndMenu();
  });
  SetCursorPos(5, 5);
  press(list, VK_F10, true);
  EXPECT_GE(menu.top, row.top);
  EXPECT_LE(menu.top, row.bottom + 2);
  EXPECT_GE(menu.left, row.left);
  EXPECT_LT(menu.left, row.right);

  // Tab goes round the toolbar, the side bar and the list.
  press(list, VK_TAB);
  EXPECT_EQ(GetFocus(), form.ToolBar1);
  EXPECT_GE(SendMessageW(form.ToolBar1, TB_GETHOTITEM, 0, 0), 0);  // a lit button
  press(form.ToolBar1, VK_TAB);
  EXPECT_EQ(GetFocus(), form.dxNavBar1->handle());
  press(form.dxNavBar1->handle(), VK_TAB);
  EXPECT_EQ(GetFocus(), list);
  press(list, VK_TAB, true);
  EXPECT_EQ(GetFocus(), form.dxNavBar1->handle());
}

TEST_F(MainWindowTest, ListShowsTheTableAndFollowsItsSelection) {
  add("提示消息", "起床了", "2026/12/9", "07:00:00");
  HWND list = form.ListView1->handle();
  ASSERT_EQ(ListView_GetItemCount(list), 1);
  wchar_t cell[64];
  ListView_GetItemText(list, 0, 1, cell, 64);
  EXPECT_STREQ(cell, L"起床了");
  ListView_GetItemText(list, 0, 3, cell, 64);
  EXPECT_STREQ(cell, L"07:00:00");
  form.MisTable1.select(0);
  EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_SELECTED), 0);
  ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
  EXPECT_EQ(form.MisTable1.selectedIndex(), -1);
  ListView_SetItemState(list, 0, LVIS_SELECTED, LVIS_SELECTED);
  EXPECT_EQ(form.MisTable1.selectedIndex(), 0);
}

TEST_F(MainWindowTest, RowColoursAtTenOClock) {
  add("执行程序", "yesterday", "2026/12/8", "23:00:00");
  add("执行程序", "earlier", "2026/12/9", "09:59:59");
  add("执行程序", "later", "2026/12/9", "10:30:00");
  add("执行程序", "tomorrow early", "2026/12/10", "08:00:00");
  add("执行程序", "tomorrow late", "2026/12/10", "11:00:00");
  add("执行程序", "unreadable", "9.12.2026", "10:30");
  // Date and time together: tomorrow is still to come.
  const COLORREF expected[] = {MissionListView::kPassed,  MissionListView::kPassed,  MissionListView::kPending,
                               MissionListView::kPending, MissionListView::kPending, MissionListView::kUnreadable};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(form.ListView1->rowBackground(i), expected[i]) << i;

  // While the window shows, the second after a row's time repaints that row
  // and no other.
  const HWND list = form.ListView1->handle();
  ShowWindow(form.handle(), SW_SHOW);
  UpdateWindow(list);
  form.rowColourTimerTick();
  RECT dirty{};
  EXPECT_FALSE(GetUpdateRect(list, &dirty, FALSE));
  clock.set({2026, 12, 9, 10, 30, 0, 20});
  form.rowColourTimerTick();
  EXPECT_EQ(form.ListView1->rowBackground(2), MissionListView::kPassed);
  RECT row{};
  ListView_GetItemRect(list, 2, &row, LVIR_BOUNDS);
  ASSERT_TRUE(GetUpdateRect(list, &dirty, FALSE));
  EXPECT_EQ(dirty.top, row.top);
  EXPECT_EQ(dirty.bottom, row.bottom);
  UpdateWindow(list);
  // While the missions run, the scheduler's tick repaints them: one wakeup a second.
  form.tbStartClick();
  clock.set({2026, 12, 10, 8, 0, 1, 20});
  form.Timer1Timer();
  ListView_GetItemRect(list, 3, &row, LVIR_BOUNDS);
  ASSERT_TRUE(GetUpdateRect(list, &dirty, FALSE));
  EXPECT_EQ(dirty.top, row.top);
  form.tbStopClick();
  UpdateWindow(list);
  // Hidden, nothing is repainted.
  ShowWindow(form.handle(), SW_HIDE);
  clock.set({2026, 12, 10, 9, 0, 0, 0});
  form.rowColourTimerTick();
  EXPECT_FALSE(GetUpdateRect(list, &dirty, FALSE));
}

TEST_F(MainWindowTest, EditingTheCaptionInPlaceDecidesWhetherTheRowFires) {
  add("执行程序", "c:\\a.exe", "2026/12/9", "10:00:00");
  HWND list = form.ListView1->handle();
  ShowWindow(form.handle(), SW_SHOW);
  SetFocus(list);
  const auto editCaption = [&](const wchar_t* caption) {
    HWND edit = ListView_EditLabel(list, 0);
    ASSERT_NE(edit, nullptr);
    SetWindowTextW(edit, caption);
    SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
    SendMessageW(edit, WM_CHAR, VK_RETURN, 0);
    pumpMessages();
  };
  editCaption(L"执行程序吧");
  EXPECT_EQ(form.MisTable1.row(0).kindName, "执行程序吧");
  form.CheckMis();
  EXPECT_TRUE(platform.calls().empty());
  editCaption(L"执行程序");
  form.CheckMis();
  EXPECT_EQ(platform.calls(), (std::vector<std::string>{"ShellOpen - c:\\a.exe"}));
}

TEST_F(MainWindowTest, APassFiresEveryKindThroughThePlatform) {
  const char* kinds[] = {"关闭计算机", "重启计算机", "注销计算机", "执行程序",   "打开文件",   "提示消息",  "系统响铃",
                         "打开网页",   "发送邮件",   "锁定计算机", "关闭显示器", "计算机睡眠", "计算机休眠"};
  for (const char* kind : kinds) add(kind, "D", "2026/12/9", "10:00:00");
  // No notice before the power actions ("不提示"): each acts at once.
  form.noticeSeconds = 0;
  form.CheckMis();
  // The ring plays on the sound thread, beside the pass: it is looked for
  // on its own. Its detail names no file that plays: the built-in ring.
  const std::string ring = "PlayResourceSound ring";
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (std::ranges::count(platform.calls(), ring) == 0 && std::chrono::steady_clock::now() < until)
    Sleep(10);
  std::vector<std::string> calls = platform.calls();
  EXPECT_EQ(std::erase(calls, "PlaySoundFile D"), 1u);
  EXPECT_EQ(std::erase(calls, ring), 1u);
  EXPECT_EQ(calls, (std::vector<std::string>{"ExitSystem 13", "ExitSystem 2", "ExitSystem 4", "ShellOpen - D",
                                             "ShellOpen open D", "SimpleBeep", "MakeTopmost 0000000000000000",
                                             "ShellOpen open http://D", "ShellOpen open mailto:D", "LockComputer",
                                             "MonitorOff", "SleepSystem", "HibernateSystem"}));
  EXPECT_EQ(form.frmNotice(), nullptr);
  EXPECT_EQ(popup.shown, (std::vector<std::string>{"D"}));
  wchar_t status[64] = L"";
  SendMessageW(form.StatusBar1, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(status));
  EXPECT_STREQ(status, L"2026/12/9 10:00:00");
}

// The windows of this thread that get a taskbar button: shown, without an
// owner, not tool windows.
std::vector<HWND> taskbarWindows() {
  std::vector<HWND> found;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM all) -> BOOL {
        const LONG_PTR ex = GetWindowLongPtrW(window, GWL_EXSTYLE);
        const bool button = (ex & WS_EX_APPWINDOW) ||
                            (!GetWindow(window, GW_OWNER) && !(ex & WS_EX_TOOLWINDOW));
        if (IsWindowVisible(window) && button) reinterpret_cast<std::vector<HWND>*>(all)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

TEST_F(MainWindowTest, CloseAndMinimiseHideToTheTrayWithTheTaskbarButton) {
  // The animation runs only while the window can be seen.
  EXPECT_FALSE(form.RxGIFAnimator1->running());
  ShowWindow(form.handle(), SW_SHOW);
  EXPECT_TRUE(form.RxGIFAnimator1->running());
  // One taskbar button, titled with the application title, belonging to the
  // owner of the main window, whose caption stays its own.
  ASSERT_EQ(taskbarWindows(), std::vector<HWND>{form.applicationWindow()});
  EXPECT_EQ(textOf(form.applicationWindow()), L"Horavel");
  EXPECT_EQ(GetWindow(form.handle(), GW_OWNER), form.applicationWindow());
  EXPECT_EQ(textOf(form.handle()), L"MirolanHoravel");

  EXPECT_FALSE(form.CoolTrayIcon1->visible());
  SendMessageW(form.handle(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(form.handle()));
  EXPECT_FALSE(IsWindowVisible(form.handle()));
  EXPECT_TRUE(taskbarWindows().empty());
  EXPECT_TRUE(form.CoolTrayIcon1->visible());
  EXPECT_FALSE(form.RxGIFAnimator1->running());
  form.runCommand(cmdRestore);
  EXPECT_TRUE(IsWindowVisible(form.handle()));
  EXPECT_EQ(taskbarWindows(), std::vector<HWND>{form.applicationWindow()});
  EXPECT_TRUE(form.CoolTrayIcon1->visible());
  EXPECT_TRUE(form.RxGIFAnimator1->running());

  // Minimised by its box or system menu, by a show command, or through the
  // taskbar button's window: hidden, button and all.
  SendMessageW(form.handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_FALSE(IsWindowVisible(form.handle()));
  EXPECT_TRUE(taskbarWindows().empty());
  EXPECT_FALSE(form.RxGIFAnimator1->running());
  form.runCommand(cmdRestore);
  EXPECT_TRUE(form.RxGIFAnimator1->running());
  ShowWindow(form.handle(), SW_MINIMIZE);
  EXPECT_FALSE(IsWindowVisible(form.handle()));
  EXPECT_TRUE(taskbarWindows().empty());
  form.runCommand(cmdRestore);
  EXPECT_TRUE(IsWindowVisible(form.handle()));
  EXPECT_FALSE(IsIconic(form.handle()));
  ShowWindow(form.applicationWindow(), SW_MINIMIZE);
  EXPECT_FALSE(IsWindowVisible(form.handle()));
  EXPECT_TRUE(taskbarWindows().empty());
  form.runCommand(cmdRestore);
  EXPECT_TRUE(IsWindowVisible(form.handle()));
  EXPECT_EQ(taskbarWindows(), std::vector<HWND>{form.applicationWindow()});
}

TEST_F(MainWindowTest, QuitAndTrayCloseEndTheMessageLoopAndCarryOutNothingMore) {
  const auto quitPosted = [] {
    MSG message;
    return PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
  };
  // The user ends the program from the tray while a reminder shows: the
  // rest of that second's missions, a power-off among them, and the
  // reminders in line are dropped.
  add("提示消息", "一", "2026/12/9", "10:00:01");
  add("提示消息", "二", "2026/12/9", "10:00:01");
  add("关闭计算机", "关闭计算机", "2026/12/9", "10:00:01");
  add("执行程序", "c:\\a.exe", "2026/12/9", "10:00:01");
  form.runCommand(cmdStart);
  popup.whileShown = [this] {
    popup.whileShown = nullptr;
    form.runCommand(cmdTrayClose);
  };
  clock.setTime(10, 0, 1);
  form.CheckMis();
  EXPECT_FALSE(form.running());
  EXPECT_TRUE(quitPosted());
  EXPECT_EQ(popup.shown, std::vector<std::string>{"一"});
  for (const std::string& call : platform.calls()) EXPECT_EQ(call.find("ExitSystem"), std::string::npos) << call;
  EXPECT_EQ(std::ranges::count(platform.calls(), "ShellOpen - c:\\a.exe"), 0);

  form.runCommand(cmdQuit);
  EXPECT_TRUE(quitPosted());
}

TEST_F(MainWindowTest, WindowsEndingTheSessionIsNeverHeldUpAndNothingMoreIsCarriedOut) {
  // The notice's ring "plays" until it is stopped (or five seconds pass).
  std::mutex mutex;
  std::condition_variable changed;
  bool stopped = false;
  platform.onCall = [&](const std::string& line) {
    std::unique_lock<std::mutex> lock(mutex);
    if (line == "StopSound") stopped = true;
    changed.notify_all();
    if (line.rfind("PlayResourceSound", 0) == 0) changed.wait_for(lock, std::chrono::seconds(5), [&] { return stopped; });
  };
  add("关闭计算机", "关闭计算机", "2026/12/9", "10:00:01");
  add("执行程序", "c:\\a.exe", "2026/12/9", "10:00:30");
  form.runCommand(cmdStart);
  clock.setTime(10, 0, 1);
  form.CheckMis();
  ASSERT_NE(form.frmNotice(), nullptr);
  const HWND notice = form.frmNotice()->handle();
  ASSERT_TRUE(IsWindowVisible(notice));
  {
    std::unique_lock<std::mutex> lock(mutex);
    ASSERT_TRUE(changed.wait_for(lock, std::chrono::seconds(5), [&] {
      return std::ranges::count(platform.calls(), "PlayResourceSound ring") > 0;
    }));
  }

  // The user's own shut down, while the editor is open.
  LRESULT answer = FALSE;
  bool leftOpen = false;
  Probe probe;
  probe.post([&] {
    answer = SendMessageW(form.handle(), WM_QUERYENDSESSION, 0, 0);
    SendMessageW(form.handle(), WM_ENDSESSION, TRUE, 0);
  });
  probe.post([&] {
    // Still open with no quit to come: close it, so that the test fails
    // instead of waiting for ever.
    MSG pending;
    if (PeekMessageW(&pending, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) return;
    leftOpen = true;
    editor.closeWith(IDCANCEL);
  });
  editor.showEditor();  // the session's end ends it
  EXPECT_EQ(answer, TRUE);
  EXPECT_FALSE(leftOpen);
  MSG quit;
  EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_FALSE(IsWindowVisible(notice));
  EXPECT_FALSE(form.running());
  // The sound was cut short before the answer returned: the thread is done.
  EXPECT_EQ(std::ranges::count(platform.calls(), "StopSound"), 1);

  // The notice's time runs out, the other mission's second comes: nothing.
  for (int i = 0; i < 70; ++i) SendMessageW(notice, WM_TIMER, TfrmNotice::kTimer1, 0);
  clock.setTime(10, 0, 30);
  form.CheckMis();
  for (const std::string& call : platform.calls())
    EXPECT_TRUE(call == "PlayResourceSound ring" || call == "StopSound") << call;
}

TEST_F(MainWindowTest, HelpHomePageAndFeedback) {
  Answers ok(IDOK);
  form.runCommand(cmdHelpContent);
  ASSERT_EQ(ok.asked.size(), 1u);
  EXPECT_EQ(ok.asked[0].owner, nullptr);
  EXPECT_EQ(ok.asked[0].text, L"帮助功能暂未启用.");
  EXPECT_EQ(ok.asked[0].caption, L"提示:");
  EXPECT_EQ(ok.asked[0].type, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
  form.runCommand(cmdVisitWeb);
  form.runCommand(cmdQuestion);
  ASSERT_EQ(platform.calls().size(), 2u);
  EXPECT_EQ(platform.calls()[0].rfind("ShellOpen open http", 0), 0u) << platform.calls()[0];
  EXPECT_EQ(platform.calls()[1].rfind("ShellOpen open mailto:", 0), 0u) << platform.calls()[1];
}

TEST(MainWindowTimerTest, EveryWallClockSecondGetsExactlyOnePassWhileIdle) {
  RecordingPlatformServices platform;
  WindowsClock clock;
  const DateTimeText text;
  PopupLog popup;
  TForm1 form(platform, clock, text, emptyFolder());
  TfrmMis editor(form.handle(), form.MisTable1, clock, text, form.runControl(), platform);
  form.attachWindows(&editor, &popup);
  const LocalDateTime started = clock.now();
  form.mStart();
  std::vector<std::wstring> passes;
  const DWORD end = GetTickCount() + 23000;
  MSG message;
  while (GetTickCount() < end) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      const bool tick = message.message == WM_TIMER && message.hwnd == form.handle() && message.wParam == 1;
      dispatchMessage(message);
      if (tick) {
        wchar_t status[64] = L"";
        SendMessageW(form.StatusBar1, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(status));
        passes.push_back(status);
      }
    }
  }
  form.mStop();
  ASSERT_GE(passes.size(), 21u);
  // Each pass shows a different second, and the seconds follow one another.
  const auto secondOf = [](const std::wstring& status) {
    const size_t space = status.rfind(L' ');
    const std::wstring time = space == std::wstring::npos ? L"00:00:00" : status.substr(space + 1);
    return std::stoi(time.substr(0, 2)) * 3600 + std::stoi(time.substr(3, 2)) * 60 + std::stoi(time.substr(6, 2));
  };
  // The first pass comes in the second after Start's, whatever its millisecond.
  EXPECT_EQ((secondOf(passes[0]) - (started.hour * 3600 + started.minute * 60 + started.second) + 86400) % 86400, 1)
      << "started at millisecond " << started.millisecond;
  for (size_t i = 1; i < passes.size(); ++i) {
    EXPECT_EQ((secondOf(passes[i]) - secondOf(passes[i - 1]) + 86400) % 86400, 1)
        << "pass " << i << ": " << toCp936(passes[i - 1]) << " then " << toCp936(passes[i]);
  }
}

TEST(MainWindowWakeTest, AResumeMakesUpAReminderListsAMissedPowerOffAndTheTimerWakesForTheNextMission) {
  const auto folder = std::filesystem::temp_directory_path() / L"horavel-wake";
  std::filesystem::create_directories(folder);
  for (const wchar_t* name : {L"everyday.mis", L"missions.mis", L"history.log"}) std::filesystem::remove(folder / name);
  std::ofstream(folder / L"config.ini", std::ios::binary) << "[other]\r\nwake=1\r\n";
  RecordingPlatformServices platform;
  RecordingWakeTimer wake;
  ManualClock clock{{2026, 12, 9, 22, 0, 0, 0}};
  const DateTimeText text;
  PopupLog popup;
  TForm1 form(platform, clock, text, folder, &wake);
  TfrmMis editor(form.handle(), form.MisTable1, clock, text, form.runControl(), platform);
  form.attachWindows(&editor, &popup);
  form.autoSpeek = false;
  form.MisTable1.append({"提示消息", "睡前吃药", "2026/12/9", "23:00:00", 3});
  form.MisTable1.append({"关闭计算机", "关闭计算机", "2026/12/9", "23:30:00", 0});
  form.MisTable1.append({"执行程序", "c:\\backup.exe", "2026/12/10", "07:00:00", 1});
  EXPECT_TRUE(wake.calls.empty());  // only while the scheduler runs
  form.mStart();
  EXPECT_EQ(wake.calls, std::vector<std::string>{"arm 2026-12-09 23:00:00"});
  clock.set({2026, 12, 9, 22, 0, 1, 20});
  SendMessageW(form.handle(), WM_TIMER, 1, 0);

  // The lid closed until 6:30 the next morning, opened by hand.
  clock.set({2026, 12, 10, 6, 30, 0, 20});
  SendMessageW(form.handle(), WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
  EXPECT_EQ(popup.shown, std::vector<std::string>{"睡前吃药"});
  EXPECT_EQ(std::ranges::count_if(platform.calls(), [](const std::string& c) { return c.rfind("ExitSystem", 0) == 0; }),
            0);
  TfrmMissed* notice = form.missedNotice();
  ASSERT_NE(notice, nullptr);
  EXPECT_TRUE(IsWindowVisible(notice->handle()));
  EXPECT_EQ(textOf(notice->handle()), L"错过的任务");
  EXPECT_EQ(GetWindow(notice->handle(), GW_OWNER), form.handle());
  ASSERT_EQ(ListView_GetItemCount(notice->ListView1->handle()), 1);
  for (const auto& [column, shown] : std::vector<std::pair<int, std::wstring>>{
           {0, L"关闭计算机"}, {2, L"2026/12/9"}, {3, L"23:30:00"}}) {
    wchar_t cell[64] = L"";
    ListView_GetItemText(notice->ListView1->handle(), 0, column, cell, 64);
    EXPECT_EQ(cell, shown) << column;
  }
  const HistoryRecords records = form.history().read();
  ASSERT_EQ(records.count(), 2);
  EXPECT_EQ(records.field(0, 3), "已错过");
  EXPECT_EQ(records.field(1, 1), "提示消息");
  EXPECT_EQ(records.field(1, 3), "补执行");
  EXPECT_EQ(records.field(1, 4), "原定时间 2026/12/9 23:00:00");
  EXPECT_EQ(wake.calls.back(), "arm 2026-12-10 07:00:00");
  notice->btnOkClick();
  EXPECT_FALSE(IsWindowVisible(notice->handle()));

  // Asleep again; the timer wakes the computer for the backup, which is up
  // four seconds after its second: carried out as in its second, the
  // computer held awake until it has been.
  clock.set({2026, 12, 10, 7, 0, 4, 20});
  SendMessageW(form.handle(), WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
  EXPECT_EQ(platform.calls().back(), "ShellOpen - c:\\backup.exe");
  EXPECT_EQ(std::vector<std::string>(wake.calls.end() - 3, wake.calls.end()),
            (std::vector<std::string>{"holdAwake 1", "holdAwake 0", "disarm"}));
  EXPECT_EQ(form.history().read().field(2, 3), "已执行");
  EXPECT_FALSE(IsWindowVisible(notice->handle()));

  // Woken for a power-off: held awake while its notice counts, let go once
  // the power-off has been asked for.
  form.MisTable1.append({"关闭计算机", "关闭计算机", "2026/12/10", "08:00:00", 0});
  clock.set({2026, 12, 10, 7, 0, 5, 20});
  SendMessageW(form.handle(), WM_TIMER, 1, 0);
  EXPECT_EQ(wake.calls.back(), "arm 2026-12-10 08:00:00");
  const auto held = [&] {
    return std::ranges::count(wake.calls, "holdAwake 1") > std::ranges::count(wake.calls, "holdAwake 0");
  };
  clock.set({2026, 12, 10, 8, 0, 3, 20});
  SendMessageW(form.handle(), WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
  ASSERT_TRUE(form.powerCountdown().showing());
  clock.set({2026, 12, 10, 8, 0, 4, 20});
  SendMessageW(form.handle(), WM_TIMER, 1, 0);
  EXPECT_TRUE(held());
  form.powerCountdown().actNow();
  EXPECT_EQ(std::ranges::count(platform.calls(), "ExitSystem 13"), 1);
  clock.set({2026, 12, 10, 8, 0, 5, 20});
  SendMessageW(form.handle(), WM_TIMER, 1, 0);
  EXPECT_FALSE(held());
  EXPECT_EQ(wake.calls.back(), "holdAwake 0");
  EXPECT_EQ(form.history().read().field(3, 1), "关闭计算机");
  EXPECT_EQ(form.history().read().field(3, 3), "已执行");
  form.mStop();
}

namespace {

// A program folder holding everyday.mis with the given bytes.
std::filesystem::path folderWithDailyMissions(const std::string& bytes) {
  const auto folder = std::filesystem::temp_directory_path() / L"horavel-daily";
  std::filesystem::create_directories(folder);
  std::filesystem::remove(folder / L"missions.mis");
  std::ofstream(folder / L"everyday.mis", std::ios::binary) << bytes;
  return folder;
}

std::string readFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

TEST(MainWindowStartTest, DailyMissionsLoadDatedTodayAndYesStartsARunThatMakesUpBusySeconds) {
  const auto folder = folderWithDailyMissions("执行程序$c:\\a.exe$2020/1/1$10:00:01\r\n提示消息$起床$2020/1/2$07:00:00\r\n");
  RecordingPlatformServices platform;
  ManualClock clock{{2026, 12, 9, 10, 0, 0, 700}};
  const DateTimeText text;
  {
    // The program's own start order, the question answered Yes at .7 of a
    // second, asked before the window shows.
    std::vector<MessageBoxRequest> asked;
    bool shownWhenAsked = true;
    setMessageBoxHook([&](const MessageBoxRequest& request) {
      asked.push_back(request);
      const HWND window = FindWindowW(TForm1::kClassName, nullptr);
      shownWhenAsked = window && IsWindowVisible(window);
      return IDYES;
    });
    ProgramWindows program(platform, clock, text, folder, SW_SHOWNOACTIVATE);
    setMessageBoxHook(nullptr);
    TForm1& form = program.Form1;
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].text, L"是否立刻开始执行已设定任务?");
    EXPECT_EQ(asked[0].caption, L"Horavel友情提示:");
    EXPECT_EQ(asked[0].type, static_cast<UINT>(MB_YESNO));
    EXPECT_FALSE(shownWhenAsked);
    EXPECT_TRUE(form.running());
    ASSERT_EQ(form.MisTable1.count(), 2);
    EXPECT_EQ(form.MisTable1.row(0), (MisRecord{"执行程序", "c:\\a.exe", "2026/12/9", "10:00:01", 1, kDailyFileRule}));
    EXPECT_EQ(form.MisTable1.row(1).dateText, "2026/12/9");

    // The thread is busy until after the mission's second: the first pass
    // makes it up, as after any other way to Start.
    clock.set({2026, 12, 9, 10, 0, 3, 100});
    SendMessageW(form.handle(), WM_TIMER, 1, 0);
    EXPECT_EQ(platform.calls(), std::vector<std::string>{"ShellOpen - c:\\a.exe"});
    form.mStop();
  }
  {
    Answers no(IDNO);
    TForm1 form(platform, clock, text, folder);
    EXPECT_EQ(no.asked.size(), 1u);
    EXPECT_FALSE(form.running());
  }
  // An empty file: nothing to run, nothing asked.
  std::ofstream(folder / L"everyday.mis", std::ios::binary | std::ios::trunc).flush();
  Answers none(IDYES);
  TForm1 form(platform, clock, text, folder);
  EXPECT_TRUE(none.asked.empty());
  EXPECT_FALSE(form.running());
}

TEST(MainWindowStartTest, MissionsStillToComeOrRepeatingComeBackAfterQuitAndStart) {
  const auto folder = folderWithDailyMissions("执行程序$c:\\daily.exe$2020/1/1$09:00:00\r\n");
  const auto kept = folder / L"missions.mis";
  RecordingPlatformServices platform;
  ManualClock clock{{2026, 12, 9, 10, 0, 0, 0}};
  const DateTimeText text;
  const auto quitPosted = [] {
    MSG message;
    return PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
  };
  const auto cell = [](TForm1& form, int row, int column) {
    wchar_t text[64] = L"";
    ListView_GetItemText(form.ListView1->handle(), row, column, text, 64);
    return std::wstring(text);
  };
  {
    Answers no(IDNO);
    ProgramWindows program(platform, clock, text, folder, SW_SHOWNOACTIVATE);
    TForm1& form = program.Form1;
    ASSERT_EQ(form.MisTable1.count(), 1);
    form.MisTable1.append({"执行程序", "c:\\passes.exe", "2026/12/9", "10:30:00", 1});
    form.MisTable1.append({"执行程序", "c:\\later.exe", "2026/12/11", "09:00:00", 1});
    form.MisTable1.append({"执行程序", "c:\\every day.exe", "2026/12/9", "10:30:00", 1, *parseRepeatText("每天")});
    EXPECT_EQ(cell(form, 0, 4), L"每天");
    EXPECT_EQ(cell(form, 1, 4), L"");
    EXPECT_EQ(cell(form, 3, 4), L"每天");
    form.runCommand(cmdQuit);
    EXPECT_TRUE(quitPosted());
  }
  // The daily mission stays in everyday.mis alone.
  EXPECT_EQ(readFile(kept), "执行程序\x80" "c:\\passes.exe\x80" "2026/12/9\x80" "10:30:00\r\n"
                            "执行程序\x80" "c:\\later.exe\x80" "2026/12/11\x80" "09:00:00\r\n"
                            "执行程序\x80" "c:\\every day.exe\x80" "2026/12/9\x80" "10:30:00\x80每天\r\n");

  // The next morning, after 10:30: the mission that was due yesterday at
  // 10:30 is gone, the daily ones come again with the day they fire next.
  clock.set({2026, 12, 10, 11, 0, 0, 0});
  {
    Answers no(IDNO);
    ProgramWindows program(platform, clock, text, folder, SW_SHOWNOACTIVATE);
    TForm1& form = program.Form1;
    EXPECT_EQ(no.asked.size(), 1u);  // the start question: there are rows
    ASSERT_EQ(form.MisTable1.count(), 3);
    EXPECT_EQ(form.MisTable1.row(0).detail, "c:\\daily.exe");
    EXPECT_EQ(form.MisTable1.row(0).dateText, "2026/12/10");
    EXPECT_EQ(form.MisTable1.row(1), (MisRecord{"执行程序", "c:\\later.exe", "2026/12/11", "09:00:00", 1}));
    EXPECT_EQ(form.MisTable1.row(2).dateText, "2026/12/11");
    EXPECT_EQ(cell(form, 2, 2), L"2026/12/11");
    EXPECT_EQ(cell(form, 2, 4), L"每天");

    // Windows ends the session before anything else could write the file.
    form.MisTable1.remove(1);
    SendMessageW(form.handle(), WM_ENDSESSION, TRUE, 0);
    EXPECT_TRUE(quitPosted());
  }
  EXPECT_EQ(readFile(kept), "执行程序\x80" "c:\\every day.exe\x80" "2026/12/11\x80" "10:30:00\x80每天\r\n");

  // A file the user may not write (a program folder only administrators
  // may change): one box, naming the file, however many changes follow.
  SetFileAttributesW(kept.c_str(), FILE_ATTRIBUTE_READONLY);
  useWindowsFileReplace();  // as the program replaces files
  {
    Answers no(IDNO);
    ProgramWindows program(platform, clock, text, folder, SW_SHOWNOACTIVATE);
    no.asked.clear();
    for (const char* detail : {"c:\\one.exe", "c:\\two.exe"}) {
      program.Form1.MisTable1.append({"执行程序", detail, "2026/12/12", "09:00:00", 1});
      pumpMessages();
    }
    ASSERT_EQ(no.asked.size(), 1u);
    EXPECT_EQ(no.asked[0].text,
              L"Unable to keep the missions in " + kept.wstring() + L": File access denied.");
  }
  setReplaceFileHook(nullptr);
  SetFileAttributesW(kept.c_str(), FILE_ATTRIBUTE_NORMAL);
}

namespace {

// Horavel.exe, built beside the tests, copied into a folder of its own.
std::filesystem::path copyOfProgram(const wchar_t* folderName) {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  const auto folder = std::filesystem::temp_directory_path() / folderName;
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  std::filesystem::copy_file(std::filesystem::path(self).parent_path() / L"Horavel.exe", folder / L"Horavel.exe");
  return folder / L"Horavel.exe";
}

PROCESS_INFORMATION startProgram(const std::filesystem::path& exe) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::wstring commandLine = L"\"" + exe.wstring() + L"\"";
  CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                 exe.parent_path().c_str(), &startup, &process);
  return process;
}

struct WindowSearch {
  DWORD process;
  const wchar_t* className;
  HWND found;
};

// A top-level window of that class of the process once it exists (and, if
// asked, is visible).
HWND windowOf(DWORD process, const wchar_t* className, bool visible, DWORD waitMs = 20000) {
  const DWORD start = GetTickCount();
  do {
    WindowSearch search{process, className, nullptr};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
          auto* s = reinterpret_cast<WindowSearch*>(param);
          DWORD owner = 0;
          GetWindowThreadProcessId(window, &owner);
          wchar_t name[32] = L"";
          if (owner == s->process && GetClassNameW(window, name, 32) && std::wstring(name) == s->className) {
            s->found = window;
            return FALSE;
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    if (search.found && (!visible || IsWindowVisible(search.found))) return search.found;
    Sleep(50);
  } while (GetTickCount() - start < waitMs);
  return nullptr;
}

HWND mainWindowOf(DWORD process, bool visible, DWORD waitMs = 20000) {
  return windowOf(process, L"TForm1", visible, waitMs);
}

void endProgram(PROCESS_INFORMATION& process) {
  if (!process.hProcess) return;
  TerminateProcess(process.hProcess, 0);
  WaitForSingleObject(process.hProcess, 5000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  process = {};
}

}  // namespace

namespace {

std::wstring lowerCase(std::wstring text) {
  CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
  return text;
}

// The files of folder the process has loaded as modules, each followed by
// ';'; names in skip are left out.
std::wstring modulesFrom(HANDLE process, const std::filesystem::path& folder, const std::set<std::wstring>& skip) {
  HMODULE modules[512];
  DWORD bytes = 0;
  if (!EnumProcessModules(process, modules, sizeof modules, &bytes)) return L"?";
  std::wstring found;
  for (DWORD i = 0; i < bytes / sizeof(HMODULE) && i < 512; ++i) {
    wchar_t name[MAX_PATH] = L"";
    GetModuleFileNameExW(process, modules[i], name, MAX_PATH);
    const std::filesystem::path module(name);
    if (lowerCase(module.parent_path().wstring()) == lowerCase(folder.wstring()) &&
        !skip.count(lowerCase(module.filename().wstring())))
      found += module.filename().wstring() + L";";
  }
  return found;
}

// The current directory of another process, read from its process
// parameters (64-bit layout), without its trailing backslash.
std::wstring currentDirectoryOf(HANDLE process) {
  using QueryProcess = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
  const auto query = reinterpret_cast<QueryProcess>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
  struct {
    void* reserved1;
    char* peb;
    void* reserved2[4];
  } basic{};
  if (!query || query(process, 0, &basic, sizeof basic, nullptr) != 0) return L"?";
  char* parameters = nullptr;
  struct {
    USHORT length;
    USHORT maximumLength;
    wchar_t* buffer;
  } dosPath{};
  if (!ReadProcessMemory(process, basic.peb + 0x20, &parameters, sizeof parameters, nullptr) ||
      !ReadProcessMemory(process, parameters + 0x38, &dosPath, sizeof dosPath, nullptr))
    return L"?";
  std::wstring path(dosPath.length / sizeof(wchar_t), L'\0');
  if (!ReadProcessMemory(process, dosPath.buffer, path.data(), dosPath.length, nullptr)) return L"?";
  if (path.size() > 3 && path.back() == L'\\') path.pop_back();
  return path;
}

}  // namespace

// Whoever can write the program's folder plants libraries there under the
// names of system ones, and the program is started from that folder: no
// library of the folder is loaded, on start or when a dialog needs the
// rich-text control, and the program runs in the system folder, where bare
// names are looked up.
TEST(MainWindowStartTest, LibrariesAndBareNamesComeFromTheSystemFolderNeverFromTheProgramsOwn) {
  const auto exe = copyOfProgram(L"horavel-planted");
  const auto folder = exe.parent_path();
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  const auto planted = std::filesystem::path(self).parent_path() / L"planted_library.dll";
  const wchar_t* names[] = {L"gdiplus", L"ole32", L"oleaut32", L"oleacc",  L"shell32",
                            L"uxtheme", L"winmm", L"msftedit", L"riched20", L"comdlg32"};
  for (const wchar_t* name : names) std::filesystem::copy_file(planted, folder / (std::wstring(name) + L".dll"));

  PROCESS_INFORMATION program = startProgram(exe);  // with its own folder as current directory
  ASSERT_NE(program.hProcess, nullptr);
  const HWND window = mainWindowOf(program.dwProcessId, true);
  ASSERT_NE(window, nullptr);
  PostMessageW(window, WM_COMMAND, cmdShengji, 0);
  EXPECT_NE(windowOf(program.dwProcessId, L"TfrmShengji", true, 10000), nullptr);

  // Wine's own libraries bring uxtheme and ole32 with the program, before
  // its first line runs: they are Wine's built-in ones whatever the path
  // says (no mark below), and none of the program's doing.
  EXPECT_EQ(modulesFrom(program.hProcess, folder, {L"uxtheme.dll", L"ole32.dll"}), L"Horavel.exe;");
  wchar_t system[MAX_PATH];
  GetSystemDirectoryW(system, MAX_PATH);
  EXPECT_EQ(lowerCase(currentDirectoryOf(program.hProcess)), lowerCase(system));
  endProgram(program);
  for (const wchar_t* name : names)
    EXPECT_FALSE(std::filesystem::exists(folder / (std::wstring(name) + L".dll.loaded"))) << toUtf8(name);
}

TEST(MainWindowStartTest, ASecondStartBringsTheRunningWindowBackAndEndsAtOnce) {
  const auto exe = copyOfProgram(L"horavel-instance-a");
  PROCESS_INFORMATION first = startProgram(exe);
  ASSERT_NE(first.hProcess, nullptr);
  const HWND window = mainWindowOf(first.dwProcessId, true);
  ASSERT_NE(window, nullptr);
  PostMessageW(window, WM_CLOSE, 0, 0);  // hidden in the tray
  for (int i = 0; i < 100 && IsWindowVisible(window); ++i) Sleep(50);
  ASSERT_FALSE(IsWindowVisible(window));

  // A daily mission beside it: a second start that loaded it would ask the
  // start question and wait for an answer instead of ending.
  std::ofstream(exe.parent_path() / L"everyday.mis", std::ios::binary) << "执行程序$a.exe$2020/1/1$12:00:00\r\n";
  PROCESS_INFORMATION second = startProgram(exe);
  ASSERT_NE(second.hProcess, nullptr);
  const DWORD ended = WaitForSingleObject(second.hProcess, 10000);
  EXPECT_EQ(ended, WAIT_OBJECT_0);
  EXPECT_EQ(mainWindowOf(second.dwProcessId, false, 0), nullptr);
  endProgram(second);
  for (int i = 0; i < 100 && !IsWindowVisible(window); ++i) Sleep(50);
  EXPECT_TRUE(IsWindowVisible(window));

  // A copy in another folder is another program: it runs beside the first.
  const auto other = copyOfProgram(L"horavel-instance-b");
  PROCESS_INFORMATION third = startProgram(other);
  EXPECT_NE(mainWindowOf(third.dwProcessId, true), nullptr);
  EXPECT_EQ(WaitForSingleObject(third.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  endProgram(third);
  endProgram(first);
}
