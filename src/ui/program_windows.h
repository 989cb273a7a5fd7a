#pragma once
// The three windows that live for the whole run, made in the program's
// start order: the main window (which loads the daily missions and may ask
// whether to start them), shown at once, then the mission editor and the
// reminder popup, handed to the main window last. The program and the tests
// of its start share this order.

#include <windows.h>

#include <filesystem>
#include <optional>

#include "core/clock.h"
#include "core/date_time_text.h"
#include "core/platform_services.h"
#include "ui/main_window.h"
#include "ui/mission_editor.h"
#include "ui/reminder_popup.h"

class ProgramWindows {
 public:
  // showCommand is the program's (SW_SHOWDEFAULT, a shortcut's minimised...).
  ProgramWindows(PlatformServices& platform, const Clock& clock, const DateTimeText& text,
                 std::filesystem::path programFolder, int showCommand);

  TForm1 Form1;
  // Made once the main window is on screen: nothing reaches them before the
  // message loop runs.
  std::optional<TfrmMis> frmMis;
  std::optional<TfrmTishi> frmTishi;
};
