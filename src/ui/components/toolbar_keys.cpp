#include "ui/components/toolbar_keys.h"

#include <commctrl.h>

#include <vector>

#include "ui/components/subclass.h"

namespace {

constexpr UINT_PTR kSubclassId = 0x7B4B;

// The indexes of the enabled buttons, left to right (separators are not).
std::vector<int> enabledButtons(HWND toolbar) {
  std::vector<int> buttons;
  const int count = static_cast<int>(SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    TBBUTTON button{};
    SendMessageW(toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
    if (!(button.fsStyle & BTNS_SEP) && (button.fsState & TBSTATE_ENABLED) && !(button.fsState & TBSTATE_HIDDEN))
      buttons.push_back(i);
  }
  return buttons;
}

void light(HWND toolbar, int index) { SendMessageW(toolbar, TB_SETHOTITEM, static_cast<WPARAM>(index), 0); }

// Moves the light by step (-1, +1) or to an end (first/last); stays on the
// enabled buttons.
void moveLight(HWND toolbar, UINT key) {
  const std::vector<int> buttons = enabledButtons(toolbar);
  if (buttons.empty()) return;
  const int hot = static_cast<int>(SendMessageW(toolbar, TB_GETHOTITEM, 0, 0));
  int at = -1;
  for (int i = 0; i < static_cast<int>(buttons.size()); ++i)
    if (buttons[i] == hot) at = i;
  const int last = static_cast<int>(buttons.size()) - 1;
  switch (key) {
    case VK_LEFT: at = at <= 0 ? 0 : at - 1; break;
    case VK_RIGHT: at = at < 0 ? 0 : (at >= last ? last : at + 1); break;
    case VK_HOME: at = 0; break;
    case VK_END: at = last; break;
    default: break;
  }
  light(toolbar, buttons[at]);
}

void runLit(HWND toolbar) {
  const int hot = static_cast<int>(SendMessageW(toolbar, TB_GETHOTITEM, 0, 0));
  if (hot < 0) return;
  TBBUTTON button{};
  SendMessageW(toolbar, TB_GETBUTTON, hot, reinterpret_cast<LPARAM>(&button));
  if (!(button.fsState & TBSTATE_ENABLED) || (button.fsStyle & BTNS_SEP)) return;
  SendMessageW(GetParent(toolbar), WM_COMMAND, MAKEWPARAM(button.idCommand, BN_CLICKED),
               reinterpret_cast<LPARAM>(toolbar));
}

LRESULT CALLBACK toolbarKeys(HWND toolbar, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  switch (message) {
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;
    case WM_SETFOCUS: {
      const LRESULT result = nextSubclassProc(toolbar, message, wParam, lParam);
      const std::vector<int> buttons = enabledButtons(toolbar);
      if (!buttons.empty()) light(toolbar, buttons.front());
      return result;
    }
    case WM_KILLFOCUS:
      light(toolbar, -1);
      break;
    case WM_KEYDOWN:
      switch (wParam) {
        case VK_LEFT:
        case VK_RIGHT:
        case VK_HOME:
        case VK_END:
          moveLight(toolbar, static_cast<UINT>(wParam));
          return 0;
        case VK_RETURN:
        case VK_SPACE:
          runLit(toolbar);
          return 0;
        default:
          break;
      }
      break;
    case WM_NCDESTROY:
      removeSubclass(toolbar, &toolbarKeys, kSubclassId);
      break;
    default:
      break;
  }
  return nextSubclassProc(toolbar, message, wParam, lParam);
}

}  // namespace

void addToolBarKeys(HWND toolbar) {
  SetWindowLongPtrW(toolbar, GWL_STYLE, GetWindowLongPtrW(toolbar, GWL_STYLE) | WS_TABSTOP);
  addSubclass(toolbar, &toolbarKeys, kSubclassId, 0);
}
