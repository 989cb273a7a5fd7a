#pragma once
// The mission editor: one instance for the whole run, shown modally by the
// main window in add mode or modify mode. The user picks a kind on the side
// bar, fills in that kind's page and a date and a time; the buttons append
// the mission to the main window's table or overwrite the selected row.
// Modify mode opens with the row's own kind, detail, date and time; what the
// user leaves untouched is saved back exactly as the row held it.

#include <windows.h>
#include <commctrl.h>

#include <array>
#include <memory>
#include <optional>
#include <string>

#include "core/clock.h"
#include "core/date_time_text.h"
#include "core/mission_table.h"
#include "core/platform_services.h"
#include "core/run_control.h"
#include "ui/components/form.h"

class NavBar;
class FileNameEdit;
class EditorPanel;

class TfrmMis final : public Form {
 public:
  // Created after the main window, which owns it: writes to the main
  // window's table, dates new missions by its clock and formats, and may
  // start its scheduler. The platform tells whether the computer can
  // hibernate.
  TfrmMis(HWND owner, MisTable& table, const Clock& clock, const DateTimeText& text, RunControl& runControl,
          PlatformServices& platform);
  ~TfrmMis() override;

  int misMode = 1;  // 1 = add, 2 = modify; set by the main window

  // Command ids: the buttons and the side bar's items, one per page.
  enum Command : int {
    kBtnAddOn = 101, kBtnAdd, kBtnClose,
    kNbShutdown = 201, kNbExePro, kNbOpenFile, kNbMessage, kNbRing, kNbOpenUrl, kNbEmail,
    kListBox1 = 301, kMemo1, kCbMsg, kEditUrl, kEditEmail, kDpDate, kDpTime, kCbRepeat,
    kCkWeekday = 401,  // .. 407, Monday first
  };
  // The side bar's groups, by index.
  enum Group : int { nbgMission, nbgTishi, nbgInternet };
  static constexpr int kPageCount = 7;

  // Shows the editor centred on the main window; returns when it closes.
  void showEditor();

  // The visible page of PageControl1, 0..6, and its window.
  int activePage() const { return activePage_; }
  HWND tabSheet(int page) const;
  // The mission the controls hold: kind, detail and picture of the visible
  // page, the date of dpDate and the time of day of dpTime, and how it
  // repeats (a repeating one dated at its first occurrence from then on,
  // and not before now). None on page 0 when no entry of ListBox1 is chosen,
  // or hibernation when this computer cannot hibernate.
  std::optional<MisRecord> heldMission() const;

  // Handlers.
  void nbShutdownClick() { showPage(0); }
  void nbExeProClick() { showPage(1); }
  void nbOpenFileClick() { showPage(2); }
  void nbMessageClick() { showPage(3); }
  void nbRingClick() { showPage(4); }
  void nbOpenUrlClick() { showPage(5); }
  void nbEmailClick() { showPage(6); }
  void cbMsgChange(const std::wstring& text);
  void cbRepeatChange();
  // An entry of ListBox1 chosen: hibernation says so when this computer
  // cannot hibernate.
  void ListBox1Click();
  // Both give false when the user goes back to the editor instead (a path
  // that cannot be stored as typed).
  bool addMis();
  bool modifyMis();
  void btnAddClick();
  void btnAddOnClick();
  void btnCloseClick();

  // Controls.
  HWND Label1 = nullptr;  // the banner's text; Image1 is drawn beside it
  std::unique_ptr<NavBar> dxNavBar1;
  HWND PageControl1 = nullptr;
  HWND ListBox1 = nullptr;
  std::unique_ptr<FileNameEdit> fnPro;
  std::unique_ptr<FileNameEdit> fnFile;
  HWND Memo1 = nullptr;
  HWND memoTip = nullptr;  // Memo1's tooltip
  HWND cbMsg = nullptr;
  std::unique_ptr<FileNameEdit> fnRing;
  HWND editUrl = nullptr;
  HWND editEmail = nullptr;
  HWND GroupBox1 = nullptr;
  HWND Label2 = nullptr;
  HWND Label3 = nullptr;
  HWND dpDate = nullptr;
  HWND dpTime = nullptr;
  HWND Label4 = nullptr;
  HWND cbRepeat = nullptr;  // "不重复", "每天", "工作日", "每周", "每月"
  std::array<HWND, 7> ckWeekdays{};  // "周一" .. "周日"
  HWND btnAddOn = nullptr;
  HWND btnAdd = nullptr;
  HWND btnClose = nullptr;

 protected:
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void FormShow() override;
  void skinChanged() override;

 private:
  void FormCreate();
  void createBanner();
  void createSideBar();
  void createPages();
  void createTimeBox();
  void createButtons();
  void showPage(int page);
  // The pickers' date and time of day.
  void setPickers(const LocalDateTime& when);
  // Modify mode: the row's kind, detail, date and time in the controls.
  void showRow(const MisRecord& row);
  // The file-name edit of a page, or nullptr for a page without one.
  FileNameEdit* fileNameEditOfPage(int page) const;
  // Asks before the file-name rule cuts a typed path, and refuses a path
  // that code page 936 cannot hold (saying so): false, the user goes back.
  bool pathCanBeStored(const MisRecord& mission);
  // The rule in cbRepeat and the weekday boxes.
  void showRepeat(const RepeatRule& rule);
  // The rule the controls hold for a mission on date.
  RepeatRule heldRepeat(const CivilDate& date) const;
  void tick(int box, bool on);
  bool ticked(int box) const;
  // Where the focus goes when the editor shows that page.
  HWND firstControlOfPage(int page) const;
  void layout() override;
  void loadPictures() override;

  MisTable& table_;
  const Clock& clock_;
  const DateTimeText& text_;
  RunControl& runControl_;
  PlatformServices& platform_;
  int activePage_ = 0;
  // Modify mode: the row as the table held it when the editor showed it, and
  // the mission the controls held then. A text the user left as it was
  // goes back into the row as the row had it.
  std::optional<MisRecord> shownRow_;
  std::optional<MisRecord> shownMission_;
  std::unique_ptr<EditorPanel> Panel1;
  std::unique_ptr<EditorPanel> Panel2;
  std::unique_ptr<EditorPanel> Panel3;
  std::unique_ptr<EditorPanel> pageControl_;
  std::array<std::unique_ptr<EditorPanel>, kPageCount> pages_;
  HIMAGELIST ImageList2 = nullptr;  // the side bar's 32x32 icons
  HIMAGELIST glyphAddOn_ = nullptr;
  HIMAGELIST glyphAdd_ = nullptr;
  HIMAGELIST glyphSave_ = nullptr;
  HIMAGELIST glyphClose_ = nullptr;
  HBITMAP banner_ = nullptr;  // Image1, premultiplied
};
