#include "ui/mission_editor.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string_view>
#include <utility>
#include <vector>

#include "core/mis_kind.h"
#include "core/repeat_dates.h"
#include "core/scheduler.h"
#include "platform/text_conversion.h"
#include "platform/windows_clock.h"
#include "resource_names.h"
#include "ui/components/date_time_picker.h"
#include "ui/components/editor_panel.h"
#include "ui/components/file_name_edit.h"
#include "ui/components/graphics.h"
#include "ui/components/message_boxes.h"
#include "ui/components/nav_bar.h"
#include "ui/components/skin_engine.h"

namespace {

// The layout, in pixels at 96 dpi. The time box is two rows taller than
// the time alone needs: how the mission repeats, and on which weekdays.
constexpr int kRepeatRows = 64;
constexpr int kClientWidth = 533;
constexpr int kClientHeight = 354 + kRepeatRows;
constexpr int kBannerHeight = 65;
constexpr int kSideBarWidth = 169;
constexpr int kPageFrame = 2;      // PageControl1's border around the pages
constexpr int kHeaderHeight = 19;  // a page's gradient strip
constexpr Place kImage1{32, 16, 36, 36};  // drawn in Panel1
// The form holds the banner Panel1 across the top, the side bar Panel2
// below it on the left and the work area Panel3, the rest. In Panel1 and
// Panel3:
constexpr Place kLabel1{96, 24, 400, 14};
constexpr Place kPageControl1{18, 20, 313, 117};
constexpr Place kPage{kPageFrame, kPageFrame, 313 - 2 * kPageFrame, 117 - 2 * kPageFrame};  // in PageControl1
constexpr Place kGroupBox1{18, 148, 313, 89 + kRepeatRows};
constexpr Place kLabel3{24, 28, 66, 14};   // in GroupBox1
constexpr Place kAtDpDate{96, 24, 193, 20};  // in GroupBox1
constexpr Place kLabel2{24, 60, 66, 14};   // in GroupBox1
constexpr Place kAtDpTime{96, 56, 193, 20};  // in GroupBox1
constexpr Place kLabel4{24, 92, 66, 14};   // in GroupBox1
constexpr Place kAtCbRepeat{96, 88, 193, 160};  // in GroupBox1, with its open list
constexpr Place kAtCkWeekday{12, 120, 41, 18};  // in GroupBox1, the first of seven side by side
constexpr int kWeekdayPitch = 42;
constexpr Place kAtBtnAddOn{22, 252 + kRepeatRows, 89, 25};
constexpr Place kAtBtnAdd{134, 252 + kRepeatRows, 89, 25};
constexpr Place kAtBtnClose{241, 252 + kRepeatRows, 89, 25};

// The choices of cbRepeat, in the order of RepeatKind.
constexpr const wchar_t* kRepeatChoices[] = {L"不重复", L"每天", L"工作日", L"每周", L"每月"};
// The weekday boxes from Monday on.
constexpr const wchar_t* kWeekdayCaptions[7] = {L"周一", L"周二", L"周三", L"周四", L"周五", L"周六", L"周日"};
// Day of the week (0 = Sunday) of the i-th box.
constexpr int weekdayOfBox(int i) { return (i + 1) % 7; }
// On the pages:
constexpr Place kAtListBox1{8, 30, 289, 46};  // its height is four entries' (layout)
constexpr int kListBox1Rows = 4;  // of two columns
constexpr Place kFileName{8, 30, 273, 21};  // fnPro, fnFile, fnRing
constexpr Place kAtMemo1{8, 30, 289, 17};
constexpr Place kAtCbMsg{8, 54, 289, 160};
constexpr Place kAtEditUrl{8, 30, 281, 21};
constexpr Place kAtEditEmail{8, 30, 289, 21};

// A page header's gradient and text in the system look.
constexpr COLORREF kHeaderTop = RGB(0, 0, 255);
constexpr COLORREF kHeaderBottom = RGB(255, 255, 255);
constexpr COLORREF kHeaderText = RGB(255, 255, 255);
constexpr COLORREF kHeaderOutline = RGB(0, 0, 128);

// A page's kind is the kind whose editorPage it is; page 0 makes the power
// kinds and the others that act on the computer, chosen in ListBox1.
struct PageInfo {
  const wchar_t* caption;  // the page object's caption; its tab is never shown
  const wchar_t* header;
};
constexpr PageInfo kPages[TfrmMis::kPageCount] = {
    {L"关闭重启", L"关闭或重启计算机"},
    {L"执行程序", L"执行应用程序"},
    {L"打开文件", L"打开文件"},
    {L"提示消息", L"系统提示信息"},
    {L"系统响铃", L"系统响铃"},
    {L"打开网页", L"打开网页"},
    {L"发送邮件", L"发送电子邮件"},
};

constexpr const wchar_t* kPresets[4] = {
    L"该起床了!",
    L"是到吃饭的时间了,休息一下吧.",
    L"眼晴困了,休息一下,看看远处对眼晴好!",
    L"又到了下班的时间了,oh,my God!",
};

constexpr const wchar_t* kSampleUrl = L"http://www.example.org/";
constexpr const wchar_t* kSampleEmail = L"someone@example.org";

// The one kind a page other than page 0 makes.
std::string_view kindOfPage(int page) {
  for (const MisKind& kind : kMisKinds) {
    if (kind.editorPage == page) return kind.name;
  }
  return {};
}

// The entries of ListBox1, in order: the kinds of page 0.
std::vector<const MisKind*> pageZeroKinds() {
  std::vector<const MisKind*> kinds;
  for (const MisKind& kind : kMisKinds) {
    if (kind.editorPage == 0) kinds.push_back(&kind);
  }
  return kinds;
}

// The kind of an entry of ListBox1, or nullptr for none.
const MisKind* entryKind(LRESULT entry) {
  const std::vector<const MisKind*> kinds = pageZeroKinds();
  return entry >= 0 && entry < static_cast<LRESULT>(kinds.size()) ? kinds[static_cast<size_t>(entry)] : nullptr;
}

std::wstring windowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), length + 1)));
  return text;
}

