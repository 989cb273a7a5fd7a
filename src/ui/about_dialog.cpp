#include "ui/about_dialog.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "horavel_version.h"
#include "resource_names.h"
#include "ui/addresses.h"
#include "ui/components/gdiplus_pictures.h"
#include "ui/components/graphics.h"
#include "ui/components/raised_label.h"
#include "ui/components/skin_engine.h"

namespace {

enum : int { kLabel1Id = 101, kLabel3Id, kLabel4Id, kLabel5Id, kRzLabel1Id };

constexpr int kClientWidth = 371;
constexpr int kClientHeight = 210;

constexpr COLORREF kShapeFill = RGB(214, 239, 255);
constexpr COLORREF kShapeOutline = RGB(132, 203, 239);
constexpr RECT kShape1{0, 0, 371, 209};
constexpr RECT kImage2{1, 0, 1 + 369, 0 + 25};
constexpr RECT kImage1{16, 32, 16 + 209, 32 + 97};
constexpr RECT kRzLabel1{240, 32, 240 + 37, 32 + 60};
constexpr RECT kBtnOK{256, 144, 256 + 89, 144 + 25};

struct LabelPlace {
  int id;
  HWND TfrmAbout::*member;
  int x, y;
};
constexpr LabelPlace kLabels[] = {
    {kLabel1Id, &TfrmAbout::Label1, 17, 128},
    {kLabel3Id, &TfrmAbout::Label3, 128, 128},
    {kLabel4Id, &TfrmAbout::Label4, 16, 152},
    {kLabel5Id, &TfrmAbout::Label5, 14, 171},
};

constexpr wchar_t kThanks[] = L"感谢:\n\n林嘉树\n\n苏婉宁";

// A picture (a 32-bit DIB section with straight alpha, which this takes
// over) at width x height and premultiplied, ready for AlphaBlend at 1:1.
// A copy drawn for the dpi is already that size and stays as drawn; any
// other size is resampled bilinearly, on premultiplied values, so that
// see-through pixels do not bleed their colour into the edges.
HBITMAP preparePicture(HBITMAP source, int width, int height) {
  if (!source) return nullptr;
  DIBSECTION dib{};
  if (GetObjectW(source, sizeof dib, &dib) != sizeof dib || dib.dsBm.bmBitsPixel != 32 || !dib.dsBm.bmBits ||
      width <= 0 || height <= 0) {
    DeleteObject(source);
    return nullptr;
  }
  GdiFlush();
  const int sourceWidth = dib.dsBm.bmWidth;
  const int sourceHeight = dib.dsBm.bmHeight;
  const bool bottomUp = dib.dsBmih.biHeight > 0;
  const auto* sourceBits = static_cast<const BYTE*>(dib.dsBm.bmBits);

  // Premultiplied source, top row first, blue green red alpha.
  std::vector<float> pixels(static_cast<size_t>(sourceWidth) * static_cast<size_t>(sourceHeight) * 4);
  for (int y = 0; y < sourceHeight; ++y) {
    const BYTE* row = sourceBits + static_cast<size_t>(bottomUp ? sourceHeight - 1 - y : y) * dib.dsBm.bmWidthBytes;
    for (int x = 0; x < sourceWidth; ++x) {
      const BYTE* p = row + x * 4;
      const float alpha = p[3] / 255.0f;
      float* q = &pixels[(static_cast<size_t>(y) * sourceWidth + x) * 4];
      q[0] = p[0] * alpha;
      q[1] = p[1] * alpha;
      q[2] = p[2] * alpha;
      q[3] = p[3];
    }
  }
  DeleteObject(source);

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  const HBITMAP picture = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!picture) return nullptr;

  const auto sample = [](float position, int limit, int& first, int& second, float& weight) {
    position = std::clamp(position, 0.0f, static_cast<float>(limit - 1));
    first = static_cast<int>(position);
    second = std::min(first + 1, limit - 1);
    weight = position - static_cast<float>(first);
  };
  auto* out = static_cast<BYTE*>(bits);
  for (int y = 0; y < height; ++y) {
    int y0, y1;
    float wy;
    sample((static_cast<float>(y) + 0.5f) * static_cast<float>(sourceHeight) / static_cast<float>(height) - 0.5f,
           sourceHeight, y0, y1, wy);
    for (int x = 0; x < width; ++x) {
      int x0, x1;
      float wx;
      sample((static_cast<float>(x) + 0.5f) * static_cast<float>(sourceWidth) / static_cast<float>(width) - 0.5f,
             sourceWidth, x0, x1, wx);
      const float* a = &pixels[(static_cast<size_t>(y0) * sourceWidth + x0) * 4];
      const float* b = &pixels[(static_cast<size_t>(y0) * sourceWidth + x1) * 4];
      const float* c = &pixels[(static_cast<size_t>(y1) * sourceWidth + x0) * 4];
      const float* d = &pixels[(static_cast<size_t>(y1) * sourceWidth + x1) * 4];
      BYTE* p = out + (static_cast<size_t>(y) * width + x) * 4;
      for (int k = 0; k < 4; ++k) {
        const float top = a[k] + (b[k] - a[k]) * wx;
        const float bottom = c[k] + (d[k] - c[k]) * wx;
        p[k] = static_cast<BYTE>(std::lround(std::clamp(top + (bottom - top) * wy, 0.0f, 255.0f)));
      }
    }
  }
  return picture;
}

