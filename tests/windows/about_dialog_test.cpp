// The about box and the release history: their frames and places, what they
// show, and the ways the user closes them.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "horavel_version.h"
#include "resource_names.h"
#include "ui/about_dialog.h"
#include "ui/addresses.h"
#include "ui/components/gdiplus_pictures.h"
#include "ui/release_history_dialog.h"
#include "window_test_support.h"

namespace {

// Runs steps from inside the next modal show, one per timer tick. Timer
// messages come only when nothing else is queued, so whatever a step posts
// has been handled when the next step runs. A watchdog ends a show that the
// steps did not end, with IDABORT.
class ModalScript {
 public:
  ModalScript(Form& form, std::vector<std::function<void()>> steps) : form_(form), steps_(std::move(steps)) {
    current = this;
    timer_ = SetTimer(nullptr, 0, 30, &ModalScript::tick);
  }
  ~ModalScript() {
    KillTimer(nullptr, timer_);
    current = nullptr;
  }
  // Steps that ran.
  size_t ran() const { return next_; }

 private:
  static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
    ModalScript* self = current;
    if (!self || !self->form_.isModal()) return;
    if (self->next_ < self->steps_.size()) {
      self->steps_[self->next_++]();
    } else if (++self->idleTicks_ > 100) {
      self->form_.closeWith(IDABORT);
    }
  }
  static inline ModalScript* current = nullptr;
  Form& form_;
  std::vector<std::function<void()>> steps_;
  size_t next_ = 0;
  int idleTicks_ = 0;
  UINT_PTR timer_ = 0;
};

int scaled(HWND window, int pixels96) { return MulDiv(pixels96, static_cast<int>(GetDpiForWindow(window)), 96); }

// A control's place in its parent's client area.
RECT placeOf(HWND control) {
  RECT r;
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

void expectPlace(HWND control, int x, int y, int width, int height) {
  const HWND parent = GetParent(control);
  const RECT r = placeOf(control);
  EXPECT_EQ(r.left, scaled(parent, x));
  EXPECT_EQ(r.top, scaled(parent, y));
  EXPECT_EQ(r.right - r.left, scaled(parent, width));
  EXPECT_EQ(r.bottom - r.top, scaled(parent, height));
}

void expectCentredOn(HWND window, HWND owner) {
  RECT own, other;
  GetWindowRect(window, &own);
  GetWindowRect(owner, &other);
  EXPECT_LE(std::abs((own.left + own.right) - (other.left + other.right)), 2);
  EXPECT_LE(std::abs((own.top + own.bottom) - (other.top + other.bottom)), 2);
}

std::wstring classOf(HWND window) {
  wchar_t name[64] = L"";
  GetClassNameW(window, name, 64);
  return name;
}

LOGFONTW fontOf(HWND window) {
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)), sizeof font, &font);
  return font;
}

DWORD styleOf(HWND window) { return static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)); }

// A key as the keyboard sends it: down, then up; the modal loop translates
// the down into its character.
void postKey(HWND target, UINT key, bool alt = false) {
  const LPARAM down = 1 | (alt ? (1 << 29) : 0);
  PostMessageW(target, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, key, down);
  PostMessageW(target, alt ? WM_SYSKEYUP : WM_KEYUP, key, down | (1 << 30) | (1u << 31));
}

// The client area as the window paints it, top row first, 0x00RRGGBB.
class Rendering {
 public:
  explicit Rendering(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    width_ = client.right;
    height_ = client.bottom;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, width_, -height_, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    const HBITMAP picture = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HDC dc = CreateCompatibleDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, picture);
    SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
    GdiFlush();
    const auto* p = static_cast<const DWORD*>(bits);
    pixels_.assign(p, p + static_cast<size_t>(width_) * height_);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(picture);
  }
  COLORREF at(int x, int y) const {
    const DWORD p = pixels_[static_cast<size_t>(y) * width_ + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }

 private:
  int width_ = 0, height_ = 0;
  std::vector<DWORD> pixels_;
};

