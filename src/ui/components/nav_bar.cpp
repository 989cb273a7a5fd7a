#include "ui/components/nav_bar.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdint>

#include "ui/components/graphics.h"

namespace {

constexpr const wchar_t* kClassName = L"HoravelNavBar";

// Metrics at 96 dpi.
constexpr int kMargin = 6;          // around the groups and between them
constexpr int kHeaderMin = 24;      // header height, at least
constexpr int kHeaderTextPad = 10;  // header text from the left edge
constexpr int kChevronArea = 22;    // right part of the header holding the chevron
constexpr int kBodyPad = 4;         // above and below a group's items
constexpr int kItemInset = 4;       // item from the group's sides
constexpr int kRowPad = 8;          // rows: picture or text height plus this
constexpr int kRowIconLeft = 6;
constexpr int kRowTextGap = 7;
constexpr int kTileTop = 6;         // tiles: picture from the top
constexpr int kTileGap = 4;         // picture to caption
constexpr int kTileBottom = 6;
constexpr int kLineScroll = 24;     // one line of the scroll bar
constexpr int kCorner = 4;          // highlight corners

RECT emptyRect() { return RECT{0, 0, 0, 0}; }

POINT centre(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

RECT shifted(RECT r, int dy) {
  OffsetRect(&r, 0, dy);
  return r;
}

void fillRect(HDC dc, const RECT& r, COLORREF colour) {
  SetDCBrushColor(dc, colour);
  FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void frameRect(HDC dc, const RECT& r, COLORREF colour) {
  SetDCBrushColor(dc, colour);
  FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void roundBox(HDC dc, const RECT& r, COLORREF fill, COLORREF border, int corner) {
  SetDCBrushColor(dc, fill);
  SetDCPenColor(dc, border);
  const HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(DC_BRUSH));
  const HGDIOBJ oldPen = SelectObject(dc, GetStockObject(DC_PEN));
  RoundRect(dc, r.left, r.top, r.right, r.bottom, corner, corner);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
}

}  // namespace

NavBar::NavBar(HWND parent, int x, int y, int width, int height, HIMAGELIST images, int iconSize)
    : images_(images), iconSize_(iconSize) {
  if (images_) ImageList_GetIconSize(images_, &imageWidth_, &imageHeight_);
  font_ = reinterpret_cast<HFONT>(SendMessageW(parent, WM_GETFONT, 0, 0));
  CreateParams params;
  params.className = kClassName;
  params.style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP;
  params.x = x;
  params.y = y;
  params.width = width;
  params.height = height;
  params.owner = parent;
  createWindow(params);
}

NavBar::~NavBar() {
  if (boldFont_) DeleteObject(boldFont_);
  if (greyStrip_) DeleteObject(greyStrip_);
}

int NavBar::addGroup(const std::wstring& caption, bool expanded) {
  groups_.push_back(Group{caption, expanded, {}, {}, {}});
  layout();
  InvalidateRect(handle(), nullptr, FALSE);
  return static_cast<int>(groups_.size()) - 1;
}

void NavBar::addItem(int group, int commandId, const std::wstring& caption, int imageIndex) {
  if (group < 0 || group >= static_cast<int>(groups_.size())) return;
  groups_[group].items.push_back(Item{commandId, caption, imageIndex});
  layout();
  InvalidateRect(handle(), nullptr, FALSE);
}

void NavBar::setImages(HIMAGELIST images) {
  images_ = images;
  if (images_) ImageList_GetIconSize(images_, &imageWidth_, &imageHeight_);
  if (greyStrip_) DeleteObject(greyStrip_);
  greyStrip_ = nullptr;
  greyCount_ = 0;
  layout();
  InvalidateRect(handle(), nullptr, FALSE);
}

const NavBar::Item* NavBar::findItem(int commandId) const {
  for (const Group& group : groups_) {
    for (const Item& item : group.items) {
      if (item.commandId == commandId) return &item;
    }
  }
  return nullptr;
}

NavBar::Item* NavBar::findItem(int commandId) {
  return const_cast<Item*>(static_cast<const NavBar*>(this)->findItem(commandId));
}

void NavBar::setItemEnabled(int commandId, bool enabled) {
  Item* item = findItem(commandId);
  if (!item || item->enabled == enabled) return;
  item->enabled = enabled;
  const RECT r = itemRect(commandId);
  InvalidateRect(handle(), &r, FALSE);
  for (int g = 0; g < static_cast<int>(groups_.size()); ++g) {
    for (int i = 0; i < static_cast<int>(groups_[g].items.size()); ++i) {
      if (&groups_[g].items[i] == item) notifyStateChange(itemNode(g, i));
    }
  }
}

bool NavBar::itemEnabled(int commandId) const {
  const Item* item = findItem(commandId);
  return item && item->enabled;
}

void NavBar::setExpanded(int group, bool expanded) {
  if (group < 0 || group >= static_cast<int>(groups_.size()) || groups_[group].expanded == expanded) return;
  groups_[group].expanded = expanded;
  // The focus mark does not stay on an item that has gone.
  if (!expanded && focus_.group == group && focus_.item >= 0) focus_ = Target{group, -1};
  layout();
  if (expanded) revealGroup(group);
  InvalidateRect(handle(), nullptr, FALSE);
  notifyStateChange(groupNode(group));
}

void NavBar::revealGroup(int group) {
  // Scrolled up just enough for the group's last item, but never past its
  // header: a group taller than the bar shows from its top.
  RECT client;
  GetClientRect(handle(), &client);
  const RECT body = shifted(groups_[group].body, -scrollPos_);
  if (body.bottom <= client.bottom) return;
  scrollTo(scrollPos_ + std::min<int>(body.bottom - client.bottom + scale(kMargin), body.top - scale(kMargin)));
}

bool NavBar::expanded(int group) const {
  return group >= 0 && group < static_cast<int>(groups_.size()) && groups_[group].expanded;
}

void NavBar::setSelectedItem(int commandId) {
  const int now = findItem(commandId) ? commandId : -1;
  if (now == selected_) return;
  RECT old = itemRect(selected_);
  InvalidateRect(handle(), &old, FALSE);
  selected_ = now;
  RECT r = itemRect(selected_);
  InvalidateRect(handle(), &r, FALSE);
}

int NavBar::selectedItem() const { return selected_; }

void NavBar::revealItem(int commandId) {
  for (int g = 0; g < static_cast<int>(groups_.size()); ++g) {
    for (int i = 0; i < static_cast<int>(groups_[g].items.size()); ++i) {
      if (groups_[g].items[i].commandId != commandId) continue;
      setExpanded(g, true);
      moveFocus(Target{g, i});
      return;
    }
  }
}

void NavBar::move(int x, int y, int width, int height) { MoveWindow(handle(), x, y, width, height, TRUE); }

RECT NavBar::itemRect(int commandId) const {
  for (const Group& group : groups_) {
    for (const Item& item : group.items) {
      if (item.commandId == commandId) return group.expanded ? shifted(item.rect, -scrollPos_) : emptyRect();
    }
  }
  return emptyRect();
}

RECT NavBar::groupRect(int group) const {
  if (group < 0 || group >= static_cast<int>(groups_.size())) return emptyRect();
  return shifted(groups_[group].header, -scrollPos_);
}

void NavBar::setColors(const NavBarColors& colors) {
  colors_ = colors;
  InvalidateRect(handle(), nullptr, FALSE);
}

// ---- layout ----

void NavBar::setFont(HFONT font) {
  font_ = font;
  if (boldFont_) DeleteObject(boldFont_);
  boldFont_ = nullptr;
  LOGFONTW lf{};
  if (GetObjectW(font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf)) {
    lf.lfWeight = FW_BOLD;
    boldFont_ = CreateFontIndirectW(&lf);
  }
  measureFont();
}

void NavBar::measureFont() {
  HDC dc = GetDC(handle());
  const HGDIOBJ old = SelectObject(dc, font_ ? static_cast<HGDIOBJ>(font_) : GetStockObject(DEFAULT_GUI_FONT));
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(handle(), dc);
  textHeight_ = tm.tmHeight > 0 ? static_cast<int>(tm.tmHeight) : scale(13);
}

void NavBar::layout() {
  if (!handle()) return;
  RECT client;
  GetClientRect(handle(), &client);
  const int margin = scale(kMargin);
  const int left = margin;
  const int right = std::max<int>(left + 1, client.right - margin);
  const int headerHeight = std::max(scale(kHeaderMin), textHeight_ + scale(10));
  const int itemHeight = tiles() ? scale(kTileTop) + imageHeight_ + scale(kTileGap) + textHeight_ + scale(kTileBottom)
                                 : std::max(imageHeight_, textHeight_) + scale(kRowPad);
  int y = margin;
  for (Group& group : groups_) {
    group.header = RECT{left, y, right, y + headerHeight};
    y += headerHeight;
    if (group.expanded && !group.items.empty()) {
      y += scale(kBodyPad);
      for (Item& item : group.items) {
        item.rect = RECT{left + scale(kItemInset), y, right - scale(kItemInset), y + itemHeight};
        y += itemHeight;
      }
      y += scale(kBodyPad);
    }
    group.body = RECT{left, group.header.top, right, y};
    y += margin;
  }
  contentHeight_ = y;
  updateScrollBar();
}

void NavBar::updateScrollBar() {
  RECT client;
  GetClientRect(handle(), &client);
  const int page = client.bottom;
  const int maxPos = scrollRange();
  scrollPos_ = std::clamp(scrollPos_, 0, maxPos);
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  info.nMin = 0;
  // Showing or hiding the bar changes the client width (WM_SIZE, layout
  // again); heights do not depend on the width, so this settles at once.
  info.nMax = maxPos > 0 ? contentHeight_ - 1 : 0;
  info.nPage = maxPos > 0 ? static_cast<UINT>(page) : 0;
  info.nPos = scrollPos_;
  SetScrollInfo(handle(), SB_VERT, &info, TRUE);
}

int NavBar::scrollRange() const {
  RECT client;
  GetClientRect(handle(), &client);
  const int page = client.bottom;
  return contentHeight_ - scale(kMargin) <= page ? 0 : contentHeight_ - page;
}

void NavBar::scrollTo(int position) {
  RECT client;
  GetClientRect(handle(), &client);
  const int clamped = std::clamp(position, 0, scrollRange());
  if (clamped == scrollPos_) return;
  scrollPos_ = clamped;
  SetScrollPos(handle(), SB_VERT, scrollPos_, TRUE);
  InvalidateRect(handle(), nullptr, FALSE);
}

// ---- mouse ----

NavBar::Target NavBar::hitTest(POINT client) const {
  const POINT p{client.x, client.y + scrollPos_};
  for (int g = 0; g < static_cast<int>(groups_.size()); ++g) {
    const Group& group = groups_[g];
    if (PtInRect(&group.header, p)) return Target{g, -1};
    if (!group.expanded) continue;
    for (int i = 0; i < static_cast<int>(group.items.size()); ++i) {
      if (PtInRect(&group.items[i].rect, p)) return Target{g, i};
    }
  }
  return Target{};
}

RECT NavBar::targetRect(const Target& target) const {
  if (target.group < 0 || target.group >= static_cast<int>(groups_.size())) return emptyRect();
  const Group& group = groups_[target.group];
  if (target.item < 0) return shifted(group.header, -scrollPos_);
  if (target.item >= static_cast<int>(group.items.size()) || !group.expanded) return emptyRect();
  return shifted(group.items[target.item].rect, -scrollPos_);
}

void NavBar::invalidateTarget(const Target& target) {
  const RECT r = targetRect(target);
  if (!IsRectEmpty(&r)) InvalidateRect(handle(), &r, FALSE);
}

void NavBar::setHot(const Target& target) {
  if (target == hot_) return;
  invalidateTarget(hot_);
  hot_ = target;
  invalidateTarget(hot_);
}

void NavBar::onMouseMove(POINT client) {
  if (!trackingLeave_) {
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, handle(), 0};
    trackingLeave_ = TrackMouseEvent(&track) != FALSE;
  }
  setHot(hitTest(client));
}

void NavBar::onButtonDown(POINT client) {
  Target target = hitTest(client);
  if (target.item >= 0 && !groups_[target.group].items[target.item].enabled) target = Target{};
  pressed_ = target;
  if (pressed_.group < 0) return;
  invalidateTarget(focus_);
  focus_ = pressed_;
  if (GetFocus() == handle()) {
    notifyFocus(nodeOf(focus_));
  } else {
    SetFocus(handle());
  }
  SetCapture(handle());
  invalidateTarget(pressed_);
}

void NavBar::onButtonUp(POINT client) {
  const Target pressed = pressed_;
  pressed_ = Target{};
  if (GetCapture() == handle()) ReleaseCapture();
  if (pressed.group < 0) return;
  invalidateTarget(pressed);
  if (hitTest(client) == pressed) runTarget(pressed);
}

// ---- painting ----

void NavBar::buildGreyImages() {
  const int count = images_ ? ImageList_GetImageCount(images_) : 0;
  if (greyStrip_ && greyCount_ == count) return;
  if (greyStrip_) DeleteObject(greyStrip_);
  greyStrip_ = nullptr;
  greyCount_ = count;
  if (count <= 0) return;

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = imageWidth_ * count;
  info.bmiHeader.biHeight = -imageHeight_;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  greyStrip_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!greyStrip_ || !bits) return;
  const size_t pixels = static_cast<size_t>(imageWidth_) * count * imageHeight_;
  std::fill_n(static_cast<uint32_t*>(bits), pixels, 0u);

