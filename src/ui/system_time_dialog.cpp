#include "ui/system_time_dialog.h"

#include "platform/text_conversion.h"
#include "platform/windows_clock.h"
#include "resource_names.h"
#include "ui/components/date_time_picker.h"
#include "ui/components/graphics.h"
#include "ui/components/message_boxes.h"

namespace {

enum : int { kCalendar1Id = 101, kStaticText1Id, kBtnSetTimeId, kBtnCloseId, kDtDateId, kDtTimeId };

constexpr int kClientWidth = 314;
constexpr int kClientHeight = 378;

// Places at 96 dpi in the form's client area. The group boxes' controls are
// the form's children too (so their notifications reach the form), placed
// at their box's origin plus their place inside it.
constexpr Place kImage1{16, 8, 32, 32};
constexpr Place kBevel1{16, 48, 281, 2};
constexpr Place kGroupBox1{16, 56, 281, 209};
constexpr Place kStaticText1{88, 16, 118, 16};  // in GroupBox1
constexpr Place kCalendar1{8, 48, 265, 153};    // in GroupBox1
constexpr Place kGroupBox2{16, 272, 281, 89};
constexpr Place kBtnSetTime{192, 24, 73, 25};  // in GroupBox2
constexpr Place kDtDate{16, 21, 161, 20};      // in GroupBox2
constexpr Place kDtTime{16, 53, 161, 20};      // in GroupBox2
constexpr Place kBtnClose{192, 56, 73, 25};    // in GroupBox2
constexpr int kLabel1X = 64;
constexpr int kLabel1Y = 16;

HWND createControl(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style, int id = 0,
                   DWORD exStyle = 0) {
  return CreateWindowExW(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
}

void setGlyph(HWND button, HIMAGELIST glyph) {
  BUTTON_IMAGELIST list{glyph, {2, 0, 0, 0}, BUTTON_IMAGELIST_ALIGN_LEFT};
  SendMessageW(button, BCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(&list));
}

}  // namespace

TfrmSystemTime::TfrmSystemTime(HWND owner, PlatformServices& platform, const Clock& clock, const DateTimeText& text)
    : platform_(platform), clock_(clock), text_(text) {
  createDialog(L"TfrmSystemTime", L"系统时间设置", owner, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPSIBLINGS);
  FormCreate();
  centreOn(owner);
}

TfrmSystemTime::~TfrmSystemTime() {
  if (handle()) {
    KillTimer(handle(), kTimer1Id);
    // The calendar and the buttons go with the form, before the glyphs.
    Calendar1.reset();
    DestroyWindow(handle());
  }
  freeResources();
}

void TfrmSystemTime::FormCreate() {
  INITCOMMONCONTROLSEX classes{sizeof classes, ICC_DATE_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&classes);
  const HWND form = handle();

  // Creation order is the tab order.
  Image1 = createControl(form, L"STATIC", nullptr, SS_ICON | SS_REALSIZECONTROL);
  Label1 = createControl(form, L"STATIC", L"系统时间设定", SS_LEFT | SS_NOPREFIX);
  Bevel1 = createControl(form, L"STATIC", nullptr, SS_ETCHEDHORZ);
  GroupBox1 = createControl(form, L"BUTTON", L"获取时间", BS_GROUPBOX);
  const LocalDateTime now = clock_.now();
  Calendar1 = std::make_unique<MonthCalendar>(form, kCalendar1Id, 0, 0, 0, 0, now.year, now.month, now.day);
  StaticText1 = createControl(form, L"STATIC", L"0000-00-00 00:00:00",
                              SS_CENTER | SS_CENTERIMAGE | SS_NOPREFIX | SS_SUNKEN, kStaticText1Id);
  GroupBox2 = createControl(form, L"BUTTON", L"设定时间", BS_GROUPBOX);
  btnSetTime = createControl(form, L"BUTTON", L"设定", WS_TABSTOP | BS_PUSHBUTTON, kBtnSetTimeId);
  dtDate = createControl(form, DATETIMEPICK_CLASSW, nullptr, WS_TABSTOP | DTS_SHORTDATEFORMAT, kDtDateId);
  dtTime = createControl(form, DATETIMEPICK_CLASSW, nullptr, WS_TABSTOP | DTS_TIMEFORMAT, kDtTimeId);
  btnClose = createControl(form, L"BUTTON", L"关闭", WS_TABSTOP | BS_PUSHBUTTON, kBtnCloseId);

  // The frames lie beneath their controls and never paint over them; they
  // take no focus, so the tab order stays as created.
  for (HWND box : {GroupBox1, GroupBox2}) {
    SetWindowLongPtrW(box, GWL_STYLE, GetWindowLongPtrW(box, GWL_STYLE) | WS_CLIPSIBLINGS);
    SetWindowPos(box, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }

  // The pickers hold the moment of opening and are not updated afterwards.
  const SYSTEMTIME opened = toSystemTime(now);
  SendMessageW(dtDate, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&opened));
  SendMessageW(dtTime, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&opened));
  for (HWND picker : {dtDate, dtTime}) guardDateTimePicker(picker);