// One pixel of a 32-bit picture resource, straight alpha: {colour, alpha}.
std::pair<COLORREF, int> resourcePixel(const wchar_t* name, int x, int y) {
  const HBITMAP picture =
      static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!picture) return {CLR_INVALID, -1};
  DIBSECTION dib{};
  GetObjectW(picture, sizeof dib, &dib);
  const int row = dib.dsBmih.biHeight > 0 ? dib.dsBm.bmHeight - 1 - y : y;
  const auto* p = static_cast<const BYTE*>(dib.dsBm.bmBits) + static_cast<size_t>(row) * dib.dsBm.bmWidthBytes + x * 4;
  const std::pair<COLORREF, int> result{RGB(p[2], p[1], p[0]), p[3]};
  DeleteObject(picture);
  return result;
}

::testing::AssertionResult closeTo(COLORREF actual, COLORREF expected, int tolerance) {
  const int dr = std::abs(GetRValue(actual) - GetRValue(expected));
  const int dg = std::abs(GetGValue(actual) - GetGValue(expected));
  const int db = std::abs(GetBValue(actual) - GetBValue(expected));
  if (dr <= tolerance && dg <= tolerance && db <= tolerance) return ::testing::AssertionSuccess();
  char text[96];
  std::snprintf(text, sizeof text, "got (%d,%d,%d), want (%d,%d,%d)", GetRValue(actual), GetGValue(actual),
                GetBValue(actual), GetRValue(expected), GetGValue(expected), GetBValue(expected));
  return ::testing::AssertionFailure() << text;
}

constexpr COLORREF kFill = RGB(214, 239, 255);
constexpr COLORREF kOutline = RGB(132, 203, 239);

}  // namespace

// ---- the about box ----

TEST(AboutBoxTest, IsACardOfItsSizeCentredOnItsOwnerWithNothingToDragItBy) {
  TfrmAbout about(theOwner());
  const HWND box = about.handle();
  ASSERT_TRUE(IsWindow(box));
  EXPECT_EQ(GetWindow(box, GW_OWNER), theOwner());
  EXPECT_EQ(textOf(box), L"关于程序");

  const DWORD style = styleOf(box);
  EXPECT_TRUE(style & WS_POPUP);
  EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_BORDER | WS_DLGFRAME), 0u);  // no caption, no frame

  RECT client, frame;
  GetClientRect(box, &client);
  GetWindowRect(box, &frame);
  EXPECT_EQ(client.right, scaled(box, 371));
  EXPECT_EQ(client.bottom, scaled(box, 210));
  // Nothing outside the card: its own outline sets it apart.
  EXPECT_EQ(frame.right - frame.left, client.right);
  EXPECT_EQ(frame.bottom - frame.top, client.bottom);
  expectCentredOn(box, theOwner());

  // Every point of the card is client area (or a control on it), never a
  // caption or an edge: pressing the mouse anywhere cannot move or size it.
  for (int y = 0; y < client.bottom; y += 7) {
    for (int x = 0; x < client.right; x += 7) {
      POINT p{x, y};
      ClientToScreen(box, &p);
      EXPECT_EQ(SendMessageW(box, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y)), HTCLIENT) << x << "," << y;
    }
  }
}