void drawPicture(HDC dc, HBITMAP picture, int x, int y) {
  if (!picture) return;
  BITMAP size{};
  GetObjectW(picture, sizeof size, &size);
  blendBitmap(dc, x, y, size.bmWidth, size.bmHeight, picture);
}

}  // namespace

TfrmAbout::TfrmAbout(HWND owner) {
  CreateParams params;
  params.className = L"TfrmAbout";
  params.caption = L"关于程序";
  // No caption bar, no system menu, no frame: nothing to drag or close it
  // by. The card's own outline sets it apart from the window behind it.
  params.style = WS_POPUP | WS_CLIPSIBLINGS;
  params.exStyle = WS_EX_CONTROLPARENT;
  params.owner = owner;
  params.x = 0;
  params.y = 0;
  params.width = kClientWidth;
  params.height = kClientHeight;
  createWindow(params);
  FormCreate();
  centreOn(owner);
}

TfrmAbout::~TfrmAbout() {
  // The controls go first: the button still holds the glyph list.
  if (handle()) DestroyWindow(handle());
  freeResources();
}

void TfrmAbout::FormCreate() {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  for (const LabelPlace& place : kLabels) {
    this->*place.member =
        CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0, handle(),
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(place.id)), instance, nullptr);
  }
  SetWindowTextW(Label1, L"Horavel");
  SetWindowTextW(Label3, L"Ver:" HORAVEL_VERSION);
  SetWindowTextW(Label4, L"设计:Mirolan工作室");
  SetWindowTextW(Label5, kHomePage);
  RzLabel1 = createRaisedLabel(handle(), kRzLabel1Id, kThanks, 0, 0, 0, 0);
  btnOK = CreateWindowExW(0, L"BUTTON", L"确定(&O)", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 0, 0, 0,
                          handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDOK)), instance, nullptr);
  bindCommand(IDOK, [this] { btnOKClick(); });
  // Esc closes the box as the button does.
  bindCommand(IDCANCEL, [this] { btnOKClick(); });
  useFont(&createDialogFont);
  loadPictures();
  layout();
}

void TfrmAbout::freeResources() {
  if (strip_) DeleteObject(strip_);
  if (logo_) DeleteObject(logo_);
  if (okGlyph_) ImageList_Destroy(okGlyph_);
  strip_ = logo_ = nullptr;
  okGlyph_ = nullptr;
}

void TfrmAbout::loadPictures() {
  if (strip_) DeleteObject(strip_);
  if (logo_) DeleteObject(logo_);
  strip_ = preparePicture(loadBitmapResource(res::kStrip), scale(kImage2.right - kImage2.left),
                          scale(kImage2.bottom - kImage2.top));
  tintStrip();
  logo_ = preparePicture(loadPngPicture(res::kLogo, dpi()), scale(kImage1.right - kImage1.left),
                         scale(kImage1.bottom - kImage1.top));

  const HIMAGELIST oldGlyph = okGlyph_;
  okGlyph_ = loadImageStrip(res::kGlyphOk, 16, 1, dpi());
  BUTTON_IMAGELIST glyph{okGlyph_, {2, 0, 0, 0}, BUTTON_IMAGELIST_ALIGN_LEFT};
  SendMessageW(btnOK, BCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(&glyph));
  if (oldGlyph) ImageList_Destroy(oldGlyph);
  InvalidateRect(handle(), nullptr, TRUE);
}

