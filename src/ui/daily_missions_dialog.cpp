#include "ui/daily_missions_dialog.h"

#include <commctrl.h>

#include <exception>
#include <utility>

#include "platform/text_conversion.h"
#include "ui/components/graphics.h"
#include "ui/components/message_boxes.h"

namespace {

enum : int { kListView1 = 101, kBtnDel, kBtnClose };

constexpr int kClientWidth = 337;
constexpr int kClientHeight = 276;
constexpr int kBandHeight = 41;
constexpr COLORREF kGrey = RGB(128, 128, 128);
constexpr COLORREF kSilver = RGB(192, 192, 192);

struct Column {
  const wchar_t* caption;
  int width;
};
constexpr Column kColumns[] = {{L"任务", 100}, {L"描述", 120}, {L"执行日期", 100}, {L"执行时间", 100}};

HWND child(const wchar_t* cls, const wchar_t* text, DWORD style, HWND parent, int id, DWORD exStyle = 0) {
  return CreateWindowExW(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
}

}  // namespace

TfrmEveryDayMis::TfrmEveryDayMis(HWND owner, std::filesystem::path programFolder, const DateTimeText& text,
                                 const Clock& clock)
    : programFolder_(std::move(programFolder)), text_(text), clock_(clock) {
  createDialog(L"TfrmEveryDayMis", L"每日执行任务维护", owner);
  FormCreate();
  centreOn(owner);
}

TfrmEveryDayMis::~TfrmEveryDayMis() {
  if (handle()) DestroyWindow(handle());
  if (font_) DeleteObject(font_);
}

void TfrmEveryDayMis::FormCreate() {
  Panel1 = std::make_unique<BevelPanel>(handle(), BevelPanel::Bevel::Lowered, kGrey);
  Panel2 = std::make_unique<BevelPanel>(Panel1->handle(), BevelPanel::Bevel::Raised, kSilver);
  Label1 = child(L"STATIC", L"每日执行任务维护", SS_LEFT | SS_NOPREFIX, Panel2->handle(), -1);
  ListView1 = child(WC_LISTVIEWW, L"", WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS, handle(),
                    kListView1, WS_EX_CLIENTEDGE);
  ListView_SetExtendedListViewStyle(ListView1, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
  for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = const_cast<wchar_t*>(kColumns[i].caption);
    column.cx = scale(kColumns[i].width);
    column.iSubItem = i;
    ListView_InsertColumn(ListView1, i, &column);
  }
  Panel3 = std::make_unique<BevelPanel>(handle(), BevelPanel::Bevel::Lowered, kGrey);
  btnDel = child(L"BUTTON", L"删除", WS_TABSTOP | BS_PUSHBUTTON, Panel3->handle(), kBtnDel);
  btnClose = child(L"BUTTON", L"关闭", WS_TABSTOP | BS_PUSHBUTTON, Panel3->handle(), kBtnClose);
  bindCommand(kBtnDel, [this] { btnDelClick(); });
  bindCommand(kBtnClose, [this] { btnCloseClick(); });
  // Neither button is the cancel button: Esc does nothing here.
  layout();

  // A read fault is reported at once; the dialog opens with what it holds.
  try {
    loadEverydayMis(dailyMissionsPath(programFolder_));
  } catch (const std::exception& error) {
    fillList();
    showErrorBox(error.what());
  }
}

void TfrmEveryDayMis::layout() {
  const UINT dpi = GetDpiForWindow(handle());
  setClientSize(kClientWidth, kClientHeight);

  const int width = scale(kClientWidth);
  const int band = scale(kBandHeight);
  const int bottom = scale(kClientHeight);
  Panel1->move(0, 0, width, band);
  Panel2->move(scale(8), scale(8), scale(321), scale(25));
  MoveWindow(Label1, scale(16), scale(8), scale(100), scale(12), TRUE);
  MoveWindow(ListView1, 0, band, width, bottom - 2 * band, TRUE);
  Panel3->move(0, bottom - band, width, band);
  MoveWindow(btnDel, scale(168), scale(8), scale(73), scale(25), TRUE);
  MoveWindow(btnClose, scale(256), scale(8), scale(73), scale(25), TRUE);
  for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i) {
    ListView_SetColumnWidth(ListView1, i, scale(kColumns[i].width));
  }

  const HFONT oldFont = font_;
  font_ = createSongtiFont(12, dpi);
  setFontOnTree(handle(), font_);
  if (oldFont) DeleteObject(oldFont);
  InvalidateRect(handle(), nullptr, TRUE);
}

void TfrmEveryDayMis::FormShow() { SetFocus(ListView1); }

void TfrmEveryDayMis::loadEverydayMis(const std::filesystem::path& file) {
  // Without the file the list stays empty; the load tells the two apart.
  file_.load(rows_, file, text_, clock_);
  fillList();
}

void TfrmEveryDayMis::saveEverydayMis(const std::filesystem::path& file) { file_.save(rows_, file); }

void TfrmEveryDayMis::fillList() {
  ListView_DeleteAllItems(ListView1);
  for (int i = 0; i < rows_.count(); ++i) {
    const MisRecord& row = rows_.row(i);
    const std::wstring texts[] = {toWide(row.kindName), toWide(row.detail), toWide(row.dateText),
                                  toWide(row.timeText)};
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = i;
    item.pszText = const_cast<wchar_t*>(texts[0].c_str());
    ListView_InsertItem(ListView1, &item);
    for (int column = 1; column < 4; ++column) {
      ListView_SetItemText(ListView1, i, column, const_cast<wchar_t*>(texts[column].c_str()));
    }
  }
}

void TfrmEveryDayMis::btnDelClick() {
  const int index = ListView_GetNextItem(ListView1, -1, LVNI_SELECTED);
  if (index < 0 || index >= rows_.count()) return;
  rows_.remove(index);
  ListView_DeleteItem(ListView1, index);
}

void TfrmEveryDayMis::btnCloseClick() { FormClose(); }

void TfrmEveryDayMis::FormClose() {
  // A write fault goes to the error box at the window's edge before the
  // dialog closes, so it stays open and the old file stays whole.
  saveEverydayMis(dailyMissionsPath(programFolder_));
  written_ = true;
  closeWith(IDCANCEL);
}

int TfrmEveryDayMis::ShowModal() {
  written_ = false;
  const int result = Form::ShowModal();
  if (!written_) {
    try {
      saveEverydayMis(dailyMissionsPath(programFolder_));
    } catch (const std::exception& error) {
      showErrorBox(error.what());
    }
  }
  return result;
}

LRESULT TfrmEveryDayMis::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:  // the close box and Alt+F4
      FormClose();
      return 0;
    default:
      break;
  }
  return Form::handleMessage(message, wParam, lParam);
}
