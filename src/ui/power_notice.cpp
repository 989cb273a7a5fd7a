#include "ui/power_notice.h"

#include "platform/text_conversion.h"
#include "resource_names.h"
#include "ui/components/graphics.h"
#include "ui/components/skin_engine.h"

namespace {

// The layout, in pixels at 96 dpi: a strip down the left side with the
// action's picture, the texts beside it, the answers below them.
constexpr int kClientWidth = 360;
constexpr int kClientHeight = 116;
constexpr int kStripWidth = 64;
constexpr Place kImage1{16, 16, 32, 32};
constexpr Place kLabel1{80, 18, 268, 14};
constexpr Place kLabel2{80, 38, 268, 28};
constexpr Place kAtBtnNow{80, 80, 84, 25};
constexpr Place kAtBtnPostpone{172, 80, 84, 25};
constexpr Place kAtBtnCancel{264, 80, 84, 25};

// What the computer "will do in N seconds".
const wchar_t* verbOf(MisAction action) {
  switch (action) {
    case MisAction::Reboot: return L"重启";
    case MisAction::Logoff: return L"注销";
    case MisAction::Sleep: return L"睡眠";
    case MisAction::Hibernate: return L"休眠";
    default: return L"关闭";
  }
}

int pictureOf(MisAction action) {
  switch (action) {
    case MisAction::Sleep: return res::kNavSleep;
    case MisAction::Hibernate: return res::kNavHibernate;
    default: return res::kNavPower;
  }
}

}  // namespace

