#pragma once
// A month calendar grid: 7 columns and 7 rows sharing the control's client
// area equally. The first row holds the user's short weekday names, Sunday
// first; the six rows below hold the day numbers of the month, the cells
// before the 1st and after the last day empty. White background, flat
// one-pixel border.
//
// The grid shows one month with one day selected. A click on a day of the
// month selects it (the arrow keys move the selection within the month when
// the grid has the focus); nothing else changes and nobody is told: the
// owner reads selectedDay() when it wants to know.
//
// Screen readers see a table whose cells are the days of the month, each
// named by its long date, the chosen one selected; moving the choice by
// keyboard raises the focus event for the new day.

#include <windows.h>

#include <array>
#include <string>

#include "ui/components/accessible.h"
#include "ui/components/window.h"

// The user's short weekday names, Sunday first: the abbreviated names of
// the regional settings, or the shortest ones where those are missing.
std::array<std::wstring, 7> regionalShortWeekdayNames();

class MonthCalendar final : public Window, private AccessibleSource {
 public:
  static constexpr int kColumns = 7;
  static constexpr int kRows = 7;  // the weekday header and six weeks

  // A child of parent at the parent's pixels, showing month/year with day
  // selected.
  MonthCalendar(HWND parent, int id, int x, int y, int width, int height, int year, int month, int day);

  int year() const { return year_; }
  int month() const { return month_; }
  int selectedDay() const { return selected_; }
  // Days outside the month are ignored.
  void setSelectedDay(int day);

  const std::array<std::wstring, 7>& weekdayNames() const { return names_; }

  // The day in a cell (row 1..6, column 0..6), 0 for an empty cell and for
  // the header row.
  int dayAt(int row, int column) const;
  // A cell's rectangle in client pixels.
  RECT cellRect(int row, int column) const;

  // Screen readers: node 0 the grid, node d the day d.
  HWND accessibleWindow() const override { return handle(); }
  AccessibleNode accessibleNode(int node) const override;
  std::vector<int> accessibleChildren(int node) const override;
  int accessibleFocus() const override { return selected_; }
  void accessibleDoDefaultAction(int node) override { setSelectedDay(node); }

 protected:
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void paint(HDC dc);
  void invalidateDay(int day);
  RECT dayRect(int day) const;
  bool cellAt(POINT point, int& row, int& column) const;

  int year_;
  int month_;
  int selected_;
  int firstColumn_;  // the weekday of the 1st, 0 = Sunday
  int days_;
  std::array<std::wstring, 7> names_;
  HFONT font_ = nullptr;  // the parent's, not owned
};
