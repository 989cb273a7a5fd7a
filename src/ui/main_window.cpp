#include "ui/main_window.h"

#include <iterator>

#include "platform/mission_waker.h"
#include "platform/platform_mission_actions.h"
#include "platform/text_conversion.h"
#include "platform/windows_wake_timer.h"
#include "resource_names.h"
#include "core/repeat_dates.h"
#include "storage/daily_missions.h"
#include "storage/file_error.h"
#include "storage/history_log.h"
#include "storage/kept_missions.h"
#include "storage/mission_file.h"
#include "ui/about_dialog.h"
#include "ui/daily_missions_dialog.h"
#include "ui/history_window.h"
#include "ui/missed_missions_notice.h"
#include "ui/mission_editor.h"
#include "ui/power_notice.h"
#include "ui/run_switches.h"
#include "ui/addresses.h"
#include "ui/components/accessible.h"
#include "ui/components/gif_view.h"
#include "ui/components/graphics.h"
#include "ui/components/message_boxes.h"
#include "ui/components/nav_bar.h"
#include "ui/components/toolbar_keys.h"
#include "ui/components/tray_icon.h"
#include "platform/program_folder.h"
#include "platform/single_instance.h"
#include "ui/settings_dialog.h"
#include "ui/status_clock_width.h"
#include "ui/release_history_dialog.h"
#include "ui/system_time_dialog.h"

namespace {

constexpr UINT kTrayMessage = WM_APP + 1;
constexpr UINT kFocusListMessage = WM_APP + 2;  // once a showing is over
constexpr UINT kKeepMessage = WM_APP + 3;       // the table changed: missions.mis follows
constexpr UINT_PTR kTimer1 = 1;
constexpr UINT_PTR kRowColourTimer = 2;
constexpr int kToolBarId = 2001;
constexpr int kListViewId = 2002;
constexpr int kStatusBarId = 2003;
constexpr int kCoolBarId = 2004;
constexpr int kMenuPictureGap = 6;  // between a menu item's picture and its text

}  // namespace

TForm1::TForm1(PlatformServices& platform, const Clock& clock, const DateTimeText& text,
               std::filesystem::path programFolder, WakeTimer* wakeTimer)
    : Timer1(clock),
      icon_(LoadIconW(GetModuleHandleW(nullptr), res::kMainIcon)),
      application_(L"Horavel", icon_),
      platform_(platform),
      programFolder_(std::move(programFolder)),
      clock_(clock),
      text_(text),
      ownWakeTimer_(wakeTimer ? nullptr : std::make_unique<WindowsWakeTimer>()),
      wakeTimer_(wakeTimer ? wakeTimer : ownWakeTimer_.get()),
      runControl_(Timer1),
      rowColourTimer_(clock) {
  CreateParams params;
  params.className = kClassName;
  params.caption = L"MirolanHoravel";
  params.style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
  // Place and size are pixels at 96 dpi, kept inside the work area: at a
  // high dpi on a small screen they would run off it.
  const int dpi = static_cast<int>(GetDpiForSystem());
  const LONG left = MulDiv(198, dpi, 96);
  const LONG top = MulDiv(113, dpi, 96);
  const RECT place = insideWorkArea({left, top, left + MulDiv(696, dpi, 96), top + MulDiv(480, dpi, 96)});
  params.x = place.left;
  params.y = place.top;
  params.width = place.right - place.left;
  params.height = place.bottom - place.top;
  params.icon = icon_;
  // Owned by the application window, which carries the taskbar button.
  params.owner = application_.handle();
  // The menu bar comes with the window: set afterwards, it would lay the
  // frame out a second time. The 控制 menu's items follow the run state.
  params.menu = MainMenu1;
  runSwitches_[3] = std::make_unique<MenuItemSwitch>(menus_.control, cmdMenuStart);
  runSwitches_[4] = std::make_unique<MenuItemSwitch>(menus_.control, cmdMenuPause);
  runSwitches_[5] = std::make_unique<MenuItemSwitch>(menus_.control, cmdMenuStop);
  createWindow(params);
  application_.setMainWindow(handle());
  created_ = true;
}