  // Drawn onto a clear strip, the pictures come out premultiplied.
  HDC dc = CreateCompatibleDC(nullptr);
  const HGDIOBJ old = SelectObject(dc, greyStrip_);
  for (int i = 0; i < count; ++i) ImageList_Draw(images_, i, dc, i * imageWidth_, 0, ILD_TRANSPARENT);
  GdiFlush();
  SelectObject(dc, old);
  DeleteDC(dc);

  // Grey, lightened toward white and half see-through. In premultiplied
  // terms white is (a, a, a), and scaling all four channels fades.
  auto* p = static_cast<uint8_t*>(bits);
  for (size_t i = 0; i < pixels; ++i, p += 4) {
    const int a = p[3];
    const int grey = (p[2] * 30 + p[1] * 59 + p[0] * 11) / 100;
    const int light = grey + (a - grey) * 2 / 5;
    const auto fade = [](int v) { return static_cast<uint8_t>(v * 11 / 20); };
    p[0] = p[1] = p[2] = fade(std::clamp(light, 0, a));
    p[3] = fade(a);
  }
}

void NavBar::drawImage(HDC dc, int imageIndex, int x, int y, bool enabled) {
  if (!images_ || imageIndex < 0 || imageIndex >= ImageList_GetImageCount(images_)) return;
  if (enabled) {
    ImageList_Draw(images_, imageIndex, dc, x, y, ILD_TRANSPARENT);
    return;
  }
  buildGreyImages();
  if (!greyStrip_) return;
  blendBitmap(dc, x, y, imageWidth_, imageHeight_, greyStrip_, imageIndex * imageWidth_, 0);
}

