#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "platform/recording_platform_services.h"
#include "platform/recording_wake_timer.h"
#include "platform/text_conversion.h"
#include "platform/windows_profile_store.h"
#include "resource_names.h"
#include "ui/about_dialog.h"
#include "storage/history_log.h"
#include "ui/daily_missions_dialog.h"
#include "ui/history_window.h"
#include "ui/main_window.h"
#include "ui/missed_missions_notice.h"
#include "ui/mission_editor.h"
#include "ui/release_history_dialog.h"
#include "ui/reminder_popup.h"
#include "ui/components/form.h"
#include "ui/components/message_boxes.h"
#include "ui/components/nav_bar.h"
#include "ui/components/skin_engine.h"
#include "ui/system_time_dialog.h"
#include "ui/settings_dialog.h"
#include "window_test_support.h"

namespace {

// Answers every message box with OK and keeps what was shown.
class Boxes {
 public:
  Boxes() {
    setMessageBoxHook([this](const MessageBoxRequest& request) {
      shown.push_back(request);
      return IDOK;
    });
  }
  ~Boxes() { setMessageBoxHook(nullptr); }
  std::vector<MessageBoxRequest> shown;
};

// A fresh program folder.
std::filesystem::path freshFolder() {
  static int serial = 0;
  const auto folder = std::filesystem::temp_directory_path() /
                      (L"horavel-setup-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(serial++));
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  return folder;
}

void writeText(const std::filesystem::path& file, const std::string& text) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << text;
}

std::string readText(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool ticked(HWND box) { return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }
void tick(HWND box, bool on) { SendMessageW(box, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0); }
int chosen(HWND combo) { return static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0)); }

RECT placeIn(HWND parent, HWND child) {
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

bool sameNavColors(const NavBarColors& a, const NavBarColors& b) {
  return a.background == b.background && a.groupBody == b.groupBody && a.headerTop == b.headerTop &&
         a.headerBottom == b.headerBottom && a.headerText == b.headerText && a.itemText == b.itemText &&
         a.selectedFill == b.selectedFill && a.selectedBorder == b.selectedBorder;
}

HBRUSH menuBackground(HWND window) {
  MENUINFO info{};
  info.cbSize = sizeof info;
  info.fMask = MIM_BACKGROUND;
  GetMenuInfo(GetMenu(window), &info);
  return info.hbrBack;
}

COLORREF pixelAt(HWND window, int x, int y) {
  UpdateWindow(window);
  const HDC dc = GetDC(window);
  // Painted into a memory copy of the window, so covering windows do not count.
  RECT client;
  GetClientRect(window, &client);
  const HDC memory = CreateCompatibleDC(dc);
  const HBITMAP bitmap = CreateCompatibleBitmap(dc, client.right, client.bottom);
  const HGDIOBJ old = SelectObject(memory, bitmap);
  SendMessageW(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory), 0);
  const COLORREF colour = GetPixel(memory, x, y);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(window, dc);
  return colour;
}

// How many pixels of a toolbar button, below its picture, come out lighter
// than background when the toolbar prints itself on it.
int lighterPixelsBelowPicture(HWND toolbar, int id, COLORREF background) {
  RECT button;
  SendMessageW(toolbar, TB_GETRECT, id, reinterpret_cast<LPARAM>(&button));
  int pictureWidth = 0, pictureHeight = 0;
  ImageList_GetIconSize(reinterpret_cast<HIMAGELIST>(SendMessageW(toolbar, TB_GETIMAGELIST, 0, 0)), &pictureWidth,
                        &pictureHeight);
  const HDC screen = GetDC(nullptr);
  const HDC memory = CreateCompatibleDC(screen);
  const HBITMAP bitmap = CreateCompatibleBitmap(screen, button.right, button.bottom);
  ReleaseDC(nullptr, screen);
  const HGDIOBJ old = SelectObject(memory, bitmap);
  const HBRUSH fill = CreateSolidBrush(background);
  const RECT all{0, 0, button.right, button.bottom};
  FillRect(memory, &all, fill);
  DeleteObject(fill);
  SendMessageW(toolbar, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
  const auto lightness = [](COLORREF c) { return GetRValue(c) + GetGValue(c) + GetBValue(c); };
  int lighter = 0;
  const int below = button.top + HIWORD(SendMessageW(toolbar, TB_GETPADDING, 0, 0)) / 2 + pictureHeight;
  for (int y = below; y < button.bottom; ++y)
    for (int x = button.left; x < button.right; ++x) lighter += lightness(GetPixel(memory, x, y)) > lightness(background);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  return lighter;
}

// A window's client area as it paints itself (background, then content),
// read at one point.
COLORREF printedAt(HWND window, int x, int y) {
  const HDC screen = GetDC(nullptr);
  const HDC memory = CreateCompatibleDC(screen);
  const HBITMAP bitmap = CreateCompatibleBitmap(screen, x + 1, y + 1);
  ReleaseDC(nullptr, screen);
  const HGDIOBJ old = SelectObject(memory, bitmap);
  SendMessageW(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory), 0);
  SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
  const COLORREF colour = GetPixel(memory, x, y);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  return colour;
}

constexpr char kProgramPath[] = "C:\\Program Files\\Horavel\\Horavel.exe";

}  // namespace

// ---- the skin format and the store ----

