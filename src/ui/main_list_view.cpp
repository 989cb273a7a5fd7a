#include "ui/main_list_view.h"

#include "core/row_colour.h"
#include "platform/text_conversion.h"

MainListView::MainListView(HWND parent, int id, MisTable& table, const Clock& clock, const DateTimeText& text,
                           HIMAGELIST rowPictures)
    : table_(table), clock_(clock), text_(text) {
  list_ = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                          WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL |
                              LVS_SHOWSELALWAYS | LVS_EDITLABELS,
                          0, 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                          GetModuleHandleW(nullptr), nullptr);
  ListView_SetExtendedListViewStyle(list_, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
  ListView_SetImageList(list_, rowPictures, LVSIL_SMALL);
  const UINT dpi = GetDpiForWindow(parent);
  struct Column {
    const wchar_t* caption;
    int width;
  };
  const Column columns[] = {{L"任务", 100}, {L"描述", 120}, {L"执行日期", 100}, {L"执行时间", 100}};
  for (int i = 0; i < 4; ++i) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = const_cast<wchar_t*>(columns[i].caption);
    column.cx = MulDiv(columns[i].width, static_cast<int>(dpi), 96);
    column.iSubItem = i;
    ListView_InsertColumn(list_, i, &column);
  }
  table_.setObserver(this);
  rowsChanged(0);
}

MainListView::~MainListView() { table_.setObserver(nullptr); }

void MainListView::move(int x, int y, int width, int height) {
  MoveWindow(list_, x, y, width, height, TRUE);
}

void MainListView::rowsChanged(int firstRow) {
  ListView_SetItemCountEx(list_, table_.count(), LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL);
  ListView_RedrawItems(list_, firstRow, table_.count());
  InvalidateRect(list_, nullptr, FALSE);
  selectionChanged(table_.selectedIndex());
}

void MainListView::selectionChanged(int index) {
  // The list's own state follows the table's; the change it reports back is ignored.
  followingSelection_ = true;
  ListView_SetItemState(list_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  if (index >= 0) {
    ListView_SetItemState(list_, index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  }
  followingSelection_ = false;
}

void MainListView::fillCell(NMLVDISPINFOW* info) {
  LVITEMW& item = info->item;
  if (item.iItem < 0 || item.iItem >= table_.count()) return;
  const MisRecord& row = table_.row(item.iItem);
  if (item.mask & LVIF_TEXT) {
    const std::string* texts[] = {&row.kindName, &row.detail, &row.dateText, &row.timeText};
    cell_ = item.iSubItem >= 0 && item.iSubItem < 4 ? toWide(*texts[item.iSubItem]) : std::wstring();
    item.pszText = cell_.data();
  }
  if (item.mask & LVIF_IMAGE) item.iImage = row.imageIndex;
}

COLORREF MainListView::rowBackground(int index) const {
  switch (rowState(table_.row(index), clock_.now(), text_)) {
    case RowState::Passed: return kPassed;
    case RowState::Pending: return kPending;
    case RowState::Unreadable: return kUnreadable;
  }
  return kPending;
}

LRESULT MainListView::onNotify(NMHDR* header, bool& handled) {
  handled = true;
  switch (header->code) {
    case LVN_GETDISPINFOW:
      fillCell(reinterpret_cast<NMLVDISPINFOW*>(header));
      return 0;
    case NM_CUSTOMDRAW: {
      auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
      if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
      if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
        const int index = static_cast<int>(draw->nmcd.dwItemSpec);
        if (index >= 0 && index < table_.count()) draw->clrTextBk = rowBackground(index);
      }
      return CDRF_DODEFAULT;
    }
    case LVN_ITEMCHANGED: {
      auto* change = reinterpret_cast<NMLISTVIEW*>(header);
      if (followingSelection_ || !(change->uChanged & LVIF_STATE)) return 0;
      const int selected = ListView_GetNextItem(list_, -1, LVNI_SELECTED);
      if (selected != table_.selectedIndex()) {
        followingSelection_ = true;
        table_.select(selected < table_.count() ? selected : -1);
        followingSelection_ = false;
      }
      return 0;
    }
    case LVN_BEGINLABELEDITW:
      return FALSE;  // allow
    case LVN_ENDLABELEDITW: {
      auto* edit = reinterpret_cast<NMLVDISPINFOW*>(header);
      if (edit->item.pszText && edit->item.iItem >= 0 && edit->item.iItem < table_.count())
        table_.renameKind(edit->item.iItem, toCp936(edit->item.pszText));
      return FALSE;  // the table holds the text; the list asks for it again
    }
    case NM_DBLCLK:
      if (onDoubleClick) onDoubleClick();
      return 0;
    case NM_RCLICK:
      if (onRightClick) onRightClick();
      return 0;
    default:
      handled = false;
      return 0;
  }
}
