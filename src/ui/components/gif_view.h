#pragma once
// An animated GIF from an RCDATA resource of the executable, decoded by
// GDI+: the copy drawn for the window's dpi (NAME_125, NAME_150, NAME_200)
// where there is one, decoded again when a move finds the dpi changed. It loops for ever, each frame for its own delay, while it runs (a
// hidden window has nothing to animate). The frames are decoded once the
// message loop runs after it first runs, so the window that holds it shows
// and paints first; until then only the background shows.
// Each frame is scaled once for the control's size; a frame change draws
// that frame over the background kept from the last full paint, so the
// parent is not asked to paint again for every frame. The picture is stretched to the control keeping its aspect, centred,
// on the parent's background.

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "ui/components/window.h"

class GifView : public Window {
 public:
  GifView(HWND parent, int x, int y, int width, int height, const wchar_t* rcdataName, bool running = true);
  ~GifView() override;

  // 0 until decoded, and when the resource is missing or not a picture GDI+
  // reads.
  int frameCount() const { return static_cast<int>(frames_.size()); }
  // The decoded picture's own size.
  SIZE pictureSize() const { return {width_, height_}; }
  int currentFrame() const { return current_; }
  // The frame's delay from the GIF, in milliseconds; a delay under 20 ms
  // (many GIFs say 0) is taken as 100 ms, as browsers do.
  int frameDelayMs(int frame) const;

  void move(int x, int y, int width, int height);

  // Stopped, it keeps its frame and uses no timer; running again, it goes on
  // from that frame.
  void setRunning(bool running);
  bool running() const { return running_; }

  // The timer that moves to the next frame (WM_TIMER's wParam).
  static constexpr UINT_PTR kFrameTimerId = 1;

 protected:
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  struct Frame;
  void decodeLater();
  void decode();
  void armTimer();
  void nextFrame();
  void paint(HDC dc, const RECT& client);
  void paintParentBackground(HDC dc, const RECT& client);
  // The current frame, scaled and centred, over what dc holds.
  void drawFrame(HDC dc, const RECT& client);
  void scaleFrames(int width, int height);
  void keepBackdrop(HDC dc, const RECT& client);
  void showNextFrame();
  HBITMAP composedFrame(HDC target, int width, int height);
  void dropComposedFrames();
  void dropBitmaps();

  // The resource's copy for the window's dpi.
  std::wstring copyForDpi() const;

  const wchar_t* rcdataName_;
  std::wstring decodedName_;  // the copy the frames come from
  bool decoded_ = false;
  bool decodePosted_ = false;
  std::vector<std::unique_ptr<Frame>> frames_;
  int width_ = 0, height_ = 0;  // the picture's own size
  int current_ = 0;
  std::vector<HBITMAP> scaled_;  // premultiplied 32-bit frames at the drawn size
  SIZE scaledSize_{0, 0};
  HBITMAP backdrop_ = nullptr;  // what lies behind the picture, from the last full paint
  // Each frame over that backdrop, made when first shown: a frame change
  // is then one copy to the screen.
  std::vector<HBITMAP> composed_;
  SIZE backdropSize_{0, 0};
  bool running_;
  int armedDelayMs_ = 0;  // the period the frame timer runs with; 0: off
  bool printingParent_ = false;  // a parent that prints its children would come back here
};