TEST(AboutBoxTest, ShowsNameVersionDesignerHomePageThanksAndTheButtonAtTheirPlaces) {
  TfrmAbout about(theOwner());
  const HWND box = about.handle();

  struct Expected {
    HWND label;
    std::wstring text;
    int x, y;
  };
  const Expected labels[] = {{about.Label1, L"Horavel", 17, 128},
                             {about.Label3, L"Ver:" HORAVEL_VERSION, 128, 128},
                             {about.Label4, L"设计:Mirolan工作室", 16, 152},
                             {about.Label5, kHomePage, 14, 171}};
  const HDC dc = GetDC(box);
  for (const Expected& expected : labels) {
    ASSERT_TRUE(IsWindow(expected.label));
    EXPECT_EQ(textOf(expected.label), expected.text);
    const RECT r = placeOf(expected.label);
    EXPECT_EQ(r.left, scaled(box, expected.x));
    EXPECT_EQ(r.top, scaled(box, expected.y));
    // Wide and tall enough for its text in its font, and inside the card.
    const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(expected.label, WM_GETFONT, 0, 0)));
    SIZE extent{};
    GetTextExtentPoint32W(dc, expected.text.c_str(), static_cast<int>(expected.text.size()), &extent);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    EXPECT_GE(r.right - r.left, extent.cx);
    EXPECT_GE(r.bottom - r.top, metrics.tmHeight);
    EXPECT_LT(r.right, scaled(box, 370));
  }
  ReleaseDC(box, dc);
  EXPECT_EQ(kHomePage, std::wstring(L"http://www.example.org/horavel/"));

  // The thanks: five lines, the heading, two names, each after an empty line.
  ASSERT_TRUE(IsWindow(about.RzLabel1));
  expectPlace(about.RzLabel1, 240, 32, 37, 60);
  std::wstring thanks = textOf(about.RzLabel1);
  {
    Accessible reader(about.RzLabel1);  // read aloud as the text it draws
    ASSERT_NE(reader.object, nullptr);
    EXPECT_EQ(reader.name(CHILDID_SELF), thanks);
    EXPECT_EQ(reader.role(CHILDID_SELF), ROLE_SYSTEM_STATICTEXT);
  }
  std::vector<std::wstring> lines;
  for (size_t start = 0;;) {
    const size_t end = thanks.find(L'\n', start);
    lines.push_back(thanks.substr(start, end - start));
    if (end == std::wstring::npos) break;
    start = end + 1;
  }
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], L"感谢:");
  EXPECT_EQ(lines[1], L"");
  EXPECT_FALSE(lines[2].empty());
  EXPECT_EQ(lines[3], L"");
  EXPECT_FALSE(lines[4].empty());
  EXPECT_NE(lines[2], lines[4]);

  ASSERT_TRUE(IsWindow(about.btnOK));
  expectPlace(about.btnOK, 256, 144, 89, 25);
  EXPECT_EQ(textOf(about.btnOK), L"确定(&O)");
  EXPECT_TRUE(styleOf(about.btnOK) & WS_TABSTOP);
  BUTTON_IMAGELIST glyph{};
  ASSERT_TRUE(SendMessageW(about.btnOK, BCM_GETIMAGELIST, 0, reinterpret_cast<LPARAM>(&glyph)));
  ASSERT_NE(glyph.himl, nullptr);
  int glyphWidth = 0, glyphHeight = 0;
  ImageList_GetIconSize(glyph.himl, &glyphWidth, &glyphHeight);
  EXPECT_EQ(glyphWidth, 16);
  EXPECT_EQ(glyphHeight, 16);
  EXPECT_EQ(ImageList_GetImageCount(glyph.himl), 1);

  // One font throughout: 宋体, 12 pixels high.
  for (HWND control : {about.Label1, about.Label5, about.RzLabel1, about.btnOK}) {
    const LOGFONTW font = fontOf(control);
    EXPECT_STREQ(font.lfFaceName, L"宋体");
    EXPECT_EQ(std::abs(font.lfHeight), scaled(box, 12));
  }
}