TForm1::~TForm1() {
  Timer1.onSwitch = nullptr;
  Timer1.setEnabled(false);
  rowColourTimer_.setEnabled(false);
  missedNotice_.reset();  // owned by this window: gone before it
  CoolTrayIcon1.reset();
  ListView1.reset();
  destroyLooseMenus(menus_);
  for (HIMAGELIST list : {ImageList1, ImageList2, ImageList3, ImageList4})
    if (list) ImageList_Destroy(list);
  // Gone before its owner, the application window, which is a member.
  DestroyWindow(handle());
}

void TForm1::FormCreate() {
  Timer1.attach(handle(), kTimer1);
  Timer1.onSwitch = [this] {
    followRowColourTimer(IsWindowVisible(handle()) != FALSE);
    if (waker_) waker_->setRunning(Timer1.enabled());
  };
  rowColourTimer_.attach(handle(), kRowColourTimer);
  loadPictures();

  setMainAccelerators(handle(), menus_.accelerators);
  createToolBar();
  createNavBar();
  StatusBar1 = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, handle(),
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(kStatusBarId)),
                               GetModuleHandleW(nullptr), nullptr);
  MissionListOptions listOptions;
  listOptions.rowPictures = ImageList2;
  listOptions.editLabels = true;
  listOptions.repeatColumn = true;
  listOptions.clock = &clock_;
  listOptions.text = &text_;
  ListView1 = std::make_unique<MissionListView>(handle(), kListViewId, MisTable1, listOptions);
  ListView1->onOpen = [this] { tbModifyClick(); };
  ListView1->onDeleteKey = [this] { actDelMisExecute(); };

  HICON trayIcon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), res::kTrayIcon, IMAGE_ICON,
                                                 GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
  CoolTrayIcon1 = std::make_unique<TrayIcon>(handle(), kTrayMessage, trayIcon);
  CoolTrayIcon1->setMenu(PopupMenu1);
  CoolTrayIcon1->setDoubleClickCommand(cmdRestore);
  // Minimised by any means (ShowWindow from a shortcut's show command too).
  CoolTrayIcon1->setMinimizeToTray(true);

  useFont(&createSansSerifFont);

  runControl_.bind({runSwitches_[0].get(), runSwitches_[1].get(), runSwitches_[2].get(), runSwitches_[3].get(),
                    runSwitches_[4].get(), runSwitches_[5].get(), runSwitches_[6].get(), runSwitches_[7].get(),
                    runSwitches_[8].get()});
  bindCommands();
  layout();

  // Start-up: the stored look, and the stored chime so it holds before the
  // settings dialog has been opened.
  SkinData1.attachForm(handle());
  SkinData1.attachMenuBar(handle());
  SkinData1.attachBandBar(CoolBar1);
  SkinData1.attachStatusBar(StatusBar1);
  SkinData1.attachNavBar(*dxNavBar1);
  applyTheme(readThemeSelect(profile_));
  autoSpeek = readAutoSpeek(profile_);
  noticeSeconds = readNoticeSeconds(profile_);

  // The scheduler exists before anything can start it, so that every way
  // to Start begins a run it knows of. The reminder popup comes later.
  actions_ = std::make_unique<PlatformMissionActions>(platform_, sounds_);
  scheduler_ = std::make_unique<Scheduler>(MisTable1, clock_, text_, *actions_, sounds_,
                                           static_cast<StatusClockView&>(*this), autoSpeek);
  powerCountdown_ = std::make_unique<PowerCountdown>(MisTable1, text_, *actions_, sounds_,
                                                     static_cast<PowerNoticeView&>(*this), noticeSeconds);
  scheduler_->handPowerTo(powerCountdown_.get());
  runControl_.attach(scheduler_.get());
  history_ = std::make_unique<HistoryLog>(historyPath(programFolder_), text_);
  scheduler_->reportTo(history_.get(), this);
  powerCountdown_->reportTo(history_.get(), &clock_);
  actions_->reportRingsTo(*history_, clock_);
  waker_ = std::make_unique<MissionWaker>(*wakeTimer_, MisTable1, clock_, text_);
  waker_->setEnabled(readWake(profile_));

  // Start-up: the daily missions, the missions kept from the last run after
  // them, and when there are any, the offer to run them.
  if (std::filesystem::exists(dailyMissionsPath(programFolder_))) loadMis();
  loadKeptMissions();
  if (MisTable1.count() > 0 && askYesNo(nullptr, L"是否立刻开始执行已设定任务?", L"Horavel友情提示:")) tbStartClick();
}

