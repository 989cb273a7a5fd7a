#include "ui/settings_dialog.h"

#include <exception>

#include "resource_names.h"
#include "ui/components/graphics.h"
#include "ui/components/message_boxes.h"
#include "ui/components/skin_engine.h"

namespace {

constexpr int kClientWidth = 321;
constexpr int kClientHeight = 166;
// Places at 96 dpi; the box's controls are the form's too, placed at the
// box's origin plus their place in it.
constexpr Place kGroupBox1{8, 8, 305, 121};
constexpr Place kLabel1{16, 27, 40, 12};       // in GroupBox1
constexpr Place kComboBox1{64, 24, 233, 160};  // in GroupBox1
constexpr Place kAutoRun{16, 56, 153, 17};     // in GroupBox1
constexpr Place kAutospeek{16, 88, 153, 17};   // in GroupBox1
constexpr Place kBitBtn1{152, 136, 73, 25};
constexpr Place kBitBtn2{240, 136, 73, 25};
enum : int { kGroupBox1Id = 101, kLabel1Id, kComboBox1Id, kAutoRunId, kAutospeekId };

bool ticked(HWND box) { return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }
void tick(HWND box, bool on) { SendMessageW(box, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0); }

}  // namespace

TfrmSetup::TfrmSetup(HWND owner, ProfileStore& profile, PlatformServices& platform,
                     std::function<void(int)> applyTheme, bool& autoSpeek, std::string exePath)
    : profile_(profile),
      platform_(platform),
      applyTheme_(std::move(applyTheme)),
      autoSpeek_(autoSpeek),
      exePath_(std::move(exePath)) {
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
  place(BitBtn1, kBitBtn1);
  place(BitBtn2, kBitBtn2);
}

void TfrmSetup::FormCreate() {
  tick(ckAutoRun, !platform_.ReadRunValue(kRunValueName).empty());
  autoSpeek_ = readAutoSpeek(profile_);
  tick(ckAutospeek, autoSpeek_);
  SendMessageW(ComboBox1, CB_SETCURSEL, static_cast<WPARAM>(themeChoice(readThemeSelect(profile_))), 0);
}

void TfrmSetup::FormShow() { SetFocus(ComboBox1); }

void TfrmSetup::BitBtn1Click() {
  SetupChoices choices;
  choices.theme = static_cast<int>(SendMessageW(ComboBox1, CB_GETCURSEL, 0, 0));  // CB_ERR is -1: none chosen
  choices.autoRun = ticked(ckAutoRun);
  choices.autoSpeek = ticked(ckAutospeek);
  if (!confirmSettings(profile_, platform_, choices, exePath_, applyTheme_, autoSpeek_))
    showNotice(handle(), L"无法取消程序随Windows一起启动,需要管理员权限!");
  closeWith(IDOK);
}

void TfrmSetup::BitBtn2Click() { closeWith(IDCANCEL); }
