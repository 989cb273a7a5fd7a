#include "ui/release_history_dialog.h"

#include <richedit.h>

#include "platform/system_folder.h"
#include "ui/components/graphics.h"
#include "ui/release_history_text.h"

namespace {

enum : int { kRichEdit1 = 101 };

constexpr int kClientWidth = 355;
constexpr int kClientHeight = 282;
constexpr RECT kRichEdit1Place{8, 8, 8 + 337, 8 + 233};
constexpr RECT kBitBtn1Place{272, 248, 272 + 73, 248 + 25};

// The rich-text control's window class. Rich Edit 4.1 where Windows has it,
// else 2.0; the library stays loaded for the rest of the run.
const wchar_t* richEditClass() {
  static const wchar_t* const name = [] {
    if (loadSystemLibrary(L"Msftedit.dll")) return MSFTEDIT_CLASS;
    loadSystemLibrary(L"Riched20.dll");
    return RICHEDIT_CLASSW;
  }();
  return name;
}

}  // namespace

TfrmShengji::TfrmShengji(HWND owner) {
  createDialog(L"TfrmShengji", L"升级历史", owner);
  FormCreate();
  centreOn(owner);
}

TfrmShengji::~TfrmShengji() {
  if (handle()) DestroyWindow(handle());
}

void TfrmShengji::FormCreate() {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  RichEdit1 = CreateWindowExW(WS_EX_CLIENTEDGE, richEditClass(), L"",
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                                  ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL,
                              0, 0, 0, 0, handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(kRichEdit1)), instance,
                              nullptr);
  // The long entries are broken by hand: no wrapping at the box's edge.
  SendMessageW(RichEdit1, EM_SETTARGETDEVICE, 0, 1);
  BitBtn1 = CreateWindowExW(0, L"BUTTON", L"确定", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 0, 0, 0,
                            handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDOK)), instance, nullptr);
  bindCommand(IDOK, [this] { BitBtn1Click(); });
  // Esc closes the window as its close box does.
  bindCommand(IDCANCEL, [this] { closeWith(IDCANCEL); });

  useFont(&createDialogFont);
  layout();
  // After the font: the text takes the box's default character format.
  SetWindowTextW(RichEdit1, kReleaseHistory);
  SendMessageW(RichEdit1, EM_SETSEL, 0, 0);
}

void TfrmShengji::layout() {
  setClientSize(kClientWidth, kClientHeight);

  const auto place = [this](HWND control, const RECT& r) {
    MoveWindow(control, scale(r.left), scale(r.top), scale(r.right - r.left), scale(r.bottom - r.top), TRUE);
  };
  place(RichEdit1, kRichEdit1Place);
  place(BitBtn1, kBitBtn1Place);
  // The text keeps clear of the box's sunken edge.
  RECT text;
  GetClientRect(RichEdit1, &text);
  InflateRect(&text, -scale(4), -scale(2));
  SendMessageW(RichEdit1, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&text));

  InvalidateRect(handle(), nullptr, TRUE);
}

void TfrmShengji::FormShow() { focusControl(RichEdit1); }

void TfrmShengji::BitBtn1Click() { closeWith(IDOK); }

LRESULT TfrmShengji::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    default:
      break;
  }
  return Form::handleMessage(message, wParam, lParam);
}
