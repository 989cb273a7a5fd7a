#include "ui/missed_missions_notice.h"

#include <array>
#include <utility>

#include "resource_names.h"
#include "ui/components/graphics.h"
#include "ui/list_dialog_look.h"

namespace {

enum : int { kListView1 = 101 };

constexpr int kClientWidth = 480;
constexpr int kClientHeight = 260;
constexpr COLORREF kGrey = RGB(128, 128, 128);
constexpr COLORREF kSilver = RGB(192, 192, 192);
constexpr std::array<int, 4> kColumnShares = {100, 180, 100, 100};

HWND child(const wchar_t* cls, const wchar_t* text, DWORD style, HWND parent, int id) {
  return CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
}

}  // namespace

TfrmMissed::TfrmMissed(HWND owner) {
  createDialog(L"TfrmMissed", L"错过的任务", owner);
  Panel1 = std::make_unique<BevelPanel>(handle(), BevelPanel::Bevel::Lowered, kGrey);
  Panel2 = std::make_unique<BevelPanel>(Panel1->handle(), BevelPanel::Bevel::Raised, kSilver);
  Label1 = child(L"STATIC", L"计算机睡眠或时钟调快期间,以下任务到时没有执行:", SS_LEFT | SS_NOPREFIX,
                 Panel2->handle(), -1);
  ListView1 = std::make_unique<MissionListView>(handle(), kListView1, rows_, MissionListOptions{});
  Panel3 = std::make_unique<BevelPanel>(handle(), BevelPanel::Bevel::Lowered, kGrey);
  btnOk = child(L"BUTTON", L"确定", WS_TABSTOP | BS_DEFPUSHBUTTON, Panel3->handle(), IDOK);
  bindCommand(IDOK, [this] { btnOkClick(); });
  bindCommand(IDCANCEL, [this] { btnOkClick(); });
  useFont(&createDialogFont);
  useCaptionIcon(res::kMainIcon);
  setClientSize(kClientWidth, kClientHeight);
  layout();
  skinChanged();
}

TfrmMissed::~TfrmMissed() {
  ListView1.reset();  // lets go of rows_ while it lives
  if (handle()) DestroyWindow(handle());
}

void TfrmMissed::layout() {
  RECT client;
  GetClientRect(handle(), &client);
  const int width = client.right;
  const int height = client.bottom;
  placeListDialog({*Panel1, *Panel2, Label1, ListView1->handle(), *Panel3}, width, height,
                  [this](int px) { return scale(px); });
  MoveWindow(btnOk, width - scale(81), scale(8), scale(73), scale(25), TRUE);
  shareColumns(ListView1->handle(), kColumnShares, dpi());
  InvalidateRect(handle(), nullptr, TRUE);
}

void TfrmMissed::skinChanged() { colourBands(*Panel1, *Panel2, *Panel3); }

void TfrmMissed::add(std::vector<MisRecord> rows) {
  for (MisRecord& row : rows) rows_.append(std::move(row));
  if (!IsWindowVisible(handle())) {
    // Over the main window when it shows, else amid the screen.
    centreOn(GetWindow(handle(), GW_OWNER));
    ShowWindow(handle(), SW_SHOW);
    focusControl(btnOk);
  }
}

void TfrmMissed::btnOkClick() {
  closeWith(IDOK);
  rows_.clear();
}

LRESULT TfrmMissed::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      btnOkClick();
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