TEST(SkinTest, BuiltInSkinsReadAndDiffer) {
  ASSERT_EQ(builtInSkinTexts().size(), 3u);
  std::vector<Skin> skins;
  for (std::string_view text : builtInSkinTexts()) {
    std::string problem;
    const auto skin = parseSkin(text, &problem);
    ASSERT_TRUE(skin) << problem;
    skins.push_back(*skin);
  }
  EXPECT_EQ(skins[0].name, "skinMsn");
  EXPECT_EQ(skins[1].name, "skinVista");
  EXPECT_EQ(skins[2].name, "skinCool");
  for (int a = 0; a < 3; ++a) {
    for (int b = a + 1; b < 3; ++b) {
      EXPECT_NE(skins[a].window, skins[b].window);
      EXPECT_NE(skins[a].bandBottom, skins[b].bandBottom);
      EXPECT_NE(skins[a].nav.background, skins[b].nav.background);
      EXPECT_NE(skins[a].bannerTop, skins[b].bannerTop);
    }
  }
  SkinStore store;
  ASSERT_EQ(store.count(), 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(store.entry(i).name, skins[static_cast<size_t>(i)].name);
}

TEST(SkinTest, MalformedTextsAreRefusedWithTheirLine) {
  const std::string good(builtInSkinTexts()[0]);
  std::string problem;
  EXPECT_TRUE(parseSkin(good + "\r\n; a comment\r\n\r\n", &problem)) << problem;
  EXPECT_FALSE(parseSkin(good + "shadow = #000000\n", &problem));
  EXPECT_NE(problem.find("unknown key shadow"), std::string::npos);
  EXPECT_FALSE(parseSkin(good + "window = #000000\n", &problem));
  EXPECT_NE(problem.find("repeated key window"), std::string::npos);
  std::string bad = good;
  bad.replace(bad.find("#EEF3FA"), 7, "#EEF3F");
  EXPECT_FALSE(parseSkin(bad, &problem));
  EXPECT_NE(problem.find("line 3"), std::string::npos) << problem;
  EXPECT_FALSE(parseSkin("name = x\n", &problem));
  EXPECT_NE(problem.find("missing key window"), std::string::npos);
  EXPECT_FALSE(parseSkin(good + "bandEdgeWidth 1\n", &problem));
  EXPECT_FALSE(parseSkin(good.substr(0, good.find("bandEdgeWidth")) + "bandEdgeWidth = 99\n" +
                             good.substr(good.find("menuBar")),
                         &problem));
  EXPECT_NE(problem.find("0..16"), std::string::npos) << problem;
}

TEST(SkinTest, EngineStartsOnWithEntryZeroAndLoadingBeyondTheStoreDoesNothing) {
  SkinEngine engine;
  SkinStore store;
  EXPECT_TRUE(engine.Active());
  EXPECT_EQ(engine.data().name, "skinMsn");
  ASSERT_NE(currentSkin(), nullptr);
  EXPECT_EQ(currentSkin()->name, "skinMsn");
  int changes = 0;
  const int id = engine.addListener([&] { ++changes; });
  store.load(2, engine);
  EXPECT_EQ(engine.data().name, "skinCool");
  store.load(3, engine);
  store.load(-1, engine);
  EXPECT_EQ(engine.data().name, "skinCool");
  EXPECT_EQ(changes, 1);
  engine.setActive(false);
  EXPECT_EQ(currentSkin(), nullptr);
  EXPECT_EQ(engine.data().name, "skinCool");  // kept while off
  engine.removeListener(id);
  engine.setActive(true);
  EXPECT_EQ(changes, 2);
}

// ---- config.ini through the profile functions ----

TEST(WindowsProfileStoreTest, ReadsWithTheSameRulesAsThePortableStore) {
  const auto folder = freshFolder();
  WindowsProfileStore store(folder / "config.ini");
  EXPECT_EQ(store.readInteger("theme", "select", 4), 4);  // no file
  EXPECT_FALSE(std::filesystem::exists(folder / "config.ini"));
  writeText(folder / "config.ini",
            "[Theme]\r\nSELECT = 0x1F\r\n[v]\r\nhex=0X10\r\nshort=0x\r\nbad=12abc\r\nempty=\r\nneg=-3\r\n"
            "word=MSN\r\nlong=000000000000000000000000000000000000000000000000000000000000000000000000007\r\n");
  EXPECT_EQ(store.readInteger("theme", "select", 0), 31);
  EXPECT_EQ(store.readInteger("V", "HEX", 0), 16);
  for (const char* key : {"short", "bad", "empty", "word", "missing"}) EXPECT_EQ(store.readInteger("v", key, 9), 9) << key;
  EXPECT_EQ(store.readInteger("v", "neg", 9), -3);
  EXPECT_EQ(store.readInteger("v", "long", 9), 7);
  EXPECT_EQ(store.readInteger("other", "select", 9), 9);
}

TEST(WindowsProfileStoreTest, WritesDecimalCreatingFileAndSection) {
  const auto folder = freshFolder();
  WindowsProfileStore store(folder / "config.ini");
  store.writeInteger("theme", "select", -1);
  store.writeInteger("other", "autospeek", 1);
  EXPECT_EQ(store.readInteger("THEME", "Select", 0), -1);
  const std::string text = readText(folder / "config.ini");
  EXPECT_NE(text.find("[theme]"), std::string::npos);
  EXPECT_NE(text.find("select=-1"), std::string::npos);
  EXPECT_NE(text.find("[other]"), std::string::npos);
  EXPECT_NE(text.find("autospeek=1"), std::string::npos);
}

// ---- the main window's looks ----

class ThemeTest : public ::testing::Test {
 protected:
  std::filesystem::path folder = freshFolder();
  RecordingPlatformServices platform;
  ManualClock clock{{2026, 12, 9, 10, 0, 0, 0}};
  DateTimeText text;
};

TEST_F(ThemeTest, FirstStartWithoutAFileShowsMsnWithTheChimeOn) {
  TForm1 form(platform, clock, text, folder);
  EXPECT_TRUE(form.SkinData1.Active());
  EXPECT_EQ(form.SkinData1.data().name, "skinMsn");
  EXPECT_TRUE(form.autoSpeek);
  EXPECT_FALSE(std::filesystem::exists(folder / "config.ini"));  // start-up only reads
  EXPECT_TRUE(sameNavColors(form.dxNavBar1->colors(), form.SkinStore1.entry(0).nav));
}

TEST_F(ThemeTest, StartUpAppliesTheStoredLookAndChime) {
  struct Case {
    const char* file;
    bool active;
    const char* skin;
    bool chime;
  };
  for (const Case& c : {Case{"[theme]\r\nselect=2\r\n[other]\r\nautospeek=0\r\n", true, "skinCool", false},
                        Case{"[Theme]\r\nSelect=0x1\r\n", true, "skinVista", true},
                        Case{"[theme]\r\nselect=3\r\n[other]\r\nautospeek=5\r\n", false, "skinMsn", true},
                        Case{"[theme]\r\nselect=7\r\n", true, "skinMsn", true},
                        Case{"[theme]\r\nselect=Cool\r\n[other]\r\nautospeek=off\r\n", true, "skinMsn", true}}) {
    writeText(folder / "config.ini", c.file);
    TForm1 form(platform, clock, text, folder);
    EXPECT_EQ(form.SkinData1.Active(), c.active) << c.file;
    EXPECT_EQ(form.SkinData1.data().name, c.skin) << c.file;
    EXPECT_EQ(form.autoSpeek, c.chime) << c.file;
  }
}

TEST_F(ThemeTest, EachThemeIsAppliedAndSwitched) {
  TForm1 form(platform, clock, text, folder);
  for (int theme : {1, 2, 0}) {
    form.applyTheme(theme);
    const Skin& skin = form.SkinStore1.entry(theme);
    EXPECT_TRUE(form.SkinData1.Active());
    EXPECT_EQ(form.SkinData1.data().name, skin.name);
    EXPECT_TRUE(sameNavColors(form.dxNavBar1->colors(), skin.nav)) << theme;
    EXPECT_NE(menuBackground(form.handle()), nullptr);
    // The band bar's gradient: its top row in the skin's top colour.
    EXPECT_EQ(pixelAt(form.CoolBar1, 5, 0), skin.bandTop) << theme;
    // The disabled "暂停" caption is plain: nothing in it lighter than the
    // band behind it (the classic toolbar etches it in white).
    EXPECT_EQ(lighterPixelsBelowPicture(form.ToolBar1, cmdPause, skin.bandBottom), 0) << theme;
  }
  // The system look: the engine off, the side bar and menu bar in system colours.
  form.applyTheme(3);
  EXPECT_FALSE(form.SkinData1.Active());
  EXPECT_EQ(currentSkin(), nullptr);
  EXPECT_EQ(form.dxNavBar1->colors().background, GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(menuBackground(form.handle()), nullptr);
  // And back to "Vista".
  form.applyTheme(1);
  EXPECT_TRUE(form.SkinData1.Active());
  EXPECT_EQ(form.SkinData1.data().name, "skinVista");
  EXPECT_TRUE(sameNavColors(form.dxNavBar1->colors(), form.SkinStore1.entry(1).nav));
  // Outside 0..3 nothing changes.
  for (int theme : {4, 7, -1}) {
    form.applyTheme(theme);
    EXPECT_TRUE(form.SkinData1.Active());
    EXPECT_EQ(form.SkinData1.data().name, "skinVista");
  }
  form.applyTheme(3);
  form.applyTheme(-1);
  EXPECT_FALSE(form.SkinData1.Active());
}

TEST_F(ThemeTest, EveryWindowTakesTheLookItIsCreatedInAndFollowsEveryChange) {
  TForm1 form(platform, clock, text, folder);
  form.applyTheme(2);
  TfrmMis editor(form.handle(), form.MisTable1, clock, text, form.runControl(), platform);
  TfrmTishi popup;
  TfrmAbout about(form.handle());
  TfrmShengji history(form.handle());
  TfrmEveryDayMis daily(form.handle(), folder, text, clock);
  TfrmSystemTime systemTime(form.handle(), platform, clock, text);
  bool speak = true;
  int notice = 60;
  WindowsProfileStore profile(folder / "config.ini");
  TfrmSetup setup(form.handle(), profile, platform, [](int) {}, speak, notice, kProgramPath);

  // Where each window shows its background, and its colour in a skin or
  // (nullptr) in the system look.
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  struct Sample {
    const char* what;
    HWND window;
    POINT at;
    std::function<COLORREF(const Skin*)> colour;
  };
  const Sample samples[] = {
      {"main window", form.handle(), {2, 2}, [&](const Skin* s) { return s ? s->window : face; }},
      {"editor's work area", GetParent(editor.GroupBox1), {2, 2}, [&](const Skin* s) { return s ? s->window : face; }},
      {"editor's side bar", editor.dxNavBar1->handle(), {2, 2},
       [&](const Skin* s) { return s ? s->nav.background : face; }},
      {"popup's card", popup.handle(), {11, 200},
       [](const Skin* s) { return s ? s->bannerTop : RGB(res::kPopupBody.r, res::kPopupBody.g, res::kPopupBody.b); }},
      {"about box's card", about.handle(), {300, 120},
       [](const Skin* s) { return s ? s->cardFill : RGB(214, 239, 255); }},
      {"release history", history.handle(), {2, 2}, [&](const Skin* s) { return s ? s->window : face; }},
      {"daily missions' band", daily.Panel1->handle(), {2, 2},
       [](const Skin* s) { return s ? s->bandBottom : RGB(128, 128, 128); }},
      {"system time", systemTime.handle(), {2, 2}, [&](const Skin* s) { return s ? s->window : face; }},
      {"settings", setup.handle(), {2, 2}, [&](const Skin* s) { return s ? s->window : face; }},
  };
  for (int theme : {2, 3, 1, 0}) {
    form.applyTheme(theme);
    const Skin* skin = theme == 3 ? nullptr : &form.SkinStore1.entry(theme);
    for (const Sample& sample : samples)
      EXPECT_EQ(printedAt(sample.window, sample.at.x, sample.at.y), sample.colour(skin))
          << sample.what << " in look " << theme;
  }
}

TEST_F(ThemeTest, SystemSettingsMenuOpensTheDialogOwnedByTheMainWindow) {
  writeText(folder / "config.ini", "[theme]\r\nselect=2\r\n");
  TForm1 form(platform, clock, text, folder);
  Probe probe;
  bool seen = false;
  probe.post([&] {
    const HWND dialog = FindWindowW(L"TfrmSetup", nullptr);
    ASSERT_NE(dialog, nullptr);
    seen = true;
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), form.handle());
    EXPECT_EQ(textOf(dialog), L"系统设置");
    EXPECT_EQ(chosen(GetDlgItem(dialog, 103)), 2);
    // "系统主题" and OK: the skins go off at once and the choice is stored.
    SendMessageW(GetDlgItem(dialog, 103), CB_SETCURSEL, 3, 0);
    SendMessageW(GetDlgItem(dialog, 104), BM_SETCHECK, BST_CHECKED, 0);
    SendMessageW(dialog, WM_COMMAND, IDOK, 0);
  });
  SendMessageW(form.handle(), WM_COMMAND, cmdSetup, 0);
  EXPECT_TRUE(seen);
  EXPECT_EQ(FindWindowW(L"TfrmSetup", nullptr), nullptr);
  EXPECT_FALSE(form.SkinData1.Active());
  EXPECT_NE(readText(folder / "config.ini").find("select=3"), std::string::npos);
  // Autostart ticked with no value: the running program's own path is written.
  wchar_t self[MAX_PATH] = L"";
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::string path = toUtf8(self);
  if (path.find(' ') != std::string::npos) path = '"' + path + '"';
  EXPECT_EQ(platform.calls(), (std::vector<std::string>{"ReadRunValue Horavel", "ReadRunValue Horavel",
                                                        "WriteRunValue Horavel " + path}));

  // The next start shows the system's own look.
  TForm1 next(platform, clock, text, folder);
  EXPECT_FALSE(next.SkinData1.Active());
}

