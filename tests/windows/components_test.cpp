// The side bar, the notification-area icon and the animated picture, driven
// through their messages as the windows that hold them drive them.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "resource_names.h"
#include "ui/components/gif_view.h"
#include "ui/components/graphics.h"
#include "ui/components/nav_bar.h"
#include "ui/components/tray_icon.h"
#include "window_test_support.h"

namespace {

constexpr UINT kTrayMessage = WM_APP + 1;

// A top-level window that records what its children and its tray icon send
// it, and forwards every message to its tray icon first, as owners must.
class Host final : public Window {
 public:
  explicit Host(const wchar_t* className = L"HoravelComponentsTestHost", COLORREF background = CLR_INVALID) {
    CreateParams params;
    params.className = className;
    params.caption = L"components";
    params.style = WS_OVERLAPPEDWINDOW;
    params.x = 40;
    params.y = 40;
    params.width = 420;
    params.height = 360;
    params.background = background;
    createWindow(params);
  }

  // As a move to a monitor of another scale records it.
  using Window::recordDpi;

  struct Command {
    int id;
    int code;
    HWND from;
  };
  std::vector<Command> commands;
  std::vector<HMENU> menusOpened;
  std::function<void()> onMenuOpened;
  TrayIcon* tray = nullptr;
  HFONT font = nullptr;  // kept like a form keeps its font

 protected:
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (tray && tray->handleMessage(message, wParam, lParam)) return 0;
    switch (message) {
      case WM_COMMAND:
        commands.push_back({LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)});
        return 0;
      case WM_SETFONT:
        font = reinterpret_cast<HFONT>(wParam);
        return 0;
      case WM_GETFONT:
        return reinterpret_cast<LRESULT>(font);
      case WM_INITMENUPOPUP:
        menusOpened.push_back(reinterpret_cast<HMENU>(wParam));
        if (onMenuOpened) onMenuOpened();
        return 0;
      default:
        return Window::handleMessage(message, wParam, lParam);
    }
  }
};

void pumpMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

bool isEmpty(const RECT& r) { return IsRectEmpty(&r) != FALSE; }
bool same(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

POINT centre(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

void press(HWND window, POINT at) {
  SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
}
void release(HWND window, POINT at) { SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y)); }
void click(HWND window, const RECT& r) {
  press(window, centre(r));
  release(window, centre(r));
}

// What a window paints into its client area (WM_PRINTCLIENT), as 0x00RRGGBB.
struct Picture {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;
  uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x] & 0xffffff; }
};

Picture printClient(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  Picture picture;
  picture.width = client.right;
  picture.height = client.bottom;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = picture.width;
  info.bmiHeader.biHeight = -picture.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC dc = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  const HGDIOBJ old = SelectObject(dc, bitmap);
  SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  GdiFlush();
  const auto* begin = static_cast<const uint32_t*>(bits);
  picture.pixels.assign(begin, begin + static_cast<size_t>(picture.width) * picture.height);
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(bitmap);
  return picture;
}

uint32_t rgb(COLORREF c) { return static_cast<uint32_t>(GetRValue(c)) << 16 | GetGValue(c) << 8 | GetBValue(c); }

int saturation(uint32_t pixel) {
  const int r = pixel >> 16 & 0xff, g = pixel >> 8 & 0xff, b = pixel & 0xff;
  return std::max({r, g, b}) - std::min({r, g, b});
}

struct RegionStats {
  int differing = 0;      // pixels unlike the given colour
  int mostSaturated = 0;  // the largest max-min of the channels
};
RegionStats stats(const Picture& picture, const RECT& r, uint32_t background) {
  RegionStats s;
  for (int y = std::max<int>(0, r.top); y < std::min<int>(picture.height, r.bottom); ++y) {
    for (int x = std::max<int>(0, r.left); x < std::min<int>(picture.width, r.right); ++x) {
      const uint32_t p = picture.at(x, y);
      if (p != background) ++s.differing;
      s.mostSaturated = std::max(s.mostSaturated, saturation(p));
    }
  }
  return s;
}

// ---- the side bar ----

enum : int { kAdd = 201, kModify, kDelete, kStart, kPause, kStop };

class NavBarTest : public ::testing::Test {
 protected:
  void SetUp() override { images = loadImageStrip(res::kImageList1, 16, res::kCommandPictureCount); }
  void TearDown() override { ImageList_Destroy(images); }

  // The main window's bar: two groups of three.
  void fillMainBar(NavBar& bar) {
    const int missions = bar.addGroup(L"任务", true);
    bar.addItem(missions, kAdd, L"添加任务", res::kPicAdd);
    bar.addItem(missions, kModify, L"修改任务", res::kPicModify);
    bar.addItem(missions, kDelete, L"删除任务", res::kPicDelete);
    const int control = bar.addGroup(L"控制", true);
    bar.addItem(control, kStart, L"开始执行", res::kPicStart);
    bar.addItem(control, kPause, L"暂停执行", res::kPicPause);
    bar.addItem(control, kStop, L"停止执行", res::kPicStop);
  }

  Host host;
  HIMAGELIST images = nullptr;
};

TEST_F(NavBarTest, AClickOnAnItemSendsItsCommandToTheParent) {
  NavBar bar(host.handle(), 0, 0, 153, 330, images, 16);
  fillMainBar(bar);
  for (int id : {kStop, kAdd, kPause, kDelete}) click(bar.handle(), bar.itemRect(id));
  ASSERT_EQ(host.commands.size(), 4u);
  const int expected[] = {kStop, kAdd, kPause, kDelete};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(host.commands[i].id, expected[i]);
    EXPECT_EQ(host.commands[i].code, 0);
    EXPECT_EQ(host.commands[i].from, bar.handle());
  }
  // Items are distinct places, one under the other.
  RECT a = bar.itemRect(kAdd), b = bar.itemRect(kModify), overlap;
  EXPECT_FALSE(IntersectRect(&overlap, &a, &b));
  EXPECT_GE(b.top, a.bottom);
}