TEST(AboutBoxTest, PaintsTheFramedCardTheTopStripAndTheLogoSeenThrough) {
  TfrmAbout about(theOwner());
  const HWND box = about.handle();
  if (GetDpiForWindow(box) != 96) GTEST_SKIP() << "pixel places are for 96 dpi";
  const Rendering card(box);

  // Shape1's one-pixel outline on three sides, its fill inside; the last
  // row below the shape is the window's own colour.
  EXPECT_TRUE(closeTo(card.at(0, 100), kOutline, 0));
  EXPECT_TRUE(closeTo(card.at(370, 100), kOutline, 0));
  EXPECT_TRUE(closeTo(card.at(100, 208), kOutline, 0));
  EXPECT_TRUE(closeTo(card.at(1, 100), kFill, 0));
  EXPECT_TRUE(closeTo(card.at(300, 120), kFill, 0));
  EXPECT_TRUE(closeTo(card.at(100, 209), GetSysColor(COLOR_BTNFACE), 0));

  // Image2: the strip's rows stretched across from x = 1 to 369, the
  // outline left of it.
  for (int y : {2, 12, 23}) {
    const auto [colour, alpha] = resourcePixel(res::kStrip, 13, y);
    ASSERT_EQ(alpha, 255);
    EXPECT_TRUE(closeTo(card.at(1, y), colour, 3)) << y;
    EXPECT_TRUE(closeTo(card.at(185, y), colour, 3)) << y;
    EXPECT_TRUE(closeTo(card.at(369, y), colour, 3)) << y;
  }
  EXPECT_TRUE(closeTo(card.at(0, 12), kOutline, 0));
  EXPECT_TRUE(closeTo(card.at(185, 26), kFill, 0));

  // Image1: the logo drawn for the dpi at (16, 32), at its own size and
  // shape: not stretched. Where it is see-through the card shows; where it
  // is opaque its colour shows unchanged.
  const auto expectLogo = [box](const wchar_t* copy, int dpi, int width, int height) {
    SCOPED_TRACE(dpi);
    const Rendering shown(box);
    const HBITMAP logo = loadPngResource(copy);
    DIBSECTION dib{};
    ASSERT_EQ(GetObjectW(logo, sizeof dib, &dib), static_cast<int>(sizeof dib));
    EXPECT_EQ(dib.dsBm.bmWidth, width);
    EXPECT_EQ(dib.dsBm.bmHeight, height);
    const int left = MulDiv(16, dpi, 96), top = MulDiv(32, dpi, 96);
    int seeThrough = 0, opaque = 0;
    for (int y = 0; y < dib.dsBm.bmHeight; y += 3)
      for (int x = 0; x < dib.dsBm.bmWidth; x += 3) {
        const BYTE* p = static_cast<const BYTE*>(dib.dsBm.bmBits) +
                        static_cast<size_t>(dib.dsBm.bmHeight - 1 - y) * dib.dsBm.bmWidthBytes + x * 4;
        if (p[3] == 0) {
          ++seeThrough;
          EXPECT_TRUE(closeTo(shown.at(left + x, top + y), kFill, 0)) << x << "," << y;
        } else if (p[3] == 255) {
          ++opaque;
          EXPECT_TRUE(closeTo(shown.at(left + x, top + y), RGB(p[2], p[1], p[0]), 1)) << x << "," << y;
        }
      }
    DeleteObject(logo);
    EXPECT_GT(seeThrough, 0);
    EXPECT_GT(opaque, 0);
  };
  expectLogo(res::kLogo, 96, 209, 97);
  // Moved to a monitor of 144 dpi: the copy drawn for 150 per cent.
  changeDpi(box, 144);
  expectLogo(L"LOGO_150", 144, 314, 146);
}

TEST(AboutBoxTest, TheButtonHoldsTheFocusAndClosesTheModalShowWhereItOpened) {
  TfrmAbout about(theOwner());
  RECT before;
  GetWindowRect(about.handle(), &before);
  bool focusOnButton = false, visible = false, ownerDisabled = false;
  RECT during{};
  ModalScript script(about, {[&] {
                       focusOnButton = GetFocus() == about.btnOK;
                       visible = IsWindowVisible(about.handle());
                       ownerDisabled = !IsWindowEnabled(theOwner());
                       GetWindowRect(about.handle(), &during);
                       PostMessageW(about.btnOK, BM_CLICK, 0, 0);
                     }});
  EXPECT_EQ(about.ShowModal(), IDOK);
  EXPECT_EQ(script.ran(), 1u);
  EXPECT_TRUE(focusOnButton);
  EXPECT_TRUE(visible);
  EXPECT_TRUE(ownerDisabled);
  EXPECT_TRUE(EqualRect(&before, &during));
  EXPECT_FALSE(IsWindowVisible(about.handle()));
  EXPECT_TRUE(IsWindowEnabled(theOwner()));
}

