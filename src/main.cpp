// Horavel: a resident scheduler that fires missions at an exact second.

#include <windows.h>
#include <commctrl.h>

#include "core/date_time_text.h"
#include "platform/program_folder.h"
#include "platform/regional_formats.h"
#include "platform/single_instance.h"
#include "platform/system_folder.h"
#include "platform/windows_clock.h"
#include "platform/windows_file_replace.h"
#include "platform/windows_platform_services.h"
#include "ui/program_windows.h"
#include "ui/components/form.h"
#include "ui/components/message_boxes.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
  // Before any library loads or any name is looked up.
  keepToSystemFolder();

  // A second start of this executable hands over to the running one before
  // it loads, asks or shows anything: two would fire every mission twice.
  SingleInstance instance(executablePath());
  if (!instance.first()) {
    if (!instance.showRunning(TForm1::kClassName)) showNotice(nullptr, L"程序已经在运行,但没有响应,请稍后再试!");
    return 0;
  }

  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_COOL_CLASSES};
  InitCommonControlsEx(&controls);

  useWindowsFileReplace();
  WindowsPlatformServices platform;
  WindowsClock clock;
  const DateTimeText text(userDateTimePatterns());

  ProgramWindows windows(platform, clock, text, programFolder(), showCommand);

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) dispatchMessage(message);
  return 0;
}
