#include "ui/components/editor_panel.h"

#include <utility>

EditorPanel::EditorPanel(HWND parent, Painter painter) : painter_(std::move(painter)) {
  CreateParams params;
  params.className = L"HoravelEditorPanel";
  params.style = WS_CHILD | WS_VISIBLE;
  params.exStyle = WS_EX_CONTROLPARENT;
  params.x = 0;
  params.y = 0;
  params.width = 0;
  params.height = 0;
  params.owner = parent;
  createWindow(params);
  setColours(GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_WINDOWTEXT));
}

EditorPanel::~EditorPanel() { DeleteObject(brush_); }

void EditorPanel::setColours(COLORREF background, COLORREF text) {
  if (brush_) DeleteObject(brush_);
  brush_ = CreateSolidBrush(background);
  text_ = text;
  InvalidateRect(handle(), nullptr, TRUE);
}

LRESULT EditorPanel::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
      return SendMessageW(GetParent(handle()), message, wParam, lParam);
    case WM_NEXTDLGCTL:
      // A multi-line edit passes Tab on to its parent: the form moves on.
      return SendMessageW(GetAncestor(handle(), GA_ROOT), message, wParam, lParam);
    case WM_CTLCOLORSTATIC: {
      const HDC dc = reinterpret_cast<HDC>(wParam);
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, text_);
      return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    }
    case WM_ERASEBKGND: {
      RECT client;
      GetClientRect(handle(), &client);
      FillRect(reinterpret_cast<HDC>(wParam), &client, brush_);
      return 1;
    }
    case WM_PAINT: {
      PAINTSTRUCT ps;
      const HDC dc = BeginPaint(handle(), &ps);
      if (painter_) {
        RECT client;
        GetClientRect(handle(), &client);
        painter_(dc, client);
      }
      EndPaint(handle(), &ps);
      return 0;
    }
    default:
      return Window::handleMessage(message, wParam, lParam);
  }
}
