#include "ui/history_window.h"

#include <commctrl.h>

#include <array>
#include <exception>

#include "platform/text_conversion.h"
#include "resource_names.h"
#include "ui/components/graphics.h"
#include "ui/components/message_boxes.h"
#include "ui/list_dialog_look.h"

namespace {

enum : int { kListView1 = 101, kBtnClear };
constexpr UINT kChangedMessage = WM_APP + 1;  // the file changed, on whatever thread

constexpr int kClientWidth = 600;
constexpr int kClientHeight = 400;
constexpr COLORREF kGrey = RGB(128, 128, 128);
constexpr COLORREF kSilver = RGB(192, 192, 192);

// The record's five fields, as the file holds them.
constexpr const wchar_t* kColumns[] = {L"时间", L"任务", L"描述", L"结果", L"说明"};
constexpr std::array<int, 5> kColumnShares = {130, 80, 170, 60, 160};

HWND child(const wchar_t* cls, const wchar_t* text, DWORD style, HWND parent, int id, DWORD exStyle = 0) {
  return CreateWindowExW(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
}

}  // namespace

TfrmHistory::TfrmHistory(HWND owner, HistoryLog& history) : history_(history) {
  createDialog(L"TfrmHistory", L"执行记录", owner,
               WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX | WS_CLIPCHILDREN);
  setClientSize(kClientWidth, kClientHeight);
  FormCreate();
  centreOn(owner);
}

TfrmHistory::~TfrmHistory() {
  history_.onChange(nullptr);
  if (handle()) DestroyWindow(handle());
}

void TfrmHistory::FormCreate() {
  Panel1 = std::make_unique<BevelPanel>(handle(), BevelPanel::Bevel::Lowered, kGrey);
  Panel2 = std::make_unique<BevelPanel>(Panel1->handle(), BevelPanel::Bevel::Raised, kSilver);
  Label1 = child(L"STATIC", L"", SS_LEFT | SS_NOPREFIX, Panel2->handle(), -1);
  // Named for screen readers by its own text.
  ListView1 = child(WC_LISTVIEWW, L"执行记录",
                    WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL | LVS_SHOWSELALWAYS, handle(), kListView1,
                    WS_EX_CLIENTEDGE);
  ListView_SetExtendedListViewStyle(ListView1, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
  for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_SUBITEM;
    column.pszText = const_cast<wchar_t*>(kColumns[i]);
    column.iSubItem = i;
    ListView_InsertColumn(ListView1, i, &column);
  }
  Panel3 = std::make_unique<BevelPanel>(handle(), BevelPanel::Bevel::Lowered, kGrey);
  btnClear = child(L"BUTTON", L"清空记录", WS_TABSTOP | BS_PUSHBUTTON, Panel3->handle(), kBtnClear);
  // The cancel button: Esc closes the window.
  btnClose = child(L"BUTTON", L"关闭", WS_TABSTOP | BS_PUSHBUTTON, Panel3->handle(), IDCANCEL);
  bindCommand(kBtnClear, [this] { btnClearClick(); });
  bindCommand(IDCANCEL, [this] { btnCloseClick(); });
  useFont(&createDialogFont);
  useCaptionIcon(res::kMainIcon);
  layout();
  skinChanged();

  // Records that come while the window is open show at once; the sound
  // player's thread may tell of one, so the news comes as a message.
  const HWND window = handle();
  history_.onChange([window] { PostMessageW(window, kChangedMessage, 0, 0); });
  reload();
}

void TfrmHistory::layout() {
  RECT client;
  GetClientRect(handle(), &client);
  const int width = client.right;
  const int height = client.bottom;
  placeListDialog({*Panel1, *Panel2, Label1, ListView1, *Panel3}, width, height, [this](int px) { return scale(px); });
  MoveWindow(btnClear, width - scale(169), scale(8), scale(73), scale(25), TRUE);
  MoveWindow(btnClose, width - scale(81), scale(8), scale(73), scale(25), TRUE);
  shareColumns(ListView1, kColumnShares, dpi());
  InvalidateRect(handle(), nullptr, TRUE);
}

void TfrmHistory::skinChanged() { colourBands(*Panel1, *Panel2, *Panel3); }

void TfrmHistory::FormShow() {
  focusControl(ListView1);
  if (records_.count() > 0 && ListView_GetNextItem(ListView1, -1, LVNI_FOCUSED) < 0)
    ListView_SetItemState(ListView1, 0, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
}

void TfrmHistory::reload() {
  records_ = history_.read();
  ListView_SetItemCountEx(ListView1, records_.count(), LVSICF_NOSCROLL);
  InvalidateRect(ListView1, nullptr, FALSE);
  const std::wstring count = L"共 " + std::to_wstring(records_.count()) + L" 条执行记录,最近的在最前";
  SetWindowTextW(Label1, count.c_str());
}

void TfrmHistory::fillCell(NMLVDISPINFOW* info) {
  LVITEMW& item = info->item;
  if (!(item.mask & LVIF_TEXT) || item.iItem < 0 || item.iItem >= records_.count()) return;
  if (item.iSubItem < 0 || item.iSubItem >= HistoryRecords::kFields) return;
  cell_ = toWide(records_.field(records_.count() - 1 - item.iItem, item.iSubItem));
  item.pszText = cell_.data();
}

void TfrmHistory::btnClearClick() {
  if (records_.count() == 0) return;
  if (!askYesNo(handle(), L"确定要清空全部执行记录吗?", L"提示:")) return;
  // A file that cannot be written goes to the error box at the window's edge.
  history_.clear();
  reload();
}

void TfrmHistory::btnCloseClick() { closeWith(IDCANCEL); }

LRESULT TfrmHistory::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      if (ListView1 && wParam != SIZE_MINIMIZED) layout();
      break;
    case WM_GETMINMAXINFO: {
      auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
      limits->ptMinTrackSize = {scale(320), scale(200)};
      return 0;
    }
    case kChangedMessage:
      reload();
      return 0;
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      if (header->hwndFrom == ListView1 && header->code == LVN_GETDISPINFOW) {
        fillCell(reinterpret_cast<NMLVDISPINFOW*>(header));
        return 0;
      }
      break;
    }
    default:
      break;
  }
  return Form::handleMessage(message, wParam, lParam);
}
