#pragma once
// The main window: the mission list, every command (toolbar, side bar,
// menus, context menu, tray menu), the scheduler's timer and status clock.
// Closing it hides it to the notification area; the scheduler goes on.

#include <windows.h>
#include <commctrl.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/clock.h"
#include "core/date_time_text.h"
#include "core/mission_table.h"
#include "core/run_control.h"
#include "core/scheduler.h"
#include "platform/platform_sound_player.h"
#include "core/platform_services.h"
#include "core/power_countdown.h"
#include "platform/windows_profile_store.h"
#include "storage/settings.h"
#include "ui/components/application_window.h"
#include "ui/components/file_dialogs.h"
#include "ui/components/form.h"
#include "ui/components/skin_engine.h"
#include "ui/main_menus.h"
#include "ui/mission_list_view.h"
#include "ui/second_timer.h"

class NavBar;
class TrayIcon;
class GifView;
class TfrmMis;
class TfrmNotice;
class PlatformMissionActions;
class ReminderPopup;
class MissionKeeper;
class HistoryLog;
class MissionWaker;
class WakeTimer;
class TfrmMissed;

class TForm1 final : public Form, private StatusClockView, private PowerNoticeView, private MissedMissionsView {
 public:
  // The services, clock and formats live as long as the window; the program
  // folder holds everyday.mis, config.ini and history.log. Without a wake
  // timer the system's own is used.
  TForm1(PlatformServices& platform, const Clock& clock, const DateTimeText& text,
         std::filesystem::path programFolder, WakeTimer* wakeTimer = nullptr);
  ~TForm1() override;

  static constexpr const wchar_t* kClassName = L"TForm1";

  // The editor and the reminder popup are created after the main window;
  // the program's start hands them over here.
  void attachWindows(TfrmMis* editor, ReminderPopup* popup);

  // The owner that carries the application title "Horavel" and the
  // program's one taskbar button.
  HWND applicationWindow() const { return application_.handle(); }

  MisTable MisTable1;  // the mission table shown by ListView1
  bool autoSpeek = false;
  // The notice before a power action, in seconds; 0: none, the action at once.
  int noticeSeconds = kDefaultNoticeSeconds;

  // Run control.
  RunControl& runControl() { return runControl_; }
  void mStart() { runControl_.mStart(); }
  void mPause() { runControl_.mPause(); }
  void mStop() { runControl_.mStop(); }
  void CheckMis() { scheduler_->CheckMis(); }
  // The notice before a power action, and its window once one has shown.
  PowerCountdown& powerCountdown() { return *powerCountdown_; }
  TfrmNotice* frmNotice() const { return frmNotice_.get(); }
  // Fills the table with the daily missions, dated today.
  void loadMis();
  // missions.mis follows the table: written soon after every change, at quit
  // and when Windows ends the session.
  void keepMissions();
  void keepMissionsAtSessionEnd(bool ending);
  bool running() const { return Timer1.enabled(); }
  // The clock and the date and time formats the window reads and writes with.
  const Clock& clock() const { return clock_; }
  const DateTimeText& text() const { return text_; }

  // Handlers, one per command.
  void actAddExecute();
  void tbModifyClick();
  void actDelMisExecute();
  void tbStartClick() { mStart(); }
  void tbPauseClick() { mPause(); }
  void tbStopClick() { mStop(); }
  void actAboutExecute();
  void actQuitExecute();
  void actHelpContentExecute();
  void mnVisitWebClick();
  void mnQuestionClick();
  void mnShengjiClick();
  void mnSetupClick();
  // The history window "执行记录".
  void mnHistoryClick();
  // Puts one of the four looks into effect: 0..2 the skins, 3 the system look.
  void applyTheme(int index);
  void actSaveMisExecute();
  void actLoadMisExecute();
  void mnLoadMisConvertClick();
  void mnpEverydayMissionClick();
  void mnEverydayClick();
  void mnSystemTimeClick();
  void mnRestoreClick();
  // A later start of the program asks for the window: restored as from the
  // tray, or, while a question or dialog is open, that window to the front.
  void showForAnotherStart();
  void mnTrayCloseClick();
  void Timer1Timer();
  void rowColourTimerTick();
  // Rows whose time has just passed change colour while someone can see them.
  void repaintRowColours();
  // One wakeup a second: the row colours take the scheduler's tick while it
  // runs, and their own timer only while the window shows and it does not.
  void followRowColourTimer(bool shown);
  void FormClose();
  // The computer resumed (PBT_APMRESUMEAUTOMATIC, PBT_APMRESUMESUSPEND): a
  // pass at once, for the seconds it slept through.
  void powerEvent(WPARAM event);