void TForm1::loadMis() { loadDailyMissions(MisTable1, dailyMissionsPath(programFolder_), text_, clock_); }

void TForm1::loadKeptMissions() {
  keptMissions_ = std::make_unique<MissionKeeper>(MisTable1, keptMissionsPath(programFolder_), clock_, text_);
  try {
    keptMissions_->load([this] { PostMessageW(handle(), kKeepMessage, 0, 0); });
  } catch (const FileError& error) {
    // Reported, and left alone: the start goes on without those rows.
    keptMissions_.reset();
    showErrorBox(error.what());
  }
}

void TForm1::keepMissions() {
  if (!keptMissions_) return;
  try {
    keptMissions_->save();
  } catch (const FileError& error) {
    // Written behind the user's back: the box says which file it was (a
    // program folder ordinary users may not write to, say).
    showErrorBox("Unable to keep the missions in " + toCp936(keptMissionsPath(programFolder_).wstring()) + ": " +
                 error.what());
  }
}

void TForm1::keepMissionsAtSessionEnd(bool ending) {
  // Nothing is shown and nothing waits: Windows is not held up.
  if (ending && keptMissions_) keptMissions_->saveQuietly();
}

void TForm1::createToolBar() {
  // A control parent: Tab goes on into its toolbar.
  CoolBar1 = CreateWindowExW(WS_EX_CONTROLPARENT, REBARCLASSNAMEW, L"",
                             WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | RBS_VARHEIGHT |
                                 CCS_NODIVIDER | RBS_BANDBORDERS,
                             0, 0, 0, 0, handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(kCoolBarId)),
                             GetModuleHandleW(nullptr), nullptr);
  ToolBar1 = CreateWindowExW(0, TOOLBARCLASSNAMEW, L"",
                             WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | TBSTYLE_FLAT | TBSTYLE_TRANSPARENT |
                                 CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN,
                             0, 0, 0, 0, CoolBar1, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kToolBarId)),
                             GetModuleHandleW(nullptr), nullptr);
  SendMessageW(ToolBar1, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  SendMessageW(ToolBar1, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(ImageList3));
  SendMessageW(ToolBar1, TB_SETDISABLEDIMAGELIST, 0, reinterpret_cast<LPARAM>(ImageList4));

  const auto button = [](int picture, int id, const wchar_t* caption, bool enabled) {
    TBBUTTON b{};
    b.iBitmap = picture;
    b.idCommand = id;
    b.fsState = enabled ? TBSTATE_ENABLED : 0;
    b.fsStyle = BTNS_BUTTON;
    b.iString = reinterpret_cast<INT_PTR>(caption);
    return b;
  };
  const auto separator = [this] {
    TBBUTTON b{};
    b.iBitmap = scale(8);
    b.fsStyle = BTNS_SEP;
    return b;
  };
  TBBUTTON buttons[] = {
      button(picAdd, cmdAdd, L"添加任务", true),     button(picModify, cmdModify, L"修改任务", true),
      button(picDelete, cmdDelete, L"删除任务", true), separator(),
      button(picStart, cmdStart, L"开始", true),       button(picPause, cmdPause, L"暂停", false),
      button(picStop, cmdStop, L"停止", false),        separator(),
      button(picAbout, cmdAbout, L"关于", true),
  };
  SendMessageW(ToolBar1, TB_ADDBUTTONSW, std::size(buttons), reinterpret_cast<LPARAM>(buttons));
  addToolBarKeys(ToolBar1);

  REBARBANDINFOW band{};
  band.cbSize = sizeof band;
  band.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_STYLE | RBBIM_SIZE;
  band.fStyle = RBBS_NOGRIPPER | RBBS_CHILDEDGE;
  band.hwndChild = ToolBar1;
  band.cyMinChild = scale(58);
  band.cxMinChild = 0;
  band.cx = scale(688);
  SendMessageW(CoolBar1, RB_INSERTBANDW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band));

  // The animation sits at the toolbar's right end; the free width between
  // the buttons and it stays empty. It runs once the window shows.
  RxGIFAnimator1 = std::make_unique<GifView>(ToolBar1, 0, 0, scale(64), scale(56), res::kAnimGif, false);
  describeWindow(RxGIFAnimator1->handle(), L"动画", ROLE_SYSTEM_ANIMATION);

  runSwitches_[0] = std::make_unique<ToolButtonSwitch>(ToolBar1, cmdStart);
  runSwitches_[1] = std::make_unique<ToolButtonSwitch>(ToolBar1, cmdPause);
  runSwitches_[2] = std::make_unique<ToolButtonSwitch>(ToolBar1, cmdStop);
}

