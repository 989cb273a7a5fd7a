// Horavel: a resident scheduler that fires missions at an exact second.

#include <windows.h>
#include <commctrl.h>

#include "ui/Unit1.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_COOL_CLASSES};
  InitCommonControlsEx(&controls);

  TForm1 Form1;
  ShowWindow(Form1.handle(), showCommand);

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