TEST(AboutBoxTest, AltOAndOAndEnterAndEscCloseItOtherKeysDoNot) {
  struct Key {
    UINT key;
    bool alt;
  };
  struct Case {
    const char* name;
    std::vector<Key> keys;
    int result;  // IDABORT: still open after the keys
  };
  const Case cases[] = {
      {"Alt+O", {{'O', true}}, IDOK},        {"O", {{'O', false}}, IDOK},
      {"Enter", {{VK_RETURN, false}}, IDOK}, {"Esc", {{VK_ESCAPE, false}}, IDOK},
      {"Space", {{VK_SPACE, false}}, IDOK},  {"X, Alt+X, Alt+K", {{'X', false}, {'X', true}, {'K', true}}, IDABORT}};
  for (const Case& c : cases) {
    TfrmAbout about(theOwner());
    ModalScript script(about, {[&] {
                                 for (const Key& key : c.keys) postKey(about.btnOK, key.key, key.alt);
                               },
                               [&] {
                                 // Still open: end the show another way.
                                 about.closeWith(IDABORT);
                               }});
    EXPECT_EQ(about.ShowModal(), c.result) << c.name;
  }
}

// ---- the release history ----

namespace {

std::vector<std::wstring> linesOf(HWND richEdit) {
  std::vector<std::wstring> lines;
  const int count = static_cast<int>(SendMessageW(richEdit, EM_GETLINECOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    wchar_t buffer[256] = {};
    *reinterpret_cast<WORD*>(buffer) = 255;
    const auto n = static_cast<size_t>(SendMessageW(richEdit, EM_GETLINE, i, reinterpret_cast<LPARAM>(buffer)));
    std::wstring line(buffer, n);
    while (!line.empty() && (line.back() == L'\r' || line.back() == L'\n')) line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

std::wstring allText(HWND richEdit) {
  GETTEXTLENGTHEX length{GTL_DEFAULT, 1200};
  const auto n = static_cast<size_t>(SendMessageW(richEdit, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0));
  std::wstring text(n + 1, L'\0');
  GETTEXTEX get{static_cast<DWORD>((n + 1) * sizeof(wchar_t)), GT_DEFAULT, 1200, nullptr, nullptr};
  text.resize(static_cast<size_t>(
      SendMessageW(richEdit, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get), reinterpret_cast<LPARAM>(text.data()))));
  return text;
}

void putOnClipboard(const std::wstring& text) {
  if (!OpenClipboard(nullptr)) return;
  EmptyClipboard();
  const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
    memcpy(GlobalLock(memory), text.c_str(), bytes);
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
  }
  CloseClipboard();
}

bool startsWith(const std::wstring& text, const std::wstring& prefix) { return text.rfind(prefix, 0) == 0; }

}  // namespace

TEST(ReleaseHistoryTest, IsAFixedDialogOfItsSizeCentredOnItsOwner) {
  TfrmShengji history(theOwner());
  const HWND window = history.handle();
  ASSERT_TRUE(IsWindow(window));
  EXPECT_EQ(GetWindow(window, GW_OWNER), theOwner());
  EXPECT_EQ(textOf(window), L"升级历史");

  const DWORD style = styleOf(window);
  EXPECT_EQ(style & WS_CAPTION, static_cast<DWORD>(WS_CAPTION));
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0u);
  EXPECT_TRUE(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
  const UINT closeState = GetMenuState(GetSystemMenu(window, FALSE), SC_CLOSE, MF_BYCOMMAND);
  EXPECT_NE(closeState, static_cast<UINT>(-1));
  EXPECT_EQ(closeState & (MF_GRAYED | MF_DISABLED), 0u);

  RECT client;
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, scaled(window, 355));
  EXPECT_EQ(client.bottom, scaled(window, 282));
  expectCentredOn(window, theOwner());

