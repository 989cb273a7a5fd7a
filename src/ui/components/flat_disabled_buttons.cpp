#include "ui/components/flat_disabled_buttons.h"

#include <commctrl.h>

#include <string>

namespace {

bool isToolbar(HWND window) {
  wchar_t name[32] = L"";
  GetClassNameW(window, name, static_cast<int>(std::size(name)));
  return CompareStringOrdinal(name, -1, TOOLBARCLASSNAMEW, -1, TRUE) == CSTR_EQUAL;
}

std::wstring buttonCaption(HWND toolbar, int id) {
  const LRESULT length = SendMessageW(toolbar, TB_GETBUTTONTEXTW, static_cast<WPARAM>(id), 0);
  if (length <= 0) return {};
  std::wstring caption(static_cast<size_t>(length) + 1, L'\0');
  SendMessageW(toolbar, TB_GETBUTTONTEXTW, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(caption.data()));
  caption.resize(static_cast<size_t>(length));
  return caption;
}

// Where the toolbar itself puts them (captions below pictures): the picture
// centred across the button, half the vertical padding from its top; the
// caption one pixel below the picture, centred between the button's edges.
void drawDisabledButton(const NMCUSTOMDRAW& item, COLORREF captionColour) {
  const HWND toolbar = item.hdr.hwndFrom;
  const int id = static_cast<int>(item.dwItemSpec);
  const RECT& button = item.rc;

  TBBUTTONINFOW info{};
  info.cbSize = sizeof info;
  info.dwMask = TBIF_IMAGE;
  SendMessageW(toolbar, TB_GETBUTTONINFOW, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&info));
  auto pictures = reinterpret_cast<HIMAGELIST>(SendMessageW(toolbar, TB_GETDISABLEDIMAGELIST, 0, 0));
  if (!pictures) pictures = reinterpret_cast<HIMAGELIST>(SendMessageW(toolbar, TB_GETIMAGELIST, 0, 0));
  int width = 0, height = 0;
  if (pictures) ImageList_GetIconSize(pictures, &width, &height);
  const int top = button.top + HIWORD(SendMessageW(toolbar, TB_GETPADDING, 0, 0)) / 2;
  if (pictures && info.iImage >= 0)
    ImageList_Draw(pictures, info.iImage, item.hdc, button.left + (button.right - button.left - width) / 2, top,
                   ILD_TRANSPARENT);

  const std::wstring caption = buttonCaption(toolbar, id);
  if (caption.empty()) return;
  const int edge = GetSystemMetrics(SM_CXEDGE);
  RECT text{button.left + edge, top + height + 1, button.right - edge, button.bottom};
  const HGDIOBJ oldFont = SelectObject(item.hdc, reinterpret_cast<HFONT>(SendMessageW(toolbar, WM_GETFONT, 0, 0)));
  const int oldMode = SetBkMode(item.hdc, TRANSPARENT);
  const COLORREF oldColour = SetTextColor(item.hdc, captionColour);
  DrawTextW(item.hdc, caption.c_str(), static_cast<int>(caption.size()), &text,
            DT_CENTER | DT_TOP | DT_SINGLELINE | DT_END_ELLIPSIS);
  SetTextColor(item.hdc, oldColour);
  SetBkMode(item.hdc, oldMode);
  SelectObject(item.hdc, oldFont);
}

}  // namespace

std::optional<LRESULT> drawDisabledToolButtonsFlat(const NMHDR& header, COLORREF captionColour) {
  if (header.code != static_cast<UINT>(NM_CUSTOMDRAW) || !isToolbar(header.hwndFrom)) return std::nullopt;
  const auto& item = reinterpret_cast<const NMCUSTOMDRAW&>(header);
  switch (item.dwDrawStage) {
    case CDDS_PREPAINT:
      return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
      if (!(item.uItemState & CDIS_DISABLED)) return CDRF_DODEFAULT;
      drawDisabledButton(item, captionColour);
      return CDRF_SKIPDEFAULT;
    default:
      return CDRF_DODEFAULT;
  }
}
