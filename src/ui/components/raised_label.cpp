#include "ui/components/raised_label.h"

#include <string>
#include <string_view>

#include "ui/components/accessible.h"

namespace {

constexpr wchar_t kClassName[] = L"HoravelRaisedLabel";

// Window extra bytes: the font, then the two colours.
constexpr int kFontSlot = 0;
constexpr int kTextColourSlot = kFontSlot + static_cast<int>(sizeof(LONG_PTR));
constexpr int kHighlightSlot = kTextColourSlot + static_cast<int>(sizeof(LONG_PTR));
constexpr int kExtraBytes = kHighlightSlot + static_cast<int>(sizeof(LONG_PTR));

COLORREF colourAt(HWND window, int slot) { return static_cast<COLORREF>(GetWindowLongPtrW(window, slot)); }

// What the parent shows behind the label: its class background, then what
// it paints itself.
void paintParentBackground(HWND window, HDC dc, const RECT& client) {
  const HWND parent = GetParent(window);
  if (!parent) return;
  if (auto brush = reinterpret_cast<HBRUSH>(GetClassLongPtrW(parent, GCLP_HBRBACKGROUND))) {
    // A system colour index + 1 stands for that colour's brush.
    if (reinterpret_cast<ULONG_PTR>(brush) <= COLOR_MENUBAR + 1) {
      brush = GetSysColorBrush(static_cast<int>(reinterpret_cast<ULONG_PTR>(brush) - 1));
    }
    FillRect(dc, &client, brush);
  }
  POINT origin{0, 0};
  MapWindowPoints(window, parent, &origin, 1);
  POINT previous;
  OffsetViewportOrgEx(dc, -origin.x, -origin.y, &previous);
  SendMessageW(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  SetViewportOrgEx(dc, previous.x, previous.y, nullptr);
}

void drawRaisedText(HWND window, HDC dc) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), length + 1)));

  const auto font = reinterpret_cast<HFONT>(GetWindowLongPtrW(window, kFontSlot));
  const HGDIOBJ oldFont = SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  SetBkMode(dc, TRANSPARENT);

  // Lines follow each other at the character height, the cell's top
  // (internal leading, above the characters) left out, so a label as tall as
  // its lines' characters shows them whole whichever face stands in.
  const int pitch = metrics.tmHeight - metrics.tmInternalLeading;
  int top = -metrics.tmInternalLeading;
  std::wstring_view rest = text;
  while (true) {
    const size_t end = rest.find(L'\n');
    std::wstring_view line = rest.substr(0, end);
    if (!line.empty() && line.back() == L'\r') line.remove_suffix(1);
    const int count = static_cast<int>(line.size());
    SetTextColor(dc, colourAt(window, kHighlightSlot));
    TextOutW(dc, 0, top, line.data(), count);
    SetTextColor(dc, colourAt(window, kTextColourSlot));
    TextOutW(dc, 1, top + 1, line.data(), count);
    if (end == std::wstring_view::npos) break;
    rest.remove_prefix(end + 1);
    top += pitch;
  }
  SelectObject(dc, oldFont);
}

// Everything into a memory picture first, then one copy: no flicker.
void paint(HWND window, HDC target) {
  RECT client;
  GetClientRect(window, &client);
  const HDC dc = CreateCompatibleDC(target);
  const HBITMAP picture = CreateCompatibleBitmap(target, client.right, client.bottom);
  const HGDIOBJ oldPicture = SelectObject(dc, picture);
  paintParentBackground(window, dc, client);
  drawRaisedText(window, dc);
  BitBlt(target, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
  SelectObject(dc, oldPicture);
  DeleteObject(picture);
  DeleteDC(dc);
}

LRESULT CALLBACK raisedLabelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETFONT:
      SetWindowLongPtrW(window, kFontSlot, static_cast<LONG_PTR>(wParam));
      if (LOWORD(lParam)) InvalidateRect(window, nullptr, FALSE);
      return 0;
    case WM_GETFONT:
      return GetWindowLongPtrW(window, kFontSlot);
    case WM_SETTEXT: {
      const LRESULT result = DefWindowProcW(window, message, wParam, lParam);
      InvalidateRect(window, nullptr, FALSE);
      return result;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      const HDC dc = BeginPaint(window, &ps);
      paint(window, dc);
      EndPaint(window, &ps);
      return 0;
    }
    case WM_PRINTCLIENT:
      paint(window, reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_NCHITTEST:
      return HTTRANSPARENT;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

HWND createRaisedLabel(HWND parent, int id, const wchar_t* text, int x, int y, int width, int height,
                       RaisedLabelColours colours) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  if (!GetClassInfoExW(instance, kClassName, &wc)) {
    wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &raisedLabelProc;
    wc.cbWndExtra = kExtraBytes;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    RegisterClassExW(&wc);
  }
  const HWND label = CreateWindowExW(0, kClassName, text, WS_CHILD | WS_VISIBLE, x, y, width, height, parent,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
  if (label) {
    SetWindowLongPtrW(label, kTextColourSlot, static_cast<LONG_PTR>(colours.text));
    SetWindowLongPtrW(label, kHighlightSlot, static_cast<LONG_PTR>(colours.highlight));
    describeWindow(label, {}, ROLE_SYSTEM_STATICTEXT);  // read as its text
  }
  return label;
}