// The memo's lines joined by CR LF, whatever line ends it holds.
std::wstring joinedLines(const std::wstring& text) {
  std::wstring out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\r') {
      out += L"\r\n";
      if (i + 1 < text.size() && text[i + 1] == L'\n') ++i;
    } else if (text[i] == L'\n') {
      out += L"\r\n";
    } else {
      out += text[i];
    }
  }
  return out;
}


void setGlyph(HWND button, HIMAGELIST list) {
  BUTTON_IMAGELIST images{};
  images.himl = list;
  images.margin = RECT{4, 0, 0, 0};
  images.uAlign = BUTTON_IMAGELIST_ALIGN_LEFT;
  SendMessageW(button, BCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(&images));
  InvalidateRect(button, nullptr, TRUE);
}

// The text that puts detail into a file-name edit so that its file name
// reads detail back: as it is, or in double quotes (a path with a blank
// that names no file yet).
std::wstring fileNameEditText(const std::string& detail) {
  const std::wstring path = toWide(detail);
  if (fileNameOfText(path) == path) return path;
  const std::wstring quoted = L"\"" + path + L"\"";
  return fileNameOfText(quoted) == path ? quoted : path;
}

}  // namespace

TfrmMis::TfrmMis(HWND owner, MisTable& table, const Clock& clock, const DateTimeText& text, RunControl& runControl,
                 PlatformServices& platform)
    : table_(table), clock_(clock), text_(text), runControl_(runControl), platform_(platform) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_DATE_CLASSES | ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  createDialog(L"TfrmMis", L"添加任务", owner);
  FormCreate();
}

TfrmMis::~TfrmMis() {
  // The controls go before the pictures and the font they use.
  dxNavBar1.reset();
  fnPro.reset();
  fnFile.reset();
  fnRing.reset();
  for (auto& page : pages_) page.reset();
  pageControl_.reset();
  Panel1.reset();
  Panel2.reset();
  Panel3.reset();
  if (memoTip) DestroyWindow(memoTip);
  for (HIMAGELIST list : {ImageList2, glyphAddOn_, glyphAdd_, glyphSave_, glyphClose_}) {
    if (list) ImageList_Destroy(list);
  }
  if (banner_) DeleteObject(banner_);
}

void TfrmMis::FormCreate() {
  useCaptionIcon(res::kMainIcon);
  loadPictures();
  createBanner();
  createSideBar();
  Panel3 = std::make_unique<EditorPanel>(handle());
  createPages();
  createTimeBox();
  createButtons();
  useFont(&createDialogFont);
  layout();

  // The pages have no tabs: only the side bar changes the page.
  showPage(0);
  skinChanged();
}

