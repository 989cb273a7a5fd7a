#pragma once
// The history window "执行记录": history.log newest first, in a virtual
// list that asks for each cell as it paints (a hundred thousand records cost
// no more than a hundred), following the file while it is open. "清空记录"
// empties the file after a question. The main window makes one for each
// showing, from the 系统 menu and the notification area's menu:
//
//   TfrmHistory history(handle(), *history_);
//   history.ShowModal();

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>

#include "storage/history_log.h"
#include "ui/components/bevel_panel.h"
#include "ui/components/form.h"

class TfrmHistory final : public Form {
 public:
  TfrmHistory(HWND owner, HistoryLog& history);
  ~TfrmHistory() override;

  std::unique_ptr<BevelPanel> Panel1;
  std::unique_ptr<BevelPanel> Panel2;
  std::unique_ptr<BevelPanel> Panel3;
  HWND Label1 = nullptr;     // how many records there are
  HWND ListView1 = nullptr;  // the records, newest first
  HWND btnClear = nullptr;
  HWND btnClose = nullptr;

  void btnClearClick();
  void btnCloseClick();

  // The records as the list shows them now.
  const HistoryRecords& records() const { return records_; }

 protected:
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void FormShow() override;
  void skinChanged() override;

 private:
  void FormCreate();
  void layout() override;
  // Reads the file again.
  void reload();
  void fillCell(NMLVDISPINFOW* info);

  HistoryLog& history_;
  HistoryRecords records_;
  std::wstring cell_;  // the text handed to the list for the cell it paints now
};
