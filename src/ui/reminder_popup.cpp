#include "ui/reminder_popup.h"

#include <algorithm>
#include <map>
#include <string>

#include "platform/text_conversion.h"
#include "resource_names.h"
#include "ui/components/gdiplus_pictures.h"
#include "ui/components/graphics.h"
#include "ui/components/skin_engine.h"

namespace {

constexpr COLORREF kKey = RGB(res::kPopupKey.r, res::kPopupKey.g, res::kPopupKey.b);
constexpr BYTE kOpacity = 200;
constexpr int kFontHeight = 12;
// The picture's size when it can't be loaded.
constexpr SIZE kPictureSize{200, 442};
// The window ends where the picture's card ends: its right and bottom
// edges sit at the work area's, with nothing see-through beyond them.
constexpr SIZE kCardEnd{res::kPopupFigure.right + 1, res::kPopupFigure.bottom + 1};

// Chinese and Japanese scripts, their punctuation and the full-width forms:
// a line may break between any two of them.
bool breaksAnywhere(wchar_t c) { return c >= 0x2E80; }

// Punctuation that closes what comes before it: no line starts with it, so
// it stays with the character before.
bool closesPhrase(wchar_t c) {
  static constexpr std::wstring_view kClosing = L",.;:!?)]}、。〉》」』】〕〗’”…！），．：；？］｝";
  return kClosing.find(c) != std::wstring_view::npos;
}

int widthOf(HDC dc, std::wstring_view text) {
  SIZE size{};
  GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &size);
  return size.cx;
}

std::wstring withoutTrailingSpaces(std::wstring line) {
  line.erase(line.find_last_not_of(L' ') + 1);
  return line;
}

// The widths of a paragraph's first characters, measured a stretch at a time
// and only as far as a question needs: laying out a paragraph measures each
// character once at most, however long it is (a pasted address of tens of
// thousands of characters has no place to break).
class Extents {
 public:
  Extents(HDC dc, std::wstring_view text) : dc_(dc), text_(text) {}

  // True when text[from, to) is no wider than width.
  bool fit(std::size_t from, std::size_t to, int width) {
    if (to == from) return true;
    while (ends_.size() < from) measureMore();
    const int before = from == 0 ? 0 : ends_[from - 1];
    while (ends_.size() < to && (ends_.empty() || ends_.back() - before <= width)) measureMore();
    return ends_.size() >= to && ends_[to - 1] - before <= width;
  }

 private:
  void measureMore() {
    constexpr std::size_t kStretch = 256;
    const std::size_t start = ends_.size();
    const std::size_t count = std::min(kStretch, text_.size() - start);
    std::vector<int> ends(count, 0);
    SIZE size{};
    GetTextExtentExPointW(dc_, text_.data() + start, static_cast<int>(count), 0, nullptr, ends.data(), &size);
    const int base = start == 0 ? 0 : ends_.back();
    for (const int end : ends) ends_.push_back(base + end);
  }

  HDC dc_;
  std::wstring_view text_;
  std::vector<int> ends_;  // ends_[i]: the width of text_[0, i]
};