TEST_F(NavBarTest, OnlyAPressAndReleaseOnTheSameItemIsAClick) {
  NavBar bar(host.handle(), 0, 0, 153, 330, images, 16);
  fillMainBar(bar);
  press(bar.handle(), centre(bar.itemRect(kAdd)));
  release(bar.handle(), centre(bar.itemRect(kModify)));
  press(bar.handle(), centre(bar.itemRect(kAdd)));
  release(bar.handle(), POINT{2, 325});  // below every group
  release(bar.handle(), centre(bar.itemRect(kAdd)));  // a release without a press
  EXPECT_TRUE(host.commands.empty());
  // Nothing happens on empty space either.
  click(bar.handle(), RECT{0, 320, 153, 330});
  EXPECT_TRUE(host.commands.empty());
}

TEST_F(NavBarTest, DisabledItemsIgnoreClicksUntilEnabledAgain) {
  NavBar bar(host.handle(), 0, 0, 153, 330, images, 16);
  fillMainBar(bar);
  EXPECT_TRUE(bar.itemEnabled(kPause));
  bar.setItemEnabled(kPause, false);
  bar.setItemEnabled(kStop, false);
  EXPECT_FALSE(bar.itemEnabled(kPause));
  EXPECT_FALSE(bar.itemEnabled(kStop));
  EXPECT_TRUE(bar.itemEnabled(kStart));
  EXPECT_FALSE(bar.itemEnabled(999));
  click(bar.handle(), bar.itemRect(kPause));
  click(bar.handle(), bar.itemRect(kStop));
  EXPECT_TRUE(host.commands.empty());
  // Disabled between press and release: no command either.
  press(bar.handle(), centre(bar.itemRect(kStart)));
  bar.setItemEnabled(kStart, false);
  release(bar.handle(), centre(bar.itemRect(kStart)));
  EXPECT_TRUE(host.commands.empty());

  bar.setItemEnabled(kPause, true);
  click(bar.handle(), bar.itemRect(kPause));
  ASSERT_EQ(host.commands.size(), 1u);
  EXPECT_EQ(host.commands[0].id, kPause);
}

TEST_F(NavBarTest, AHeaderClickClosesAndReopensItsGroup) {
  NavBar bar(host.handle(), 0, 0, 153, 330, images, 16);
  fillMainBar(bar);
  const RECT addOpen = bar.itemRect(kAdd);
  const RECT startOpen = bar.itemRect(kStart);
  const RECT controlHeaderOpen = bar.groupRect(1);

  click(bar.handle(), bar.groupRect(0));
  EXPECT_FALSE(bar.expanded(0));
  EXPECT_TRUE(bar.expanded(1));
  for (int id : {kAdd, kModify, kDelete}) EXPECT_TRUE(isEmpty(bar.itemRect(id))) << id;
  // The next group moves up into the room, its items with it.
  const RECT startClosed = bar.itemRect(kStart);
  EXPECT_LT(bar.groupRect(1).top, controlHeaderOpen.top);
  EXPECT_LT(startClosed.top, startOpen.top);
  EXPECT_EQ(startOpen.top - startClosed.top, controlHeaderOpen.top - bar.groupRect(1).top);
  // Where "add" was, "add" is no more.
  click(bar.handle(), addOpen);
  for (const auto& command : host.commands) EXPECT_NE(command.id, kAdd);
  host.commands.clear();
  bar.setExpanded(1, true);
  // A header click sends no command.
  click(bar.handle(), bar.groupRect(1));
  EXPECT_TRUE(host.commands.empty());
  EXPECT_FALSE(bar.expanded(1));
  EXPECT_TRUE(isEmpty(bar.itemRect(kStart)));

  click(bar.handle(), bar.groupRect(0));
  click(bar.handle(), bar.groupRect(1));
  EXPECT_TRUE(bar.expanded(0));
  EXPECT_TRUE(bar.expanded(1));
  EXPECT_TRUE(same(addOpen, bar.itemRect(kAdd)));
  EXPECT_TRUE(same(startOpen, bar.itemRect(kStart)));
  click(bar.handle(), bar.itemRect(kAdd));
  ASSERT_EQ(host.commands.size(), 1u);
  EXPECT_EQ(host.commands[0].id, kAdd);
}

TEST_F(NavBarTest, GroupsStartOpenOrClosedAsAddedAndFollowSetExpanded) {
  // The editor's bar: the first group open, the other two closed.
  HIMAGELIST icons = loadImageStrip(res::kNavIcons32, 32, res::kNavIconCount);
  NavBar bar(host.handle(), 0, 0, 169, 289, icons, 32);
  const int system = bar.addGroup(L"系统任务", true);
  bar.addItem(system, 1, L"关闭电脑", res::kNavPower);
  const int reminders = bar.addGroup(L"提示任务", false);
  bar.addItem(reminders, 4, L"提示消息", res::kNavMessage);
  const int internet = bar.addGroup(L"网络任务", false);
  bar.addItem(internet, 6, L"打开网址", res::kNavWeb);
  EXPECT_TRUE(bar.expanded(system));
  EXPECT_FALSE(bar.expanded(reminders));
  EXPECT_FALSE(bar.expanded(internet));
  EXPECT_FALSE(bar.expanded(7));
  EXPECT_TRUE(isEmpty(bar.itemRect(6)));

  bar.setExpanded(internet, true);
  const RECT web = bar.itemRect(6);
  EXPECT_FALSE(IsRectEmpty(&web));
  EXPECT_GT(web.top, bar.groupRect(internet).top);
  click(bar.handle(), web);
  ASSERT_EQ(host.commands.size(), 1u);
  EXPECT_EQ(host.commands[0].id, 6);
  ImageList_Destroy(icons);
}