// ---- the dialog ----

class SetupDialogTest : public ::testing::Test {
 protected:
  std::unique_ptr<TfrmSetup> open() {
    return std::make_unique<TfrmSetup>(
        owner.handle(), profile, platform, [this](int theme) { themes.push_back(theme); }, autoSpeek, noticeSeconds,
        kProgramPath, &wake);
  }
  struct Owner final : Form {
    Owner() {
      CreateParams params;
      params.className = L"HoravelSetupTestOwner";
      params.style = WS_OVERLAPPEDWINDOW;
      params.x = 100;
      params.y = 100;
      params.width = 600;
      params.height = 400;
      createWindow(params);
    }
  } owner;
  std::filesystem::path folder = freshFolder();
  std::filesystem::path config = folder / "config.ini";
  WindowsProfileStore profile{config};
  RecordingPlatformServices platform;
  RecordingWakeTimer wake;
  std::vector<int> themes;
  bool autoSpeek = false;
  int noticeSeconds = -1;
};

TEST_F(SetupDialogTest, LaidOutAsTheFormSays) {
  platform.runValues["Horavel"] = "C:\\x.exe";
  auto dialog = open();
  const HWND d = dialog->handle();
  EXPECT_EQ(textOf(d), L"系统设置");
  RECT client;
  GetClientRect(d, &client);
  EXPECT_EQ(client.right, 321);
  EXPECT_EQ(client.bottom, 230);
  EXPECT_FALSE(GetWindowLongPtrW(d, GWL_STYLE) & WS_THICKFRAME);
  EXPECT_EQ(textOf(dialog->GroupBox1), L"设置");
  EXPECT_EQ(textOf(dialog->Label1), L"主题:");
  EXPECT_EQ(textOf(dialog->ckAutoRun), L"程序随Windows一起启动");
  EXPECT_EQ(textOf(dialog->ckAutospeek), L"整点报时");
  EXPECT_EQ(textOf(dialog->ckWake), L"唤醒计算机执行任务");
  EXPECT_EQ(textOf(dialog->BitBtn1), L"确定");
  EXPECT_EQ(textOf(dialog->BitBtn2), L"取消");
  const RECT box = placeIn(d, dialog->GroupBox1);
  EXPECT_EQ(box.left, 8);
  EXPECT_EQ(box.top, 8);
  EXPECT_EQ(box.right - box.left, 305);
  EXPECT_EQ(box.bottom - box.top, 185);
  const RECT combo = placeIn(d, dialog->ComboBox1);
  EXPECT_EQ(combo.left, 8 + 64);
  EXPECT_EQ(combo.top, 8 + 24);
  EXPECT_EQ(combo.right - combo.left, 233);
  EXPECT_TRUE((GetWindowLongPtrW(dialog->ComboBox1, GWL_STYLE) & 3) == CBS_DROPDOWNLIST);
  ASSERT_EQ(SendMessageW(dialog->ComboBox1, CB_GETCOUNT, 0, 0), 4);
  const wchar_t* items[] = {L"MSN", L"Vista", L"Cool", L"系统主题"};
  for (int i = 0; i < 4; ++i) {
    wchar_t item[32] = L"";
    SendMessageW(dialog->ComboBox1, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
    EXPECT_STREQ(item, items[i]);
  }
  const RECT run = placeIn(d, dialog->ckAutoRun);
  EXPECT_EQ(run.left, 8 + 16);
  EXPECT_EQ(run.top, 8 + 56);
  EXPECT_EQ(run.right - run.left, 153);
  const RECT speak = placeIn(d, dialog->ckAutospeek);
  EXPECT_EQ(speak.top, 8 + 88);
  EXPECT_EQ(textOf(dialog->Label2), L"关机前提示:");
  const RECT notice = placeIn(d, dialog->cbNotice);
  EXPECT_EQ(notice.top, 8 + 120);
  EXPECT_TRUE((GetWindowLongPtrW(dialog->cbNotice, GWL_STYLE) & 3) == CBS_DROPDOWNLIST);
  ASSERT_EQ(SendMessageW(dialog->cbNotice, CB_GETCOUNT, 0, 0), 5);
  const wchar_t* lengths[] = {L"不提示", L"15 秒", L"30 秒", L"60 秒", L"120 秒"};
  for (int i = 0; i < 5; ++i) {
    wchar_t item[32] = L"";
    SendMessageW(dialog->cbNotice, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
    EXPECT_STREQ(item, lengths[i]);
  }
  const RECT wakeBox = placeIn(d, dialog->ckWake);
  EXPECT_EQ(wakeBox.left, 8 + 16);
  EXPECT_EQ(wakeBox.top, 8 + 152);
  const RECT ok = placeIn(d, dialog->BitBtn1);
  EXPECT_EQ(ok.left, 152);
  EXPECT_EQ(ok.top, 200);
  EXPECT_EQ(ok.right - ok.left, 73);
  EXPECT_EQ(ok.bottom - ok.top, 25);
  EXPECT_EQ(placeIn(d, dialog->BitBtn2).left, 240);
  EXPECT_TRUE(GetWindowLongPtrW(dialog->BitBtn1, GWL_STYLE) & BS_DEFPUSHBUTTON);  // Enter is OK
  // Without a file: "MSN", chime on, a notice of 60 seconds; autostart as
  // the Run value has it.
  EXPECT_EQ(chosen(dialog->ComboBox1), 0);
  EXPECT_EQ(chosen(dialog->cbNotice), 3);
  EXPECT_TRUE(ticked(dialog->ckAutoRun));
  EXPECT_TRUE(ticked(dialog->ckAutospeek));
  EXPECT_TRUE(autoSpeek);
  EXPECT_EQ(platform.calls(), std::vector<std::string>{"ReadRunValue Horavel"});

  // Centred on an owner that runs off the work area's lower right corner,
  // the dialog still lies wholly inside the work area.
  RECT ownerPlace;
  GetWindowRect(owner.handle(), &ownerPlace);
  const RECT work = workAreaOf(ownerPlace);
  SetWindowPos(owner.handle(), nullptr, work.right - 150, work.bottom - 60, 600, 400,
               SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  const auto cornered = open();
  RECT r;
  GetWindowRect(cornered->handle(), &r);
  EXPECT_TRUE(r.left >= work.left && r.top >= work.top && r.right <= work.right && r.bottom <= work.bottom)
      << r.left << "," << r.top << " - " << r.right << "," << r.bottom;
  EXPECT_EQ(r.right, work.right);
  EXPECT_EQ(r.bottom, work.bottom);
  ShowWindow(owner.handle(), SW_HIDE);
}

TEST_F(SetupDialogTest, CreationReadsTheStoredSettings) {
  writeText(config, "[theme]\r\nselect=7\r\n[other]\r\nautospeek=0\r\n");
  autoSpeek = true;
  auto dialog = open();
  EXPECT_EQ(chosen(dialog->ComboBox1), -1);  // 7: no theme chosen
  EXPECT_FALSE(ticked(dialog->ckAutoRun));   // no Run value
  EXPECT_FALSE(ticked(dialog->ckAutospeek));
  EXPECT_FALSE(autoSpeek);
  dialog.reset();

  writeText(config, "[theme]\r\nselect=0x3\r\n[other]\r\nautospeek=5\r\nnotice=0\r\n");
  autoSpeek = false;
  dialog = open();
  EXPECT_EQ(chosen(dialog->ComboBox1), 3);
  EXPECT_EQ(chosen(dialog->cbNotice), 0);  // 不提示
  EXPECT_TRUE(ticked(dialog->ckAutospeek));
  EXPECT_TRUE(autoSpeek);
}

TEST_F(SetupDialogTest, OkWithoutAFileCreatesItAndWritesTheQuotedPath) {
  auto dialog = open();
  tick(dialog->ckAutoRun, true);
  SendMessageW(dialog->ComboBox1, CB_SETCURSEL, 1, 0);
  platform.clearCalls();
  SendMessageW(dialog->cbNotice, CB_SETCURSEL, 4, 0);
  dialog->BitBtn1Click();
  EXPECT_EQ(readText(config), "[theme]\r\nselect=1\r\n[other]\r\nautospeek=1\r\nnotice=120\r\n");
  EXPECT_EQ(noticeSeconds, 120);
  EXPECT_EQ(themes, std::vector<int>{1});
  EXPECT_EQ(platform.calls(), (std::vector<std::string>{
                                  "ReadRunValue Horavel",
                                  "WriteRunValue Horavel \"C:\\Program Files\\Horavel\\Horavel.exe\"",
                              }));
  EXPECT_TRUE(autoSpeek);
}

TEST_F(SetupDialogTest, WakingIsStoredOnlyOnceChosenAndTickingItSaysWhenThisComputerCannotWake) {
  Boxes boxes;
  auto dialog = open();
  EXPECT_FALSE(ticked(dialog->ckWake));
  wake.answer = WakeSupport::NotSupported;
  SendMessageW(dialog->ckWake, BM_CLICK, 0, 0);
  wake.answer = WakeSupport::TimersOff;
  SendMessageW(dialog->ckWake, BM_CLICK, 0, 0);  // unticked: nothing to say
  SendMessageW(dialog->ckWake, BM_CLICK, 0, 0);
  wake.answer = WakeSupport::Supported;
  SendMessageW(dialog->ckWake, BM_CLICK, 0, 0);
  SendMessageW(dialog->ckWake, BM_CLICK, 0, 0);
  ASSERT_EQ(boxes.shown.size(), 2u);
  EXPECT_EQ(boxes.shown[0].text, L"这台计算机不支持由定时器唤醒,到时不能唤醒计算机执行任务!");
  EXPECT_EQ(boxes.shown[1].text, L"电源计划不允许使用唤醒定时器,到时不能唤醒计算机执行任务!");
  EXPECT_EQ(boxes.shown[1].caption, L"Horavel");
  EXPECT_TRUE(ticked(dialog->ckWake));
  dialog->BitBtn1Click();
  EXPECT_EQ(readText(config), "[theme]\r\nselect=0\r\n[other]\r\nautospeek=1\r\nwake=1\r\n");
  dialog = open();
  EXPECT_TRUE(ticked(dialog->ckWake));
  tick(dialog->ckWake, false);
  dialog->BitBtn1Click();
  EXPECT_EQ(readText(config), "[theme]\r\nselect=0\r\n[other]\r\nautospeek=1\r\nwake=0\r\n");
}

TEST_F(SetupDialogTest, NoChoiceWritesMinusOneALengthOfItsOwnStaysAndAutospeekFiveWritesOne) {
  writeText(config, "[theme]\r\nselect=7\r\n[other]\r\nautospeek=5\r\nnotice=45\r\n");
  auto dialog = open();
  EXPECT_EQ(chosen(dialog->cbNotice), -1);
  tick(dialog->ckAutoRun, false);
  dialog->BitBtn1Click();
  EXPECT_EQ(readText(config), "[theme]\r\nselect=-1\r\n[other]\r\nautospeek=1\r\nnotice=45\r\n");
  EXPECT_EQ(noticeSeconds, 45);
  EXPECT_EQ(themes, std::vector<int>{-1});
  // Unticked with the value absent: only read.
  EXPECT_EQ(platform.calls(), (std::vector<std::string>{"ReadRunValue Horavel", "ReadRunValue Horavel"}));
}

TEST_F(SetupDialogTest, AnExistingRunValueIsKeptOrDeleted) {
  platform.runValues["Horavel"] = "D:\\Elsewhere\\Horavel.exe";
  auto dialog = open();
  EXPECT_TRUE(ticked(dialog->ckAutoRun));
  dialog->BitBtn1Click();
  EXPECT_EQ(platform.runValues["Horavel"], "D:\\Elsewhere\\Horavel.exe");
  EXPECT_EQ(platform.calls(), (std::vector<std::string>{"ReadRunValue Horavel", "ReadRunValue Horavel"}));

  // Unticked: deleted, and that is checked.
  Boxes boxes;
  dialog = open();
  tick(dialog->ckAutoRun, false);
  tick(dialog->ckAutospeek, false);
  platform.clearCalls();
  dialog->BitBtn1Click();
  EXPECT_EQ(platform.runValues.count("Horavel"), 0u);
  EXPECT_EQ(platform.calls(),
            (std::vector<std::string>{"ReadRunValue Horavel", "DeleteRunValue Horavel", "ReadRunValue Horavel"}));
  EXPECT_FALSE(autoSpeek);
  EXPECT_NE(readText(config).find("autospeek=0"), std::string::npos);
  EXPECT_TRUE(boxes.shown.empty());

  // A machine-wide value that a program without administrator rights cannot
  // remove: the rest is done, and the user is told that it is still on.
  platform.runValues["Horavel"] = "C:\\Program Files\\Horavel\\Horavel.exe";
  platform.failDeletes = true;
  dialog = open();
  tick(dialog->ckAutoRun, false);
  tick(dialog->ckAutospeek, true);
  dialog->BitBtn1Click();
  EXPECT_FALSE(platform.runValues["Horavel"].empty());
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, L"无法取消程序随Windows一起启动,需要管理员权限!");
  EXPECT_EQ(boxes.shown[0].caption, L"Horavel");
  EXPECT_EQ(boxes.shown[0].type, static_cast<UINT>(MB_OK));
  EXPECT_TRUE(autoSpeek);
}

TEST_F(SetupDialogTest, ARunValueOfAnotherTypeShowsTheErrorAndLeavesTheFormDefaults) {
  Boxes boxes;
  writeText(config, "[theme]\r\nselect=2\r\n[other]\r\nautospeek=0\r\n");
  platform.nonStringValues = {"Horavel"};
  autoSpeek = true;
  auto dialog = open();
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, L"Invalid data type for 'Horavel'");
  EXPECT_EQ(boxes.shown[0].caption, L"Horavel");
  EXPECT_TRUE(boxes.shown[0].type & MB_ICONSTOP);
  EXPECT_EQ(chosen(dialog->ComboBox1), 0);
  EXPECT_TRUE(ticked(dialog->ckAutoRun));
  EXPECT_TRUE(ticked(dialog->ckAutospeek));
  EXPECT_TRUE(autoSpeek);  // unchanged

  // OK: the same error stops it, and none of the choices is kept or applied.
  SendMessageW(dialog->ComboBox1, CB_SETCURSEL, 1, 0);
  tick(dialog->ckAutospeek, true);
  autoSpeek = false;
  SendMessageW(dialog->handle(), WM_COMMAND, IDOK, 0);
  ASSERT_EQ(boxes.shown.size(), 2u);
  EXPECT_EQ(boxes.shown[1].text, L"Invalid data type for 'Horavel'");
  EXPECT_TRUE(themes.empty());
  EXPECT_EQ(readText(config), "[theme]\r\nselect=2\r\n[other]\r\nautospeek=0\r\n");
  EXPECT_FALSE(autoSpeek);
}

TEST_F(SetupDialogTest, AFailedRunWriteAppliesNoneOfTheChoices) {
  Boxes boxes;
  platform.failWrites = true;
  auto dialog = open();
  tick(dialog->ckAutoRun, true);
  tick(dialog->ckAutospeek, false);
  SendMessageW(dialog->ComboBox1, CB_SETCURSEL, 2, 0);
  SendMessageW(dialog->handle(), WM_COMMAND, IDOK, 0);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, L"Failed to set data for 'Horavel'");
  EXPECT_TRUE(themes.empty());
  // The theme stored for a moment is taken out again: the next start shows
  // the look of today.
  EXPECT_EQ(readText(config).find("select"), std::string::npos);
  EXPECT_TRUE(autoSpeek);
}