void TfrmAbout::layout() {
  setClientSize(kClientWidth, kClientHeight);

  // The labels fit their text.
  const HDC dc = GetDC(handle());
  const HGDIOBJ old = SelectObject(dc, font());
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  for (const LabelPlace& place : kLabels) {
    const HWND label = this->*place.member;
    wchar_t text[128];
    const int length = GetWindowTextW(label, text, 128);
    SIZE extent{};
    GetTextExtentPoint32W(dc, text, length, &extent);
    MoveWindow(label, scale(place.x), scale(place.y), extent.cx, metrics.tmHeight, FALSE);
  }
  SelectObject(dc, old);
  ReleaseDC(handle(), dc);

  const auto place = [this](HWND control, const RECT& r) {
    MoveWindow(control, scale(r.left), scale(r.top), scale(r.right - r.left), scale(r.bottom - r.top), FALSE);
  };
  place(RzLabel1, kRzLabel1);
  place(btnOK, kBtnOK);
  InvalidateRect(handle(), nullptr, TRUE);
}

COLORREF TfrmAbout::cardFill() const {
  const Skin* skin = currentSkin();
  return skin ? skin->cardFill : kShapeFill;
}

COLORREF TfrmAbout::cardEdge() const {
  const Skin* skin = currentSkin();
  return skin ? skin->cardEdge : kShapeOutline;
}

void TfrmAbout::tintStrip() {
  // The strip runs from the card's outline colour to its fill: in a skin,
  // from the skin's.
  if (!strip_ || (cardFill() == kShapeFill && cardEdge() == kShapeOutline)) return;
  DIBSECTION dib{};
  if (GetObjectW(strip_, sizeof dib, &dib) != sizeof dib || !dib.dsBm.bmBits) return;
  GdiFlush();
  auto* bits = static_cast<BYTE*>(dib.dsBm.bmBits);
  for (int y = 0; y < dib.dsBm.bmHeight; ++y) {
    BYTE* row = bits + static_cast<size_t>(y) * dib.dsBm.bmWidthBytes;
    for (int x = 0; x < dib.dsBm.bmWidth; ++x) {
      BYTE* p = row + x * 4;
      if (p[3] != 255) continue;  // opaque throughout; premultiplied otherwise
      const COLORREF now = recoloured(RGB(p[2], p[1], p[0]), kShapeOutline, kShapeFill, cardEdge(), cardFill());
      p[0] = GetBValue(now);
      p[1] = GetGValue(now);
      p[2] = GetRValue(now);
    }
  }
}

void TfrmAbout::skinChanged() { loadPictures(); }

void TfrmAbout::paintFrame() {
  // The line around the card, in the look's outline colour, darkened.
  const HDC dc = GetWindowDC(handle());
  RECT r;
  GetWindowRect(handle(), &r);
  OffsetRect(&r, -r.left, -r.top);
  const COLORREF edge = cardEdge();
  SetDCBrushColor(dc, RGB(GetRValue(edge) * 3 / 5, GetGValue(edge) * 3 / 5, GetBValue(edge) * 3 / 5));
  FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  ReleaseDC(handle(), dc);
}

void TfrmAbout::paint(HDC dc) {
  RECT client;
  GetClientRect(handle(), &client);
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));

  const HBRUSH fill = CreateSolidBrush(cardFill());
  const HPEN outline = CreatePen(PS_INSIDEFRAME, std::max(1, scale(1)), cardEdge());
  const HGDIOBJ oldBrush = SelectObject(dc, fill);
  const HGDIOBJ oldPen = SelectObject(dc, outline);
  Rectangle(dc, scale(kShape1.left), scale(kShape1.top), scale(kShape1.right), scale(kShape1.bottom));
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  DeleteObject(outline);
  DeleteObject(fill);

  drawPicture(dc, strip_, scale(kImage2.left), scale(kImage2.top));
  drawPicture(dc, logo_, scale(kImage1.left), scale(kImage1.top));
}

void TfrmAbout::FormShow() { SetFocus(btnOK); }

void TfrmAbout::btnOKClick() { closeWith(IDOK); }

LRESULT TfrmAbout::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      paintBuffered(handle(), [this](HDC dc, const RECT&) { paint(dc); });
      return 0;
    case WM_PRINTCLIENT:
      paint(reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_CTLCOLORSTATIC: {
      // The labels are see-through: the shape shows behind their text.
      const auto dc = reinterpret_cast<HDC>(wParam);
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, RGB(0, 0, 0));
      return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    }
    case WM_ACTIVATE:
      // The button keeps the focus whenever the box is active.
      if (LOWORD(wParam) != WA_INACTIVE) {
        SetFocus(btnOK);
        return 0;
      }
      break;
    case WM_NCPAINT:
      paintFrame();
      return 0;
    default:
      break;
  }
  return Form::handleMessage(message, wParam, lParam);
}
