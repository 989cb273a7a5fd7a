#include "ui/settings_dialog.h"

#include <algorithm>
#include <exception>
#include <iterator>

#include "resource_names.h"
#include "ui/components/graphics.h"
#include "ui/components/message_boxes.h"
#include "ui/components/skin_engine.h"

namespace {

constexpr int kClientWidth = 321;
constexpr int kClientHeight = 230;
// Places at 96 dpi; the box's controls are the form's too, placed at the
// box's origin plus their place in it.
constexpr Place kGroupBox1{8, 8, 305, 185};
constexpr Place kLabel1{16, 27, 40, 12};       // in GroupBox1
constexpr Place kComboBox1{64, 24, 233, 160};  // in GroupBox1
constexpr Place kAutoRun{16, 56, 153, 17};     // in GroupBox1
constexpr Place kAutospeek{16, 88, 153, 17};   // in GroupBox1
constexpr Place kLabel2{16, 123, 72, 12};      // in GroupBox1
constexpr Place kCbNotice{96, 120, 97, 160};   // in GroupBox1
constexpr Place kWake{16, 152, 153, 17};       // in GroupBox1
constexpr Place kBitBtn1{152, 200, 73, 25};
constexpr Place kBitBtn2{240, 200, 73, 25};
enum : int {
  kGroupBox1Id = 101, kLabel1Id, kComboBox1Id, kAutoRunId, kAutospeekId, kLabel2Id, kCbNoticeId, kWakeId
};

// The lengths of the notice box, in its order.
constexpr int kNoticeChoices[] = {0, 15, 30, 60, 120};
constexpr const wchar_t* kNoticeItems[] = {L"不提示", L"15 秒", L"30 秒", L"60 秒", L"120 秒"};

bool ticked(HWND box) { return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }
void tick(HWND box, bool on) { SendMessageW(box, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0); }

}  // namespace

TfrmSetup::TfrmSetup(HWND owner, ProfileStore& profile, PlatformServices& platform,
                     std::function<void(int)> applyTheme, bool& autoSpeek, int& noticeSeconds, std::string exePath,
                     WakeTimer* wake)
    : profile_(profile),
      platform_(platform),
      applyTheme_(std::move(applyTheme)),
      autoSpeek_(autoSpeek),
      noticeSeconds_(noticeSeconds),
      exePath_(std::move(exePath)),
      wake_(wake) {
  createDialog(L"TfrmSetup", L"系统设置", owner, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPSIBLINGS);
  createControls();
  centreOn(owner);
  // A failure of the creation step is shown here; the dialog opens with the
  // rest of its controls as the form has them.
  try {
    FormCreate();
  } catch (const std::exception& error) {
    showErrorBox(error.what());
  }
}

TfrmSetup::~TfrmSetup() {
  if (handle()) DestroyWindow(handle());
  if (okGlyph_) ImageList_Destroy(okGlyph_);
  if (cancelGlyph_) ImageList_Destroy(cancelGlyph_);
}

