#include "ui/components/gif_view.h"

#include <commctrl.h>
#include <objidl.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <vector>

// GDI+'s headers use min and max unqualified; NOMINMAX takes the macros away.
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>

#include "ui/components/gdiplus_pictures.h"
#include "ui/components/graphics.h"

namespace {

constexpr const wchar_t* kClassName = L"HoravelGifView";
constexpr int kShortestDelayMs = 20;
constexpr int kDefaultDelayMs = 100;
constexpr UINT kDecodeMessage = WM_APP;

HBRUSH classBrush(HWND window) {
  const auto brush = static_cast<ULONG_PTR>(GetClassLongPtrW(window, GCLP_HBRBACKGROUND));
  if (brush == 0) return GetSysColorBrush(COLOR_BTNFACE);
  // A system colour index plus one, as window classes may give it.
  if (brush <= COLOR_MENUBAR + 1) return GetSysColorBrush(static_cast<int>(brush) - 1);
  return reinterpret_cast<HBRUSH>(brush);
}

}  // namespace

struct GifView::Frame {
  std::unique_ptr<Gdiplus::Bitmap> picture;  // composed, 32-bit premultiplied
  int delayMs;
};

GifView::GifView(HWND parent, int x, int y, int width, int height, const wchar_t* rcdataName, bool running)
    : rcdataName_(rcdataName), running_(running) {
  CreateParams params;
  params.className = kClassName;
  params.style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
  params.x = x;
  params.y = y;
  params.width = width;
  params.height = height;
  params.owner = parent;
  createWindow(params);
  if (running_) decodeLater();
}

GifView::~GifView() {
  if (handle()) KillTimer(handle(), kFrameTimerId);
  dropBitmaps();
  frames_.clear();
  if (decoded_) GdiplusRuntime::instance().release();
}

void GifView::decodeLater() {
  if (decoded_ || decodePosted_) return;
  decodePosted_ = PostMessageW(handle(), kDecodeMessage, 0, 0) != FALSE;
}

std::wstring GifView::copyForDpi() const {
  return rcdataName_ ? pictureForDpi(rcdataName_, dpi(), MAKEINTRESOURCEW(10) /* RT_RCDATA */) : std::wstring();
}

void GifView::decode() {
  if (decoded_) return;
  decoded_ = true;
  GdiplusRuntime::instance().acquire();
  if (!GdiplusRuntime::instance().started() || !rcdataName_) return;
  decodedName_ = copyForDpi();
  IStream* stream = streamOverResource(decodedName_.c_str());
  if (!stream) return;
  {
    Gdiplus::Image image(stream);
    if (image.GetLastStatus() == Gdiplus::Ok && image.GetWidth() > 0 && image.GetHeight() > 0) {
      width_ = static_cast<int>(image.GetWidth());
      height_ = static_cast<int>(image.GetHeight());
      GUID dimension = Gdiplus::FrameDimensionTime;
      UINT count = image.GetFrameCount(&dimension);
      if (count == 0) {  // a still picture
        dimension = Gdiplus::FrameDimensionPage;
        count = 1;
      }

      std::vector<LONG> delays;  // hundredths of a second
      const UINT size = image.GetPropertyItemSize(PropertyTagFrameDelay);
      if (size >= sizeof(Gdiplus::PropertyItem)) {
        std::vector<unsigned char> buffer(size);
        auto* item = reinterpret_cast<Gdiplus::PropertyItem*>(buffer.data());
        if (image.GetPropertyItem(PropertyTagFrameDelay, size, item) == Gdiplus::Ok && item->value) {
          const auto* values = static_cast<const LONG*>(item->value);
          delays.assign(values, values + item->length / sizeof(LONG));
        }
      }

      for (UINT i = 0; i < count; ++i) {
        if (count > 1 && image.SelectActiveFrame(&dimension, i) != Gdiplus::Ok) break;
        auto picture = std::make_unique<Gdiplus::Bitmap>(width_, height_, PixelFormat32bppPARGB);
        {
          Gdiplus::Graphics canvas(picture.get());
          canvas.Clear(Gdiplus::Color(0, 0, 0, 0));
          canvas.DrawImage(&image, 0, 0, width_, height_);
        }
        const int delay = i < delays.size() ? static_cast<int>(delays[i]) * 10 : kDefaultDelayMs;
        frames_.push_back(std::make_unique<Frame>(
            Frame{std::move(picture), delay < kShortestDelayMs ? kDefaultDelayMs : delay}));
      }
    }
  }
  stream->Release();
}

