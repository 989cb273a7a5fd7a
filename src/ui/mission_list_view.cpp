#include "ui/mission_list_view.h"

#include <algorithm>

#include "core/row_colour.h"
#include "platform/text_conversion.h"
#include "ui/components/window.h"

namespace {

struct Column {
  const wchar_t* caption;
  int width;
};
// The four texts of a row; the main list adds how the row repeats.
constexpr Column kColumns[] = {{L"任务", 100}, {L"描述", 120}, {L"执行日期", 100}, {L"执行时间", 100},
                               {L"重复", 100}};

bool keyDown(int key) { return GetKeyState(key) < 0; }

}  // namespace

MissionListView::MissionListView(HWND parent, int id, MisTable& table, const MissionListOptions& options)
    : table_(table),
      clock_(options.clock),
      text_(options.text),
      columns_(options.repeatColumn ? 5 : 4) {
  DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL | LVS_SHOWSELALWAYS;
  if (options.editLabels) style |= LVS_EDITLABELS;
  list_ = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"", style, 0, 0, 0, 0, parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  ListView_SetExtendedListViewStyle(list_, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
  if (options.rowPictures) ListView_SetImageList(list_, options.rowPictures, LVSIL_SMALL);
  const UINT dpi = Window::dpiOf(parent);
  for (int i = 0; i < columns_; ++i) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = const_cast<wchar_t*>(kColumns[i].caption);
    column.cx = MulDiv(kColumns[i].width, static_cast<int>(dpi), 96);
    column.iSubItem = i;
    ListView_InsertColumn(list_, i, &column);
  }
  table_.addObserver(this);
  rowsChanged(0, -1);
  selectionChanged(table_.selectedIndex());
}

MissionListView::~MissionListView() { table_.removeObserver(this); }

void MissionListView::move(int x, int y, int width, int height) { MoveWindow(list_, x, y, width, height, TRUE); }

void MissionListView::followDpi(UINT oldDpi, UINT newDpi, HIMAGELIST rowPictures) {
  if (rowPictures) ListView_SetImageList(list_, rowPictures, LVSIL_SMALL);
  if (oldDpi == newDpi || oldDpi == 0) return;
  // Widths the user chose keep their share.
  for (int i = 0; i < columns_; ++i) {
    const int width = ListView_GetColumnWidth(list_, i);
    ListView_SetColumnWidth(list_, i, MulDiv(width, static_cast<int>(newDpi), static_cast<int>(oldDpi)));
  }
}

void MissionListView::rowsChanged(int firstRow, int lastRow) {
  if (lastRow >= 0) {  // rows changed in place
    ListView_RedrawItems(list_, firstRow, lastRow);
    return;
  }
  const int count = table_.count();
  const int before = ListView_GetItemCount(list_);
  if (firstRow == 0) {
    // A new table: the list starts again at its top.
    ListView_SetItemCountEx(list_, count, 0);
    InvalidateRect(list_, nullptr, FALSE);
    return;
  }
  ListView_SetItemCountEx(list_, count, LVSICF_NOINVALIDATEALL | (count >= before ? LVSICF_NOSCROLL : 0));
  // Rows moved or came: repaint from firstRow's line to the bottom of the
  // list; only what is on screen is painted, and only those rows are asked
  // for.
  RECT client;
  GetClientRect(list_, &client);
  int top = 0;
  if (count > 0) {
    RECT row{};
    row.left = LVIR_BOUNDS;
    const int index = std::min(firstRow, count - 1);
    if (SendMessageW(list_, LVM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&row)))
      top = firstRow < count ? row.top : row.bottom;
  }
  if (top < client.bottom) {
    RECT dirty{0, std::max(top, 0), client.right, client.bottom};
    InvalidateRect(list_, &dirty, FALSE);
  }
}