  bindCommand(kBtnSetTimeId, [this] { btnSetTimeClick(); });
  bindCommand(kBtnCloseId, [this] { btnCloseClick(); });
  // Esc closes the dialog as "关闭" does.
  bindCommand(IDCANCEL, [this] { btnCloseClick(); });

  useFont(&createDialogFont);
  useCaptionIcon(res::kClockIcon);
  loadPictures();
  layout();
  SetTimer(form, kTimer1Id, 1000, nullptr);
}

void TfrmSystemTime::freeResources() {
  if (icon_) DestroyIcon(icon_);
  if (setTimeGlyph_) ImageList_Destroy(setTimeGlyph_);
  if (closeGlyph_) ImageList_Destroy(closeGlyph_);
  icon_ = nullptr;
  setTimeGlyph_ = closeGlyph_ = nullptr;
}

void TfrmSystemTime::loadPictures() {
  const UINT dpi = this->dpi();
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  const HICON oldIcon = icon_;
  icon_ = static_cast<HICON>(LoadImageW(instance, res::kClockIcon, IMAGE_ICON, scale(32), scale(32), 0));
  SendMessageW(Image1, STM_SETICON, reinterpret_cast<WPARAM>(icon_), 0);
  if (oldIcon) DestroyIcon(oldIcon);

  const HIMAGELIST oldSetTime = setTimeGlyph_;
  const HIMAGELIST oldClose = closeGlyph_;
  setTimeGlyph_ = loadImageStrip(res::kGlyphSetTime, 16, 1, dpi);
  closeGlyph_ = loadImageStrip(res::kGlyphClose, 16, 1, dpi);
  setGlyph(btnSetTime, setTimeGlyph_);
  setGlyph(btnClose, closeGlyph_);
  if (oldSetTime) ImageList_Destroy(oldSetTime);
  if (oldClose) ImageList_Destroy(oldClose);
}

void TfrmSystemTime::layout() {
  setClientSize(kClientWidth, kClientHeight);
  place(Image1, kImage1);
  place(Bevel1, kBevel1);
  place(GroupBox1, kGroupBox1);
  place(StaticText1, inside(kGroupBox1, kStaticText1));
  place(Calendar1->handle(), inside(kGroupBox1, kCalendar1));
  place(GroupBox2, kGroupBox2);
  place(btnSetTime, inside(kGroupBox2, kBtnSetTime));
  place(dtDate, inside(kGroupBox2, kDtDate));
  place(dtTime, inside(kGroupBox2, kDtTime));
  place(btnClose, inside(kGroupBox2, kBtnClose));

  // The label fits its text.
  const HDC dc = GetDC(handle());
  const HGDIOBJ old = SelectObject(dc, font());
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  wchar_t caption[32];
  const int length = GetWindowTextW(Label1, caption, 32);
  SIZE extent{};
  GetTextExtentPoint32W(dc, caption, length, &extent);
  SelectObject(dc, old);
  ReleaseDC(handle(), dc);
  MoveWindow(Label1, scale(kLabel1X), scale(kLabel1Y), extent.cx, metrics.tmHeight, TRUE);
  InvalidateRect(handle(), nullptr, TRUE);
}

void TfrmSystemTime::FormShow() { focusControl(Calendar1->handle()); }

void TfrmSystemTime::Timer1Timer() {
  SetWindowTextW(StaticText1, toWide(text_.statusClockText(clock_.now())).c_str());
}

void TfrmSystemTime::btnSetTimeClick() {
  // The date of dtDate and the time of day of dtTime; what else each picker
  // holds plays no part.
  const SYSTEMTIME date = dateTimePickerValue(dtDate);
  const SYSTEMTIME time = dateTimePickerValue(dtTime);
  const LocalDateTime chosen{date.wYear, date.wMonth,  date.wDay,         time.wHour,
                             time.wMinute, time.wSecond, time.wMilliseconds};
  const bool set = platform_.SetClock(chosen);
  showNotice(handle(), set ? L"设置系统时间成功!" : L"设置系统时间错误!");
}

void TfrmSystemTime::btnCloseClick() { closeWith(IDCANCEL); }

LRESULT TfrmSystemTime::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      if (wParam == kTimer1Id) {
        Timer1Timer();
        return 0;
      }
      break;
    default:
      break;
  }
  return Form::handleMessage(message, wParam, lParam);
}
