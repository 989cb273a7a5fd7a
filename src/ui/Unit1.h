#pragma once
// The main window: the mission list, every command, the scheduler's timer
// and status clock.

#include <windows.h>

#include "ui/components/window.h"

class TForm1 final : public Window {
 public:
  TForm1();

  HWND StatusBar1 = nullptr;

 protected:
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void FormCreate();
  void layout();
};