TfrmNotice::TfrmNotice(HWND mainWindow, PowerCountdown& countdown) : mainWindow_(mainWindow), countdown_(countdown) {
  // Owned by no window: it has its own taskbar button, to flash, and stays
  // whatever the main window does.
  createDialog(L"TfrmNotice", L"任务即将执行", nullptr, kDialogStyle, WS_EX_TOPMOST | WS_EX_APPWINDOW);
  const HICON icon = LoadIconW(GetModuleHandleW(nullptr), res::kMainIcon);
  SendMessageW(handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  SendMessageW(handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  createControls();
  keepEnabledUnderModalForms();
}

TfrmNotice::~TfrmNotice() {
  stopTimer();
  if (picture_) DeleteObject(picture_);
}

void TfrmNotice::createControls() {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  const auto child = [&](const wchar_t* className, const wchar_t* text, DWORD style, int id) {
    return CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, handle(),
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
  };
  Label1 = child(L"STATIC", L"", SS_LEFT | SS_NOPREFIX, 0);
  Label2 = child(L"STATIC", L"", SS_LEFT | SS_NOPREFIX | SS_EDITCONTROL, 0);
  btnNow = child(L"BUTTON", L"立即执行", BS_PUSHBUTTON | WS_TABSTOP, kBtnNow);
  btnPostpone = child(L"BUTTON", L"推迟10分钟", BS_PUSHBUTTON | WS_TABSTOP, kBtnPostpone);
  btnCancel = child(L"BUTTON", L"取消", BS_PUSHBUTTON | WS_TABSTOP, kBtnCancel);
  useFont(&createDialogFont);
  loadPictures();
  layout();
  bindCommand(kBtnNow, [this] { btnNowClick(); });
  bindCommand(kBtnPostpone, [this] { btnPostponeClick(); });
  bindCommand(kBtnCancel, [this] { btnCancelClick(); });
  // Esc.
  bindCommand(IDCANCEL, [this] { btnCancelClick(); });
}

void TfrmNotice::layout() {
  setClientSize(kClientWidth, kClientHeight);
  place(Label1, kLabel1);
  place(Label2, kLabel2);
  place(btnNow, kAtBtnNow);
  place(btnPostpone, kAtBtnPostpone);
  place(btnCancel, kAtBtnCancel);
  if (IsWindowVisible(handle())) placeInCorner(mainWindow_, windowSize());
}

SIZE TfrmNotice::windowSize() const {
  RECT r;
  GetWindowRect(handle(), &r);
  return {r.right - r.left, r.bottom - r.top};
}

void TfrmNotice::loadPictures() {
  if (picture_) DeleteObject(picture_);
  picture_ = stripPicture(res::kNavIcons32, 32, pictureOf(action_), dpi());
  RECT strip{0, 0, scale(kStripWidth), scale(kClientHeight)};
  InvalidateRect(handle(), &strip, TRUE);
}

void TfrmNotice::skinChanged() { InvalidateRect(handle(), nullptr, TRUE); }

std::wstring TfrmNotice::countdownText(MisAction action, int secondsLeft) {
  return L"计算机将在 " + std::to_wstring(secondsLeft) + L" 秒后" + verbOf(action) + L"。";
}

void TfrmNotice::setLabel(HWND label, const std::wstring& text) {
  const int length = GetWindowTextLengthW(label);
  std::wstring now(static_cast<size_t>(length) + 1, L'\0');
  now.resize(static_cast<size_t>(GetWindowTextW(label, now.data(), length + 1)));
  if (now != text) SetWindowTextW(label, text.c_str());
}

void TfrmNotice::showNotice(MisAction action, int secondsLeft, const std::string& detail) {
  if (action != action_) {
    action_ = action;
    loadPictures();
  }
  setLabel(Label1, countdownText(action, secondsLeft));
  setLabel(Label2, toWide(detail));
  ShowWindow(Label2, detail.empty() ? SW_HIDE : SW_SHOWNA);
  if (IsWindowVisible(handle())) return;

  // The main window may have moved to another monitor since the last one.
  placeInCorner(mainWindow_, windowSize());
  // Whoever comes to the notice lands on the answer that loses nothing.
  focusOnActivation(btnPostpone);
  Show(Activation::None);
  SetWindowPos(handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  // Setting the timer again starts a fresh period.
  SetTimer(handle(), kTimer1, 1000, nullptr);
  timerRunning_ = true;
  FLASHWINFO flash{sizeof flash, handle(), FLASHW_TRAY | FLASHW_TIMERNOFG, 0, 0};
  FlashWindowEx(&flash);
  // Screen readers read out an alert, though the notice has no focus.
  NotifyWinEvent(EVENT_SYSTEM_ALERT, handle(), OBJID_CLIENT, CHILDID_SELF);
}

void TfrmNotice::hideNotice() {
  stopTimer();
  FLASHWINFO flash{sizeof flash, handle(), FLASHW_STOP, 0, 0};
  FlashWindowEx(&flash);
  closeWith(IDCANCEL);
}

void TfrmNotice::stopTimer() {
  if (!timerRunning_) return;
  KillTimer(handle(), kTimer1);
  timerRunning_ = false;
}

void TfrmNotice::Timer1Timer() { countdown_.tick(); }

void TfrmNotice::btnNowClick() { countdown_.actNow(); }

void TfrmNotice::btnPostponeClick() { countdown_.postpone(); }

void TfrmNotice::btnCancelClick() { countdown_.cancel(); }

void TfrmNotice::paint(HDC dc) const {
  RECT strip{0, 0, scale(kStripWidth), scale(kClientHeight)};
  // The look's banner colours, as the editor's banner; white in the system look.
  if (const Skin* skin = currentSkin()) {
    fillGradient(dc, strip, skin->bannerTop, skin->bannerBottom, true);
  } else {
    FillRect(dc, &strip, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  }
  DrawEdge(dc, &strip, EDGE_ETCHED, BF_RIGHT);
  if (picture_) {
    const int size = pictureSize(kImage1.width, dpi());
    blendBitmap(dc, scale(kImage1.x) + (scale(kImage1.width) - size) / 2,
                scale(kImage1.y) + (scale(kImage1.height) - size) / 2, size, size, picture_);
  }
}

LRESULT TfrmNotice::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      const HDC dc = BeginPaint(handle(), &ps);
      paint(dc);
      EndPaint(handle(), &ps);
      return 0;
    }
    case WM_TIMER:
      if (wParam == kTimer1 && timerRunning_) Timer1Timer();
      return 0;
    case WM_CLOSE:
      // The close box, Alt+F4, the taskbar button's close: the answer that
      // carries nothing out.
      btnCancelClick();
      return 0;
    default:
      return Form::handleMessage(message, wParam, lParam);
  }
}