TEST_F(NavBarTest, SmallPicturesMakeRowsAndLargeOnesMakeTiles) {
  HIMAGELIST icons = loadImageStrip(res::kNavIcons32, 32, res::kNavIconCount);
  NavBar rows(host.handle(), 0, 0, 153, 330, images, 16);
  NavBar tiles(host.handle(), 160, 0, 169, 330, icons, 32);
  for (NavBar* bar : {&rows, &tiles}) {
    const int g = bar->addGroup(L"组", true);
    bar->addItem(g, 1, L"一", 0);
    bar->addItem(g, 2, L"二", 1);
  }
  const RECT row = rows.itemRect(1);
  const RECT tile = tiles.itemRect(1);
  // A row is one line: room for a 16-pixel picture, not for a picture above
  // a caption. A tile holds a 32-pixel picture and a caption below it.
  EXPECT_GE(row.bottom - row.top, 16);
  EXPECT_LT(row.bottom - row.top, 32);
  EXPECT_GT(tile.bottom - tile.top, 32 + 10);
  // Both span most of the bar's width.
  EXPECT_GT(row.right - row.left, 153 * 3 / 4);
  EXPECT_GT(tile.right - tile.left, 169 * 3 / 4);
  ImageList_Destroy(icons);
}

TEST_F(NavBarTest, TheOwnerChoosesTheSelectedItem) {
  NavBar bar(host.handle(), 0, 0, 153, 330, images, 16);
  fillMainBar(bar);
  EXPECT_EQ(bar.selectedItem(), -1);
  bar.setSelectedItem(kModify);
  EXPECT_EQ(bar.selectedItem(), kModify);
  click(bar.handle(), bar.itemRect(kStart));  // a click is a command, not a choice
  EXPECT_EQ(bar.selectedItem(), kModify);
  bar.setSelectedItem(4711);
  EXPECT_EQ(bar.selectedItem(), -1);
  bar.setSelectedItem(kStop);
  bar.setSelectedItem(-1);
  EXPECT_EQ(bar.selectedItem(), -1);
}

TEST_F(NavBarTest, ItemsThatDoNotFitScrollIntoView) {
  HIMAGELIST icons = loadImageStrip(res::kNavIcons32, 32, res::kNavIconCount);
  NavBar bar(host.handle(), 0, 0, 169, 150, icons, 32);
  const int g = bar.addGroup(L"系统任务", true);
  for (int i = 0; i < 6; ++i) bar.addItem(g, 300 + i, L"项目", i);
  RECT client;
  GetClientRect(bar.handle(), &client);
  const RECT lastBefore = bar.itemRect(305);
  ASSERT_GT(lastBefore.bottom, client.bottom);
  EXPECT_TRUE(GetWindowLongW(bar.handle(), GWL_STYLE) & WS_VSCROLL);

  SendMessageW(bar.handle(), WM_VSCROLL, SB_BOTTOM, 0);
  const RECT last = bar.itemRect(305);
  EXPECT_LE(last.bottom, client.bottom);
  EXPECT_GE(last.top, 0);
  EXPECT_EQ(lastBefore.top - last.top, lastBefore.bottom - last.bottom);
  click(bar.handle(), last);
  ASSERT_EQ(host.commands.size(), 1u);
  EXPECT_EQ(host.commands[0].id, 305);
  // The wheel scrolls back up.
  SendMessageW(bar.handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA * 10), 0);
  EXPECT_TRUE(same(lastBefore, bar.itemRect(305)));

  // Closed, everything fits: no scroll bar and nothing scrolled.
  SendMessageW(bar.handle(), WM_VSCROLL, SB_BOTTOM, 0);
  const RECT headerScrolled = bar.groupRect(g);
  bar.setExpanded(g, false);
  EXPECT_FALSE(GetWindowLongW(bar.handle(), GWL_STYLE) & WS_VSCROLL);
  EXPECT_GT(bar.groupRect(g).top, headerScrolled.top);
  EXPECT_GE(bar.groupRect(g).top, 0);

  // Opening a group low in the bar brings its items into view, header and all.
  const int low = bar.addGroup(L"网络任务", false);
  bar.addItem(low, 400, L"项目", 6);
  bar.setExpanded(g, true);
  SendMessageW(bar.handle(), WM_VSCROLL, SB_TOP, 0);
  bar.setExpanded(low, true);
  EXPECT_LE(bar.itemRect(400).bottom, client.bottom);
  EXPECT_GE(bar.groupRect(low).top, 0);

  // Groups that fit all but the margin below the last one need no scroll bar.
  bar.setExpanded(g, false);
  SendMessageW(bar.handle(), WM_VSCROLL, SB_TOP, 0);
  const int fitting = bar.itemRect(400).bottom + 4;
  bar.move(0, 0, 169, fitting + 2);
  EXPECT_FALSE(GetWindowLongW(bar.handle(), GWL_STYLE) & WS_VSCROLL);
  bar.move(0, 0, 169, fitting - 2);
  EXPECT_TRUE(GetWindowLongW(bar.handle(), GWL_STYLE) & WS_VSCROLL);
  ImageList_Destroy(icons);
}

TEST_F(NavBarTest, TakesTheParentsFontAndFollowsANewOne) {
  HFONT small = CreateFontW(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
  HFONT large = CreateFontW(-30, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
  SendMessageW(host.handle(), WM_SETFONT, reinterpret_cast<WPARAM>(small), FALSE);
  NavBar bar(host.handle(), 0, 0, 153, 330, images, 16);
  fillMainBar(bar);
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(bar.handle(), WM_GETFONT, 0, 0)), small);
  const RECT before = bar.itemRect(kAdd);
  SendMessageW(bar.handle(), WM_SETFONT, reinterpret_cast<WPARAM>(large), TRUE);
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(bar.handle(), WM_GETFONT, 0, 0)), large);
  const RECT after = bar.itemRect(kAdd);
  EXPECT_GE(after.bottom - after.top, 30);
  EXPECT_GT(after.bottom - after.top, before.bottom - before.top);
  EXPECT_GT(bar.groupRect(0).bottom - bar.groupRect(0).top, 30);
  DeleteObject(small);
  DeleteObject(large);
}