void MissionListView::selectionChanged(int index) {
  if (applyingSelection_) {  // the list's own choice, reported back through the table
    shownSelection_ = index;
    return;
  }
  // Only the rows concerned change: clearing every row costs a pass over
  // the whole list.
  applyingSelection_ = true;
  if (shownSelection_ >= 0 && shownSelection_ < ListView_GetItemCount(list_) && shownSelection_ != index)
    ListView_SetItemState(list_, shownSelection_, 0, LVIS_SELECTED);
  if (index >= 0) ListView_SetItemState(list_, index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  applyingSelection_ = false;
  shownSelection_ = index;
}

void MissionListView::followListSelection(const NMLISTVIEW& change) {
  if (applyingSelection_ || !(change.uChanged & LVIF_STATE)) return;
  if (!((change.uNewState ^ change.uOldState) & LVIS_SELECTED)) return;
  int selected = -1;
  if (change.iItem >= 0 && (change.uNewState & LVIS_SELECTED)) {
    selected = change.iItem;
  } else if (change.iItem >= 0 && change.iItem != table_.selectedIndex()) {
    return;  // another row let go of a selection the table does not hold
  }
  if (selected >= table_.count()) selected = -1;
  if (selected == table_.selectedIndex()) {
    shownSelection_ = selected;
    return;
  }
  applyingSelection_ = true;
  table_.select(selected);
  applyingSelection_ = false;
  shownSelection_ = selected;
}

void MissionListView::showFocusedRow() {
  // With the keyboard on the list, one row carries the focus mark: the
  // selected one, or the first.
  if (table_.count() == 0 || ListView_GetNextItem(list_, -1, LVNI_FOCUSED) >= 0) return;
  const int row = table_.selectedIndex() >= 0 ? table_.selectedIndex() : 0;
  applyingSelection_ = true;
  ListView_SetItemState(list_, row, LVIS_FOCUSED, LVIS_FOCUSED);
  applyingSelection_ = false;
}

POINT MissionListView::contextMenuPoint(LPARAM lParam) const {
  if (lParam != -1) return {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  POINT at{0, 0};
  RECT row{};
  row.left = LVIR_LABEL;
  int selected = table_.selectedIndex();
  if (selected < 0) selected = ListView_GetNextItem(list_, -1, LVNI_FOCUSED);
  if (selected >= 0 && SendMessageW(list_, LVM_GETITEMRECT, selected, reinterpret_cast<LPARAM>(&row))) {
    RECT client;
    GetClientRect(list_, &client);
    at = {row.left, std::clamp(static_cast<int>(row.bottom), 0, static_cast<int>(client.bottom))};
  }
  ClientToScreen(list_, &at);
  return at;
}

void MissionListView::fillCell(NMLVDISPINFOW* info) {
  LVITEMW& item = info->item;
  if (item.iItem < 0 || item.iItem >= table_.count()) return;
  const MisRecord& row = table_.row(item.iItem);
  if (item.mask & LVIF_TEXT) {
    const std::string* texts[] = {&row.kindName, &row.detail, &row.dateText, &row.timeText};
    if (item.iSubItem >= 0 && item.iSubItem < 4) {
      cell_ = toWide(*texts[item.iSubItem]);
    } else {
      cell_ = item.iSubItem == 4 && columns_ == 5 ? toWide(repeatText(row.repeat)) : std::wstring();
    }
    item.pszText = cell_.data();
  }
  if (item.mask & LVIF_IMAGE) item.iImage = row.imageIndex;
}

COLORREF MissionListView::rowBackground(int index) const {
  if (!clock_ || !text_) return kPending;
  switch (rowState(table_.row(index), clock_->now(), *text_)) {
    case RowState::Passed: return kPassed;
    case RowState::Pending: return kPending;
    case RowState::Unreadable: return kUnreadable;
  }
  return kPending;
}

void MissionListView::repaintRowsWhoseColourChanged() {
  if (!clock_ || !text_) return;
  const LocalDateTime now = clock_->now();
  if (coloursCheckedAt_) {
    const int top = ListView_GetTopIndex(list_);
    const int end = std::min(table_.count(), top + ListView_GetCountPerPage(list_) + 1);
    for (int i = top; i < end; ++i) {
      const MisRecord& row = table_.row(i);
      if (rowState(row, *coloursCheckedAt_, *text_) != rowState(row, now, *text_)) ListView_RedrawItems(list_, i, i);
    }
  }
  coloursCheckedAt_ = now;
}

std::optional<LRESULT> MissionListView::onNotify(LPARAM lParam) {
  auto* header = reinterpret_cast<NMHDR*>(lParam);
  if (header->hwndFrom != list_) return std::nullopt;
  switch (header->code) {
    case LVN_GETDISPINFOW:
      fillCell(reinterpret_cast<NMLVDISPINFOW*>(header));
      return 0;
    case NM_CUSTOMDRAW: {
      if (!clock_ || !text_) return CDRF_DODEFAULT;
      auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
      if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
      if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
        const int index = static_cast<int>(draw->nmcd.dwItemSpec);
        if (index >= 0 && index < table_.count()) draw->clrTextBk = rowBackground(index);
      }
      return CDRF_DODEFAULT;
    }
    case LVN_ITEMCHANGED:
      followListSelection(*reinterpret_cast<NMLISTVIEW*>(header));
      return 0;
    case LVN_BEGINLABELEDITW:
      return FALSE;  // allow
    case LVN_ENDLABELEDITW: {
      auto* edit = reinterpret_cast<NMLVDISPINFOW*>(header);
      if (edit->item.pszText && edit->item.iItem >= 0 && edit->item.iItem < table_.count())
        table_.renameKind(edit->item.iItem, toCp936(edit->item.pszText));
      return FALSE;  // the table holds the text; the list asks for it again
    }
    case NM_SETFOCUS:
      showFocusedRow();
      return 0;
    case LVN_KEYDOWN: {
      const auto* key = reinterpret_cast<NMLVKEYDOWN*>(header);
      if (key->wVKey == VK_DELETE && !keyDown(VK_CONTROL) && !keyDown(VK_SHIFT) && !keyDown(VK_MENU) && onDeleteKey)
        onDeleteKey();
      return 0;
    }
    case NM_RETURN:
    case NM_DBLCLK:
      if (onOpen) onOpen();
      return 0;
    default:
      return std::nullopt;
  }
}