TEST_F(SetupDialogTest, AnUnwritableFileStopsEverythingAndTheDialogStaysOpen) {
  Boxes boxes;
  std::filesystem::create_directory(config);  // a folder where config.ini should be
  auto dialog = open();
  EXPECT_EQ(chosen(dialog->ComboBox1), 0);
  tick(dialog->ckAutoRun, true);
  tick(dialog->ckAutospeek, false);
  platform.clearCalls();
  Probe probe;
  bool stillOpen = false;
  probe.post([&] {
    SendMessageW(dialog->handle(), WM_COMMAND, IDOK, 0);
    stillOpen = dialog->isModal() && IsWindowVisible(dialog->handle());
    dialog->BitBtn2Click();
  });
  EXPECT_EQ(dialog->ShowModal(), IDCANCEL);
  EXPECT_TRUE(stillOpen);
  ASSERT_EQ(boxes.shown.size(), 1u);
  const std::wstring expected = L"Unable to write to " + config.wstring() + L".";
  EXPECT_EQ(boxes.shown[0].text, expected);
  EXPECT_TRUE(themes.empty());
  EXPECT_TRUE(platform.calls().empty());
  EXPECT_TRUE(autoSpeek);
  EXPECT_TRUE(std::filesystem::is_directory(config));
}

