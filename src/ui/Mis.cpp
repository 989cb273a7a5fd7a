#include "ui/Mis.h"

#include "ui/components/graphics.h"

namespace {

enum : int { kBtnAddOn = 101, kBtnAdd = 102, kBtnClose = 103 };

// The work area begins right of the side bar and below the banner.
constexpr int kPanel3Left = 169;
constexpr int kPanel3Top = 65;

}  // namespace

TfrmMis::TfrmMis(HWND owner) {
  CreateParams params;
  params.className = L"TfrmMis";
  params.caption = L"添加任务";
  params.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  params.exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
  params.owner = owner;
  params.x = 0;
  params.y = 0;
  params.width = 0;
  params.height = 0;
  createWindow(params);
  FormCreate();
}

TfrmMis::~TfrmMis() {
  if (font_) DeleteObject(font_);
}

void TfrmMis::FormCreate() {
  // Client area 533 x 354.
  RECT frame{0, 0, scale(533), scale(354)};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(handle(), GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrW(handle(), GWL_EXSTYLE)));
  SetWindowPos(handle(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

  const auto button = [this](const wchar_t* caption, int x, int id) {
    return CreateWindowExW(0, L"BUTTON", caption, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                           scale(kPanel3Left + x), scale(kPanel3Top + 252), scale(89), scale(25), handle(),
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  };
  btnAddOn = button(L"添加并继续", 22, kBtnAddOn);
  btnAdd = button(L"添加并关闭", 134, kBtnAdd);
  btnClose = button(L"不添加关闭", 241, kBtnClose);
  bindCommand(kBtnClose, [this] { btnCloseClick(); });

  font_ = createSongtiFont(12, GetDpiForWindow(handle()));
  setFontOnTree(handle(), font_);
}

void TfrmMis::showEditor() {
  centreOn(GetWindow(handle(), GW_OWNER));
  ShowModal();
}

void TfrmMis::btnCloseClick() { closeWith(IDCANCEL); }
