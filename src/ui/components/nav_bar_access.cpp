// The side bar by keyboard and for screen readers.
#include <algorithm>

#include "ui/components/nav_bar.h"

bool NavBar::validTarget(const Target& target) const {
  if (target.group < 0 || target.group >= static_cast<int>(groups_.size())) return false;
  return target.item < static_cast<int>(groups_[target.group].items.size());
}

int NavBar::nodeOf(const Target& target) const {
  if (!validTarget(target)) return -1;
  return target.item < 0 ? groupNode(target.group) : itemNode(target.group, target.item);
}

NavBar::Target NavBar::targetOf(int node) const {
  const Target target{node / kNodesPerGroup - 1, node % kNodesPerGroup - 1};
  return node > 0 && validTarget(target) ? target : Target{};
}

// ---- keyboard ----

std::vector<NavBar::Target> NavBar::keyboardStops() const {
  std::vector<Target> stops;
  for (int g = 0; g < static_cast<int>(groups_.size()); ++g) {
    stops.push_back(Target{g, -1});
    if (!groups_[g].expanded) continue;
    for (int i = 0; i < static_cast<int>(groups_[g].items.size()); ++i) {
      if (groups_[g].items[i].enabled) stops.push_back(Target{g, i});
    }
  }
  return stops;
}

void NavBar::scrollIntoView(const Target& target) {
  const RECT r = targetRect(target);
  if (IsRectEmpty(&r)) return;
  RECT client;
  GetClientRect(handle(), &client);
  if (r.top < 0) {
    scrollTo(scrollPos_ + r.top - scale(4));
  } else if (r.bottom > client.bottom) {
    scrollTo(scrollPos_ + r.bottom - client.bottom + scale(4));
  }
}

void NavBar::moveFocus(const Target& target) {
  if (!validTarget(target)) return;
  if (!(target == focus_)) {
    invalidateTarget(focus_);
    focus_ = target;
    invalidateTarget(focus_);
  }
  scrollIntoView(focus_);
  if (GetFocus() == handle()) notifyFocus(nodeOf(focus_));
}

void NavBar::runTarget(const Target& target) {
  if (!validTarget(target)) return;
  if (target.item < 0) {
    setExpanded(target.group, !groups_[target.group].expanded);
    return;
  }
  const Item& item = groups_[target.group].items[target.item];
  if (!item.enabled || !groups_[target.group].expanded) return;
  // Last: the parent's handler may do anything, a modal dialog included.
  const HWND self = handle();
  SendMessageW(GetParent(self), WM_COMMAND, MAKEWPARAM(item.commandId, 0), reinterpret_cast<LPARAM>(self));
}

void NavBar::onKey(UINT key) {
  const std::vector<Target> stops = keyboardStops();
  if (stops.empty()) return;
  const auto at = std::find(stops.begin(), stops.end(), focus_);
  const int index = at == stops.end() ? -1 : static_cast<int>(at - stops.begin());
  const int last = static_cast<int>(stops.size()) - 1;
  Target next = focus_;
  switch (key) {
    case VK_UP: next = stops[std::max(0, index - 1)]; break;
    case VK_DOWN: next = stops[std::min(last, index + 1)]; break;
    case VK_HOME: next = stops.front(); break;
    case VK_END: next = stops.back(); break;
    case VK_LEFT:
      if (focus_.item >= 0) {
        next = Target{focus_.group, -1};
      } else if (expanded(focus_.group)) {
        setExpanded(focus_.group, false);
      }
      break;
    case VK_RIGHT:
      if (focus_.item < 0 && validTarget(focus_)) {
        if (!expanded(focus_.group)) {
          setExpanded(focus_.group, true);
        } else if (index < last && stops[index + 1].group == focus_.group) {
          next = stops[index + 1];
        }
      }
      break;
    case VK_RETURN:
    case VK_SPACE:
      runTarget(focus_);
      return;
    default:
      return;
  }
  if (next == focus_ || !validTarget(next)) return;
  moveFocus(next);
  if (arrowsRunItems_ && next.item >= 0) runTarget(next);
}

void NavBar::paintFocusMark(HDC dc) {
  if (GetFocus() != handle() || !validTarget(focus_)) return;
  RECT r = targetRect(focus_);
  if (IsRectEmpty(&r)) return;
  // A tile's mark rings the tile, as its highlight does, not the bar's width.
  if (tiles() && focus_.item >= 0) {
    r = tileBox(dc, groups_[focus_.group].items[focus_.item]);
    InflateRect(&r, -scale(1), -scale(1));
  } else {
    InflateRect(&r, -scale(2), -scale(2));
  }
  SetTextColor(dc, RGB(0, 0, 0));
  SetBkColor(dc, RGB(255, 255, 255));
  DrawFocusRect(dc, &r);
}

// ---- screen readers ----

AccessibleNode NavBar::accessibleNode(int node) const {
  AccessibleNode part;
  if (node == 0) {
    const int length = GetWindowTextLengthW(handle());
    part.name.resize(static_cast<size_t>(length) + 1);
    part.name.resize(static_cast<size_t>(GetWindowTextW(handle(), part.name.data(), length + 1)));
    part.role = ROLE_SYSTEM_PANE;
    part.state = STATE_SYSTEM_FOCUSABLE | (GetFocus() == handle() ? STATE_SYSTEM_FOCUSED : 0);
    GetClientRect(handle(), &part.rect);
    return part;
  }
  const Target target = targetOf(node);
  if (target.group < 0) return part;
  const Group& group = groups_[target.group];
  const bool focused = GetFocus() == handle() && focus_ == target;
  part.state = STATE_SYSTEM_FOCUSABLE | (focused ? STATE_SYSTEM_FOCUSED : 0);
  part.rect = targetRect(target);
  if (target.item < 0) {
    part.name = group.caption;
    part.role = ROLE_SYSTEM_GROUPING;
    part.state |= group.expanded ? STATE_SYSTEM_EXPANDED : STATE_SYSTEM_COLLAPSED;
    part.defaultAction = group.expanded ? L"折叠" : L"展开";
    return part;
  }
  const Item& item = group.items[target.item];
  part.name = item.caption;
  part.role = ROLE_SYSTEM_PUSHBUTTON;
  if (!item.enabled) part.state = (part.state & ~STATE_SYSTEM_FOCUSABLE) | STATE_SYSTEM_UNAVAILABLE;
  if (item.commandId == selected_) part.state |= STATE_SYSTEM_SELECTED;
  if (!group.expanded) part.state |= STATE_SYSTEM_INVISIBLE;
  if (item.enabled && group.expanded) part.defaultAction = L"按";
  return part;
}

std::vector<int> NavBar::accessibleChildren(int node) const {
  std::vector<int> children;
  if (node == 0) {
    for (int g = 0; g < static_cast<int>(groups_.size()); ++g) children.push_back(groupNode(g));
    return children;
  }
  const Target target = targetOf(node);
  if (target.group < 0 || target.item >= 0) return children;
  for (int i = 0; i < static_cast<int>(groups_[target.group].items.size()); ++i) {
    children.push_back(itemNode(target.group, i));
  }
  return children;
}

int NavBar::accessibleParent(int node) const {
  const Target target = targetOf(node);
  return target.item >= 0 ? groupNode(target.group) : 0;
}

int NavBar::accessibleFocus() const { return validTarget(focus_) ? nodeOf(focus_) : 0; }

void NavBar::accessibleDoDefaultAction(int node) { runTarget(targetOf(node)); }