int GifView::frameDelayMs(int frame) const {
  if (frame < 0 || frame >= frameCount()) return 0;
  return frames_[frame]->delayMs;
}

void GifView::move(int x, int y, int width, int height) {
  MoveWindow(handle(), x, y, width, height, TRUE);
  // Moved for another dpi: the frames come from the copy drawn for it.
  if (!decoded_ || decodedName_.empty() || copyForDpi() == decodedName_) return;
  dropBitmaps();
  frames_.clear();
  current_ = 0;
  decoded_ = false;
  decodePosted_ = false;
  GdiplusRuntime::instance().release();
  if (running_) decodeLater();
}

void GifView::armTimer() {
  if (!handle() || !running_ || frameCount() <= 1) return;
  // The timer repeats: it is set again only when the next delay differs.
  const int delay = frameDelayMs(current_);
  if (delay == armedDelayMs_) return;
  SetTimer(handle(), kFrameTimerId, static_cast<UINT>(delay), nullptr);
  armedDelayMs_ = delay;
}

void GifView::setRunning(bool running) {
  if (running == running_) return;
  running_ = running;
  if (running) {
    decodeLater();
    armTimer();
    InvalidateRect(handle(), nullptr, FALSE);
  } else if (handle()) {
    KillTimer(handle(), kFrameTimerId);
    armedDelayMs_ = 0;
  }
}

void GifView::nextFrame() {
  if (frameCount() <= 1 || !running_) return;
  current_ = (current_ + 1) % frameCount();
  // Re-armed with the new frame's own delay.
  armTimer();
  showNextFrame();
}

void GifView::dropComposedFrames() {
  for (HBITMAP frame : composed_)
    if (frame) DeleteObject(frame);
  composed_.clear();
}

void GifView::dropBitmaps() {
  dropComposedFrames();
  for (HBITMAP frame : scaled_) DeleteObject(frame);
  scaled_.clear();
  scaledSize_ = {0, 0};
  if (backdrop_) DeleteObject(backdrop_);
  backdrop_ = nullptr;
  backdropSize_ = {0, 0};
}

namespace {

HBITMAP topDownDib(HDC dc, int width, int height, void** bits) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return CreateDIBSection(dc, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

}  // namespace

void GifView::scaleFrames(int width, int height) {
  if (scaledSize_.cx == width && scaledSize_.cy == height && scaled_.size() == frames_.size()) return;
  for (HBITMAP frame : scaled_) DeleteObject(frame);
  scaled_.clear();
  scaledSize_ = {width, height};
  const bool sameSize = width == width_ && height == height_;
  for (const auto& frame : frames_) {
    Gdiplus::Bitmap target(width, height, PixelFormat32bppPARGB);
    {
      Gdiplus::Graphics canvas(&target);
      canvas.Clear(Gdiplus::Color(0, 0, 0, 0));
      canvas.SetInterpolationMode(sameSize ? Gdiplus::InterpolationModeNearestNeighbor
                                           : Gdiplus::InterpolationModeHighQualityBicubic);
      canvas.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
      canvas.DrawImage(frame->picture.get(), 0, 0, width, height);
    }
    void* bits = nullptr;
    HBITMAP picture = topDownDib(nullptr, width, height, &bits);
    Gdiplus::BitmapData data{};
    Gdiplus::Rect all(0, 0, width, height);
    if (picture && bits &&
        target.LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppPARGB, &data) == Gdiplus::Ok) {
      for (int y = 0; y < height; ++y) {
        std::memcpy(static_cast<unsigned char*>(bits) + static_cast<size_t>(y) * width * 4,
                    static_cast<const unsigned char*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride,
                    static_cast<size_t>(width) * 4);
      }
      target.UnlockBits(&data);
    }
    scaled_.push_back(picture);
  }
}

void GifView::keepBackdrop(HDC dc, const RECT& client) {
  const int width = client.right - client.left;
  const int height = client.bottom - client.top;
  if (width <= 0 || height <= 0) return;
  dropComposedFrames();
  if (!backdrop_ || backdropSize_.cx != width || backdropSize_.cy != height) {
    if (backdrop_) DeleteObject(backdrop_);
    backdrop_ = CreateCompatibleBitmap(dc, width, height);
    backdropSize_ = {width, height};
  }
  const HDC copy = CreateCompatibleDC(dc);
  const HGDIOBJ old = SelectObject(copy, backdrop_);
  BitBlt(copy, 0, 0, width, height, dc, client.left, client.top, SRCCOPY);
  SelectObject(copy, old);
  DeleteDC(copy);
}

