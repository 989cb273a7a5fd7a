#pragma once
// A virtual report list over a mission table: the main window's ListView1
// and the maintenance dialog's list. It keeps no copy of the texts; each
// cell is asked for when it is painted and converted from code page 936
// then, so a hundred thousand rows cost no more than a hundred. The table
// tells it of each change once, and it repaints only the rows on screen.
// Its selection and the table's follow each other.
//
// The parent passes its WM_NOTIFY messages to onNotify.

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <optional>
#include <string>

#include "core/clock.h"
#include "core/date_time_text.h"
#include "core/mission_table.h"

struct MissionListOptions {
  HIMAGELIST rowPictures = nullptr;  // each row's picture (its imageIndex), or none
  bool editLabels = false;           // the first column can be edited in place
  bool repeatColumn = false;         // a fifth column "重复": how each row repeats
  // With both, rows are painted by whether their time has passed.
  const Clock* clock = nullptr;
  const DateTimeText* text = nullptr;
};

class MissionListView final : private MisTableObserver {
 public:
  MissionListView(HWND parent, int id, MisTable& table, const MissionListOptions& options);
  ~MissionListView() override;

  HWND handle() const { return list_; }
  void move(int x, int y, int width, int height);
  // Another dpi: the row pictures drawn for it, the columns scaled with it.
  void followDpi(UINT oldDpi, UINT newDpi, HIMAGELIST rowPictures);

  // The parent passes on every WM_NOTIFY it gets; the answer to give when
  // the notification was the list's and it handled it, else none.
  std::optional<LRESULT> onNotify(LPARAM lParam);

  std::function<void()> onOpen;       // a double-click, or Enter on a row
  std::function<void()> onDeleteKey;  // the Delete key alone

  // Where the list's context menu opens, in screen coordinates, for the
  // lParam of its WM_CONTEXTMENU: at the mouse, or for the keyboard (-1)
  // at the selected row (else the focused one, else the list's corner).
  POINT contextMenuPoint(LPARAM lParam) const;

  // The background of row index as it is painted now.
  COLORREF rowBackground(int index) const;
  // Repaints the rows on screen whose colour changed since the last call
  // (their time passed, or the clock was set back); called every second
  // while the list shows.
  void repaintRowsWhoseColourChanged();

  static constexpr COLORREF kPassed = RGB(214, 239, 255);
  static constexpr COLORREF kPending = RGB(255, 255, 255);
  // Rows whose date or time the current formats don't read.
  static constexpr COLORREF kUnreadable = RGB(255, 228, 225);

 private:
  void rowsChanged(int firstRow, int lastRow) override;
  void selectionChanged(int index) override;
  void fillCell(NMLVDISPINFOW* info);
  void followListSelection(const NMLISTVIEW& change);
  void showFocusedRow();

  HWND list_ = nullptr;
  MisTable& table_;
  const Clock* clock_;
  const DateTimeText* text_;
  const int columns_;
  std::optional<LocalDateTime> coloursCheckedAt_;
  std::wstring cell_;  // the text handed to the list for the cell it paints now
  int shownSelection_ = -1;  // the row the list shows selected
  bool applyingSelection_ = false;  // the list's reports of our own change are ignored
};
