#include "ui/components/month_calendar.h"

#include <windowsx.h>

#include <algorithm>

#include "core/clock.h"
#include "ui/components/skin_engine.h"

namespace {

constexpr COLORREF kBackground = RGB(255, 255, 255);
constexpr COLORREF kBorder = RGB(122, 138, 153);
constexpr COLORREF kHeaderFill = RGB(234, 241, 251);
constexpr COLORREF kHeaderLine = RGB(190, 205, 228);
constexpr COLORREF kHeaderText = RGB(30, 57, 105);
constexpr COLORREF kDayText = RGB(20, 20, 20);
constexpr COLORREF kWeekendText = RGB(192, 40, 40);
constexpr COLORREF kSelectedFill = RGB(51, 112, 204);
constexpr COLORREF kSelectedText = RGB(255, 255, 255);

std::wstring localeText(LCTYPE type) {
  wchar_t text[80] = L"";
  const int length = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type, text, 80);
  return length > 1 ? std::wstring(text, static_cast<size_t>(length - 1)) : std::wstring();
}

}  // namespace

std::array<std::wstring, 7> regionalShortWeekdayNames() {
  // The locale numbers its days from Monday (1) to Sunday (7).
  static constexpr LCTYPE kAbbreviated[7] = {LOCALE_SABBREVDAYNAME7, LOCALE_SABBREVDAYNAME1, LOCALE_SABBREVDAYNAME2,
                                             LOCALE_SABBREVDAYNAME3, LOCALE_SABBREVDAYNAME4, LOCALE_SABBREVDAYNAME5,
                                             LOCALE_SABBREVDAYNAME6};
  static constexpr LCTYPE kShortest[7] = {LOCALE_SSHORTESTDAYNAME7, LOCALE_SSHORTESTDAYNAME1,
                                          LOCALE_SSHORTESTDAYNAME2, LOCALE_SSHORTESTDAYNAME3,
                                          LOCALE_SSHORTESTDAYNAME4, LOCALE_SSHORTESTDAYNAME5,
                                          LOCALE_SSHORTESTDAYNAME6};
  std::array<std::wstring, 7> names;
  for (int i = 0; i < 7; ++i) {
    names[i] = localeText(kAbbreviated[i]);
    if (names[i].empty()) names[i] = localeText(kShortest[i]);
  }
  return names;
}

MonthCalendar::MonthCalendar(HWND parent, int id, int x, int y, int width, int height, int year, int month, int day)
    : year_(year),
      month_(std::clamp(month, 1, 12)),
      selected_(0),
      firstColumn_(dayOfWeek(year, month_, 1)),
      days_(daysInMonth(year, month_)),
      names_(regionalShortWeekdayNames()) {
  selected_ = std::clamp(day, 1, days_);
  CreateParams params;
  params.className = L"HoravelMonthCalendar";
  params.style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER;
  params.x = x;
  params.y = y;
  params.width = width;
  params.height = height;
  params.owner = parent;
  params.menu = reinterpret_cast<HMENU>(static_cast<INT_PTR>(id));
  params.background = kBackground;
  createWindow(params);
  font_ = reinterpret_cast<HFONT>(SendMessageW(parent, WM_GETFONT, 0, 0));
}

void MonthCalendar::setSelectedDay(int day) {
  if (day < 1 || day > days_ || day == selected_) return;
  invalidateDay(selected_);
  selected_ = day;
  invalidateDay(selected_);
  if (GetFocus() == handle()) notifyFocus(selected_);
}

int MonthCalendar::dayAt(int row, int column) const {
  if (row < 1 || row >= kRows || column < 0 || column >= kColumns) return 0;
  const int day = (row - 1) * kColumns + column - firstColumn_ + 1;
  return day >= 1 && day <= days_ ? day : 0;
}

RECT MonthCalendar::cellRect(int row, int column) const {
  RECT client{};
  GetClientRect(handle(), &client);
  // Column c spans [c*w/7, (c+1)*w/7): the cells share every pixel.
  return {client.right * column / kColumns, client.bottom * row / kRows, client.right * (column + 1) / kColumns,
          client.bottom * (row + 1) / kRows};
}

