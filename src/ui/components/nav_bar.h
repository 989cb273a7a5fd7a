#pragma once
// A collapsible navigation side bar: groups with a header that opens and
// closes them, each holding items with a picture and a caption. With 16x16
// pictures an item is a row (picture, then caption); with 32x32 pictures it
// is a tile (picture above its caption).
//
// A click on an enabled item sends WM_COMMAND(MAKEWPARAM(commandId, 0),
// (LPARAM)handle()) to the parent; a click on a group header opens or closes
// the group. Disabled items are drawn grey and ignore clicks. Which item is
// shown as selected is the owner's choice (setSelectedItem); a click does not
// change it.
//
// Keyboard: the bar is a tab stop and shows a focus mark on the header or
// item that has the focus. Up/Down (Home/End) move it over the headers and
// the enabled items of open groups, Left/Right close and open a group,
// Enter/Space open or close a group on its header and run an item as a click
// does. With arrowsRunItems the arrow keys also run the item they land on
// (a bar whose items choose pages, like tabs).
//
// Screen readers see the bar (node 0), its groups (expanded or collapsed,
// default action opens or closes) and their items (pushed by the default
// action; unavailable, selected, focused, invisible in a closed group);
// keyboard focus moves raise the focus event.
//
// Positions and sizes passed in are the parent's pixels; the bar scales its
// own metrics by its dpi. When the open groups do not fit, a vertical scroll
// bar appears (mouse wheel too). The font is the parent's (WM_GETFONT) at
// creation, or whatever WM_SETFONT gives later.

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "ui/components/accessible.h"
#include "ui/components/window.h"

struct NavBarColors {
  COLORREF background = RGB(236, 240, 246);   // behind the groups
  COLORREF groupBody = RGB(252, 253, 255);    // behind a group's items
  COLORREF groupBorder = RGB(200, 210, 226);
  COLORREF headerTop = RGB(255, 255, 255);    // header gradient, top to bottom
  COLORREF headerBottom = RGB(218, 228, 243);
  COLORREF headerHot = RGB(203, 218, 240);    // bottom of the gradient under the mouse
  COLORREF headerText = RGB(28, 55, 105);
  COLORREF itemText = RGB(24, 24, 24);
  COLORREF disabledText = RGB(150, 154, 162);
  COLORREF hotFill = RGB(235, 243, 254);      // item under the mouse
  COLORREF hotBorder = RGB(190, 213, 244);
  COLORREF selectedFill = RGB(204, 224, 251); // the selected item
  COLORREF selectedBorder = RGB(98, 148, 222);
};

class NavBar : public Window, private AccessibleSource {
 public:
  NavBar(HWND parent, int x, int y, int width, int height, HIMAGELIST images, int iconSize /*16 or 32*/);
  ~NavBar() override;

  int addGroup(const std::wstring& caption, bool expanded);  // returns the group's index
  void addItem(int group, int commandId, const std::wstring& caption, int imageIndex);

  // The pictures, for instance drawn for another dpi; the owner keeps them.
  void setImages(HIMAGELIST images);

  void setItemEnabled(int commandId, bool enabled);
  bool itemEnabled(int commandId) const;

  void setExpanded(int group, bool expanded);
  bool expanded(int group) const;

  // The item drawn as selected; -1 for none.
  void setSelectedItem(int commandId);
  int selectedItem() const;
  // Opens the item's group, scrolls the item into view and puts the focus
  // mark on it (what the owner shows changed by other means than the bar).
  void revealItem(int commandId);

  void move(int x, int y, int width, int height);

  // Where an item lies in the bar's client area, scrolled as shown; an empty
  // rectangle when its group is closed or there is no such item.
  RECT itemRect(int commandId) const;
  // Where a group's header lies, scrolled as shown.
  RECT groupRect(int group) const;

  void setColors(const NavBarColors& colors);
  const NavBarColors& colors() const { return colors_; }

  void setArrowsRunItems(bool on) { arrowsRunItems_ = on; }

  // What screen readers are told, node by node: 0 the bar, a group's header
  // groupNode(g), an item itemNode(g, i).
  static int groupNode(int group) { return (group + 1) * kNodesPerGroup; }
  static int itemNode(int group, int item) { return groupNode(group) + item + 1; }
  HWND accessibleWindow() const override { return handle(); }
  AccessibleNode accessibleNode(int node) const override;
  std::vector<int> accessibleChildren(int node) const override;
  int accessibleParent(int node) const override;
  int accessibleFocus() const override;
  void accessibleDoDefaultAction(int node) override;

 protected:
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  struct Item {
    int commandId;
    std::wstring caption;
    int imageIndex;
    bool enabled = true;
    RECT rect{};  // in content coordinates (before scrolling)
  };
  struct Group {
    std::wstring caption;
    bool expanded;
    std::vector<Item> items;
    RECT header{};  // in content coordinates
    RECT body{};    // the frame around header and items
  };
  // What the mouse is over: a group header (item -1) or an item.
  struct Target {
    int group = -1;
    int item = -1;
    bool operator==(const Target&) const = default;
  };

  static constexpr int kNodesPerGroup = 100;
  bool tiles() const { return iconSize_ >= 32; }
  bool validTarget(const Target& target) const;
  int nodeOf(const Target& target) const;
  Target targetOf(int node) const;
  const Item* findItem(int commandId) const;
  Item* findItem(int commandId);
  Target hitTest(POINT client) const;
  RECT targetRect(const Target& target) const;  // client coordinates
  void invalidateTarget(const Target& target);

  void layout();
  void updateScrollBar();
  void scrollTo(int position);
  // How far the bar scrolls: 0 when the groups fit (the margin below the
  // last one may be cut off).
  int scrollRange() const;
  // Scrolls an opened group's items into view.
  void revealGroup(int group);
  void setFont(HFONT font);
  void measureFont();

  void paint(HDC dc, const RECT& client);
  void paintGroup(HDC dc, const Group& group, int groupIndex);
  void paintItem(HDC dc, const Item& item, bool hot, bool pressed);
  // Where a tile's highlight lies, scrolled as shown.
  RECT tileBox(HDC dc, const Item& item) const;
  void paintChevron(HDC dc, const RECT& header, bool expanded, COLORREF colour);
  void drawImage(HDC dc, int imageIndex, int x, int y, bool enabled);
  void buildGreyImages();

  void onMouseMove(POINT client);
  void onButtonDown(POINT client);
  void onButtonUp(POINT client);
  void setHot(const Target& target);

  // Keyboard.
  std::vector<Target> keyboardStops() const;
  void onKey(UINT key);
  void moveFocus(const Target& target);
  void runTarget(const Target& target);
  void scrollIntoView(const Target& target);
  void paintFocusMark(HDC dc);

  std::vector<Group> groups_;
  HIMAGELIST images_;
  int iconSize_;
  int imageWidth_ = 16, imageHeight_ = 16;  // what the image list really holds
  NavBarColors colors_;

  HFONT font_ = nullptr;      // not owned
  HFONT boldFont_ = nullptr;  // owned, made from font_
  int textHeight_ = 13;

  int contentHeight_ = 0;
  int scrollPos_ = 0;
  int selected_ = -1;
  Target hot_;
  Target pressed_;
  bool trackingLeave_ = false;
  Target focus_;  // where the focus mark is, when the bar has the focus
  bool arrowsRunItems_ = false;

  // The image list's pictures greyed, premultiplied, side by side; made on
  // first need.
  HBITMAP greyStrip_ = nullptr;
  int greyCount_ = 0;
};
