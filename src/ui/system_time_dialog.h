#pragma once
// The system time dialog: the computer's clock, running, a month calendar,
// and two pickers whose date and time "设定" writes to the system clock. The
// main window makes one for each showing:
//
//   TfrmSystemTime systemTime(handle(), platform_, clock_, text_);
//   systemTime.ShowModal();

#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "core/clock.h"
#include "core/date_time_text.h"
#include "core/platform_services.h"
#include "ui/components/form.h"
#include "ui/components/month_calendar.h"

class TfrmSystemTime final : public Form {
 public:
  // Timer1's id: its ticks are WM_TIMER messages of the dialog with this id.
  static constexpr UINT_PTR kTimer1Id = 1;

  // The services, clock and formats must outlive the dialog.
  TfrmSystemTime(HWND owner, PlatformServices& platform, const Clock& clock, const DateTimeText& text);
  ~TfrmSystemTime() override;

  HWND Image1 = nullptr;
  HWND Label1 = nullptr;
  HWND Bevel1 = nullptr;
  HWND GroupBox1 = nullptr;
  HWND StaticText1 = nullptr;
  std::unique_ptr<MonthCalendar> Calendar1;
  HWND GroupBox2 = nullptr;
  HWND btnSetTime = nullptr;
  HWND dtDate = nullptr;
  HWND dtTime = nullptr;
  HWND btnClose = nullptr;

  void Timer1Timer();
  void btnSetTimeClick();
  void btnCloseClick();

 protected:
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void FormShow() override;

 private:
  void FormCreate();
  void layout() override;
  // The clock icon and the buttons' glyphs for the window's dpi.
  void loadPictures() override;
  void freeResources();

  PlatformServices& platform_;
  const Clock& clock_;
  const DateTimeText& text_;
  HICON icon_ = nullptr;  // Image1, at its drawn size
  HIMAGELIST setTimeGlyph_ = nullptr;
  HIMAGELIST closeGlyph_ = nullptr;
};