bool MonthCalendar::cellAt(POINT point, int& row, int& column) const {
  RECT client{};
  GetClientRect(handle(), &client);
  if (!PtInRect(&client, point) || client.right <= 0 || client.bottom <= 0) return false;
  column = std::min(kColumns - 1, static_cast<int>(point.x * kColumns / client.right));
  row = std::min(kRows - 1, static_cast<int>(point.y * kRows / client.bottom));
  // The integer split may put a boundary pixel one cell early.
  while (column + 1 < kColumns && point.x >= cellRect(row, column + 1).left) ++column;
  while (row + 1 < kRows && point.y >= cellRect(row + 1, column).top) ++row;
  return true;
}

RECT MonthCalendar::dayRect(int day) const {
  if (day < 1 || day > days_ || !handle()) return RECT{};
  const int index = firstColumn_ + day - 1;
  return cellRect(1 + index / kColumns, index % kColumns);
}

void MonthCalendar::invalidateDay(int day) {
  const RECT r = dayRect(day);
  if (!IsRectEmpty(&r)) InvalidateRect(handle(), &r, FALSE);
}

AccessibleNode MonthCalendar::accessibleNode(int node) const {
  AccessibleNode part;
  if (node == 0) {
    part.role = ROLE_SYSTEM_TABLE;
    part.state = STATE_SYSTEM_FOCUSABLE | (GetFocus() == handle() ? STATE_SYSTEM_FOCUSED : 0);
    GetClientRect(handle(), &part.rect);
    SYSTEMTIME month{};
    month.wYear = static_cast<WORD>(year_);
    month.wMonth = static_cast<WORD>(month_);
    month.wDay = 1;
    wchar_t text[80] = L"";
    if (GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_YEARMONTH, &month, nullptr, text, 80, nullptr) > 0) {
      part.name = text;
    }
    return part;
  }
  if (node < 1 || node > days_) return part;
  SYSTEMTIME date{};
  date.wYear = static_cast<WORD>(year_);
  date.wMonth = static_cast<WORD>(month_);
  date.wDay = static_cast<WORD>(node);
  date.wDayOfWeek = static_cast<WORD>(dayOfWeek(year_, month_, node));
  wchar_t text[80] = L"";
  if (GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_LONGDATE, &date, nullptr, text, 80, nullptr) > 0) {
    part.name = text;
  } else {
    part.name = std::to_wstring(node);
  }
  part.role = ROLE_SYSTEM_CELL;
  part.state = STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE;
  if (node == selected_) {
    part.state |= STATE_SYSTEM_SELECTED | (GetFocus() == handle() ? STATE_SYSTEM_FOCUSED : 0);
  }
  part.rect = dayRect(node);
  part.defaultAction = L"选择";
  return part;
}

std::vector<int> MonthCalendar::accessibleChildren(int node) const {
  std::vector<int> days;
  if (node != 0) return days;
  for (int day = 1; day <= days_; ++day) days.push_back(day);
  return days;
}

namespace {

// The header band, the selection and the border take a skin's colours.
struct CalendarColours {
  COLORREF headerFill, headerLine, headerText, selectedFill, border;
};

CalendarColours calendarColours() {
  if (const Skin* skin = currentSkin())
    return {skin->nav.hotFill, skin->nav.hotBorder, skin->nav.itemText, skin->nav.selectedBorder, skin->bandEdge};
  return {kHeaderFill, kHeaderLine, kHeaderText, kSelectedFill, kBorder};
}

}  // namespace

