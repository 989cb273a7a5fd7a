#pragma once
// ListView1: a virtual report list over the mission table. It keeps no copy
// of the texts; each cell is asked for when it is painted and converted from
// code page 936 then. It paints passed rows light blue.

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>

#include "core/clock.h"
#include "core/date_time_text.h"
#include "core/mission_table.h"

class MainListView final : private MisTableObserver {
 public:
  MainListView(HWND parent, int id, MisTable& table, const Clock& clock, const DateTimeText& text,
               HIMAGELIST rowPictures);
  ~MainListView() override;

  HWND handle() const { return list_; }
  void move(int x, int y, int width, int height);

  // The parent forwards its WM_NOTIFY messages from the list.
  LRESULT onNotify(NMHDR* header, bool& handled);

  std::function<void()> onDoubleClick;  // with a row selected: modify
  std::function<void()> onRightClick;   // context menu

  // The background of row index as it is painted now.
  COLORREF rowBackground(int index) const;

  static constexpr COLORREF kPassed = RGB(214, 239, 255);
  static constexpr COLORREF kPending = RGB(255, 255, 255);
  // Rows whose date or time the current formats don't read.
  static constexpr COLORREF kUnreadable = RGB(255, 228, 225);

 private:
  void rowsChanged(int firstRow) override;
  void selectionChanged(int index) override;
  void fillCell(NMLVDISPINFOW* info);

  HWND list_ = nullptr;
  MisTable& table_;
  const Clock& clock_;
  const DateTimeText& text_;
  std::wstring cell_;  // the text handed to the list for the cell it paints now
  bool followingSelection_ = false;
};