  // What became of the missions, and the notice of those a gap cost (null
  // until the first).
  HistoryLog& history() { return *history_; }
  TfrmMissed* missedNotice() { return missedNotice_.get(); }

  // Controls.
  HWND CoolBar1 = nullptr;
  HWND ToolBar1 = nullptr;
  HWND StatusBar1 = nullptr;
  MainMenus menus_ = createMainMenus();  // made before the window, which takes the bar
  HMENU MainMenu1 = menus_.bar;
  HMENU PopupMenu1 = menus_.tray;  // notification-area icon
  HMENU PopupMenu2 = menus_.list;  // list
  std::unique_ptr<NavBar> dxNavBar1;
  std::unique_ptr<MissionListView> ListView1;
  std::unique_ptr<GifView> RxGIFAnimator1;
  std::unique_ptr<TrayIcon> CoolTrayIcon1;
  SecondTimer Timer1;
  SkinEngine SkinData1;  // on from the start, with the data of SkinStore1's entry 0
  SkinStore SkinStore1;
  FileDialog OpenDialog1{FileDialogKind::Open, L"任务文件(*.mis)|*.mis"};
  FileDialog SaveDialog1{FileDialogKind::Save, L"任务文件(*.mis)|*.mis"};

 protected:
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void FormCreate();
  void createToolBar();
  void createNavBar();

  void bindCommands();
  void layout() override;
  void loadPictures() override;
  void showStatusClock(const std::string& text) override;
  void showMissed(std::vector<MisRecord> rows) override;
  // At start, after the daily missions: the rows kept from the last run.
  void loadKeptMissions();
  void showPowerNotice(MisAction action, int secondsLeft, const std::string& detail) override;
  void hidePowerNotice() override;
  // Quit and the tray's end: nothing more is carried out, the sounds stop,
  // the missions are kept and the message loop ends.
  void endProgram();
  // Windows ends the session: the same, with nothing shown and nothing
  // waited for.
  void endSession();
  void stopCarryingOut();
  // The list takes the keyboard, with its focused row marked.
  void focusList();

  const HICON icon_;  // the program's, for the taskbar button and the main window
  ApplicationWindow application_;  // made before the window it owns
  PlatformServices& platform_;
  const std::filesystem::path programFolder_;
  const Clock& clock_;
  const DateTimeText& text_;
  // Before the sound player, whose thread may record a ring that failed
  // until the player is gone.
  std::unique_ptr<HistoryLog> history_;
  PlatformSoundPlayer sounds_{platform_};
  TfrmMis* frmMis_ = nullptr;
  std::unique_ptr<PlatformMissionActions> actions_;
  std::unique_ptr<Scheduler> scheduler_;
  std::unique_ptr<MissionKeeper> keptMissions_;
  std::unique_ptr<PowerCountdown> powerCountdown_;
  std::unique_ptr<TfrmNotice> frmNotice_;  // made when the first notice shows
  std::unique_ptr<WakeTimer> ownWakeTimer_;
  WakeTimer* wakeTimer_;
  std::unique_ptr<MissionWaker> waker_;
  std::unique_ptr<TfrmMissed> missedNotice_;
  int passDepth_ = 0;  // passes under way, nested in a reminder's popup
  RunControl runControl_;
  // Ticks each second while the window shows and Timer1 is off, so rows
  // whose time passes turn light blue at once.
  SecondTimer rowColourTimer_;
  std::unique_ptr<CommandControl> runSwitches_[9];
  HIMAGELIST ImageList1 = nullptr;
  HIMAGELIST ImageList2 = nullptr;
  HIMAGELIST ImageList3 = nullptr;
  HIMAGELIST ImageList4 = nullptr;
  UINT picturesDpi_ = 0;  // the dpi the picture lists were drawn for
  struct {
    UINT dpi;
    int year;
    int width;
  } statusClock_{0, 0, 0};  // the status clock panel's width, and what it was measured for
  bool created_ = false;  // the start-up, question included, is over
  WindowsProfileStore profile_{programFolder_ / kConfigFileName};  // config.ini
};
