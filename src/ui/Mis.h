#pragma once
// The mission editor: one instance for the whole run, shown modally by the
// main window in add mode or modify mode.

#include <windows.h>

#include "ui/components/form.h"

class TfrmMis final : public Form {
 public:
  explicit TfrmMis(HWND owner);
  ~TfrmMis() override;

  int misMode = 1;  // 1 = add, 2 = modify

  HWND btnAddOn = nullptr;
  HWND btnAdd = nullptr;
  HWND btnClose = nullptr;

  // Shows the editor centred on the main window.
  void showEditor();

 private:
  void FormCreate();
  void btnCloseClick();

  HFONT font_ = nullptr;
};