void MonthCalendar::paint(HDC dc) {
  const CalendarColours colours = calendarColours();
  RECT client{};
  GetClientRect(handle(), &client);
  const HBRUSH white = CreateSolidBrush(kBackground);
  FillRect(dc, &client, white);
  DeleteObject(white);

  const HGDIOBJ oldFont = SelectObject(dc, font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc, TRANSPARENT);
  const UINT centred = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;

  // The weekday header on a light band with a line under it.
  RECT header{0, 0, client.right, cellRect(0, 0).bottom};
  const HBRUSH headerFill = CreateSolidBrush(colours.headerFill);
  FillRect(dc, &header, headerFill);
  DeleteObject(headerFill);
  RECT line{0, header.bottom - 1, client.right, header.bottom};
  const HBRUSH headerLine = CreateSolidBrush(colours.headerLine);
  FillRect(dc, &line, headerLine);
  DeleteObject(headerLine);
  SetTextColor(dc, colours.headerText);
  for (int column = 0; column < kColumns; ++column) {
    RECT r = cellRect(0, column);
    DrawTextW(dc, names_[column].c_str(), static_cast<int>(names_[column].size()), &r, centred);
  }

  const bool focused = GetFocus() == handle();
  for (int row = 1; row < kRows; ++row) {
    for (int column = 0; column < kColumns; ++column) {
      const int day = dayAt(row, column);
      if (day == 0) continue;
      RECT r = cellRect(row, column);
      if (day == selected_) {
        RECT fill = r;
        InflateRect(&fill, -1, -1);
        const HBRUSH selectedFill = CreateSolidBrush(colours.selectedFill);
        FillRect(dc, &fill, selectedFill);
        DeleteObject(selectedFill);
        if (focused) {
          InflateRect(&fill, -1, -1);
          SetTextColor(dc, kSelectedText);
          SetBkColor(dc, colours.selectedFill);
          DrawFocusRect(dc, &fill);
        }
        SetTextColor(dc, kSelectedText);
      } else {
        SetTextColor(dc, column == 0 || column == kColumns - 1 ? kWeekendText : kDayText);
      }
      const std::wstring number = std::to_wstring(day);
      DrawTextW(dc, number.c_str(), static_cast<int>(number.size()), &r, centred);
    }
  }
  SelectObject(dc, oldFont);
}

LRESULT MonthCalendar::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      const HDC target = BeginPaint(handle(), &ps);
      RECT client{};
      GetClientRect(handle(), &client);
      const HDC dc = CreateCompatibleDC(target);
      const HBITMAP buffer = CreateCompatibleBitmap(target, std::max(1L, client.right), std::max(1L, client.bottom));
      const HGDIOBJ old = SelectObject(dc, buffer);
      paint(dc);
      BitBlt(target, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
      SelectObject(dc, old);
      DeleteObject(buffer);
      DeleteDC(dc);
      EndPaint(handle(), &ps);
      return 0;
    }
    case WM_PRINTCLIENT:
      paint(reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_NCPAINT: {
      // The flat border: one line in a soft grey instead of the frame black.
      const HDC dc = GetWindowDC(handle());
      RECT frame{};
      GetWindowRect(handle(), &frame);
      OffsetRect(&frame, -frame.left, -frame.top);
      const HBRUSH border = CreateSolidBrush(calendarColours().border);
      FrameRect(dc, &frame, border);
      DeleteObject(border);
      ReleaseDC(handle(), dc);
      return 0;
    }
    case WM_SETFONT:
      font_ = reinterpret_cast<HFONT>(wParam);
      if (LOWORD(lParam)) InvalidateRect(handle(), nullptr, FALSE);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_);
    case WM_SIZE:
      InvalidateRect(handle(), nullptr, FALSE);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      SetFocus(handle());
      int row = 0, column = 0;
      if (cellAt({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, row, column)) setSelectedDay(dayAt(row, column));
      return 0;
    }
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;
    case WM_KEYDOWN: {
      int day = selected_;
      switch (wParam) {
        case VK_LEFT: day -= 1; break;
        case VK_RIGHT: day += 1; break;
        case VK_UP: day -= 7; break;
        case VK_DOWN: day += 7; break;
        case VK_HOME: day = 1; break;
        case VK_END: day = days_; break;
        default: return DefWindowProcW(handle(), message, wParam, lParam);
      }
      setSelectedDay(day);
      return 0;
    }
    case WM_SETFOCUS:
      invalidateDay(selected_);
      notifyFocus(selected_);
      return 0;
    case WM_KILLFOCUS:
      invalidateDay(selected_);
      return 0;
    case WM_GETOBJECT:
      return answerGetObject(wParam, lParam);
    default:
      break;
  }
  return Window::handleMessage(message, wParam, lParam);
}