void NavBar::paintChevron(HDC dc, const RECT& header, bool expanded, COLORREF colour) {
  const int cx = header.right - scale(kChevronArea) / 2 - scale(2);
  const int cy = (header.top + header.bottom) / 2;
  const int half = scale(4);
  const int rise = scale(2);
  SetDCPenColor(dc, colour);
  const HGDIOBJ oldPen = SelectObject(dc, GetStockObject(DC_PEN));
  // Open: points up (a click closes); closed: points down. Two pixels thick.
  const int dir = expanded ? -1 : 1;
  for (int t = 0; t < std::max(2, scale(2)); ++t) {
    const POINT line[3] = {{cx - half, cy - dir * rise + t}, {cx, cy + dir * rise + t}, {cx + half + 1, cy - dir * rise + t - dir}};
    Polyline(dc, line, 3);
  }
  SelectObject(dc, oldPen);
}

void NavBar::paintGroup(HDC dc, const Group& group, int groupIndex) {
  const RECT body = shifted(group.body, -scrollPos_);
  fillRect(dc, body, colors_.groupBody);

  RECT header = shifted(group.header, -scrollPos_);
  const bool hotHeader = hot_.group == groupIndex && hot_.item < 0;
  fillGradient(dc, header, colors_.headerTop, hotHeader ? colors_.headerHot : colors_.headerBottom, true);
  if (group.expanded && !group.items.empty()) {
    const RECT line{header.left, header.bottom - 1, header.right, header.bottom};
    fillRect(dc, line, colors_.groupBorder);
  }
  frameRect(dc, body, colors_.groupBorder);

  RECT text = header;
  text.left += scale(kHeaderTextPad);
  text.right -= scale(kChevronArea);
  SelectObject(dc, boldFont_ ? boldFont_ : font_);
  SetTextColor(dc, colors_.headerText);
  DrawTextW(dc, group.caption.c_str(), static_cast<int>(group.caption.size()), &text,
            DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS | DT_NOPREFIX);
  paintChevron(dc, header, group.expanded, colors_.headerText);

  if (!group.expanded) return;
  for (int i = 0; i < static_cast<int>(group.items.size()); ++i) {
    const Target target{groupIndex, i};
    paintItem(dc, group.items[i], hot_ == target, pressed_ == target && hot_ == target);
  }
}