HBITMAP GifView::composedFrame(HDC target, int width, int height) {
  composed_.resize(frames_.size(), nullptr);
  HBITMAP& picture = composed_[static_cast<size_t>(current_)];
  if (picture) return picture;
  picture = CreateCompatibleBitmap(target, width, height);
  const HDC buffer = CreateCompatibleDC(target);
  const HGDIOBJ oldPicture = SelectObject(buffer, picture);
  copyBitmap(buffer, 0, 0, width, height, backdrop_);
  drawFrame(buffer, RECT{0, 0, width, height});
  SelectObject(buffer, oldPicture);
  DeleteDC(buffer);
  return picture;
}

void GifView::showNextFrame() {
  RECT client;
  GetClientRect(handle(), &client);
  const int width = client.right;
  const int height = client.bottom;
  if (!backdrop_ || backdropSize_.cx != width || backdropSize_.cy != height || !IsWindowVisible(handle())) {
    InvalidateRect(handle(), nullptr, FALSE);  // a full paint keeps a new backdrop
    return;
  }
  const HDC target = GetDC(handle());
  copyBitmap(target, 0, 0, width, height, composedFrame(target, width, height));
  ReleaseDC(handle(), target);
}

namespace {

// The window that really draws what lies behind a child: a transparent
// toolbar lets its own parent (the band bar) paint its background.
HWND backdropOf(HWND parent) {
  wchar_t className[64] = L"";
  while (parent && GetClassNameW(parent, className, 64) && wcscmp(className, TOOLBARCLASSNAMEW) == 0 &&
         (GetWindowLongPtrW(parent, GWL_STYLE) & TBSTYLE_TRANSPARENT) && GetParent(parent)) {
    parent = GetParent(parent);
  }
  return parent;
}

}  // namespace

void GifView::paintParentBackground(HDC dc, const RECT& client) {
  const HWND parent = backdropOf(GetParent(handle()));
  if (!parent) {
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    return;
  }
  FillRect(dc, &client, classBrush(parent));
  if (printingParent_) return;
  printingParent_ = true;
  // Then whatever the backdrop itself paints there (a band bar's or a
  // banner's background), drawn through its erase and print-client messages.
  POINT offset{0, 0};
  MapWindowPoints(handle(), parent, &offset, 1);
  POINT old;
  OffsetViewportOrgEx(dc, -offset.x, -offset.y, &old);
  SendMessageW(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  SendMessageW(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  SetViewportOrgEx(dc, old.x, old.y, nullptr);
  printingParent_ = false;
}

void GifView::paint(HDC dc, const RECT& client) {
  paintParentBackground(dc, client);
  drawFrame(dc, client);
}

void GifView::drawFrame(HDC dc, const RECT& client) {
  if (frames_.empty() || width_ <= 0 || height_ <= 0) return;
  const int areaWidth = client.right - client.left;
  const int areaHeight = client.bottom - client.top;
  // The largest size of the picture's shape that fits, centred.
  int drawWidth = areaWidth;
  int drawHeight = MulDiv(areaWidth, height_, width_);
  if (drawHeight > areaHeight) {
    drawHeight = areaHeight;
    drawWidth = MulDiv(areaHeight, width_, height_);
  }
  if (drawWidth <= 0 || drawHeight <= 0) return;
  scaleFrames(drawWidth, drawHeight);
  const HBITMAP frame = scaled_[static_cast<size_t>(current_)];
  if (!frame) return;
  const int x = client.left + (areaWidth - drawWidth) / 2;
  const int y = client.top + (areaHeight - drawHeight) / 2;
  blendBitmap(dc, x, y, drawWidth, drawHeight, frame);
}

LRESULT GifView::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      paintBuffered(handle(), [this](HDC dc, const RECT& client) {
        paintParentBackground(dc, client);
        keepBackdrop(dc, client);
        drawFrame(dc, client);
      });
      return 0;
    case WM_THEMECHANGED:
    case WM_SYSCOLORCHANGE:
      dropBitmaps();
      break;
    case WM_PRINTCLIENT: {
      RECT client;
      GetClientRect(handle(), &client);
      paint(reinterpret_cast<HDC>(wParam), client);
      return 0;
    }
    case WM_SIZE:
      InvalidateRect(handle(), nullptr, FALSE);
      return 0;
    case kDecodeMessage:
      decode();
      armTimer();
      InvalidateRect(handle(), nullptr, FALSE);
      return 0;
    case WM_TIMER:
      if (wParam == kFrameTimerId) {
        nextFrame();
        return 0;
      }
      break;
    default:
      break;
  }
  return Window::handleMessage(message, wParam, lParam);
}