// Lays out one paragraph; false once lines holds maxLines.
bool wrapParagraph(HDC dc, std::wstring_view paragraph, int width, std::size_t maxLines,
                   std::vector<std::wstring>& lines) {
  Extents extents(dc, paragraph);
  std::size_t lineStart = 0;  // the line so far is paragraph[lineStart, i)
  bool lineHasText = false;
  const auto endLine = [&](std::size_t end, bool trim) {
    std::wstring line(paragraph.substr(lineStart, end - lineStart));
    lines.push_back(trim ? withoutTrailingSpaces(std::move(line)) : std::move(line));
    lineHasText = false;
    return lines.size() < maxLines;
  };
  std::size_t i = 0;
  while (i < paragraph.size()) {
    // The next piece that stays whole: a run of spaces, one CJK character
    // or a word.
    std::size_t j = i + 1;
    if (paragraph[i] == L' ') {
      while (j < paragraph.size() && paragraph[j] == L' ') ++j;
    } else {
      if (!breaksAnywhere(paragraph[i])) {
        while (j < paragraph.size() && paragraph[j] != L' ' && !breaksAnywhere(paragraph[j])) ++j;
      }
      while (j < paragraph.size() && closesPhrase(paragraph[j])) ++j;
    }
    if (extents.fit(lineStart, j, width)) {
      lineHasText = lineHasText || paragraph[i] != L' ';
      i = j;
    } else if (paragraph[i] == L' ') {
      if (!endLine(i, true)) return false;
      lineStart = i = j;
    } else if (lineHasText) {
      if (!endLine(i, true)) return false;
      lineStart = i;
    } else {
      // Wider than a whole line: as many characters as fit, at least one.
      std::size_t fit = 1;
      while (i + fit < j && extents.fit(lineStart, i + fit + 1, width)) ++fit;
      i += fit;
      if (!endLine(i, false)) return false;
      lineStart = i;
    }
  }
  return endLine(paragraph.size(), true);
}

RECT boundsAt(int left, int top, int width, int height) { return {left, top, left + width, top + height}; }

}  // namespace

std::vector<std::wstring> wrapText(HDC dc, std::wstring_view text, int width, std::size_t maxLines) {
  std::vector<std::wstring> lines;
  if (maxLines == 0) return lines;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find_first_of(L"\r\n", start);
    if (!wrapParagraph(dc, text.substr(start, end == std::wstring_view::npos ? end : end - start), width, maxLines,
                       lines)) {
      break;
    }
    if (end == std::wstring_view::npos) break;
    start = end + (text.compare(end, 2, L"\r\n") == 0 ? 2 : 1);
  }
  return lines;
}

TfrmTishi::TfrmTishi(HWND mainWindow) : mainWindow_(mainWindow) {
  CreateParams params;
  params.className = L"TfrmTishi";
  params.caption = L"友情提示:";
  params.style = WS_POPUP;
  // No taskbar button of its own: a tool window, and owned by the main
  // window (some shells give every unowned window a button). Topmost from
  // the start: a program in the notification area may not bring a window to
  // the front.
  params.exStyle = WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  params.owner = mainWindow;
  params.x = 0;
  params.y = 0;
  params.width = kPictureSize.cx;
  params.height = kPictureSize.cy;
  params.background = kKey;
  createWindow(params);
}

TfrmTishi::~TfrmTishi() {
  if (Image1.bitmap) DeleteObject(Image1.bitmap);
}

void TfrmTishi::FormCreate() {
  SetLayeredWindowAttributes(handle(), kKey, kOpacity, LWA_COLORKEY | LWA_ALPHA);
  Label2.caption = L"距离关闭的秒数:";
  useFont([](UINT dpi) { return createSongtiFont(kFontHeight, dpi); });
  loadPictures();
  layout();
}

void TfrmTishi::layout() {
  // The picture at its place; the window, as wide and high as its card.
  Image1.bounds = boundsAt(0, 0, scale(kPictureSize.cx), scale(kPictureSize.cy));
  Label1.bounds = boundsAt(scale(32), scale(88), scale(97), scale(185));
  Label2.bounds = boundsAt(scale(22), scale(272), scale(90), scale(12));
  lbNum.bounds = boundsAt(scale(112), scale(272), scale(12), scale(12));
  setNum(kCountdownSeconds - elapsed_);
  placeInCorner(mainWindow_, cardSize());
}

SIZE TfrmTishi::cardSize() const {
  // Grown to whole pixels, as the picture's copies grow the card.
  return {(kCardEnd.cx * static_cast<LONG>(dpi()) + 95) / 96, (kCardEnd.cy * static_cast<LONG>(dpi()) + 95) / 96};
}