TEST_F(SetupDialogTest, CancelWritesNothingButSetsTheChimeFromTheFile) {
  writeText(config, "[theme]\r\nselect=1\r\n[other]\r\nautospeek=0\r\n");
  autoSpeek = true;
  auto dialog = open();
  SendMessageW(dialog->ComboBox1, CB_SETCURSEL, 3, 0);
  tick(dialog->ckAutospeek, true);
  tick(dialog->ckAutoRun, true);
  Probe probe;
  probe.post([&] { SendMessageW(dialog->BitBtn2, BM_CLICK, 0, 0); });
  EXPECT_EQ(dialog->ShowModal(), IDCANCEL);
  EXPECT_FALSE(autoSpeek);
  EXPECT_TRUE(themes.empty());
  EXPECT_EQ(readText(config), "[theme]\r\nselect=1\r\n[other]\r\nautospeek=0\r\n");
  EXPECT_EQ(platform.calls(), std::vector<std::string>{"ReadRunValue Horavel"});
}

// Slow, left out of the normal run: the main window in each look and a
// dialog over it, shown for screenshots. HORAVEL_LOOK picks the look (0..3),
// HORAVEL_DIALOG the dialog: setup, time, editor, daily, about, history,
// popup (the reminder popup alone, over the desktop), notice (the notice
// before a power-off, beside the main window), records (the history of
// missions) or missed (the notice of missed missions); none shows the main
// window alone.
//   settings_dialog_test --gtest_also_run_disabled_tests --gtest_filter=*ShownForAScreenshot*
TEST(SetupScreenshot, DISABLED_ShownForAScreenshot) {
  RecordingPlatformServices platform;
  ManualClock clock{{2026, 12, 9, 10, 0, 0, 0}};
  DateTimeText text;
  const auto folder = freshFolder();
  char look[16] = "0", dialog[16] = "";
  GetEnvironmentVariableA("HORAVEL_LOOK", look, sizeof look);
  GetEnvironmentVariableA("HORAVEL_DIALOG", dialog, sizeof dialog);
  const std::string which = dialog;
  writeText(folder / "config.ini", std::string("[theme]\r\nselect=") + look + "\r\n");
  TForm1 form(platform, clock, text, folder);
  form.MisTable1.append({"提示消息", "开会", "2026/12/9", "09:30:00", 3, *parseRepeatText("每周一、三")});
  form.MisTable1.append({"执行程序", "C:\\Tools\\backup.exe", "2026/12/9", "12:00:00", 1, *parseRepeatText("每天")});
  form.MisTable1.append({"打开网页", "https://example.org", "2026/12/10", "08:00:00", 5, *parseRepeatText("工作日")});
  form.MisTable1.append({"关闭计算机", "", "2026/12/9", "23:30:00", 0});
  form.applyTheme(std::atoi(look));
  ShowWindow(form.handle(), which == "popup" ? SW_HIDE : SW_SHOW);
  SendMessageW(form.StatusBar1, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(L"2026/12/9 10:00:00"));

  static Form* shown = nullptr;
  const auto showFor8Seconds = [](Form& window) {
    shown = &window;
    const UINT_PTR done = SetTimer(nullptr, 0, 8000, [](HWND, UINT, UINT_PTR, DWORD) { shown->closeWith(IDCANCEL); });
    window.ShowModal();
    KillTimer(nullptr, done);
  };
  if (which == "setup") {
    bool speak = true;
    int notice = 60;
    WindowsProfileStore profile(folder / "config.ini");
    TfrmSetup setup(form.handle(), profile, platform, [](int) {}, speak, notice, "C:\\Horavel\\Horavel.exe");
    showFor8Seconds(setup);
  } else if (which == "time") {
    TfrmSystemTime systemTime(form.handle(), platform, clock, text);
    showFor8Seconds(systemTime);
  } else if (which == "editor0") {  // as it first shows
    TfrmMis editor(form.handle(), form.MisTable1, clock, text, form.runControl(), platform);
    shown = &editor;
    const UINT_PTR done = SetTimer(nullptr, 0, 8000, [](HWND, UINT, UINT_PTR, DWORD) { shown->closeWith(IDCANCEL); });
    editor.showEditor();
    KillTimer(nullptr, done);
  } else if (which == "editor") {
    TfrmMis editor(form.handle(), form.MisTable1, clock, text, form.runControl(), platform);
    shown = &editor;
    const UINT_PTR done = SetTimer(nullptr, 0, 8000, [](HWND, UINT, UINT_PTR, DWORD) { shown->closeWith(IDCANCEL); });
    static TfrmMis* onPage = &editor;
    const UINT_PTR page = SetTimer(nullptr, 0, 300, [](HWND, UINT, UINT_PTR id, DWORD) {
      KillTimer(nullptr, id);
      onPage->dxNavBar1->setExpanded(TfrmMis::nbgTishi, true);
      onPage->runCommand(TfrmMis::kNbMessage);
      SendMessageW(onPage->cbMsg, CB_SETCURSEL, 1, 0);
      SetWindowTextW(onPage->Memo1, L"是到吃饭的时间了,休息一下吧.");
      // Weekly, on Monday, Wednesday (the picked day) and Friday.
      SendMessageW(onPage->cbRepeat, CB_SETCURSEL, 3, 0);
      onPage->cbRepeatChange();
      for (const int box : {0, 4}) SendMessageW(onPage->ckWeekdays[box], BM_SETCHECK, BST_CHECKED, 0);
    });
    editor.showEditor();
    KillTimer(nullptr, page);
    KillTimer(nullptr, done);
  } else if (which == "daily") {
    writeText(folder / "everyday.mis", "提示消息$开会$2026/12/9$09:30:00\r\n执行程序$C:\\Tools\\backup.exe$2026/12/9$12:00:00\r\n");
    TfrmEveryDayMis daily(form.handle(), folder, text, clock);
    showFor8Seconds(daily);
  } else if (which == "about") {
    TfrmAbout about(form.handle());
    showFor8Seconds(about);
  } else if (which == "history") {
    TfrmShengji history(form.handle());
    showFor8Seconds(history);
  } else if (which == "notice") {
    // A power-off falls due: its notice in the lower right corner, counting.
    form.MisTable1.append({"关闭计算机", "下班了,记得保存文件", "2026/12/9", "10:00:01", 0});
    clock.setTime(10, 0, 1);
    form.CheckMis();
    const UINT_PTR done = SetTimer(nullptr, 0, 8000, [](HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(0); });
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) dispatchMessage(message);
    KillTimer(nullptr, done);
    form.powerCountdown().cancel();
  } else if (which == "records") {
    HistoryLog log(folder / "history.log", text);
    const auto at = [](int day, int h, int m, int s) { return LocalDateTime{2026, 12, day, h, m, s, 0}; };
    log.record({at(9, 7, 0, 0), "提示消息", "该起床了!", MissionOutcome::CarriedOut, std::nullopt, {}});
    log.record({at(9, 9, 30, 0), "提示消息", "开会", MissionOutcome::CarriedOut, std::nullopt, {}});
    log.record({at(9, 12, 0, 0), "执行程序", "C:\\Tools\\backup.exe", MissionOutcome::Failed, std::nullopt,
                "系统找不到指定的文件。"});
    log.record({at(10, 7, 42, 10), "关闭计算机", "", MissionOutcome::Missed, at(9, 23, 30, 0), {}});
    log.record({at(10, 7, 42, 10), "执行程序", "C:\\Tools\\report.exe", MissionOutcome::CarriedOutLate,
                at(9, 17, 30, 0), {}});
    log.record({at(10, 8, 0, 0), "打开网页", "https://example.org", MissionOutcome::CarriedOut, std::nullopt, {}});
    log.record({at(10, 9, 0, 0), "系统响铃", "内置铃声", MissionOutcome::Failed, std::nullopt, "没有可用的声音设备"});
    TfrmHistory history(form.handle(), log);
    showFor8Seconds(history);
  } else if (which == "missed") {
    // Once the main window has the keyboard, as when a notice comes.
    const DWORD settled = GetTickCount() + 500;
    MSG message;
    while (GetTickCount() < settled) {
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) dispatchMessage(message);
      Sleep(10);
    }
    TfrmMissed notice(form.handle());
    notice.add({{"关闭计算机", "", "2026/12/9", "23:30:00", 0},
                {"执行程序", "C:\\Tools\\backup.exe", "2026/12/8", "12:00:00", 1},
                {"重启计算机", "", "2026/12/9", "03:00:00", 0}});
    const UINT_PTR done = SetTimer(nullptr, 0, 8000, [](HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(0); });
    while (GetMessageW(&message, nullptr, 0, 0) > 0) dispatchMessage(message);
    KillTimer(nullptr, done);
  } else if (which == "popup") {
    // As a reminder shows it: beside the main window, without activation.
    TfrmTishi popup(form.handle());
    popup.setMessage("下午三点在三楼会议室开项目周会,请带上本周的进度表。");
    shown = &popup;
    const UINT_PTR done = SetTimer(nullptr, 0, 8000, [](HWND, UINT, UINT_PTR, DWORD) { shown->closeWith(IDCANCEL); });
    popup.showModal();
    KillTimer(nullptr, done);
  } else {
    const UINT_PTR done = SetTimer(nullptr, 0, 8000, [](HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(0); });
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) dispatchMessage(message);
    KillTimer(nullptr, done);
  }
}