TEST_F(NavBarTest, DisabledItemsAreGreyAndOnlyEnabledOnesLightUpUnderTheMouse) {
  NavBar bar(host.handle(), 0, 0, 153, 330, images, 16);
  fillMainBar(bar);
  const uint32_t body = rgb(bar.colors().groupBody);
  const uint32_t hot = rgb(bar.colors().hotFill);

  // Enabled, the pictures are in colour; disabled, the same item shows grey
  // ink (picture and caption still there, not blank).
  const RegionStats enabled = stats(printClient(bar.handle()), bar.itemRect(kStart), body);
  EXPECT_GT(enabled.mostSaturated, 100);
  bar.setItemEnabled(kStart, false);
  const RegionStats disabled = stats(printClient(bar.handle()), bar.itemRect(kStart), body);
  EXPECT_LT(disabled.mostSaturated, 24);
  EXPECT_GT(disabled.differing, enabled.differing / 2);
  bar.setItemEnabled(kStart, true);

  // Under the mouse an item lights up; off it, it does not.
  const RECT add = bar.itemRect(kAdd);
  const POINT edge{add.left + 3, (add.top + add.bottom) / 2};
  EXPECT_EQ(printClient(bar.handle()).at(edge.x, edge.y), body);
  SendMessageW(bar.handle(), WM_MOUSEMOVE, 0, MAKELPARAM(centre(add).x, centre(add).y));
  EXPECT_EQ(printClient(bar.handle()).at(edge.x, edge.y), hot);
  SendMessageW(bar.handle(), WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(printClient(bar.handle()).at(edge.x, edge.y), body);

  bar.setItemEnabled(kAdd, false);
  SendMessageW(bar.handle(), WM_MOUSEMOVE, 0, MAKELPARAM(centre(add).x, centre(add).y));
  EXPECT_EQ(printClient(bar.handle()).at(edge.x, edge.y), body);

  // The selected item is marked whether or not the mouse is on it.
  bar.setSelectedItem(kDelete);
  const RECT del = bar.itemRect(kDelete);
  EXPECT_EQ(printClient(bar.handle()).at(del.left + 3, (del.top + del.bottom) / 2), rgb(bar.colors().selectedFill));
}

// The focus events raised in this process, as (window, child id).
class FocusEvents {
 public:
  FocusEvents() {
    seen().clear();
    hook_ = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS, nullptr, &FocusEvents::record,
                            GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
  }
  ~FocusEvents() { UnhookWinEvent(hook_); }
  // The child ids of the events the window raised, pumped in first.
  std::vector<long> of(HWND window) {
    pumpMessages();
    std::vector<long> ids;
    for (const auto& [from, child] : seen()) {
      if (from == window) ids.push_back(child);
    }
    seen().clear();
    return ids;
  }

 private:
  static std::vector<std::pair<HWND, long>>& seen() {
    static std::vector<std::pair<HWND, long>> events;
    return events;
  }
  static void CALLBACK record(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG child, DWORD, DWORD) {
    // Windows raises one for the window itself (child 0) on every focus change.
    if (object == OBJID_CLIENT && child != CHILDID_SELF) seen().emplace_back(window, child);
  }
  HWINEVENTHOOK hook_;
};

void key(HWND window, UINT vk) { SendMessageW(window, WM_KEYDOWN, vk, 0); }

TEST_F(NavBarTest, TheKeyboardMovesTheFocusMarkOpensGroupsAndRunsItems) {
  ShowWindow(host.handle(), SW_SHOW);
  NavBar bar(host.handle(), 0, 0, 153, 330, images, 16);
  fillMainBar(bar);
  bar.setItemEnabled(kPause, false);
  EXPECT_TRUE(GetWindowLongW(bar.handle(), GWL_STYLE) & WS_TABSTOP);
  const uint32_t body = rgb(bar.colors().groupBody);
  const RegionStats unfocused = stats(printClient(bar.handle()), bar.itemRect(kAdd), body);

  FocusEvents events;
  SetFocus(bar.handle());
  ASSERT_EQ(GetFocus(), bar.handle());
  // The focus starts on the first header; Down goes to the first item, which
  // now shows a focus mark.
  EXPECT_EQ(events.of(bar.handle()), std::vector<long>{NavBar::groupNode(0)});
  key(bar.handle(), VK_DOWN);
  EXPECT_EQ(events.of(bar.handle()), std::vector<long>{NavBar::itemNode(0, 0)});
  EXPECT_GT(stats(printClient(bar.handle()), bar.itemRect(kAdd), body).differing, unfocused.differing);
  key(bar.handle(), VK_RETURN);
  key(bar.handle(), VK_SPACE);
  ASSERT_EQ(host.commands.size(), 2u);
  EXPECT_EQ(host.commands[0].id, kAdd);
  EXPECT_EQ(host.commands[1].id, kAdd);
  host.commands.clear();

  // End lands on Stop; Up passes over the disabled Pause to Start.
  key(bar.handle(), VK_END);
  key(bar.handle(), VK_UP);
  key(bar.handle(), VK_SPACE);
  ASSERT_EQ(host.commands.size(), 1u);
  EXPECT_EQ(host.commands[0].id, kStart);
  EXPECT_EQ(events.of(bar.handle()), (std::vector<long>{NavBar::itemNode(1, 2), NavBar::itemNode(1, 0)}));
  host.commands.clear();

  // Home, then Enter on the header closes its group; Down skips its items;
  // Space on the next header closes that one, Right opens it again.
  key(bar.handle(), VK_HOME);
  key(bar.handle(), VK_RETURN);
  EXPECT_FALSE(bar.expanded(0));
  key(bar.handle(), VK_DOWN);
  key(bar.handle(), VK_SPACE);
  EXPECT_FALSE(bar.expanded(1));
  key(bar.handle(), VK_RIGHT);
  EXPECT_TRUE(bar.expanded(1));
  key(bar.handle(), VK_RIGHT);  // into the open group
  key(bar.handle(), VK_LEFT);   // back to its header
  key(bar.handle(), VK_LEFT);   // which closes
  EXPECT_FALSE(bar.expanded(1));
  EXPECT_TRUE(host.commands.empty());
  EXPECT_EQ(events.of(bar.handle()), (std::vector<long>{NavBar::groupNode(0), NavBar::groupNode(1),
                                                        NavBar::itemNode(1, 0), NavBar::groupNode(1)}));

  // A bar whose items choose pages runs the item the arrows land on.
  bar.setExpanded(1, true);
  bar.setArrowsRunItems(true);
  key(bar.handle(), VK_DOWN);
  key(bar.handle(), VK_DOWN);
  ASSERT_EQ(host.commands.size(), 2u);
  EXPECT_EQ(host.commands[0].id, kStart);
  EXPECT_EQ(host.commands[1].id, kStop);
  SetFocus(host.handle());
}

TEST_F(NavBarTest, ScreenReadersReadGroupsAndItemsWithTheirStatesAndPlaces) {
  NavBar bar(host.handle(), 0, 0, 153, 330, images, 16);
  fillMainBar(bar);
  bar.setItemEnabled(kPause, false);
  bar.setSelectedItem(kModify);
  bar.setExpanded(1, false);
  Accessible reader(bar.handle());
  ASSERT_NE(reader.object, nullptr);

  EXPECT_EQ(reader.count(), 2);
  EXPECT_EQ(reader.childNames(), (std::vector<std::wstring>{L"任务", L"控制"}));
  const long missions = NavBar::groupNode(0), control = NavBar::groupNode(1);
  EXPECT_EQ(reader.role(missions), ROLE_SYSTEM_GROUPING);
  EXPECT_TRUE(reader.state(missions) & STATE_SYSTEM_EXPANDED);
  EXPECT_TRUE(reader.state(control) & STATE_SYSTEM_COLLAPSED);
  EXPECT_EQ(reader.action(control), L"展开");

  // A group's own object lists its items.
  IDispatch* group = nullptr;
  ASSERT_EQ(reader.object->get_accChild(Accessible::child(missions), &group), S_OK);
  IAccessible* groupObject = nullptr;
  group->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(&groupObject));
  group->Release();
  long items = 0;
  groupObject->get_accChildCount(&items);
  EXPECT_EQ(items, 3);
  groupObject->Release();

  const long add = NavBar::itemNode(0, 0), modify = NavBar::itemNode(0, 1), pause = NavBar::itemNode(1, 1);
  EXPECT_EQ(reader.name(add), L"添加任务");
  EXPECT_EQ(reader.role(add), ROLE_SYSTEM_PUSHBUTTON);
  EXPECT_EQ(reader.action(add), L"按");
  EXPECT_FALSE(reader.state(add) & (STATE_SYSTEM_SELECTED | STATE_SYSTEM_UNAVAILABLE | STATE_SYSTEM_INVISIBLE));
  EXPECT_TRUE(reader.state(modify) & STATE_SYSTEM_SELECTED);
  EXPECT_TRUE(reader.state(pause) & STATE_SYSTEM_UNAVAILABLE);
  EXPECT_TRUE(reader.state(pause) & STATE_SYSTEM_INVISIBLE);  // its group is closed

  // Places on the screen match the drawn ones.
  RECT onScreen = bar.itemRect(kDelete);
  MapWindowPoints(bar.handle(), nullptr, reinterpret_cast<POINT*>(&onScreen), 2);
  EXPECT_TRUE(same(reader.location(NavBar::itemNode(0, 2)), onScreen));

  // The default actions open a group and press an item.
  EXPECT_EQ(reader.object->accDoDefaultAction(Accessible::child(control)), S_OK);
  EXPECT_TRUE(bar.expanded(1));
  EXPECT_EQ(reader.object->accDoDefaultAction(Accessible::child(NavBar::itemNode(1, 2))), S_OK);
  ASSERT_EQ(host.commands.size(), 1u);
  EXPECT_EQ(host.commands[0].id, kStop);
}