void TForm1::createNavBar() {
  dxNavBar1 = std::make_unique<NavBar>(handle(), 0, 0, scale(153), scale(300), ImageList1, 16);
  const int mission = dxNavBar1->addGroup(L"任务", true);
  dxNavBar1->addItem(mission, cmdAdd, L"添加任务", picAdd);
  dxNavBar1->addItem(mission, cmdModify, L"修改任务", picModify);
  dxNavBar1->addItem(mission, cmdDelete, L"删除任务", picDelete);
  const int control = dxNavBar1->addGroup(L"控制", true);
  dxNavBar1->addItem(control, cmdBarStart, L"开始执行", picStart);
  dxNavBar1->addItem(control, cmdBarPause, L"暂停执行", picPause);
  dxNavBar1->addItem(control, cmdBarStop, L"停止执行", picStop);
  dxNavBar1->setItemEnabled(cmdBarPause, false);
  dxNavBar1->setItemEnabled(cmdBarStop, false);
  runSwitches_[6] = std::make_unique<NavItemSwitch>(*dxNavBar1, cmdBarStart);
  runSwitches_[7] = std::make_unique<NavItemSwitch>(*dxNavBar1, cmdBarPause);
  runSwitches_[8] = std::make_unique<NavItemSwitch>(*dxNavBar1, cmdBarStop);
}

void TForm1::bindCommands() {
  bindCommand(cmdAdd, [this] { actAddExecute(); });
  bindCommand(cmdModify, [this] { tbModifyClick(); });
  bindCommand(cmdDelete, [this] { actDelMisExecute(); });
  for (int id : {cmdStart, cmdMenuStart, cmdBarStart}) bindCommand(id, [this] { tbStartClick(); });
  for (int id : {cmdPause, cmdMenuPause, cmdBarPause}) bindCommand(id, [this] { tbPauseClick(); });
  for (int id : {cmdStop, cmdMenuStop, cmdBarStop}) bindCommand(id, [this] { tbStopClick(); });
  bindCommand(cmdAbout, [this] { actAboutExecute(); });
  bindCommand(cmdQuit, [this] { actQuitExecute(); });
  bindCommand(cmdHelpContent, [this] { actHelpContentExecute(); });
  bindCommand(cmdVisitWeb, [this] { mnVisitWebClick(); });
  bindCommand(cmdQuestion, [this] { mnQuestionClick(); });
  bindCommand(cmdShengji, [this] { mnShengjiClick(); });
  bindCommand(cmdSetup, [this] { mnSetupClick(); });
  bindCommand(cmdHistory, [this] { mnHistoryClick(); });
  bindCommand(cmdSaveMis, [this] { actSaveMisExecute(); });
  bindCommand(cmdLoadMis, [this] { actLoadMisExecute(); });
  bindCommand(cmdLoadMisConvert, [this] { mnLoadMisConvertClick(); });
  bindCommand(cmdEverydayMission, [this] { mnpEverydayMissionClick(); });
  bindCommand(cmdEveryday, [this] { mnEverydayClick(); });
  bindCommand(cmdSystemTime, [this] { mnSystemTimeClick(); });
  bindCommand(cmdRestore, [this] { mnRestoreClick(); });
  bindCommand(cmdTrayClose, [this] { mnTrayCloseClick(); });
}

