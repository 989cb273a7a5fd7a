#pragma once
// An animated GIF from an RCDATA resource of the executable, decoded by
// GDI+. It runs from creation and loops for ever, each frame for its own
// delay. The picture is stretched to the control keeping its aspect, centred,
// on the parent's background.

#include <windows.h>

#include <memory>
#include <vector>

#include "ui/components/window.h"

class GifView : public Window {
 public:
  GifView(HWND parent, int x, int y, int width, int height, const wchar_t* rcdataName);
  ~GifView() override;

  // 0 when the resource is missing or not a picture GDI+ reads.
  int frameCount() const { return static_cast<int>(frames_.size()); }
  int currentFrame() const { return current_; }
  // The frame's delay from the GIF, in milliseconds; a delay under 20 ms
  // (many GIFs say 0) is taken as 100 ms, as browsers do.
  int frameDelayMs(int frame) const;

  void move(int x, int y, int width, int height);

  // The timer that moves to the next frame (WM_TIMER's wParam).
  static constexpr UINT_PTR kFrameTimerId = 1;

 protected:
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  struct Frame;
  void load(const wchar_t* rcdataName);
  void armTimer();
  void nextFrame();
  void paint(HDC dc, const RECT& client);
  void paintParentBackground(HDC dc, const RECT& client);

  std::vector<std::unique_ptr<Frame>> frames_;
  int width_ = 0, height_ = 0;  // the picture's own size
  int current_ = 0;
  bool printingParent_ = false;  // a parent that prints its children would come back here
};