// ---- the notification-area icon ----

struct ShellCall {
  DWORD message;
  NOTIFYICONDATAW data;
};

// Takes Shell_NotifyIcon's calls; answers addAnswer to NIM_ADD.
class ShellRecorder {
 public:
  ShellRecorder() {
    setShellNotifyHook([this](DWORD message, const NOTIFYICONDATAW& data) {
      calls.push_back({message, data});
      return message == NIM_ADD ? addAnswer : TRUE;
    });
  }
  ~ShellRecorder() { setShellNotifyHook(nullptr); }
  int count(DWORD message) const {
    return static_cast<int>(std::count_if(calls.begin(), calls.end(), [&](const ShellCall& c) { return c.message == message; }));
  }
  std::vector<ShellCall> calls;
  BOOL addAnswer = TRUE;
};

class TrayIconTest : public ::testing::Test {
 protected:
  HICON icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), res::kTrayIcon, IMAGE_ICON, 16, 16, 0));
  Host host;
  ShellRecorder shell;
};

TEST_F(TrayIconTest, ShowAddsTheIconOnceWithVersionFourAndNoHint) {
  ASSERT_NE(icon, nullptr);
  TrayIcon tray(host.handle(), kTrayMessage, icon);
  EXPECT_FALSE(tray.visible());
  EXPECT_TRUE(shell.calls.empty());
  tray.show();
  tray.show();
  EXPECT_TRUE(tray.visible());
  ASSERT_EQ(shell.calls.size(), 2u);
  const NOTIFYICONDATAW& added = shell.calls[0].data;
  EXPECT_EQ(shell.calls[0].message, static_cast<DWORD>(NIM_ADD));
  EXPECT_EQ(added.cbSize, sizeof(NOTIFYICONDATAW));
  EXPECT_EQ(added.hWnd, host.handle());
  EXPECT_EQ(added.uID, tray.iconId());
  EXPECT_EQ(added.uCallbackMessage, kTrayMessage);
  EXPECT_EQ(added.hIcon, icon);
  EXPECT_EQ(added.uFlags & (NIF_MESSAGE | NIF_ICON), static_cast<UINT>(NIF_MESSAGE | NIF_ICON));
  EXPECT_EQ(added.uFlags & (NIF_TIP | NIF_SHOWTIP | NIF_INFO), 0u);
  EXPECT_EQ(added.szTip[0], L'\0');
  EXPECT_EQ(shell.calls[1].message, static_cast<DWORD>(NIM_SETVERSION));
  EXPECT_EQ(shell.calls[1].data.uVersion, static_cast<UINT>(NOTIFYICON_VERSION_4));
  EXPECT_EQ(shell.calls[1].data.hWnd, host.handle());
  EXPECT_EQ(shell.calls[1].data.uID, tray.iconId());

  tray.hide();
  tray.hide();
  EXPECT_FALSE(tray.visible());
  ASSERT_EQ(shell.calls.size(), 3u);
  EXPECT_EQ(shell.calls[2].message, static_cast<DWORD>(NIM_DELETE));
  EXPECT_EQ(shell.calls[2].data.hWnd, host.handle());
  EXPECT_EQ(shell.calls[2].data.uID, tray.iconId());

  tray.show();
  EXPECT_EQ(shell.count(NIM_ADD), 2);
  EXPECT_EQ(shell.count(NIM_SETVERSION), 2);
}