void TForm1::attachWindows(TfrmMis* editor, ReminderPopup* popup) {
  frmMis_ = editor;
  actions_->attachPopup(*popup);
}

void TForm1::loadPictures() {
  const UINT dpi = this->dpi();
  if (dpi != picturesDpi_) {
    const HIMAGELIST old[] = {ImageList1, ImageList2, ImageList3, ImageList4};
    ImageList1 = loadImageStrip(res::kImageList1, 16, 7, dpi);
    ImageList2 = loadImageStrip(res::kImageList2, 16, res::kKindPictureCount, dpi);
    ImageList3 = loadImageStrip(res::kImageList3, 36, 7, dpi);
    ImageList4 = loadImageStrip(res::kImageList4, 36, 7, dpi);
    if (ToolBar1) {
      SendMessageW(ToolBar1, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(ImageList3));
      SendMessageW(ToolBar1, TB_SETDISABLEDIMAGELIST, 0, reinterpret_cast<LPARAM>(ImageList4));
    }
    if (dxNavBar1) dxNavBar1->setImages(ImageList1);
    if (ListView1) ListView1->followDpi(picturesDpi_, dpi, ImageList2);
    for (HIMAGELIST list : old)
      if (list) ImageList_Destroy(list);
    picturesDpi_ = dpi;
  }
}

void TForm1::layout() {
  RECT client;
  GetClientRect(handle(), &client);
  const int width = client.right;
  const int coolHeight = scale(62);
  // The toolbar's metrics, the band around it and the separators follow the dpi.
  const int picture = pictureSize(36, dpi());
  SendMessageW(ToolBar1, TB_SETBITMAPSIZE, 0, MAKELONG(picture, picture));
  SendMessageW(ToolBar1, TB_SETBUTTONSIZE, 0, MAKELONG(scale(55), scale(56)));
  for (int separator : {3, 7}) {
    TBBUTTONINFOW info{};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_BYINDEX | TBIF_IMAGE;  // a separator's width is its picture index
    info.iImage = scale(8);
    SendMessageW(ToolBar1, TB_SETBUTTONINFOW, separator, reinterpret_cast<LPARAM>(&info));
  }
  REBARBANDINFOW band{};
  band.cbSize = sizeof band;
  band.fMask = RBBIM_CHILDSIZE;
  band.cyMinChild = scale(58);
  SendMessageW(CoolBar1, RB_SETBANDINFOW, 0, reinterpret_cast<LPARAM>(&band));
  MoveWindow(CoolBar1, 0, 0, width, coolHeight, TRUE);
  SendMessageW(StatusBar1, WM_SIZE, 0, 0);
  // One panel, the status clock, as wide as its widest text in the bar's
  // font: measured again only when the dpi (and with it the font) or the year changes.
  const int year = clock_.now().year;
  if (statusClock_.dpi != dpi() || statusClock_.year != year) {
    statusClock_ = {dpi(), year,
                    statusClockWidth(reinterpret_cast<HFONT>(SendMessageW(StatusBar1, WM_GETFONT, 0, 0)), dpi(),
                                     text_, year)};
  }
  int clock[] = {statusClock_.width};
  SendMessageW(StatusBar1, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(clock));
  RECT status;
  GetWindowRect(StatusBar1, &status);
  const int statusHeight = status.bottom - status.top;
  const int middle = client.bottom - coolHeight - statusHeight;
  dxNavBar1->move(0, coolHeight, scale(153), middle);
  ListView1->move(scale(153), coolHeight, width - scale(153), middle);
  RECT tools;
  GetClientRect(ToolBar1, &tools);
  RxGIFAnimator1->move(tools.right - scale(64), 0, scale(64), scale(56));
}

