#pragma once
// The maintenance dialog of the daily missions: everyday.mis listed with
// today's date, rows deleted with "删除", the file written back whenever the
// dialog closes. The main window makes one for each showing:
//
//   TfrmEveryDayMis dialog(handle(), programFolder_, text_, clock_);
//   dialog.ShowModal();
//
// If the file cannot be written at a close, the error box says so and the
// dialog stays open with its list, and the old file stays as it was.

#include <windows.h>

#include <filesystem>
#include <memory>
#include <string>

#include "core/clock.h"
#include "core/date_time_text.h"
#include "core/mission_table.h"
#include "storage/daily_missions.h"
#include "ui/components/bevel_panel.h"
#include "ui/components/form.h"
#include "ui/mission_list_view.h"

class TfrmEveryDayMis final : public Form {
 public:
  TfrmEveryDayMis(HWND owner, std::filesystem::path programFolder, const DateTimeText& text, const Clock& clock);
  ~TfrmEveryDayMis() override;

  std::unique_ptr<BevelPanel> Panel1;
  std::unique_ptr<BevelPanel> Panel2;
  std::unique_ptr<BevelPanel> Panel3;
  HWND Label1 = nullptr;
  std::unique_ptr<MissionListView> ListView1;  // over rows_
  HWND btnDel = nullptr;
  HWND btnClose = nullptr;

  void btnDelClick();
  void btnCloseClick();

  // Shows the dialog until it closes. When the program quits meanwhile (the
  // tray menu works while the dialog is open), the file is written then.
  int ShowModal();

  // The dialog's own rows, as ListView1 shows them.
  const MisTable& rows() const { return rows_; }

 protected:
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void FormShow() override;
  void skinChanged() override;

 private:
  void FormCreate();
  // Writes the file, then ends the modal show; a write error leaves the
  // dialog open.
  void FormClose();
  void loadEverydayMis(const std::filesystem::path& file);
  void saveEverydayMis(const std::filesystem::path& file);
  void layout() override;
  // The columns share the list's width.
  void fitColumns();

  const std::filesystem::path programFolder_;
  const DateTimeText& text_;
  const Clock& clock_;
  MisTable rows_;
  DailyMissionsMaintenance file_;
  bool written_ = false;  // by the last close
};