void TfrmTishi::loadPictures() {
  if (Image1.bitmap) DeleteObject(Image1.bitmap);
  Image1.bitmap = loadPngPicture(res::kPopup, dpi());
  DIBSECTION dib{};
  const bool usable = Image1.bitmap && GetObjectW(Image1.bitmap, sizeof dib, &dib) == sizeof dib && dib.dsBm.bmBits;
  Image1.size = usable ? SIZE{dib.dsBm.bmWidth, dib.dsBm.bmHeight} : kPictureSize;
  const Skin* skin = currentSkin();
  if (usable && skin) {
    // The artwork has a few hundred colours at most: each is worked out once.
    const COLORREF body = RGB(res::kPopupBody.r, res::kPopupBody.g, res::kPopupBody.b);
    const COLORREF white = RGB(255, 255, 255);
    const COLORREF black = RGB(0, 0, 0);
    // Lighter shades of the body take lighter shades of the look's colour;
    // darker ones (the clock's feet and knob) darker shades of it.
    const auto inLook = [&](COLORREF was) {
      const COLORREF lighter = recoloured(was, body, white, skin->bannerTop, white);
      return lighter != was ? lighter : recoloured(was, body, black, skin->bannerTop, black);
    };
    std::map<COLORREF, COLORREF> done;
    GdiFlush();
    auto* pixels = static_cast<BYTE*>(dib.dsBm.bmBits);
    for (int y = 0; y < dib.dsBm.bmHeight; ++y) {
      BYTE* row = pixels + static_cast<size_t>(y) * dib.dsBm.bmWidthBytes;
      for (int x = 0; x < dib.dsBm.bmWidth; ++x) {
        BYTE* p = row + x * 4;
        const COLORREF was = RGB(p[2], p[1], p[0]);
        auto found = done.find(was);
        // The see-through key and white stay what they are.
        if (found == done.end()) found = done.emplace(was, inLook(was)).first;
        p[0] = GetBValue(found->second);
        p[1] = GetGValue(found->second);
        p[2] = GetRValue(found->second);
      }
    }
  }
  InvalidateRect(handle(), nullptr, FALSE);
}

void TfrmTishi::skinChanged() { loadPictures(); }

void TfrmTishi::setMessage(const std::string& cp936) {
  Label1.caption = toWide(cp936);
  InvalidateRect(handle(), nullptr, FALSE);
}

void TfrmTishi::showModal() {
  // The main window may have moved to another monitor since the last one.
  placeInCorner(mainWindow_, cardSize());
  ShowModal(Activation::None);
}

void TfrmTishi::FormShow() {
  elapsed_ = 0;
  setNum(kCountdownSeconds);
  // Setting the timer again starts a fresh period.
  SetTimer(handle(), kTimer1, 1000, nullptr);
  timerRunning_ = true;
}

void TfrmTishi::Timer1Timer() {
  if (elapsed_ >= kCountdownSeconds) {
    Close();
    return;
  }
  ++elapsed_;
  setNum(kCountdownSeconds - elapsed_);
}

void TfrmTishi::Image1DblClick() { Close(); }

void TfrmTishi::Close() {
  stopTimer();
  closeWith(IDCANCEL);
}

void TfrmTishi::stopTimer() {
  if (!timerRunning_) return;
  KillTimer(handle(), kTimer1);
  timerRunning_ = false;
}

void TfrmTishi::setNum(int seconds) {
  lbNum.caption = std::to_wstring(seconds);
  if (HDC dc = GetDC(handle())) {
    const HGDIOBJ old = SelectObject(dc, font());
    lbNum.bounds.right = lbNum.bounds.left + widthOf(dc, lbNum.caption);
    SelectObject(dc, old);
    ReleaseDC(handle(), dc);
  }
  InvalidateRect(handle(), nullptr, FALSE);
}

int TfrmTishi::lineHeight() const {
  HDC dc = GetDC(handle());
  const HGDIOBJ old = SelectObject(dc, font());
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(handle(), dc);
  return metrics.tmHeight;
}