void TfrmSetup::createControls() {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  const auto child = [&](const wchar_t* cls, const wchar_t* text, DWORD style, int id) {
    return CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, handle(),
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
  };
  GroupBox1 = child(L"BUTTON", L"设置", BS_GROUPBOX, kGroupBox1Id);
  Label1 = child(L"STATIC", L"主题:", SS_LEFT | SS_NOPREFIX, kLabel1Id);
  ComboBox1 = child(WC_COMBOBOXW, L"", CBS_DROPDOWNLIST | WS_TABSTOP | WS_VSCROLL, kComboBox1Id);
  for (const wchar_t* item : {L"MSN", L"Vista", L"Cool", L"系统主题"})
    SendMessageW(ComboBox1, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
  SendMessageW(ComboBox1, CB_SETCURSEL, 0, 0);
  ckAutoRun = child(L"BUTTON", L"程序随Windows一起启动", BS_AUTOCHECKBOX | WS_TABSTOP, kAutoRunId);
  ckAutospeek = child(L"BUTTON", L"整点报时", BS_AUTOCHECKBOX | WS_TABSTOP, kAutospeekId);
  Label2 = child(L"STATIC", L"关机前提示:", SS_LEFT | SS_NOPREFIX, kLabel2Id);
  cbNotice = child(WC_COMBOBOXW, L"", CBS_DROPDOWNLIST | WS_TABSTOP | WS_VSCROLL, kCbNoticeId);
  for (const wchar_t* item : kNoticeItems) SendMessageW(cbNotice, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
  SendMessageW(cbNotice, CB_SETCURSEL, 3, 0);
  ckWake = child(L"BUTTON", L"唤醒计算机执行任务", BS_AUTOCHECKBOX | WS_TABSTOP, kWakeId);
  tick(ckAutoRun, true);
  tick(ckAutospeek, true);
  // The default button: Enter anywhere in the dialog is OK.
  BitBtn1 = child(L"BUTTON", L"确定", BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK);
  BitBtn2 = child(L"BUTTON", L"取消", BS_PUSHBUTTON | WS_TABSTOP, IDCANCEL);
  loadPictures();
  useFont(&createDialogFont);
  useCaptionIcon(res::kMainIcon);
  layout();

  bindCommand(IDOK, [this] { BitBtn1Click(); });
  bindCommand(IDCANCEL, [this] { BitBtn2Click(); });
  bindCommand(kWakeId, [this] { ckWakeClick(); });
}

void TfrmSetup::loadPictures() {
  const HIMAGELIST oldOk = okGlyph_, oldCancel = cancelGlyph_;
  okGlyph_ = loadImageStrip(res::kGlyphOk, 16, 1, dpi());
  cancelGlyph_ = loadImageStrip(res::kGlyphCancel, 16, 1, dpi());
  BUTTON_IMAGELIST ok{okGlyph_, {4, 0, 0, 0}, BUTTON_IMAGELIST_ALIGN_LEFT};
  SendMessageW(BitBtn1, BCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(&ok));
  BUTTON_IMAGELIST cancel{cancelGlyph_, {4, 0, 0, 0}, BUTTON_IMAGELIST_ALIGN_LEFT};
  SendMessageW(BitBtn2, BCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(&cancel));
  if (oldOk) ImageList_Destroy(oldOk);
  if (oldCancel) ImageList_Destroy(oldCancel);
}

void TfrmSetup::layout() {
  setClientSize(kClientWidth, kClientHeight);  // 321 x 166
  place(GroupBox1, kGroupBox1);
  place(Label1, inside(kGroupBox1, kLabel1));
  place(ComboBox1, inside(kGroupBox1, kComboBox1));
  place(ckAutoRun, inside(kGroupBox1, kAutoRun));
  place(ckAutospeek, inside(kGroupBox1, kAutospeek));
  place(Label2, inside(kGroupBox1, kLabel2));
  place(cbNotice, inside(kGroupBox1, kCbNotice));
  place(ckWake, inside(kGroupBox1, kWake));
  place(BitBtn1, kBitBtn1);
  place(BitBtn2, kBitBtn2);
}

void TfrmSetup::FormCreate() {
  tick(ckAutoRun, !platform_.ReadRunValue(kRunValueName).empty());
  autoSpeek_ = readAutoSpeek(profile_);
  tick(ckAutospeek, autoSpeek_);
  tick(ckWake, readWake(profile_));
  SendMessageW(ComboBox1, CB_SETCURSEL, static_cast<WPARAM>(themeChoice(readThemeSelect(profile_))), 0);
  storedNotice_ = readNoticeSeconds(profile_);
  const auto chosen = std::find(std::begin(kNoticeChoices), std::end(kNoticeChoices), storedNotice_);
  SendMessageW(cbNotice, CB_SETCURSEL,
               chosen == std::end(kNoticeChoices) ? static_cast<WPARAM>(-1)
                                                  : static_cast<WPARAM>(chosen - std::begin(kNoticeChoices)),
               0);
}

void TfrmSetup::FormShow() { SetFocus(ComboBox1); }

void TfrmSetup::BitBtn1Click() {
  SetupChoices choices;
  choices.theme = static_cast<int>(SendMessageW(ComboBox1, CB_GETCURSEL, 0, 0));  // CB_ERR is -1: none chosen
  choices.autoRun = ticked(ckAutoRun);
  choices.autoSpeek = ticked(ckAutospeek);
  const LRESULT notice = SendMessageW(cbNotice, CB_GETCURSEL, 0, 0);
  choices.noticeSeconds = notice >= 0 && notice < static_cast<LRESULT>(std::size(kNoticeChoices))
                              ? kNoticeChoices[notice]
                              : storedNotice_;
  choices.wake = ticked(ckWake);
  if (!confirmSettings(profile_, platform_, choices, exePath_, applyTheme_, autoSpeek_, noticeSeconds_))
    showNotice(handle(), L"无法取消程序随Windows一起启动,需要管理员权限!");
  closeWith(IDOK);
}

void TfrmSetup::BitBtn2Click() { closeWith(IDCANCEL); }

void TfrmSetup::ckWakeClick() {
  // The box stays ticked: the power plan may allow wake timers later.
  if (!wake_ || !ticked(ckWake)) return;
  switch (wake_->support()) {
    case WakeSupport::Supported: break;
    case WakeSupport::NotSupported:
      showNotice(handle(), L"这台计算机不支持由定时器唤醒,到时不能唤醒计算机执行任务!");
      break;
    case WakeSupport::TimersOff:
      showNotice(handle(), L"电源计划不允许使用唤醒定时器,到时不能唤醒计算机执行任务!");
      break;
  }
}
