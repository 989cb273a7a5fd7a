#include "ui/components/gdiplus_pictures.h"

#include <algorithm>
#include <cstring>

// GDI+'s headers use min and max unqualified; NOMINMAX takes the macros away.
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>

GdiplusRuntime& GdiplusRuntime::instance() {
  static GdiplusRuntime runtime;
  return runtime;
}

GdiplusRuntime::GdiplusRuntime() {
  Gdiplus::GdiplusStartupInput input;
  started_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
}

GdiplusRuntime::~GdiplusRuntime() {
  if (started_ && users_ == 0) Gdiplus::GdiplusShutdown(token_);
}

IStream* streamOverResource(const wchar_t* name, HMODULE module) {
  if (!module) module = GetModuleHandleW(nullptr);
  const HRSRC found = FindResourceW(module, name, MAKEINTRESOURCEW(10) /* RT_RCDATA */);
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

HBITMAP loadPngResource(const wchar_t* name, HMODULE module) {
  if (!GdiplusRuntime::instance().started()) return nullptr;
  IStream* stream = streamOverResource(name, module);
  if (!stream) return nullptr;
  HBITMAP result = nullptr;
  {
    Gdiplus::Bitmap picture(stream);
    const int width = static_cast<int>(picture.GetWidth());
    const int height = static_cast<int>(picture.GetHeight());
    Gdiplus::BitmapData data{};
    Gdiplus::Rect all(0, 0, width, height);
    if (picture.GetLastStatus() == Gdiplus::Ok && width > 0 && height > 0 &&
        picture.LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data) == Gdiplus::Ok) {
      BITMAPINFO info{};
      info.bmiHeader.biSize = sizeof info.bmiHeader;
      info.bmiHeader.biWidth = width;
      info.bmiHeader.biHeight = height;  // bottom-up, as LoadImage makes bitmaps
      info.bmiHeader.biPlanes = 1;
      info.bmiHeader.biBitCount = 32;
      info.bmiHeader.biCompression = BI_RGB;
      void* bits = nullptr;
      result = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
      if (result) {
        for (int y = 0; y < height; ++y) {
          std::memcpy(static_cast<BYTE*>(bits) + static_cast<size_t>(height - 1 - y) * width * 4,
                      static_cast<const BYTE*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride,
                      static_cast<size_t>(width) * 4);
        }
      }
      picture.UnlockBits(&data);
    }
  }
  stream->Release();
  return result;
}
