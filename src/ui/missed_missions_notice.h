#pragma once
// The notice "错过的任务": the missions whose second passed while the
// computer slept or the clock jumped forward and that were not carried out
// (kind, detail, the date and time they were due), in the look of the list
// dialogs. It is not modal: the scheduler goes on while it shows, and
// missions missed meanwhile join its list. "确定" (or Esc, or its close box)
// hides it and empties the list. The main window makes it at the first
// notice and keeps it.

#include <windows.h>

#include <memory>
#include <vector>

#include "core/mission_table.h"
#include "ui/components/bevel_panel.h"
#include "ui/components/form.h"
#include "ui/mission_list_view.h"

class TfrmMissed final : public Form {
 public:
  explicit TfrmMissed(HWND owner);
  ~TfrmMissed() override;

  // Adds the rows (dated when they were due) and shows the notice.
  void add(std::vector<MisRecord> rows);

  std::unique_ptr<BevelPanel> Panel1;
  std::unique_ptr<BevelPanel> Panel2;
  std::unique_ptr<BevelPanel> Panel3;
  HWND Label1 = nullptr;
  std::unique_ptr<MissionListView> ListView1;  // over rows_
  HWND btnOk = nullptr;

  void btnOkClick();

  const MisTable& rows() const { return rows_; }

 protected:
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void skinChanged() override;

 private:
  void layout() override;

  MisTable rows_;
};