TEST_F(TrayIconTest, GoingAwayRemovesAShownIconOnly) {
  {
    TrayIcon hidden(host.handle(), kTrayMessage, icon);
  }
  EXPECT_TRUE(shell.calls.empty());
  {
    TrayIcon shown(host.handle(), kTrayMessage, icon);
    shown.show();
  }
  ASSERT_FALSE(shell.calls.empty());
  EXPECT_EQ(shell.calls.back().message, static_cast<DWORD>(NIM_DELETE));
  EXPECT_EQ(shell.count(NIM_DELETE), 1);
}

TEST_F(TrayIconTest, AnIconTheShellStillHasIsUpdatedInstead) {
  shell.addAnswer = FALSE;
  TrayIcon tray(host.handle(), kTrayMessage, icon);
  tray.show();
  EXPECT_TRUE(tray.visible());
  ASSERT_EQ(shell.count(NIM_MODIFY), 1);
  EXPECT_EQ(shell.count(NIM_SETVERSION), 1);
}

TEST_F(TrayIconTest, TaskbarCreatedAddsAShownIconAgain) {
  const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
  TrayIcon tray(host.handle(), kTrayMessage, icon);
  host.tray = &tray;
  EXPECT_TRUE(tray.handleMessage(taskbarCreated, 0, 0));
  EXPECT_TRUE(shell.calls.empty());  // hidden: stays hidden

  tray.show();
  shell.calls.clear();
  // As Explorer broadcasts it after a restart.
  SendMessageW(host.handle(), taskbarCreated, 0, 0);
  ASSERT_EQ(shell.calls.size(), 2u);
  EXPECT_EQ(shell.calls[0].message, static_cast<DWORD>(NIM_ADD));
  EXPECT_EQ(shell.calls[0].data.uCallbackMessage, kTrayMessage);
  EXPECT_EQ(shell.calls[0].data.hIcon, icon);
  EXPECT_EQ(shell.calls[1].message, static_cast<DWORD>(NIM_SETVERSION));
  EXPECT_TRUE(tray.visible());
  host.tray = nullptr;
}

TEST_F(TrayIconTest, ADoubleClickSendsItsCommandToTheOwner) {
  TrayIcon tray(host.handle(), kTrayMessage, icon);
  host.tray = &tray;
  tray.show();
  const WPARAM where = MAKEWPARAM(1200, 790);
  const auto event = [&](UINT e) { return MAKELPARAM(e, tray.iconId()); };
  // No command yet: a double-click does nothing.
  SendMessageW(host.handle(), kTrayMessage, where, event(WM_LBUTTONDBLCLK));
  EXPECT_TRUE(host.commands.empty());

  tray.setDoubleClickCommand(77);
  for (UINT e : {UINT{WM_MOUSEMOVE}, UINT{WM_LBUTTONDOWN}, UINT{WM_LBUTTONUP}, UINT{NIN_SELECT}}) {
    SendMessageW(host.handle(), kTrayMessage, where, event(e));
  }
  EXPECT_TRUE(host.commands.empty());
  SendMessageW(host.handle(), kTrayMessage, where, event(WM_LBUTTONDBLCLK));
  ASSERT_EQ(host.commands.size(), 1u);
  EXPECT_EQ(host.commands[0].id, 77);
  // Enter or Space on the icon chosen by keyboard (Win+B, arrows) does the same.
  SendMessageW(host.handle(), kTrayMessage, where, event(NIN_KEYSELECT));
  ASSERT_EQ(host.commands.size(), 2u);
  EXPECT_EQ(host.commands[1].id, 77);

  // Not its message, or another icon's: not handled.
  EXPECT_FALSE(tray.handleMessage(WM_APP + 2, where, event(WM_LBUTTONDBLCLK)));
  EXPECT_FALSE(tray.handleMessage(kTrayMessage, where, MAKELPARAM(WM_LBUTTONDBLCLK, tray.iconId() + 1)));
  EXPECT_FALSE(tray.handleMessage(WM_SIZE, SIZE_RESTORED, 0));
  EXPECT_EQ(host.commands.size(), 2u);
  host.tray = nullptr;
}

