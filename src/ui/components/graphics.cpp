#include "ui/components/graphics.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "ui/components/gdiplus_pictures.h"

namespace {

// True when the font the system made for the request covers the simplified
// Chinese code page with glyphs of its own.
bool showsChinese(HFONT font) {
  HDC dc = GetDC(nullptr);
  const HGDIOBJ old = SelectObject(dc, font);
  FONTSIGNATURE signature{};
  const bool known = GetTextCharsetInfo(dc, &signature, 0) != DEFAULT_CHARSET || signature.fsCsb[0] != 0;
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return known && (signature.fsCsb[0] & FS_CHINESESIMP) != 0;
}

HFONT createFace(const wchar_t* face, BYTE charset, int height96, UINT dpi) {
  return CreateFontW(-MulDiv(height96, static_cast<int>(dpi), 96), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, charset,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
}

}  // namespace

HFONT createReadableFont(const wchar_t* face, BYTE charset, int height96, UINT dpi, UINT codePage) {
  HFONT named = createFace(face, charset, height96, dpi);
  // A Chinese Windows shows Chinese in every face (it associates a Chinese
  // font with the others); elsewhere the named face must have the glyphs.
  if (codePage == 936 || showsChinese(named)) return named;
  // The message font, which Windows links to a Chinese face, at the size asked for.
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return named;
  DeleteObject(named);
  return createFace(metrics.lfMessageFont.lfFaceName, DEFAULT_CHARSET, height96, dpi);
}

HFONT createSongtiFont(int height96, UINT dpi) { return createReadableFont(L"宋体", GB2312_CHARSET, height96, dpi); }

// 8 point: a character height of 11 pixels at 96 dpi.
HFONT createSansSerifFont(UINT dpi) { return createReadableFont(L"MS Sans Serif", DEFAULT_CHARSET, 11, dpi); }

namespace {

BOOL CALLBACK setFontOnChild(HWND child, LPARAM font) {
  SendMessageW(child, WM_SETFONT, static_cast<WPARAM>(font), FALSE);
  return TRUE;
}

}  // namespace

void setFontOnTree(HWND window, HFONT font) {
  SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  EnumChildWindows(window, &setFontOnChild, reinterpret_cast<LPARAM>(font));
}

HBITMAP loadBitmapResource(const wchar_t* bitmapName) {
  return static_cast<HBITMAP>(
      LoadImageW(GetModuleHandleW(nullptr), bitmapName, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

namespace {

constexpr int kPicturePercents[] = {200, 150, 125};

int picturePercent(UINT dpi) {
  for (int percent : kPicturePercents) {
    if (percent * 96 <= static_cast<int>(dpi) * 100) return percent;
  }
  return 100;
}

}  // namespace

std::wstring pictureForDpi(const wchar_t* name, UINT dpi, const wchar_t* type, int* percent) {
  int scale = picturePercent(dpi);
  std::wstring chosen = name;
  if (scale != 100) {
    std::wstring scaled = chosen + L"_" + std::to_wstring(scale);
    if (FindResourceW(GetModuleHandleW(nullptr), scaled.c_str(), type)) {
      chosen = std::move(scaled);
    } else {
      scale = 100;
    }
  }
  if (percent) *percent = scale;
  return chosen;
}

HBITMAP loadPngPicture(const wchar_t* name, UINT dpi) {
  return loadPngResource(pictureForDpi(name, dpi, MAKEINTRESOURCEW(10) /* RT_RCDATA */).c_str());
}

int pictureSize(int size96, UINT dpi) { return size96 * picturePercent(dpi) / 100; }

HIMAGELIST loadImageStrip(const wchar_t* bitmapName, int size96, int count, UINT dpi) {
  int percent = 100;
  const std::wstring name = pictureForDpi(bitmapName, dpi, MAKEINTRESOURCEW(2) /* RT_BITMAP */, &percent);
  const int size = size96 * percent / 100;
  HIMAGELIST list = ImageList_Create(size, size, ILC_COLOR32, count, 0);
  if (HBITMAP strip = loadBitmapResource(name.c_str())) {
    ImageList_Add(list, strip, nullptr);
    DeleteObject(strip);
  }
  return list;
}

HBITMAP stripPicture(const wchar_t* bitmapName, int size96, int index, UINT dpi) {
  int percent = 100;
  const std::wstring name = pictureForDpi(bitmapName, dpi, MAKEINTRESOURCEW(2) /* RT_BITMAP */, &percent);
  const int size = size96 * percent / 100;
  HBITMAP strip = loadBitmapResource(name.c_str());
  if (!strip) return nullptr;
  DIBSECTION source{};
  GetObjectW(strip, sizeof source, &source);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = size;
  info.bmiHeader.biHeight = -size;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP picture = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  const bool usable = picture && source.dsBm.bmBitsPixel == 32 && source.dsBm.bmBits &&
                      source.dsBm.bmWidth >= (index + 1) * size && source.dsBm.bmHeight >= size;
  if (usable) {
    const auto* from = static_cast<const BYTE*>(source.dsBm.bmBits);
    auto* to = static_cast<BYTE*>(bits);
    const int height = source.dsBm.bmHeight;
    for (int y = 0; y < size; ++y) {
      // The resource is bottom-up.
      const BYTE* row = from + static_cast<size_t>(height - 1 - y) * source.dsBm.bmWidthBytes;
      for (int x = 0; x < size; ++x) {
        const BYTE* pixel = row + (index * size + x) * 4;
        BYTE* out = to + (static_cast<size_t>(y) * size + x) * 4;
        const int alpha = pixel[3];
        for (int c = 0; c < 3; ++c) out[c] = static_cast<BYTE>(pixel[c] * alpha / 255);
        out[3] = static_cast<BYTE>(alpha);
      }
    }
  }
  DeleteObject(strip);
  return picture;
}

namespace {

void drawBitmap(HDC dc, int x, int y, int width, int height, HBITMAP bitmap, int sourceX, int sourceY, bool blend) {
  if (!bitmap) return;
  const HDC source = CreateCompatibleDC(dc);
  const HGDIOBJ old = SelectObject(source, bitmap);
  if (blend) {
    const BLENDFUNCTION function{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    GdiAlphaBlend(dc, x, y, width, height, source, sourceX, sourceY, width, height, function);
  } else {
    BitBlt(dc, x, y, width, height, source, sourceX, sourceY, SRCCOPY);
  }
  SelectObject(source, old);
  DeleteDC(source);
}

}  // namespace

void blendBitmap(HDC dc, int x, int y, int width, int height, HBITMAP bitmap, int sourceX, int sourceY) {
  drawBitmap(dc, x, y, width, height, bitmap, sourceX, sourceY, true);
}

void copyBitmap(HDC dc, int x, int y, int width, int height, HBITMAP bitmap, int sourceX, int sourceY) {
  drawBitmap(dc, x, y, width, height, bitmap, sourceX, sourceY, false);
}

void paintBuffered(HWND window, const std::function<void(HDC, const RECT& client)>& paint) {
  PAINTSTRUCT ps;
  const HDC target = BeginPaint(window, &ps);
  RECT client;
  GetClientRect(window, &client);
  const int width = client.right > 0 ? client.right : 1;
  const int height = client.bottom > 0 ? client.bottom : 1;
  const HDC buffer = CreateCompatibleDC(target);
  const HBITMAP picture = CreateCompatibleBitmap(target, width, height);
  const HGDIOBJ old = SelectObject(buffer, picture);
  paint(buffer, client);
  BitBlt(target, 0, 0, width, height, buffer, 0, 0, SRCCOPY);
  SelectObject(buffer, old);
  DeleteObject(picture);
  DeleteDC(buffer);
  EndPaint(window, &ps);
}

void fillGradient(HDC dc, const RECT& r, COLORREF from, COLORREF to, bool vertical) {
  const auto channel = [](BYTE value) { return static_cast<COLOR16>(value << 8); };
  TRIVERTEX vertices[2] = {
      {r.left, r.top, channel(GetRValue(from)), channel(GetGValue(from)), channel(GetBValue(from)), 0xff00},
      {r.right, r.bottom, channel(GetRValue(to)), channel(GetGValue(to)), channel(GetBValue(to)), 0xff00},
  };
  GRADIENT_RECT mesh{0, 1};
  GdiGradientFill(dc, vertices, 2, &mesh, 1, vertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
}

void drawOutlinedText(HDC dc, int x, int y, const std::wstring& text, COLORREF colour, COLORREF outline, UINT dpi) {
  const int width = std::max(1, MulDiv(1, static_cast<int>(dpi), 96));
  const int length = static_cast<int>(text.size());
  SetTextColor(dc, outline);
  for (int dy = -width; dy <= width; dy += width) {
    for (int dx = -width; dx <= width; dx += width) {
      if (dx != 0 || dy != 0) TextOutW(dc, x + dx, y + dy, text.c_str(), length);
    }
  }
  SetTextColor(dc, colour);
  TextOutW(dc, x, y, text.c_str(), length);
}

COLORREF recoloured(COLORREF colour, COLORREF fromA, COLORREF fromB, COLORREF toA, COLORREF toB) {
  const double c[3] = {double(GetRValue(colour)), double(GetGValue(colour)), double(GetBValue(colour))};
  const double a[3] = {double(GetRValue(fromA)), double(GetGValue(fromA)), double(GetBValue(fromA))};
  const double b[3] = {double(GetRValue(fromB)), double(GetGValue(fromB)), double(GetBValue(fromB))};
  double along = 0, length = 0;
  for (int i = 0; i < 3; ++i) {
    along += (c[i] - a[i]) * (b[i] - a[i]);
    length += (b[i] - a[i]) * (b[i] - a[i]);
  }
  if (length == 0) return colour;
  const double t = along / length;
  if (t < -0.02 || t > 1.02) return colour;
  double off = 0;
  for (int i = 0; i < 3; ++i) {
    const double d = c[i] - (a[i] + t * (b[i] - a[i]));
    off += d * d;
  }
  // Antialiased edges land a few steps off the line; other hues much further.
  if (off > 12.0 * 12.0) return colour;
  const auto mix = [t](BYTE from, BYTE to) {
    return static_cast<BYTE>(std::lround(std::clamp(from + std::clamp(t, 0.0, 1.0) * (to - from), 0.0, 255.0)));
  };
  return RGB(mix(GetRValue(toA), GetRValue(toB)), mix(GetGValue(toA), GetGValue(toB)),
             mix(GetBValue(toA), GetBValue(toB)));
}
