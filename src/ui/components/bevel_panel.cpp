#include "ui/components/bevel_panel.h"

BevelPanel::BevelPanel(HWND parent, Bevel bevel, COLORREF colour)
    : bevel_(bevel), colour_(colour), brush_(CreateSolidBrush(colour)) {
  CreateParams params;
  params.className = L"HoravelBevelPanel";
  params.style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
  // Tab and arrow keys go on into the controls on the panel.
  params.exStyle = WS_EX_CONTROLPARENT;
  params.owner = parent;
  params.x = 0;
  params.y = 0;
  params.width = 0;
  params.height = 0;
  createWindow(params);
}

BevelPanel::~BevelPanel() {
  if (handle()) DestroyWindow(handle());
  if (brush_) DeleteObject(brush_);
}

void BevelPanel::setColour(COLORREF colour) {
  if (colour == colour_) return;
  colour_ = colour;
  if (brush_) DeleteObject(brush_);
  brush_ = CreateSolidBrush(colour);
  RedrawWindow(handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void BevelPanel::move(int x, int y, int width, int height) { MoveWindow(handle(), x, y, width, height, TRUE); }

LRESULT BevelPanel::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND: {
      RECT r;
      GetClientRect(handle(), &r);
      FillRect(reinterpret_cast<HDC>(wParam), &r, brush_);
      DrawEdge(reinterpret_cast<HDC>(wParam), &r, bevel_ == Bevel::Raised ? BDR_RAISEDINNER : BDR_SUNKENOUTER,
               BF_RECT);
      return 1;
    }
    case WM_SIZE:
      InvalidateRect(handle(), nullptr, TRUE);
      break;
    case WM_CTLCOLORSTATIC: {
      const HDC dc = reinterpret_cast<HDC>(wParam);
      SetBkColor(dc, colour_);
      SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
      return reinterpret_cast<LRESULT>(brush_);
    }
    case WM_CTLCOLORBTN:
      return reinterpret_cast<LRESULT>(brush_);
    case WM_COMMAND:
    case WM_NOTIFY:
      return SendMessageW(GetParent(handle()), message, wParam, lParam);
    default:
      break;
  }
  return Window::handleMessage(message, wParam, lParam);
}
