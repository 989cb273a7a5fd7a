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

#include "ui/components/graphics.h"

namespace {

constexpr const wchar_t* kClassName = L"HoravelGifView";
constexpr int kShortestDelayMs = 20;
constexpr int kDefaultDelayMs = 100;

// GDI+ is started once, on first use, and shut down at the end of the
// process unless a picture still lives then.
class GdiplusRuntime {
 public:
  static GdiplusRuntime& instance() {
    static GdiplusRuntime runtime;
    return runtime;
  }
  bool started() const { return started_; }
  void acquire() { ++users_; }
  void release() { --users_; }

 private:
  GdiplusRuntime() {
    Gdiplus::GdiplusStartupInput input;
    started_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
  }
  ~GdiplusRuntime() {
    if (started_ && users_ == 0) Gdiplus::GdiplusShutdown(token_);
  }
  ULONG_PTR token_ = 0;
  bool started_ = false;
  int users_ = 0;
};

// A stream over a copy of the resource's bytes (GDI+ reads it as long as
// the picture lives, and resource memory is read-only).
IStream* streamOverResource(const wchar_t* name) {
  const HMODULE module = GetModuleHandleW(nullptr);
  const HRSRC found = FindResourceW(module, name, RT_RCDATA);
  if (!found) return nullptr;
  const DWORD size = SizeofResource(module, found);
  const HGLOBAL loaded = LoadResource(module, found);
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes || size == 0) return nullptr;
  HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!copy) return nullptr;
  if (void* target = GlobalLock(copy)) {
    std::memcpy(target, bytes, size);
    GlobalUnlock(copy);
  }
  IStream* stream = nullptr;
  if (FAILED(CreateStreamOnHGlobal(copy, TRUE, &stream))) {
    GlobalFree(copy);
    return nullptr;
  }
  return stream;
}

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

GifView::GifView(HWND parent, int x, int y, int width, int height, const wchar_t* rcdataName) {
  GdiplusRuntime::instance().acquire();
  load(rcdataName);
  CreateParams params;
  params.className = kClassName;
  params.style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
  params.x = x;
  params.y = y;
  params.width = width;
  params.height = height;
  params.owner = parent;
  createWindow(params);
  armTimer();
}

GifView::~GifView() {
  if (handle()) KillTimer(handle(), kFrameTimerId);
  frames_.clear();
  GdiplusRuntime::instance().release();
}

void GifView::load(const wchar_t* rcdataName) {
  if (!GdiplusRuntime::instance().started() || !rcdataName) return;
  IStream* stream = streamOverResource(rcdataName);
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

void GifView::move(int x, int y, int width, int height) { MoveWindow(handle(), x, y, width, height, TRUE); }

void GifView::armTimer() {
  if (handle() && frameCount() > 1) SetTimer(handle(), kFrameTimerId, static_cast<UINT>(frameDelayMs(current_)), nullptr);
}

void GifView::nextFrame() {
  if (frameCount() <= 1) return;
  current_ = (current_ + 1) % frameCount();
  // Re-armed with the new frame's own delay.
  armTimer();
  InvalidateRect(handle(), nullptr, FALSE);
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
  const int x = client.left + (areaWidth - drawWidth) / 2;
  const int y = client.top + (areaHeight - drawHeight) / 2;
  Gdiplus::Graphics graphics(dc);
  const bool sameSize = drawWidth == width_ && drawHeight == height_;
  graphics.SetInterpolationMode(sameSize ? Gdiplus::InterpolationModeNearestNeighbor
                                         : Gdiplus::InterpolationModeHighQualityBicubic);
  graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
  graphics.DrawImage(frames_[current_]->picture.get(), x, y, drawWidth, drawHeight);
}

LRESULT GifView::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      paintBuffered(handle(), [this](HDC dc, const RECT& client) { paint(dc, client); });
      return 0;
    case WM_PRINTCLIENT: {
      RECT client;
      GetClientRect(handle(), &client);
      paint(reinterpret_cast<HDC>(wParam), client);
      return 0;
    }
    case WM_SIZE:
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