  ASSERT_TRUE(IsWindow(history.RichEdit1));
  const std::wstring richClass = classOf(history.RichEdit1);
  EXPECT_TRUE(_wcsicmp(richClass.c_str(), MSFTEDIT_CLASS) == 0 || _wcsicmp(richClass.c_str(), RICHEDIT_CLASSW) == 0)
      << "class";
  expectPlace(history.RichEdit1, 8, 8, 337, 233);
  // Multi-line and read-only; the vertical scroll bar is there, as the
  // text is taller than the box (the horizontal one shows when needed).
  const DWORD richStyle = styleOf(history.RichEdit1);
  EXPECT_EQ(richStyle & (ES_MULTILINE | ES_READONLY), static_cast<DWORD>(ES_MULTILINE | ES_READONLY));
  SCROLLBARINFO vertical{};
  vertical.cbSize = sizeof vertical;
  ASSERT_TRUE(GetScrollBarInfo(history.RichEdit1, OBJID_VSCROLL, &vertical));
  EXPECT_EQ(vertical.rgstate[0] & STATE_SYSTEM_INVISIBLE, 0u);

  ASSERT_TRUE(IsWindow(history.BitBtn1));
  expectPlace(history.BitBtn1, 272, 248, 73, 25);
  EXPECT_EQ(textOf(history.BitBtn1), L"确定");
  EXPECT_STREQ(fontOf(history.BitBtn1).lfFaceName, L"宋体");
  EXPECT_EQ(std::abs(fontOf(history.BitBtn1).lfHeight), scaled(window, 12));
}

TEST(ReleaseHistoryTest, HoldsFiftySixLinesInVersionBlocksNewestFirst) {
  TfrmShengji history(theOwner());
  const std::vector<std::wstring> lines = linesOf(history.RichEdit1);
  ASSERT_EQ(lines.size(), 56u);

  const std::vector<std::wstring> newest = {
      L"*Ver:1.7",
      L"*发布日期:2006-12-27",
      L"*修改:针对人们使用部分软件的习惯,将关闭按钮改为在任",
      L"务栏图标显示;",
      L"*修改:添加及修改任务的选项卡样式;",
      L"*修改:将图标重新美化了一下;",
  };
  EXPECT_EQ(std::vector<std::wstring>(lines.begin(), lines.begin() + 6), newest);

  // Cut into blocks at the version lines.
  struct Block {
    std::vector<std::wstring> lines;
  };
  std::vector<Block> blocks;
  for (const std::wstring& line : lines) {
    if (startsWith(line, L"*Ver")) blocks.push_back({});
    ASSERT_FALSE(blocks.empty()) << "text before the first version line";
    blocks.back().lines.push_back(line);
  }

  struct Version {
    std::wstring versionLine, dateLine;
    size_t entries, lines;
    std::vector<std::wstring> quoted;
  };
  const std::vector<Version> table = {
      {L"*Ver:1.7", L"*发布日期:2006-12-27", 3, 6, {}},
      {L"*Ver1.6",
       L"*发布日期:2006-12-19",
       6,
       11,
       {L"*修复:现在修改的时候会进入相应的选项中进行修改;", L"*添加:在原有的基础上,加入共有4款主题,满足你的喜好;"}},
      {L"*Ver:1.5", L"*发布日期:2006-12-18", 4, 7, {}},
      {L"*Ver:1.4", L"*发布日期:2006-12-11", 3, 5, {L"*增加:两项新的任务,包括打开网页和发送电子邮件;"}},
      {L"*Ver:1.3", L"*发布日:2006-11-28", 2, 4, {L"*增加了预制提示消息,常用消息可直接选择就可以了;"}},
      {L"*Ver1.2", L"*发布日期:2006-11-09", 3, 5, {}},
      {L"*Ver:1.1", L"*发布日期:2006-11-08", 3, 7, {L"*增加了系统时间设置功能;"}},
      {L"*Ver:1.0", L"*发布日期:2006-11-06", 5, 8, {}},
      {L"*Ver:0.5", L"", 2, 3, {L"*完成程序开关机及基本定时功能;"}},
  };
  ASSERT_EQ(blocks.size(), table.size());
  for (size_t b = 0; b < table.size(); ++b) {
    const Version& expected = table[b];
    const std::vector<std::wstring>& block = blocks[b].lines;
    SCOPED_TRACE(::testing::Message() << "block " << b + 1);
    EXPECT_EQ(block.front(), expected.versionLine);
    EXPECT_EQ(block.size(), expected.lines);
    size_t first = 1;
    if (!expected.dateLine.empty()) {
      ASSERT_GE(block.size(), 2u);
      EXPECT_EQ(block[1], expected.dateLine);
      first = 2;
    }
    // Entries open with "*"; a line without one goes on with the entry
    // above it. Every entry ends with ";".
    size_t entries = 0;
    for (size_t i = first; i < block.size(); ++i) {
      EXPECT_FALSE(block[i].empty()) << i;
      if (startsWith(block[i], L"*")) {
        EXPECT_FALSE(startsWith(block[i], L"*发布")) << i;
        ++entries;
      } else {
        EXPECT_GT(entries, 0u) << "a continuation line before any entry";
      }
      const bool lastOfEntry = i + 1 == block.size() || startsWith(block[i + 1], L"*");
      EXPECT_EQ(!block[i].empty() && block[i].back() == L';', lastOfEntry) << i;
    }
    EXPECT_EQ(entries, expected.entries);
    for (const std::wstring& quote : expected.quoted) {
      bool found = false;
      for (const std::wstring& line : block) found = found || line == quote;
      EXPECT_TRUE(found) << "missing a quoted entry";
    }
  }
}

