#include "ui/daily_missions_dialog.h"

#include <commctrl.h>

#include <algorithm>

#include <exception>
#include <utility>

#include "ui/components/graphics.h"
#include "ui/components/message_boxes.h"
#include "ui/components/skin_engine.h"

namespace {

enum : int { kListView1 = 101, kBtnDel, kBtnClose };

constexpr int kClientWidth = 337;
constexpr int kClientHeight = 276;
constexpr int kBandHeight = 41;
constexpr COLORREF kGrey = RGB(128, 128, 128);
constexpr COLORREF kSilver = RGB(192, 192, 192);

constexpr int kColumnWidths[] = {100, 120, 100, 100};

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
  ListView1.reset();  // lets go of rows_ while it lives
  if (handle()) DestroyWindow(handle());
}

void TfrmEveryDayMis::FormCreate() {
  Panel1 = std::make_unique<BevelPanel>(handle(), BevelPanel::Bevel::Lowered, kGrey);
  Panel2 = std::make_unique<BevelPanel>(Panel1->handle(), BevelPanel::Bevel::Raised, kSilver);
  Label1 = child(L"STATIC", L"每日执行任务维护", SS_LEFT | SS_NOPREFIX, Panel2->handle(), -1);
  ListView1 = std::make_unique<MissionListView>(handle(), kListView1, rows_, MissionListOptions{});
  Panel3 = std::make_unique<BevelPanel>(handle(), BevelPanel::Bevel::Lowered, kGrey);
  btnDel = child(L"BUTTON", L"删除", WS_TABSTOP | BS_PUSHBUTTON, Panel3->handle(), kBtnDel);
  btnClose = child(L"BUTTON", L"关闭", WS_TABSTOP | BS_PUSHBUTTON, Panel3->handle(), kBtnClose);
  bindCommand(kBtnDel, [this] { btnDelClick(); });
  bindCommand(kBtnClose, [this] { btnCloseClick(); });
  // Neither button is the cancel button: Esc does nothing here.
  useFont(&createDialogFont);
  layout();
  skinChanged();

  // A read fault is reported at once; the dialog opens with what it holds.
  try {
    loadEverydayMis(dailyMissionsPath(programFolder_));
  } catch (const std::exception& error) {
    showErrorBox(error.what());
  }
}

void TfrmEveryDayMis::layout() {
  setClientSize(kClientWidth, kClientHeight);

  const int width = scale(kClientWidth);
  const int band = scale(kBandHeight);
  const int bottom = scale(kClientHeight);
  Panel1->move(0, 0, width, band);
  Panel2->move(scale(8), scale(8), scale(321), scale(25));
  MoveWindow(Label1, scale(16), scale(8), scale(100), scale(12), TRUE);
  ListView1->move(0, band, width, bottom - 2 * band);
  Panel3->move(0, bottom - band, width, band);
  MoveWindow(btnDel, scale(168), scale(8), scale(73), scale(25), TRUE);
  MoveWindow(btnClose, scale(256), scale(8), scale(73), scale(25), TRUE);
  fitColumns();

  InvalidateRect(handle(), nullptr, TRUE);
}

void TfrmEveryDayMis::fitColumns() {
  // The columns share the list's width in the proportions of their widths,
  // with room kept for a vertical scroll bar, so that no horizontal one
  // comes and every header reads whole.
  const HWND list = ListView1->handle();
  RECT client;
  GetClientRect(list, &client);
  int width = client.right;
  if (!(GetWindowLongPtrW(list, GWL_STYLE) & WS_VSCROLL)) width -= GetSystemMetricsForDpi(SM_CXVSCROLL, dpi());
  int total = 0;
  for (const int share : kColumnWidths) total += share;
  int left = width;
  for (int i = 0; i < static_cast<int>(std::size(kColumnWidths)); ++i) {
    const bool last = i + 1 == static_cast<int>(std::size(kColumnWidths));
    const int column = last ? left : MulDiv(width, kColumnWidths[i], total);
    ListView_SetColumnWidth(list, i, std::max(column, 0));
    left -= column;
  }
}

void TfrmEveryDayMis::skinChanged() {
  // The bands in a skin's band colours, the label's panel in its window
  // colour; in the system look grey and silver.
  const Skin* skin = currentSkin();
  Panel1->setColour(skin ? skin->bandBottom : kGrey);
  Panel3->setColour(skin ? skin->bandBottom : kGrey);
  Panel2->setColour(skin ? skin->window : kSilver);
}

void TfrmEveryDayMis::FormShow() { SetFocus(ListView1->handle()); }

void TfrmEveryDayMis::loadEverydayMis(const std::filesystem::path& file) {
  // Without the file the list stays empty; the load tells the two apart.
  // The list follows rows_ by itself and asks only for the rows it shows.
  file_.load(rows_, file, text_, clock_);
}

void TfrmEveryDayMis::saveEverydayMis(const std::filesystem::path& file) { file_.save(rows_, file); }

void TfrmEveryDayMis::btnDelClick() {
  const int index = rows_.selectedIndex();
  if (index >= 0) rows_.remove(index);
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
    case WM_NOTIFY:
      if (ListView1) {
        if (const auto result = ListView1->onNotify(lParam)) return *result;
      }
      break;
    default:
      break;
  }
  return Form::handleMessage(message, wParam, lParam);
}