std::vector<std::wstring> TfrmTishi::messageLines() const {
  HDC dc = GetDC(handle());
  const HGDIOBJ old = SelectObject(dc, font());
  std::vector<std::wstring> lines = wrappedMessage(dc);
  SelectObject(dc, old);
  ReleaseDC(handle(), dc);
  return lines;
}

const std::vector<std::wstring>& TfrmTishi::wrappedMessage(HDC dc) const {
  // The countdown repaints every second: the message is laid out once for
  // its text, label and font, and only as far as the label shows it.
  const int width = Label1.bounds.right - Label1.bounds.left;
  const HFONT shownIn = font();
  if (wrapped_.caption != Label1.caption || wrapped_.width != width || wrapped_.font != shownIn) {
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const int height = Label1.bounds.bottom - Label1.bounds.top;
    const int lineHeight = std::max(1, static_cast<int>(metrics.tmHeight));
    const auto shown = static_cast<std::size_t>(std::max(0, (height + lineHeight - 1) / lineHeight));
    wrapped_ = {Label1.caption, width, shownIn, wrapText(dc, Label1.caption, width, shown)};
  }
  return wrapped_.lines;
}

void TfrmTishi::paint(HDC dc) const {
  RECT client;
  GetClientRect(handle(), &client);
  const HBRUSH key = CreateSolidBrush(kKey);
  FillRect(dc, &client, key);
  DeleteObject(key);

  if (Image1.bitmap) {
    HDC source = CreateCompatibleDC(dc);
    const HGDIOBJ oldBitmap = SelectObject(source, Image1.bitmap);
    // No blending when scaled: the see-through colour must stay exact.
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, Image1.bounds.left, Image1.bounds.top, Image1.bounds.right - Image1.bounds.left,
               Image1.bounds.bottom - Image1.bounds.top, source, 0, 0, Image1.size.cx, Image1.size.cy, SRCCOPY);
    SelectObject(source, oldBitmap);
    DeleteDC(source);
  }

  const HGDIOBJ oldFont = SelectObject(dc, font());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  const std::vector<std::wstring>& lines = wrappedMessage(dc);
  int top = Label1.bounds.top;
  for (const std::wstring& line : lines) {
    if (top >= Label1.bounds.bottom) break;
    ExtTextOutW(dc, Label1.bounds.left, top, ETO_CLIPPED, &Label1.bounds, line.data(), static_cast<UINT>(line.size()),
                nullptr);
    top += metrics.tmHeight;
  }
  for (const Label* label : {&Label2, &lbNum}) {
    TextOutW(dc, label->bounds.left, label->bounds.top, label->caption.data(), static_cast<int>(label->caption.size()));
  }
  SelectObject(dc, oldFont);
}

void TfrmTishi::doubleClick(POINT at) {
  // The topmost control under the point takes the double-click.
  if (PtInRect(&lbNum.bounds, at) || PtInRect(&Label2.bounds, at)) return;
  if (PtInRect(&Label1.bounds, at) || PtInRect(&Image1.bounds, at)) Image1DblClick();
}

LRESULT TfrmTishi::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      FormCreate();
      return 0;
    case WM_ERASEBKGND:
      return 1;  // paint covers everything
    case WM_PAINT:
      paintBuffered(handle(), [this](HDC dc, const RECT&) { paint(dc); });
      return 0;
    case WM_PRINTCLIENT:
      paint(reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_TIMER:
      if (wParam == kTimer1 && timerRunning_) Timer1Timer();
      return 0;
    case WM_LBUTTONDBLCLK:
      doubleClick({static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
      return 0;
    case WM_SHOWWINDOW:
      // However the popup is closed, the countdown stops with it.
      if (!wParam) stopTimer();
      return Form::handleMessage(message, wParam, lParam);
    default:
      return Form::handleMessage(message, wParam, lParam);
  }
}