TEST(ReleaseHistoryTest, ShowsTheTextInSongtiGb2312EveryLineWithinTheBox) {
  TfrmShengji history(theOwner());
  const HWND edit = history.RichEdit1;

  SendMessageW(edit, EM_SETSEL, 0, -1);
  CHARFORMAT2W format{};
  format.cbSize = sizeof format;
  SendMessageW(edit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
  ASSERT_TRUE(format.dwMask & CFM_FACE) << "more than one face in the text";
  EXPECT_STREQ(format.szFaceName, L"宋体");
  ASSERT_TRUE(format.dwMask & CFM_CHARSET);
  EXPECT_EQ(format.bCharSet, GB2312_CHARSET);
  ASSERT_TRUE(format.dwMask & CFM_SIZE);
  if (GetDpiForWindow(edit) == 96) {
    EXPECT_EQ(format.yHeight, 12 * 72 / 96 * 20);  // 12 pixels in twips
  }
  SendMessageW(edit, EM_SETSEL, 0, 0);

  // The long entries are broken by hand so that nothing needs the
  // horizontal scroll bar: the end of every line lies inside the box.
  RECT box;
  SendMessageW(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&box));
  const int lineCount = static_cast<int>(SendMessageW(edit, EM_GETLINECOUNT, 0, 0));
  for (int line = 0; line < lineCount; ++line) {
    const auto start = static_cast<LPARAM>(SendMessageW(edit, EM_LINEINDEX, line, 0));
    const auto length = static_cast<LPARAM>(SendMessageW(edit, EM_LINELENGTH, start, 0));
    if (length == 0) continue;
    POINTL end{};
    SendMessageW(edit, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&end), start + length);  // just after the last
    EXPECT_LE(end.x, box.right) << "line " << line + 1;
  }
}

