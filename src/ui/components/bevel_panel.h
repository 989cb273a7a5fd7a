#pragma once
// A panel: a child window filled with one colour and framed by a one-pixel
// bevel, raised or lowered. Labels on it take its colour; the commands and
// notifications of the controls on it go on to the panel's parent, so a
// form binds the buttons it places on its panels as its own.

#include <windows.h>

#include "ui/components/window.h"

class BevelPanel final : public Window {
 public:
  enum class Bevel { Raised, Lowered };

  BevelPanel(HWND parent, Bevel bevel, COLORREF colour);
  ~BevelPanel() override;

  void move(int x, int y, int width, int height);
  COLORREF colour() const { return colour_; }
  void setColour(COLORREF colour);
  Bevel bevel() const { return bevel_; }

 protected:
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  Bevel bevel_;
  COLORREF colour_;
  HBRUSH brush_ = nullptr;
};