void TfrmMis::skinChanged() {
  const Skin* skin = currentSkin();
  const COLORREF face = skin ? skin->window : GetSysColor(COLOR_BTNFACE);
  const COLORREF text = skin ? skin->text : GetSysColor(COLOR_WINDOWTEXT);
  Panel1->setColours(skin ? skin->bannerBottom : RGB(255, 255, 255),
                     skin ? skin->bannerText : GetSysColor(COLOR_WINDOWTEXT));
  Panel2->setColours(skin ? skin->nav.background : face, text);
  for (EditorPanel* panel : {Panel3.get(), pageControl_.get()}) panel->setColours(face, text);
  for (auto& page : pages_) page->setColours(face, text);
  RedrawWindow(handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void TfrmMis::loadPictures() {
  const UINT dpi = this->dpi();
  const HIMAGELIST old[] = {ImageList2, glyphAddOn_, glyphAdd_, glyphSave_, glyphClose_};
  const HBITMAP oldBanner = banner_;
  ImageList2 = loadImageStrip(res::kNavIcons32, 32, res::kNavIconCount, dpi);
  glyphAddOn_ = loadImageStrip(res::kGlyphAddOn, 16, 1, dpi);
  glyphAdd_ = loadImageStrip(res::kGlyphAdd, 16, 1, dpi);
  glyphSave_ = loadImageStrip(res::kGlyphSave, 16, 1, dpi);
  glyphClose_ = loadImageStrip(res::kGlyphClose, 16, 1, dpi);
  banner_ = stripPicture(res::kBanner36, 36, 0, dpi);
  if (dxNavBar1) dxNavBar1->setImages(ImageList2);
  if (btnAdd) {
    setGlyph(btnAddOn, glyphAddOn_);
    setGlyph(btnAdd, misMode == 2 ? glyphSave_ : glyphAdd_);
    setGlyph(btnClose, glyphClose_);
  }
  for (HIMAGELIST list : old)
    if (list) ImageList_Destroy(list);
  if (oldBanner) DeleteObject(oldBanner);
}

void TfrmMis::layout() {
  setClientSize(kClientWidth, kClientHeight);
  // The three panels share the client area to the pixel, whatever rounding
  // the scaling brings.
  RECT client;
  GetClientRect(handle(), &client);
  const int bannerHeight = scale(kBannerHeight);
  const int sideBarWidth = scale(kSideBarWidth);
  MoveWindow(Panel1->handle(), 0, 0, client.right, bannerHeight, TRUE);
  MoveWindow(Panel2->handle(), 0, bannerHeight, sideBarWidth, client.bottom - bannerHeight, TRUE);
  MoveWindow(dxNavBar1->handle(), 0, 0, sideBarWidth, client.bottom - bannerHeight, TRUE);
  MoveWindow(Panel3->handle(), sideBarWidth, bannerHeight, client.right - sideBarWidth, client.bottom - bannerHeight,
             TRUE);
  place(Label1, kLabel1);
  place(PageControl1, kPageControl1);
  for (auto& page : pages_) place(page->handle(), kPage);
  // Four entries high, whatever the font, and two columns wide.
  RECT border{0, 0, 0, 0};
  AdjustWindowRectExForDpi(&border, 0, FALSE, WS_EX_CLIENTEDGE, dpi());
  const int rowHeight = static_cast<int>(SendMessageW(ListBox1, LB_GETITEMHEIGHT, 0, 0));
  MoveWindow(ListBox1, scale(kAtListBox1.x), scale(kAtListBox1.y), scale(kAtListBox1.width),
             kListBox1Rows * rowHeight + (border.bottom - border.top), TRUE);
  SendMessageW(ListBox1, LB_SETCOLUMNWIDTH, (scale(kAtListBox1.width) - (border.right - border.left)) / 2, 0);
  for (FileNameEdit* edit : {fnPro.get(), fnFile.get(), fnRing.get()}) place(edit->handle(), kFileName);
  place(Memo1, kAtMemo1);
  place(cbMsg, kAtCbMsg);
  place(editUrl, kAtEditUrl);
  place(editEmail, kAtEditEmail);
  place(GroupBox1, kGroupBox1);
  place(Label3, inside(kGroupBox1, kLabel3));
  place(dpDate, inside(kGroupBox1, kAtDpDate));
  place(Label2, inside(kGroupBox1, kLabel2));
  place(dpTime, inside(kGroupBox1, kAtDpTime));
  place(Label4, inside(kGroupBox1, kLabel4));
  place(cbRepeat, inside(kGroupBox1, kAtCbRepeat));
  for (int i = 0; i < 7; ++i) {
    Place box = inside(kGroupBox1, kAtCkWeekday);
    box.x += i * kWeekdayPitch;
    place(ckWeekdays[static_cast<size_t>(i)], box);
  }
  place(btnAddOn, kAtBtnAddOn);
  place(btnAdd, kAtBtnAdd);
  place(btnClose, kAtBtnClose);
}

void TfrmMis::createBanner() {
  Panel1 = std::make_unique<EditorPanel>(
      handle(), [this](HDC dc, const RECT& client) {
        // A skin's banner runs from its deep colour behind the picture to
        // its light one; the system look's is plain white.
        if (const Skin* skin = currentSkin()) fillGradient(dc, client, skin->bannerTop, skin->bannerBottom, false);
        if (banner_) {  // Image1, see-through where the picture is, as drawn for the dpi
          const int size = pictureSize(kImage1.width, dpi());
          const int left = scale(kImage1.x) + (scale(kImage1.width) - size) / 2;
          const int top = scale(kImage1.y) + (scale(kImage1.height) - size) / 2;
          blendBitmap(dc, left, top, size, size, banner_);
        }
        RECT line = client;
        DrawEdge(dc, &line, EDGE_ETCHED, BF_BOTTOM);
      });
  Label1 = CreateWindowExW(0, L"STATIC", L"任务管理,用户可以在此处添加多项任务.",
                           WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0,
                           Panel1->handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
}

void TfrmMis::createSideBar() {
  Panel2 = std::make_unique<EditorPanel>(handle());
  dxNavBar1 = std::make_unique<NavBar>(Panel2->handle(), 0, 0, 0, 0, ImageList2, 32);
  dxNavBar1->setArrowsRunItems(true);  // its items choose pages, as tabs do
  // The side bar takes the look's colours, as the main window's does.
  if (SkinEngine* skins = programSkinEngine()) skins->attachNavBar(*dxNavBar1);
  const int mission = dxNavBar1->addGroup(L"系统任务", true);
  const int tishi = dxNavBar1->addGroup(L"提示任务", false);
  const int internet = dxNavBar1->addGroup(L"网络任务", false);
  dxNavBar1->addItem(mission, kNbShutdown, L"关闭电脑", res::kNavPower);
  dxNavBar1->addItem(mission, kNbExePro, L"执行程序", res::kNavProgram);
  dxNavBar1->addItem(mission, kNbOpenFile, L"打开文件", res::kNavFile);
  dxNavBar1->addItem(tishi, kNbMessage, L"提示消息", res::kNavMessage);
  dxNavBar1->addItem(tishi, kNbRing, L"系统响铃", res::kNavProgram);
  dxNavBar1->addItem(internet, kNbOpenUrl, L"打开网址", res::kNavWeb);
  dxNavBar1->addItem(internet, kNbEmail, L"发送邮件", res::kNavMail);
  bindCommand(kNbShutdown, [this] { nbShutdownClick(); });
  bindCommand(kNbExePro, [this] { nbExeProClick(); });
  bindCommand(kNbOpenFile, [this] { nbOpenFileClick(); });
  bindCommand(kNbMessage, [this] { nbMessageClick(); });
  bindCommand(kNbRing, [this] { nbRingClick(); });
  bindCommand(kNbOpenUrl, [this] { nbOpenUrlClick(); });
  bindCommand(kNbEmail, [this] { nbEmailClick(); });
}

void TfrmMis::createPages() {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  pageControl_ = std::make_unique<EditorPanel>(Panel3->handle(),
                                               [](HDC dc, const RECT& client) {
                                                 RECT frame = client;
                                                 DrawEdge(dc, &frame, EDGE_RAISED, BF_RECT);
                                               });
  PageControl1 = pageControl_->handle();
  for (int i = 0; i < kPageCount; ++i) {
    const wchar_t* header = kPages[i].header;
    pages_[i] = std::make_unique<EditorPanel>(
        PageControl1, [this, header](HDC dc, const RECT& client) {
          const Skin* skin = currentSkin();
          fillGradient(dc, RECT{0, 0, client.right, scale(kHeaderHeight)}, skin ? skin->bannerTop : kHeaderTop,
                       skin ? skin->bannerBottom : kHeaderBottom, true);
          const HGDIOBJ old = SelectObject(dc, font());
          SetBkMode(dc, TRANSPARENT);
          if (skin) {
            SetTextColor(dc, skin->bannerText);
            TextOutW(dc, scale(7), scale(4), header, lstrlenW(header));
          } else {
            // White on the gradient's white end: ringed in its dark blue.
            drawOutlinedText(dc, scale(7), scale(4), header, kHeaderText, kHeaderOutline, dpi());
          }
          SelectObject(dc, old);
        });
    SetWindowTextW(pages_[i]->handle(), kPages[i].caption);
  }
  const auto child = [&](int page, const wchar_t* className, const wchar_t* text, DWORD style, DWORD exStyle,
                         int id) {
    return CreateWindowExW(exStyle, className, text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, 0, 0, 0, 0,
                           pages_[page]->handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance,
                           nullptr);
  };

  ListBox1 = child(0, L"LISTBOX", L"", LBS_NOTIFY | LBS_MULTICOLUMN | LBS_NOINTEGRALHEIGHT, WS_EX_CLIENTEDGE,
                   kListBox1);
  for (const MisKind* kind : pageZeroKinds()) {
    const std::wstring entry = toWide(std::string(kind->name));
    SendMessageW(ListBox1, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
  }

  fnPro = std::make_unique<FileNameEdit>(pages_[1]->handle(), 0, 0, 0, 0,
                                         L"程序文件 (*.exe)|*.exe|批处理文件(*.bat)|*.bat");
  fnFile = std::make_unique<FileNameEdit>(pages_[2]->handle(), 0, 0, 0, 0, L"All files (*.*)|*.*");

  Memo1 = child(3, L"EDIT", L"", ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL, WS_EX_CLIENTEDGE,
                kMemo1);
  cbMsg = child(3, L"COMBOBOX", L"", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL, 0, kCbMsg);
  for (const wchar_t* preset : kPresets) SendMessageW(cbMsg, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(preset));
  memoTip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, handle(), nullptr, instance,
                            nullptr);
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = pages_[3]->handle();
  tool.uId = reinterpret_cast<UINT_PTR>(Memo1);
  tool.lpszText = const_cast<wchar_t*>(L"在这里输入要提示消息的内容");
  SendMessageW(memoTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));

  fnRing = std::make_unique<FileNameEdit>(pages_[4]->handle(), 0, 0, 0, 0, L"wavefile (*.wav)|*.wav", 5);
  fnRing->setText(L"内置铃声");

  editUrl = child(5, L"EDIT", kSampleUrl, ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, kEditUrl);
  editEmail = child(6, L"EDIT", kSampleEmail, ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, kEditEmail);
}

void TfrmMis::createTimeBox() {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  const HWND parent = Panel3->handle();
  const auto control = [&](const wchar_t* className, const wchar_t* text, DWORD style, int id) {
    return CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
  };
  GroupBox1 = control(L"BUTTON", L"设定时间", BS_GROUPBOX, 0);
  Label3 = control(L"STATIC", L"执行日期:", SS_LEFT | SS_NOPREFIX, 0);
  dpDate = control(DATETIMEPICK_CLASSW, L"", WS_TABSTOP | DTS_SHORTDATEFORMAT, kDpDate);
  Label2 = control(L"STATIC", L"执行时间:", SS_LEFT | SS_NOPREFIX, 0);
  dpTime = control(DATETIMEPICK_CLASSW, L"", WS_TABSTOP | DTS_TIMEFORMAT, kDpTime);
  Label4 = control(L"STATIC", L"重复方式:", SS_LEFT | SS_NOPREFIX, 0);
  cbRepeat = control(L"COMBOBOX", L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, kCbRepeat);
  for (const wchar_t* choice : kRepeatChoices) SendMessageW(cbRepeat, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(choice));
  for (int i = 0; i < 7; ++i) {
    ckWeekdays[static_cast<size_t>(i)] =
        control(L"BUTTON", kWeekdayCaptions[i], WS_TABSTOP | BS_AUTOCHECKBOX, kCkWeekday + i);
  }
  showRepeat({});
  for (HWND picker : {dpDate, dpTime}) guardDateTimePicker(picker);
  // Drawn last so the box's frame does not hide the controls inside it.
  SetWindowPos(GroupBox1, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TfrmMis::createButtons() {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  const auto button = [&](const wchar_t* caption, int id) {
    return CreateWindowExW(0, L"BUTTON", caption, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 0, 0,
                           Panel3->handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
  };
  btnAddOn = button(L"添加并继续", kBtnAddOn);
  btnAdd = button(L"添加并关闭", kBtnAdd);
  btnClose = button(L"不添加关闭", kBtnClose);
  setGlyph(btnAddOn, glyphAddOn_);
  setGlyph(btnAdd, glyphAdd_);
  setGlyph(btnClose, glyphClose_);
  bindCommand(kBtnAddOn, [this] { btnAddOnClick(); });
  bindCommand(kBtnAdd, [this] { btnAddClick(); });
  bindCommand(kBtnClose, [this] { btnCloseClick(); });
  // Esc is the close button, the editor's cancel.
  bindCommand(IDCANCEL, [this] { btnCloseClick(); });
}

HWND TfrmMis::tabSheet(int page) const {
  return page >= 0 && page < kPageCount && pages_[page] ? pages_[page]->handle() : nullptr;
}

void TfrmMis::showPage(int page) {
  if (page < 0 || page >= kPageCount) return;
  activePage_ = page;
  // Show the new page before hiding the others, so the focus never falls
  // out of the dialog.
  ShowWindow(pages_[page]->handle(), SW_SHOW);
  for (int i = 0; i < kPageCount; ++i) {
    if (i != page) ShowWindow(pages_[i]->handle(), SW_HIDE);
  }
  // The bar shows which page this is, whatever it showed before.
  dxNavBar1->setSelectedItem(kNbShutdown + page);
  dxNavBar1->revealItem(kNbShutdown + page);
}

void TfrmMis::showEditor() {
  centreOn(GetWindow(handle(), GW_OWNER));
  ShowModal();
}

void TfrmMis::FormShow() {
  // An hour from now, milliseconds dropped; past 23:00 that is tomorrow.
  setPickers(fromWallSecond(wallSecond(clock_.now()) + 3600));
  showPage(0);
  SendMessageW(ListBox1, LB_SETCURSEL, 0, 0);
  showRepeat({});
  shownRow_.reset();
  shownMission_.reset();

  setGlyph(btnAdd, misMode == 2 ? glyphSave_ : glyphAdd_);
  if (misMode == 2) {
    const MisTable& table = table_;
    const int selected = table.selectedIndex();
    if (selected >= 0 && selected < table.count()) showRow(table.row(selected));
  }
  focusControl(firstControlOfPage(activePage_));
}

void TfrmMis::setPickers(const LocalDateTime& when) {
  const SYSTEMTIME time = toSystemTime(when);
  DateTime_SetSystemtime(dpTime, GDT_VALID, &time);
  SYSTEMTIME day = time;
  day.wHour = day.wMinute = day.wSecond = 0;
  DateTime_SetSystemtime(dpDate, GDT_VALID, &day);
}

void TfrmMis::showRow(const MisRecord& row) {
  const MisKind* kind = findMisKind(row.kindName);
  // A caption that names no kind: page 0 with no entry chosen, so saving
  // leaves the row alone.
  showPage(kind ? kind->editorPage : 0);
  const std::wstring detail = toWide(row.detail);
  switch (activePage_) {
    case 0: {
      const std::vector<const MisKind*> kinds = pageZeroKinds();
      const auto entry = std::find(kinds.begin(), kinds.end(), kind);
      SendMessageW(ListBox1, LB_SETCURSEL, entry == kinds.end() ? static_cast<WPARAM>(-1) : entry - kinds.begin(), 0);
      break;
    }
    case 1: fnPro->setText(fileNameEditText(row.detail)); break;
    case 2: fnFile->setText(fileNameEditText(row.detail)); break;
    case 3: SetWindowTextW(Memo1, detail.c_str()); break;
    case 4: fnRing->setText(fileNameEditText(row.detail)); break;
    case 5: SetWindowTextW(editUrl, detail.c_str()); break;
    case 6: SetWindowTextW(editEmail, detail.c_str()); break;
    default: break;
  }
  // The row's day and time of day where they read back; otherwise the
  // pickers keep an hour from now.
  LocalDateTime when = fromWallSecond(wallSecond(clock_.now()) + 3600);
  if (const std::optional<CivilDate> date = text_.parseDate(row.dateText)) {
    when.year = date->year;
    when.month = date->month;
    when.day = date->day;
  }
  const std::optional<TimeOfDay> time = readMissionTime(text_, row.timeText);
  if (time && time->hour < 24 && time->minute < 60 && time->second < 60) {
    when.hour = time->hour;
    when.minute = time->minute;
    when.second = time->second;
  }
  setPickers(when);
  showRepeat(row.repeat);
  shownRow_ = row;
  shownMission_ = heldMission();
}

HWND TfrmMis::firstControlOfPage(int page) const {
  switch (page) {
    case 0: return ListBox1;
    case 1: return fnPro->edit();
    case 2: return fnFile->edit();
    case 3: return Memo1;
    case 4: return fnRing->edit();
    case 5: return editUrl;
    case 6: return editEmail;
    default: return nullptr;
  }
}

std::optional<MisRecord> TfrmMis::heldMission() const {
  MisRecord mission;
  switch (activePage_) {
    case 0: {
      const MisKind* kind = entryKind(SendMessageW(ListBox1, LB_GETCURSEL, 0, 0));
      if (!kind) return std::nullopt;
      if (kind->action == MisAction::Hibernate && !platform_.HibernationAvailable()) return std::nullopt;
      mission.kindName = kind->name;
      mission.detail = mission.kindName;
      break;
    }
    case 1:
    case 2:
    case 4: {
      // A path code page 936 cannot hold is kept as the file's short name;
      // pathCanBeStored refuses it before it is stored otherwise.
      const std::wstring name = fileNameEditOfPage(activePage_)->fileName();
      mission.detail = storablePath(name).value_or(toCp936(name));
      break;
    }
    case 3: mission.detail = toCp936(joinedLines(windowText(Memo1))); break;
    case 5: mission.detail = toCp936(windowText(editUrl)); break;
    case 6: mission.detail = toCp936(windowText(editEmail)); break;
    default: return std::nullopt;
  }
  if (activePage_ != 0) mission.kindName = kindOfPage(activePage_);
  mission.imageIndex = findMisKind(mission.kindName)->imageIndex;

  // The date of dpDate with the time of day of dpTime.
  const SYSTEMTIME date = dateTimePickerValue(dpDate);
  const SYSTEMTIME time = dateTimePickerValue(dpTime);
  const LocalDateTime when{date.wYear, date.wMonth, date.wDay, time.wHour, time.wMinute, time.wSecond, 0};
  const DateTimeText& text = text_;
  mission.dateText = text.dateText(when);
  mission.timeText = text.timeText(when);
  mission.repeat = heldRepeat({date.wYear, date.wMonth, date.wDay});
  // A repeating mission is dated at its first occurrence from then on, and
  // never in the past: the list shows when it fires next.
  const long long notBefore = std::max(wallSecond(when), wallSecond(clock_.now()));
  if (std::optional<std::string> next = caughtUpDate(mission, notBefore, text)) mission.dateText = std::move(*next);
  return mission;
}

void TfrmMis::showRepeat(const RepeatRule& rule) {
  const RepeatKind kind = rule.kind == RepeatKind::DailyFile ? RepeatKind::Daily : rule.kind;
  SendMessageW(cbRepeat, CB_SETCURSEL, static_cast<WPARAM>(kind), 0);
  for (int i = 0; i < 7; ++i) tick(i, (rule.weekdays >> weekdayOfBox(i)) & 1);
  cbRepeatChange();
}

void TfrmMis::cbRepeatChange() {
  // The boxes show the days the rule falls on; they can be chosen only for
  // a weekly rule, which starts from the day of dpDate.
  const auto kind = static_cast<RepeatKind>(SendMessageW(cbRepeat, CB_GETCURSEL, 0, 0));
  bool anyTicked = false;
  for (int i = 0; i < 7; ++i) {
    if (kind == RepeatKind::Daily || kind == RepeatKind::Workdays) tick(i, kind == RepeatKind::Daily || i < 5);
    if (kind == RepeatKind::None || kind == RepeatKind::Monthly) tick(i, false);
    anyTicked = anyTicked || ticked(i);
    EnableWindow(ckWeekdays[static_cast<size_t>(i)], kind == RepeatKind::Weekly);
  }
  if (kind == RepeatKind::Weekly && !anyTicked) {
    const SYSTEMTIME date = dateTimePickerValue(dpDate);
    tick((dayOfWeek(date.wYear, date.wMonth, date.wDay) + 6) % 7, true);
  }
}

RepeatRule TfrmMis::heldRepeat(const CivilDate& date) const {
  RepeatRule rule;
  const LRESULT choice = SendMessageW(cbRepeat, CB_GETCURSEL, 0, 0);
  rule.kind = choice > 0 && choice < static_cast<LRESULT>(std::size(kRepeatChoices)) ? static_cast<RepeatKind>(choice)
                                                                                      : RepeatKind::None;
  if (rule.kind == RepeatKind::Weekly) {
    for (int i = 0; i < 7; ++i) {
      if (ticked(i)) rule.weekdays = static_cast<std::uint8_t>(rule.weekdays | 1u << weekdayOfBox(i));
    }
    // No day ticked: the day of its date.
    if (rule.weekdays == 0) rule.weekdays = static_cast<std::uint8_t>(1u << dayOfWeek(date.year, date.month, date.day));
  }
  if (rule.kind == RepeatKind::Monthly) rule.monthDay = static_cast<std::uint8_t>(date.day);
  return rule;
}

void TfrmMis::tick(int box, bool on) {
  SendMessageW(ckWeekdays[static_cast<size_t>(box)], BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool TfrmMis::ticked(int box) const {
  return SendMessageW(ckWeekdays[static_cast<size_t>(box)], BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TfrmMis::cbMsgChange(const std::wstring& text) { SetWindowTextW(Memo1, text.c_str()); }

void TfrmMis::ListBox1Click() {
  const MisKind* kind = entryKind(SendMessageW(ListBox1, LB_GETCURSEL, 0, 0));
  if (kind && kind->action == MisAction::Hibernate && !platform_.HibernationAvailable())
    showNotice(handle(), L"本计算机没有启用休眠功能,不能添加休眠任务.");
}

FileNameEdit* TfrmMis::fileNameEditOfPage(int page) const {
  switch (page) {
    case 1: return fnPro.get();
    case 2: return fnFile.get();
    case 4: return fnRing.get();
    default: return nullptr;
  }
}

bool TfrmMis::pathCanBeStored(const MisRecord& mission) {
  const FileNameEdit* edit = fileNameEditOfPage(activePage_);
  // A path left as the row had it is stored as the row had it.
  if (!edit || (shownMission_ && mission.detail == shownMission_->detail)) return true;
  const std::wstring text = edit->text();
  const std::wstring name = edit->fileName();
  // A path with a blank that names no file yet would be cut at the blank,
  // and a program that happens to sit there would run instead.
  if (fileNameCutsText(text) &&
      !askYesNo(handle(), L"[" + text + L"]不是已有的文件,只会保存[" + name + L"],是否仍然保存?", L"提示:")) {
    return false;
  }
  if (!storablePath(name)) {
    showNotice(handle(), L"路径[" + name + L"]含有无法保存的字符,请另选路径!");
    return false;
  }
  return true;
}

bool TfrmMis::addMis() {
  std::optional<MisRecord> mission = heldMission();
  if (!mission) return true;
  if (!pathCanBeStored(*mission)) return false;
  table_.append(std::move(*mission));
  return true;
}

bool TfrmMis::modifyMis() {
  MisTable& table = table_;
  const int selected = table.selectedIndex();
  if (selected < 0 || selected >= table.count()) return true;
  std::optional<MisRecord> mission = heldMission();
  if (!mission) return true;
  if (!pathCanBeStored(*mission)) return false;
  if (shownRow_ && shownMission_) {
    // What the user did not change stays byte for byte as the row had it:
    // a time written without its leading zero, a path whose quotes the edit
    // drops, a date the pickers cannot show.
    for (std::string MisRecord::*text : {&MisRecord::kindName, &MisRecord::detail, &MisRecord::dateText,
                                         &MisRecord::timeText}) {
      if ((*mission).*text == (*shownMission_).*text) (*mission).*text = (*shownRow_).*text;
    }
    // So does its rule: a monthly row on the 31st shown in February, a daily
    // mission of everyday.mis.
    if (mission->repeat == shownMission_->repeat) mission->repeat = shownRow_->repeat;
  }
  table.overwrite(selected, std::move(*mission));
  return true;
}

void TfrmMis::btnAddClick() {
  // The user may go back to mend a path: the editor stays open then.
  if (misMode == 1) {
    if (!addMis()) return;
    if (table_.count() == 1 && askYesNo(handle(), L"任务已经设定,是否立刻开始执行?", L"提示:")) {
      runControl_.mStart();
    }
  } else if (misMode == 2) {
    if (!modifyMis()) return;
  }
  closeWith(IDOK);
}

void TfrmMis::btnAddOnClick() {
  if (misMode == 1) {
    addMis();
  } else if (misMode == 2) {
    modifyMis();
  }
}

void TfrmMis::btnCloseClick() { closeWith(IDCANCEL); }

LRESULT TfrmMis::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && LOWORD(wParam) == kCbRepeat) {
    if (HIWORD(wParam) == CBN_SELCHANGE) cbRepeatChange();
    return 0;
  }
  if (message == WM_COMMAND && LOWORD(wParam) == kListBox1) {
    if (HIWORD(wParam) == LBN_SELCHANGE) ListBox1Click();
    return 0;
  }
  if (message == WM_COMMAND && LOWORD(wParam) == kCbMsg) {
    switch (HIWORD(wParam)) {
      case CBN_SELCHANGE: {
        // The box's own text is not yet the picked entry's here.
        const LRESULT index = SendMessageW(cbMsg, CB_GETCURSEL, 0, 0);
        if (index >= 0) {
          const LRESULT length = SendMessageW(cbMsg, CB_GETLBTEXTLEN, index, 0);
          std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
          SendMessageW(cbMsg, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
          text.resize(static_cast<size_t>(length > 0 ? length : 0));
          cbMsgChange(text);
        }
        return 0;
      }
      case CBN_EDITCHANGE:
        cbMsgChange(windowText(cbMsg));
        return 0;
      default:
        return 0;
    }
  }
  return Form::handleMessage(message, wParam, lParam);
}