TEST_F(TrayIconTest, PressingTheRightButtonOpensTheMenuAndItsCommandReachesTheOwner) {
  HMENU menu = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING, 101, L"恢复");
  AppendMenuW(menu, MF_STRING, 102, L"关于程序");
  TrayIcon tray(host.handle(), kTrayMessage, icon);
  host.tray = &tray;
  tray.setMenu(menu);
  tray.show();
  ShowWindow(host.handle(), SW_SHOW);

  // Inside the menu's own loop: down to the first item, then Enter.
  host.onMenuOpened = [&] {
    PostMessageW(host.handle(), WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(host.handle(), WM_KEYDOWN, VK_RETURN, 0);
  };
  // Should the keys not reach the menu, it still ends.
  const UINT_PTR guard = SetTimer(nullptr, 0, 3000, [](HWND, UINT, UINT_PTR, DWORD) { EndMenu(); });
  const auto event = [&](UINT e) { return MAKELPARAM(e, tray.iconId()); };
  SendMessageW(host.handle(), kTrayMessage, MAKEWPARAM(600, 400), event(WM_RBUTTONDOWN));
  KillTimer(nullptr, guard);
  pumpMessages();
  ASSERT_EQ(host.menusOpened.size(), 1u);
  EXPECT_EQ(host.menusOpened[0], menu);
  ASSERT_EQ(host.commands.size(), 1u);
  EXPECT_EQ(host.commands[0].id, 101);

  // The release and its context event open no second menu...
  host.onMenuOpened = [] { EndMenu(); };
  SendMessageW(host.handle(), kTrayMessage, 0, event(WM_RBUTTONUP));
  SendMessageW(host.handle(), kTrayMessage, 0, event(WM_CONTEXTMENU));
  EXPECT_EQ(host.menusOpened.size(), 1u);
  // ...while the keyboard's context event alone opens it.
  SendMessageW(host.handle(), kTrayMessage, 0, event(WM_CONTEXTMENU));
  EXPECT_EQ(host.menusOpened.size(), 2u);
  host.tray = nullptr;
  DestroyMenu(menu);
}

TEST_F(TrayIconTest, HidingToTheTrayAndRestoring) {
  TrayIcon tray(host.handle(), kTrayMessage, icon);
  host.tray = &tray;
  ShowWindow(host.handle(), SW_SHOW);
  ASSERT_TRUE(IsWindowVisible(host.handle()));

  tray.hideOwnerToTray();
  EXPECT_FALSE(IsWindowVisible(host.handle()));
  EXPECT_TRUE(tray.visible());
  EXPECT_EQ(shell.count(NIM_ADD), 1);

  tray.restoreOwner();
  EXPECT_TRUE(IsWindowVisible(host.handle()));
  EXPECT_FALSE(IsIconic(host.handle()));
  EXPECT_TRUE(tray.visible());
  EXPECT_EQ(shell.count(NIM_DELETE), 0);


  // Minimising does nothing special unless asked to...
  ShowWindow(host.handle(), SW_MINIMIZE);
  EXPECT_TRUE(IsWindowVisible(host.handle()));
  ShowWindow(host.handle(), SW_RESTORE);
  // ...then it hides to the tray, and restoring un-minimises.
  tray.hide();
  tray.setMinimizeToTray(true);
  ShowWindow(host.handle(), SW_MINIMIZE);
  EXPECT_FALSE(IsWindowVisible(host.handle()));
  EXPECT_TRUE(tray.visible());
  tray.restoreOwner();
  EXPECT_TRUE(IsWindowVisible(host.handle()));
  EXPECT_FALSE(IsIconic(host.handle()));
  EXPECT_TRUE(tray.visible());
  host.tray = nullptr;
}

// The shell under Wine keeps its icons: NIM_MODIFY works on an icon it has
// and fails on one it has not.
bool shellHasIcon(HWND owner, UINT id, HICON icon) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = owner;
  data.uID = id;
  data.uFlags = NIF_ICON;
  data.hIcon = icon;
  return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

TEST(TrayIconShellTest, TheShellHasTheIconWhileShownAndGetsItBackAfterARestart) {
  Host host;
  HICON icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), res::kTrayIcon, IMAGE_ICON, 16, 16, 0));
  TrayIcon tray(host.handle(), kTrayMessage, icon);
  host.tray = &tray;
  ASSERT_FALSE(shellHasIcon(host.handle(), tray.iconId(), icon));
  tray.show();
  EXPECT_TRUE(shellHasIcon(host.handle(), tray.iconId(), icon));

  // A restarted Explorer knows no icons, then says "TaskbarCreated".
  NOTIFYICONDATAW forget{};
  forget.cbSize = sizeof forget;
  forget.hWnd = host.handle();
  forget.uID = tray.iconId();
  ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &forget));
  ASSERT_FALSE(shellHasIcon(host.handle(), tray.iconId(), icon));
  SendMessageW(host.handle(), RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  EXPECT_TRUE(shellHasIcon(host.handle(), tray.iconId(), icon));

  tray.hide();
  EXPECT_FALSE(shellHasIcon(host.handle(), tray.iconId(), icon));
  host.tray = nullptr;
}

// ---- the animated picture ----

class GifViewTest : public ::testing::Test {
 protected:
  static constexpr COLORREF kParentColour = RGB(12, 200, 90);
  Host host{L"HoravelComponentsTestGreenHost", kParentColour};
};

TEST_F(GifViewTest, ReadsFourFramesOfHalfASecondOnceTheMessageLoopRuns) {
  GifView view(host.handle(), 10, 10, 64, 56, res::kAnimGif);
  EXPECT_EQ(view.frameCount(), 0);  // its window paints first
  pumpMessages();
  ASSERT_EQ(view.frameCount(), res::kAnimFrames);
  for (int i = 0; i < view.frameCount(); ++i) EXPECT_EQ(view.frameDelayMs(i), res::kAnimDelayCs * 10) << i;
  EXPECT_EQ(view.frameDelayMs(-1), 0);
  EXPECT_EQ(view.frameDelayMs(view.frameCount()), 0);
  EXPECT_EQ(view.currentFrame(), 0);
}

