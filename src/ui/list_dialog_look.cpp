#include "ui/list_dialog_look.h"

#include <commctrl.h>

#include <algorithm>

#include "ui/components/skin_engine.h"

namespace {

constexpr COLORREF kGrey = RGB(128, 128, 128);
constexpr COLORREF kSilver = RGB(192, 192, 192);
constexpr int kBandHeight = 41;

}  // namespace

void colourBands(BevelPanel& top, BevelPanel& title, BevelPanel& bottom) {
  const Skin* skin = currentSkin();
  top.setColour(skin ? skin->bandBottom : kGrey);
  bottom.setColour(skin ? skin->bandBottom : kGrey);
  title.setColour(skin ? skin->window : kSilver);
}

void placeListDialog(const ListDialogParts& parts, int width, int height, const std::function<int(int)>& scale) {
  const int band = scale(kBandHeight);
  parts.top.move(0, 0, width, band);
  parts.title.move(scale(8), scale(8), width - scale(16), scale(25));
  MoveWindow(parts.label, scale(16), scale(8), width - scale(48), scale(12), TRUE);
  MoveWindow(parts.list, 0, band, width, height - 2 * band, TRUE);
  parts.bottom.move(0, height - band, width, band);
}

void shareColumns(HWND list, std::span<const int> shares, UINT dpi) {
  RECT client;
  GetClientRect(list, &client);
  int width = client.right;
  if (!(GetWindowLongPtrW(list, GWL_STYLE) & WS_VSCROLL)) width -= GetSystemMetricsForDpi(SM_CXVSCROLL, dpi);
  int total = 0;
  for (const int share : shares) total += share;
  int left = width;
  for (std::size_t i = 0; i < shares.size(); ++i) {
    const int column = i + 1 == shares.size() ? left : MulDiv(width, shares[i], total);
    ListView_SetColumnWidth(list, static_cast<int>(i), std::max(column, 0));
    left -= column;
  }
}
