#pragma once
// A plain container for the mission editor's parts: it fills itself with its
// colour, draws what its painter draws over it and hands its children's
// commands and notifications to its parent, so that the form sees every
// control as if it were its own. Its labels are see-through: the panel shows
// behind their text. A multi-line edit's Tab (WM_NEXTDLGCTL) goes on to the
// form, which moves the focus.

#include <windows.h>

#include <functional>

#include "ui/components/window.h"

class EditorPanel final : public Window {
 public:
  using Painter = std::function<void(HDC, const RECT&)>;
  // Made at no size; the form's layout places it.
  explicit EditorPanel(HWND parent, Painter painter = {});
  ~EditorPanel() override;

  void setColours(COLORREF background, COLORREF text);

 protected:
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  HBRUSH brush_ = nullptr;
  COLORREF text_ = 0;
  Painter painter_;
};
