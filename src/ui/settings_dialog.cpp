#include "ui/settings_dialog.h"

#include <exception>

#include "resource_names.h"
#include "ui/components/graphics.h"
#include "ui/components/message_boxes.h"
#include "ui/components/skin_engine.h"

namespace {

constexpr int kClientWidth = 321;
constexpr int kClientHeight = 166;
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
  if (font_) DeleteObject(font_);
  if (okGlyph_) ImageList_Destroy(okGlyph_);
  if (cancelGlyph_) ImageList_Destroy(cancelGlyph_);
}

void TfrmSetup::createControls() {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  const auto child = [&](const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y, int w, int h, int id) {
    return CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, scale(x), scale(y), scale(w), scale(h),
                           handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
  };
  // The box's own controls lie at (8, 8) plus their place in the box.
  GroupBox1 = child(L"BUTTON", L"设置", BS_GROUPBOX, 8, 8, 305, 121, kGroupBox1Id);
  Label1 = child(L"STATIC", L"主题:", SS_LEFT | SS_NOPREFIX, 8 + 16, 8 + 24 + 3, 40, 12, kLabel1Id);
  ComboBox1 = child(WC_COMBOBOXW, L"", CBS_DROPDOWNLIST | WS_TABSTOP | WS_VSCROLL, 8 + 64, 8 + 24, 233, 160,
                    kComboBox1Id);
  for (const wchar_t* item : {L"MSN", L"Vista", L"Cool", L"系统主题"})
    SendMessageW(ComboBox1, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
  SendMessageW(ComboBox1, CB_SETCURSEL, 0, 0);
  ckAutoRun = child(L"BUTTON", L"程序随Windows一起启动", BS_AUTOCHECKBOX | WS_TABSTOP, 8 + 16, 8 + 56, 153, 17,
                    kAutoRunId);
  ckAutospeek = child(L"BUTTON", L"整点报时", BS_AUTOCHECKBOX | WS_TABSTOP, 8 + 16, 8 + 88, 153, 17, kAutospeekId);
  tick(ckAutoRun, true);
  tick(ckAutospeek, true);
  BitBtn1 = child(L"BUTTON", L"确定", BS_PUSHBUTTON | WS_TABSTOP, 152, 136, 73, 25, IDOK);
  BitBtn2 = child(L"BUTTON", L"取消", BS_PUSHBUTTON | WS_TABSTOP, 240, 136, 73, 25, IDCANCEL);
  okGlyph_ = loadImageStrip(res::kGlyphOk, 16, 1);
  cancelGlyph_ = loadImageStrip(res::kGlyphCancel, 16, 1);
  BUTTON_IMAGELIST ok{okGlyph_, {4, 0, 0, 0}, BUTTON_IMAGELIST_ALIGN_LEFT};
  SendMessageW(BitBtn1, BCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(&ok));
  BUTTON_IMAGELIST cancel{cancelGlyph_, {4, 0, 0, 0}, BUTTON_IMAGELIST_ALIGN_LEFT};
  SendMessageW(BitBtn2, BCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(&cancel));

  font_ = createSongtiFont(12, dpi());
  setFontOnTree(handle(), font_);

  setClientSize(kClientWidth, kClientHeight);  // 321 x 166

  bindCommand(IDOK, [this] { BitBtn1Click(); });
  bindCommand(IDCANCEL, [this] { BitBtn2Click(); });
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
  confirmSettings(profile_, platform_, choices, exePath_, applyTheme_, autoSpeek_);
  closeWith(IDOK);
}

void TfrmSetup::BitBtn2Click() { closeWith(IDCANCEL); }