RECT NavBar::tileBox(HDC dc, const Item& item) const {
  // The highlight hugs the picture and the caption, in the bar's font.
  const RECT r = shifted(item.rect, -scrollPos_);
  const HGDIOBJ old = SelectObject(dc, font_ ? static_cast<HGDIOBJ>(font_) : GetStockObject(DEFAULT_GUI_FONT));
  RECT measure{0, 0, 0, 0};
  DrawTextW(dc, item.caption.c_str(), static_cast<int>(item.caption.size()), &measure,
            DT_SINGLELINE | DT_CALCRECT | DT_NOPREFIX);
  SelectObject(dc, old);
  const int width = r.right - r.left;
  const int boxWidth = std::min(width, std::max<int>(imageWidth_ + scale(24), measure.right + scale(16)));
  return {r.left + (width - boxWidth) / 2, r.top + scale(1), r.left + (width - boxWidth) / 2 + boxWidth,
          r.bottom - scale(1)};
}

void NavBar::paintItem(HDC dc, const Item& item, bool hot, bool pressed) {
  const RECT r = shifted(item.rect, -scrollPos_);
  const bool selected = item.commandId == selected_;
  const bool lit = item.enabled && (hot || pressed);
  const int corner = scale(kCorner);
  SelectObject(dc, font_ ? static_cast<HGDIOBJ>(font_) : GetStockObject(DEFAULT_GUI_FONT));
  SetTextColor(dc, item.enabled ? colors_.itemText : colors_.disabledText);

  if (!tiles()) {
    if (selected || pressed) {
      roundBox(dc, r, colors_.selectedFill, colors_.selectedBorder, corner);
    } else if (lit) {
      roundBox(dc, r, colors_.hotFill, colors_.hotBorder, corner);
    }
    const int iconX = r.left + scale(kRowIconLeft);
    const int iconY = r.top + (r.bottom - r.top - imageHeight_) / 2;
    drawImage(dc, item.imageIndex, iconX, iconY, item.enabled);
    RECT text = r;
    text.left = iconX + imageWidth_ + scale(kRowTextGap);
    text.right -= scale(4);
    DrawTextW(dc, item.caption.c_str(), static_cast<int>(item.caption.size()), &text,
              DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS | DT_NOPREFIX);
    return;
  }

  const RECT box = tileBox(dc, item);
  const int width = r.right - r.left;
  if (selected || pressed) {
    roundBox(dc, box, colors_.selectedFill, colors_.selectedBorder, corner);
  } else if (lit) {
    roundBox(dc, box, colors_.hotFill, colors_.hotBorder, corner);
  }
  const int iconX = r.left + (width - imageWidth_) / 2;
  const int iconY = r.top + scale(kTileTop);
  drawImage(dc, item.imageIndex, iconX, iconY, item.enabled);
  RECT text{box.left + scale(4), iconY + imageHeight_ + scale(kTileGap), box.right - scale(4),
            iconY + imageHeight_ + scale(kTileGap) + textHeight_};
  DrawTextW(dc, item.caption.c_str(), static_cast<int>(item.caption.size()), &text,
            DT_SINGLELINE | DT_TOP | DT_CENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
}

void NavBar::paint(HDC dc, const RECT& client) {
  fillRect(dc, client, colors_.background);
  SetBkMode(dc, TRANSPARENT);
  const HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  for (int g = 0; g < static_cast<int>(groups_.size()); ++g) {
    const RECT body = shifted(groups_[g].body, -scrollPos_);
    if (body.bottom < client.top || body.top > client.bottom) continue;
    paintGroup(dc, groups_[g], g);
  }
  paintFocusMark(dc);
  SelectObject(dc, oldFont);
}

LRESULT NavBar::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      setFont(font_);
      layout();
      return 0;
    case WM_SIZE:
      layout();
      InvalidateRect(handle(), nullptr, FALSE);
      return 0;
    case WM_SETFONT:
      setFont(reinterpret_cast<HFONT>(wParam));
      layout();
      if (LOWORD(lParam)) InvalidateRect(handle(), nullptr, FALSE);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_);
    case WM_DPICHANGED_AFTERPARENT:
      measureFont();
      layout();
      InvalidateRect(handle(), nullptr, FALSE);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_GETDLGCODE:
      // The arrows, and Enter as a key of the bar rather than the dialog's
      // default button.
      if (lParam && reinterpret_cast<const MSG*>(lParam)->message == WM_KEYDOWN &&
          reinterpret_cast<const MSG*>(lParam)->wParam == VK_RETURN) {
        return DLGC_WANTARROWS | DLGC_WANTMESSAGE;
      }
      return DLGC_WANTARROWS;
    case WM_KEYDOWN:
      onKey(static_cast<UINT>(wParam));
      return 0;
    case WM_SETFOCUS:
      if (!validTarget(focus_)) {
        const RECT selected = itemRect(selected_);
        const Target chosen = IsRectEmpty(&selected) ? Target{} : hitTest(centre(selected));
        focus_ = chosen.group >= 0 ? chosen : Target{groups_.empty() ? -1 : 0, -1};
      }
      invalidateTarget(focus_);
      if (validTarget(focus_)) {
        scrollIntoView(focus_);
        notifyFocus(nodeOf(focus_));
      }
      return 0;
    case WM_KILLFOCUS:
      invalidateTarget(focus_);
      return 0;
    case WM_GETOBJECT:
      return answerGetObject(wParam, lParam);
    case WM_PAINT:
      paintBuffered(handle(), [this](HDC dc, const RECT& client) { paint(dc, client); });
      return 0;
    case WM_PRINTCLIENT: {
      RECT client;
      GetClientRect(handle(), &client);
      paint(reinterpret_cast<HDC>(wParam), client);
      return 0;
    }
    case WM_MOUSEMOVE:
      onMouseMove(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      return 0;
    case WM_MOUSELEAVE:
      trackingLeave_ = false;
      setHot(Target{});
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:  // the second click of a double-click is a click too
      onButtonDown(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      return 0;
    case WM_LBUTTONUP:
      onButtonUp(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      return 0;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lParam) != handle() && pressed_.group >= 0) {
        invalidateTarget(pressed_);
        pressed_ = Target{};
      }
      return 0;
    case WM_VSCROLL: {
      RECT client;
      GetClientRect(handle(), &client);
      SCROLLINFO info{};
      info.cbSize = sizeof info;
      info.fMask = SIF_TRACKPOS;
      GetScrollInfo(handle(), SB_VERT, &info);
      switch (LOWORD(wParam)) {
        case SB_LINEUP: scrollTo(scrollPos_ - scale(kLineScroll)); break;
        case SB_LINEDOWN: scrollTo(scrollPos_ + scale(kLineScroll)); break;
        case SB_PAGEUP: scrollTo(scrollPos_ - client.bottom); break;
        case SB_PAGEDOWN: scrollTo(scrollPos_ + client.bottom); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: scrollTo(info.nTrackPos); break;
        case SB_TOP: scrollTo(0); break;
        case SB_BOTTOM: scrollTo(contentHeight_); break;
        default: break;
      }
      return 0;
    }
    case WM_MOUSEWHEEL: {
      const int notches = GET_WHEEL_DELTA_WPARAM(wParam);
      scrollTo(scrollPos_ - notches * 3 * scale(kLineScroll) / WHEEL_DELTA);
      return 0;
    }
    default:
      return Window::handleMessage(message, wParam, lParam);
  }
}