TEST(ReleaseHistoryTest, TextCannotBeChangedButCanBeSelectedAndScrolled) {
  TfrmShengji history(theOwner());
  const HWND edit = history.RichEdit1;
  const std::wstring original = allText(edit);
  ASSERT_FALSE(original.empty());

  int firstVisible = -1, afterPageDown = -1, afterScrollBar = -1;
  bool focusInText = false;
  CHARRANGE dragged{};
  ModalScript script(history, {[&] {
                                 focusInText = GetFocus() == edit;
                                 firstVisible = static_cast<int>(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0));
                                 // Typing, deleting, cutting, pasting over a selection.
                                 putOnClipboard(L"粘贴");
                                 SendMessageW(edit, EM_SETSEL, 0, 20);
                                 postKey(edit, 'A');
                                 postKey(edit, VK_DELETE);
                                 postKey(edit, VK_BACK);
                                 postKey(edit, VK_RETURN);
                                 PostMessageW(edit, WM_CUT, 0, 0);
                                 PostMessageW(edit, WM_PASTE, 0, 0);
                                 PostMessageW(edit, WM_CHAR, L'字', 1);
                               },
                               [&] {
                                 SendMessageW(edit, EM_SETSEL, 0, 0);
                                 postKey(edit, VK_NEXT);
                               },
                               [&] {
                                 afterPageDown = static_cast<int>(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0));
                                 SendMessageW(edit, WM_VSCROLL, SB_BOTTOM, 0);
                                 afterScrollBar = static_cast<int>(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0));
                                 SendMessageW(edit, WM_VSCROLL, SB_TOP, 0);
                                 // Selecting with the mouse: press at the start of the first line,
                                 // drag to the end of the second.
                                 POINTL from{}, to{};
                                 SendMessageW(edit, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&from), 0);
                                 const auto secondEnd = SendMessageW(edit, EM_LINEINDEX, 2, 0) - 1;
                                 SendMessageW(edit, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&to), secondEnd);
                                 SendMessageW(edit, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x + 1, from.y + 3));
                                 SendMessageW(edit, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y + 3));
                                 SendMessageW(edit, WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y + 3));
                                 SendMessageW(edit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&dragged));
                                 history.closeWith(IDOK);
                               }});
  history.ShowModal();
  ASSERT_EQ(script.ran(), 3u);

  EXPECT_EQ(allText(edit), original);
  EXPECT_TRUE(styleOf(edit) & ES_READONLY);
  EXPECT_TRUE(focusInText);
  EXPECT_EQ(firstVisible, 0);
  EXPECT_GT(afterPageDown, 0);
  EXPECT_GT(afterScrollBar, afterPageDown);
  EXPECT_EQ(dragged.cpMin, 0);
  EXPECT_GE(dragged.cpMax, 10);
}

TEST(ReleaseHistoryTest, TheButtonTheCloseBoxAndEscEndTheModalShow) {
  {
    TfrmShengji history(theOwner());
    ModalScript script(history, {[&] { PostMessageW(history.BitBtn1, BM_CLICK, 0, 0); }});
    EXPECT_EQ(history.ShowModal(), IDOK);
  }
  {
    TfrmShengji history(theOwner());
    ModalScript script(history, {[&] { PostMessageW(history.handle(), WM_SYSCOMMAND, SC_CLOSE, 0); }});
    EXPECT_EQ(history.ShowModal(), IDCANCEL);
  }
  {
    TfrmShengji history(theOwner());
    ModalScript script(history, {[&] { postKey(history.RichEdit1, VK_ESCAPE); }});
    EXPECT_EQ(history.ShowModal(), IDCANCEL);
  }
  // A second showing of a new box works as the first: nothing is left over.
  {
    TfrmShengji history(theOwner());
    ModalScript script(history, {[&] { PostMessageW(history.BitBtn1, BM_CLICK, 0, 0); }});
    EXPECT_EQ(history.ShowModal(), IDOK);
    EXPECT_TRUE(IsWindowEnabled(theOwner()));
  }
}