TEST_F(GifViewTest, ItsWindowsDpiPicksTheCopyDrawnForIt) {
  GifView view(host.handle(), 10, 10, 64, 56, res::kAnimGif);
  pumpMessages();
  EXPECT_EQ(view.pictureSize().cx, res::kAnimWidth);
  // Moved to a monitor of 200 per cent: the frames drawn for it, not the
  // small ones stretched.
  host.recordDpi(192);
  view.move(10, 10, 128, 112);
  pumpMessages();
  ASSERT_EQ(view.frameCount(), res::kAnimFrames);
  EXPECT_EQ(view.pictureSize().cx, 2 * res::kAnimWidth);
  EXPECT_EQ(view.pictureSize().cy, 2 * res::kAnimHeight);
  host.recordDpi(96);
}

TEST_F(GifViewTest, EachTickShowsTheNextFrameAndTheLastLeadsToTheFirst) {
  GifView view(host.handle(), 10, 10, 64, 56, res::kAnimGif);
  pumpMessages();
  ASSERT_EQ(view.frameCount(), 4);
  std::vector<Picture> shown{printClient(view.handle())};
  for (int expected : {1, 2, 3, 0, 1}) {
    SendMessageW(view.handle(), WM_TIMER, GifView::kFrameTimerId, 0);
    EXPECT_EQ(view.currentFrame(), expected);
    shown.push_back(printClient(view.handle()));
  }
  // Every frame looks different from the one before; after four ticks the
  // first one is back.
  for (size_t i = 1; i < 5; ++i) EXPECT_NE(shown[i].pixels, shown[i - 1].pixels) << i;
  EXPECT_EQ(shown[4].pixels, shown[0].pixels);
  // Another timer is not the frame timer.
  SendMessageW(view.handle(), WM_TIMER, GifView::kFrameTimerId + 7, 0);
  EXPECT_EQ(view.currentFrame(), 1);
}

TEST_F(GifViewTest, EveryFrameShowsTheBackgroundThroughItsSeeThroughPixels) {
  // Drawn at its own size on the parent's colour, frame by frame, as decoded.
  GifView view(host.handle(), 0, 0, 64, 48, res::kAnimGif);
  pumpMessages();
  ASSERT_EQ(view.frameCount(), res::kAnimFrames);
  const uint32_t parent = rgb(kParentColour);
  constexpr int kMargin = 3;  // nothing of the drawing comes nearer the edge
  for (int frame = 0; frame < view.frameCount(); ++frame) {
    SCOPED_TRACE(frame);
    ASSERT_EQ(view.currentFrame(), frame);
    const Picture picture = printClient(view.handle());
    int marginDrawn = 0, seeThrough = 0;
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 64; ++x) {
        const bool background = picture.at(x, y) == parent;
        seeThrough += background;
        const bool inMargin = x < kMargin || y < kMargin || x >= 64 - kMargin || y >= 48 - kMargin;
        marginDrawn += inMargin && !background;
      }
    EXPECT_EQ(marginDrawn, 0);
    EXPECT_GT(seeThrough, 64 * 48 / 3);
    SendMessageW(view.handle(), WM_TIMER, GifView::kFrameTimerId, 0);
  }
}

TEST_F(GifViewTest, RunsByItselfFromCreation) {
  const auto start = std::chrono::steady_clock::now();
  GifView view(host.handle(), 10, 10, 64, 56, res::kAnimGif);
  while (view.currentFrame() == 0 && std::chrono::steady_clock::now() - start < std::chrono::seconds(5)) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    pumpMessages();
  }
  const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
  EXPECT_EQ(view.currentFrame(), 1);
  EXPECT_GE(elapsed.count(), 400);
}

TEST_F(GifViewTest, StretchedKeepingItsShapeCentredOnTheParentsBackground) {
  const uint32_t parent = rgb(kParentColour);
  struct Case {
    int width, height;
    RECT picture;  // where the 64x48 picture lands
  };
  const Case cases[] = {
      {64, 56, {0, 4, 64, 52}},      // the toolbar's control: bands above and below
      {128, 112, {0, 8, 128, 104}},  // twice the size
      {160, 48, {48, 0, 112, 48}},   // wide: bands left and right
  };
  for (const Case& c : cases) {
    GifView view(host.handle(), 0, 0, c.width, c.height, res::kAnimGif);
    pumpMessages();
    const Picture picture = printClient(view.handle());
    ASSERT_EQ(picture.width, c.width);
    int outsideOther = 0;
    for (int y = 0; y < c.height; ++y) {
      for (int x = 0; x < c.width; ++x) {
        const POINT p{x, y};
        if (!PtInRect(&c.picture, p) && picture.at(x, y) != parent) ++outsideOther;
      }
    }
    EXPECT_EQ(outsideOther, 0) << c.width << "x" << c.height;
    // The picture fills its place: its corners' rows and columns are drawn.
    const RegionStats inside = stats(picture, c.picture, parent);
    EXPECT_GT(inside.differing, (c.picture.right - c.picture.left) * (c.picture.bottom - c.picture.top) / 4)
        << c.width << "x" << c.height;
  }
}

TEST_F(GifViewTest, AMissingResourceShowsOnlyTheBackground) {
  GifView view(host.handle(), 0, 0, 64, 56, L"NO_SUCH_GIF");
  pumpMessages();
  EXPECT_EQ(view.frameCount(), 0);
  EXPECT_EQ(view.frameDelayMs(0), 0);
  SendMessageW(view.handle(), WM_TIMER, GifView::kFrameTimerId, 0);
  EXPECT_EQ(view.currentFrame(), 0);
  const Picture picture = printClient(view.handle());
  EXPECT_EQ(stats(picture, RECT{0, 0, 64, 56}, rgb(kParentColour)).differing, 0);
}

}  // namespace
