#include "ui/daily_missions_dialog.h"

#include <commctrl.h>

#include <exception>
#include <utility>

#include "ui/components/graphics.h"
#include "ui/components/message_boxes.h"
#include "ui/components/skin_engine.h"
#include "ui/list_dialog_look.h"

namespace {

enum : int { kListView1 = 101, kBtnDel, kBtnClose };

constexpr int kClientWidth = 337;
constexpr int kClientHeight = 276;
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

  placeListDialog({*Panel1, *Panel2, Label1, ListView1->handle(), *Panel3}, scale(kClientWidth),
                  scale(kClientHeight), [this](int px) { return scale(px); });
  MoveWindow(btnDel, scale(168), scale(8), scale(73), scale(25), TRUE);
  MoveWindow(btnClose, scale(256), scale(8), scale(73), scale(25), TRUE);
  fitColumns();

  InvalidateRect(handle(), nullptr, TRUE);
}

void TfrmEveryDayMis::fitColumns() { shareColumns(ListView1->handle(), kColumnWidths, dpi()); }

void TfrmEveryDayMis::skinChanged() { colourBands(*Panel1, *Panel2, *Panel3); }

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
