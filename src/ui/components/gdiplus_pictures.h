#pragma once
// The pictures GDI+ reads for us: the animation's GIF and the PNG pictures
// (RCDATA resources), which Windows' own bitmap loader does not take.

#include <windows.h>
#include <objidl.h>

// GDI+ is started once, on first use, and shut down at the end of the
// process unless a picture still lives then (acquire/release count them).
class GdiplusRuntime {
 public:
  static GdiplusRuntime& instance();
  bool started() const { return started_; }
  void acquire() { ++users_; }
  void release() { --users_; }

 private:
  GdiplusRuntime();
  ~GdiplusRuntime();
  ULONG_PTR token_ = 0;
  bool started_ = false;
  int users_ = 0;
};

// A stream over a copy of an RCDATA resource's bytes (GDI+ reads it as long
// as the picture lives, and resource memory is read-only); nullptr when
// there is no such resource. The caller releases it.
IStream* streamOverResource(const wchar_t* name, HMODULE module = nullptr);

// A PNG resource as a 32-bit DIB section with straight (not premultiplied)
// alpha, bottom-up as LoadImage makes bitmaps; nullptr when it is missing or
// unreadable.
HBITMAP loadPngResource(const wchar_t* name, HMODULE module = nullptr);