void TForm1::showStatusClock(const std::string& text) {
  const std::wstring wide = toWide(text);
  SendMessageW(StatusBar1, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}

void TForm1::showPowerNotice(MisAction action, int secondsLeft, const std::string& detail) {
  if (!frmNotice_) frmNotice_ = std::make_unique<TfrmNotice>(handle(), *powerCountdown_);
  frmNotice_->showNotice(action, secondsLeft, detail);
}

void TForm1::hidePowerNotice() {
  if (frmNotice_) frmNotice_->hideNotice();
}

void TForm1::Timer1Timer() {
  // Aim the next tick first: this pass may hold the thread for seconds.
  Timer1.rearm();
  // Until the popup exists no pass runs; the first one makes up the seconds
  // since Start.
  if (actions_ && actions_->hasPopup()) {
    ++passDepth_;
    struct Over {
      int& depth;
      ~Over() { --depth; }
    } over{passDepth_};
    CheckMis();
  }
  // Once no pass is under way, what the computer was woken for is done,
  // unless a power action's notice is still counting.
  if (passDepth_ == 0) waker_->passDone(powerCountdown_->showing());
  repaintRowColours();
}

void TForm1::powerEvent(WPARAM event) {
  if (event != PBT_APMRESUMEAUTOMATIC && event != PBT_APMRESUMESUSPEND) return;
  if (event == PBT_APMRESUMEAUTOMATIC) {
    if (const std::optional<long long> second = waker_->resumed()) scheduler_->wokenFor(*second);
  }
  if (Timer1.enabled()) Timer1Timer();
}

void TForm1::showMissed(std::vector<MisRecord> rows) {
  if (!missedNotice_) missedNotice_ = std::make_unique<TfrmMissed>(handle());
  missedNotice_->add(std::move(rows));
}

void TForm1::rowColourTimerTick() {
  rowColourTimer_.rearm();
  repaintRowColours();
}

void TForm1::repaintRowColours() {
  if (ListView1 && IsWindowVisible(handle()) && !IsIconic(handle())) ListView1->repaintRowsWhoseColourChanged();
}

void TForm1::followRowColourTimer(bool shown) { rowColourTimer_.setEnabled(shown && !Timer1.enabled()); }

void TForm1::actAddExecute() {
  if (!frmMis_) return;
  frmMis_->misMode = 1;
  ShowWindow(frmMis_->btnAddOn, SW_SHOW);
  SetWindowTextW(frmMis_->btnAddOn, L"添加并继续");
  SetWindowTextW(frmMis_->btnAdd, L"添加并关闭");
  SetWindowTextW(frmMis_->btnClose, L"不添加关闭");
  frmMis_->showEditor();
}

void TForm1::tbModifyClick() {
  if (!frmMis_) return;
  frmMis_->misMode = 2;
  ShowWindow(frmMis_->btnAddOn, SW_HIDE);
  SetWindowTextW(frmMis_->btnAdd, L"修改并保存");
  SetWindowTextW(frmMis_->btnClose, L"不修改关闭");
  if (MisTable1.selectedIndex() >= 0) frmMis_->showEditor();
}

void TForm1::actDelMisExecute() {
  if (MisTable1.selectedIndex() < 0) return;
  if (!askYesNo(handle(), L"确定要删除该任务吗?", L"提示:")) return;
  // The question ran a modal loop: the selection may have gone meanwhile.
  if (MisTable1.selectedIndex() >= 0) MisTable1.remove(MisTable1.selectedIndex());
}

void TForm1::actAboutExecute() {
  MessageBeep(0);
  TfrmAbout about(handle());
  about.ShowModal();
}

void TForm1::mnShengjiClick() {
  TfrmShengji history(handle());
  history.ShowModal();
}

// File faults end these commands and reach the error box at the window's edge.
void TForm1::actSaveMisExecute() {
  if (MisTable1.count() == 0 || !SaveDialog1.Execute(handle())) return;
  saveMissionFile(MisTable1, withMisExtension(SaveDialog1.FileName));
}

void TForm1::actLoadMisExecute() {
  if (!OpenDialog1.Execute(handle())) return;
  loadMissionFile(MisTable1, OpenDialog1.FileName);
  catchUp(MisTable1, wallSecond(clock_.now()), text_);
}

void TForm1::mnLoadMisConvertClick() {
  if (!OpenDialog1.Execute(handle())) return;
  loadMissionFileToToday(MisTable1, OpenDialog1.FileName, text_, clock_);
  catchUp(MisTable1, wallSecond(clock_.now()), text_);
}

void TForm1::mnpEverydayMissionClick() {
  if (MisTable1.selectedIndex() < 0) return;
  const MisRecord mission = MisTable1.row(MisTable1.selectedIndex());
  appendDailyMission(dailyMissionsPath(programFolder_), mission);
  showNotice(handle(), L"已经将[" + toWide(mission.kindName) + L"]设为每日任务!");
}

void TForm1::mnEverydayClick() {
  TfrmEveryDayMis dialog(handle(), programFolder_, text_, clock_);
  dialog.ShowModal();
}

void TForm1::mnSystemTimeClick() {
  TfrmSystemTime systemTime(handle(), platform_, clock_, text_);
  systemTime.ShowModal();
}

void TForm1::mnSetupClick() {
  TfrmSetup setup(handle(), profile_, platform_, [this](int theme) { applyTheme(theme); }, autoSpeek,
                  noticeSeconds, toUtf8(executablePath().wstring()), wakeTimer_);
  setup.ShowModal();
  waker_->setEnabled(readWake(profile_));
}

void TForm1::mnHistoryClick() {
  TfrmHistory history(handle(), *history_);
  history.ShowModal();
}

void TForm1::applyTheme(int index) {
  const std::optional<ThemeEffect> effect = themeEffect(index);
  if (!effect) return;
  SkinData1.setActive(effect->skinsOn);
  if (effect->skinsOn) SkinStore1.load(effect->skinEntry, SkinData1);
}

void TForm1::actHelpContentExecute() {
  showMessageBox({nullptr, L"帮助功能暂未启用.", L"提示:", MB_OK | MB_ICONINFORMATION});
}

void TForm1::mnVisitWebClick() { platform_.ShellOpen(ShellVerb::Open, toCp936(kHomePage)); }

void TForm1::mnQuestionClick() {
  platform_.ShellOpen(ShellVerb::Open, "mailto:" + toCp936(kFeedbackAddress));
}

void TForm1::FormClose() { CoolTrayIcon1->hideOwnerToTray(); }

void TForm1::mnRestoreClick() {
  CoolTrayIcon1->restoreOwner();
  focusList();
}

void TForm1::focusList() {
  focusControl(ListView1->handle());
  // The focus mark shows even when the window came back by the mouse.
  SendMessageW(handle(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
}

namespace {

BOOL CALLBACK findShownWindow(HWND window, LPARAM param) {
  auto* found = reinterpret_cast<HWND*>(param);
  if (window != *found && IsWindowVisible(window) && IsWindowEnabled(window)) {
    *found = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

void TForm1::showForAnotherStart() {
  if (!created_) {
    // Still asking the start question: the question comes to the front, the
    // window shows once it is answered.
    HWND found = handle();
    EnumThreadWindows(GetCurrentThreadId(), &findShownWindow, reinterpret_cast<LPARAM>(&found));
    if (found != handle()) SetForegroundWindow(found);
    return;
  }
  mnRestoreClick();
  // An open dialog or question stays in front of the window it belongs to.
  const HWND popup = GetLastActivePopup(handle());
  if (popup && popup != handle() && IsWindowVisible(popup)) SetForegroundWindow(popup);
}

void TForm1::actQuitExecute() {
  FormClose();
  endProgram();
}

void TForm1::mnTrayCloseClick() {
  Timer1.setEnabled(false);
  FormClose();
  endProgram();
}

void TForm1::endProgram() {
  stopCarryingOut();
  keepMissions();
  PostQuitMessage(0);
}

void TForm1::endSession() {
  stopCarryingOut();
  keepMissionsAtSessionEnd(true);
  // The loops that are open (a question, a dialog, the popup) end with it.
  PostQuitMessage(0);
}

void TForm1::stopCarryingOut() {
  // Nothing is carried out once the user has quit or the session ends: not
  // the rest of a pass that a reminder held up, nor the reminders in line
  // behind it, nor the power action of a notice; no sound plays on.
  Timer1.setEnabled(false);
  if (scheduler_) scheduler_->halt();
  if (actions_) actions_->dropWaitingReminders();
  if (powerCountdown_) powerCountdown_->cancel();
  sounds_.stop();
}

LRESULT TForm1::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (CoolTrayIcon1 && CoolTrayIcon1->handleMessage(message, wParam, lParam)) return 0;
  if (message == SingleInstance::showMessage()) {
    showForAnotherStart();
    return 0;
  }
  switch (message) {
    case WM_CREATE:
      FormCreate();
      return 0;
    case WM_SIZE:
      if (RxGIFAnimator1) RxGIFAnimator1->setRunning(wParam != SIZE_MINIMIZED && IsWindowVisible(handle()));
      if (ListView1 && wParam != SIZE_MINIMIZED) layout();
      return 0;
    case WM_TIMER:
      if (wParam == kTimer1) {
        Timer1Timer();
        return 0;
      }
      if (wParam == kRowColourTimer) {
        rowColourTimerTick();
        return 0;
      }
      break;
    case WM_NOTIFY:
      if (ListView1) {
        if (const auto result = ListView1->onNotify(lParam)) return *result;
      }
      break;
    case WM_SHOWWINDOW:
      // Shown or hidden by a call, not by its owner being minimised: the
      // taskbar button follows.
      if (lParam == 0) application_.followMainWindow(wParam != FALSE);
      // However the window shows, the list has the keyboard once it is up.
      if (wParam) PostMessageW(handle(), kFocusListMessage, 0, 0);
      // Row colours follow the clock only while someone can see them.
      if (wParam && ListView1) ListView1->repaintRowsWhoseColourChanged();
      followRowColourTimer(wParam != FALSE);
      // Hidden in the tray, only the scheduler's tick runs.
      if (RxGIFAnimator1) RxGIFAnimator1->setRunning(wParam != FALSE);
      break;
    case kFocusListMessage:
      if (IsWindowVisible(handle()) && IsWindowEnabled(handle())) focusList();
      return 0;
    case kKeepMessage:
      keepMissions();
      return 0;
    case WM_POWERBROADCAST:
      powerEvent(wParam);
      return TRUE;
    case WM_TIMECHANGE:
      if (waker_) waker_->clockChanged();
      return 0;
    case WM_CONTEXTMENU:
      // The right button in the list, Shift+F10 or the menu key.
      if (ListView1 && reinterpret_cast<HWND>(wParam) == ListView1->handle()) {
        const POINT at = ListView1->contextMenuPoint(lParam);
        TrackPopupMenu(PopupMenu2, TPM_RIGHTBUTTON, at.x, at.y, 0, handle(), nullptr);
        return 0;
      }
      break;
    case WM_MEASUREITEM:
      if (measureMenuPicture(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam), ImageList1, scale(kMenuPictureGap)))
        return TRUE;
      break;
    case WM_DRAWITEM:
      if (drawMenuPicture(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam), ImageList1, scale(kMenuPictureGap)))
        return TRUE;
      break;
    case WM_QUERYENDSESSION:
      // Windows is never held up, whatever is open: a question, a dialog,
      // the popup or a notice.
      return TRUE;
    case WM_ENDSESSION:
      // The process may end as soon as this returns: nothing is left half
      // done (files are written whole within one command, never across
      // messages, and missions.mis is written now without a word).
      if (wParam) endSession();
      return 0;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_MINIMIZE) {
        FormClose();
        return 0;
      }
      break;
    case WM_CLOSE:
      FormClose();
      return 0;
    default:
      break;
  }
  return Form::handleMessage(message, wParam, lParam);
}
