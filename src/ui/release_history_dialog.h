#pragma once
// The release history: the versions' changes in a read-only rich-text box
// that can be scrolled and selected from. The main window makes one for each
// showing:
//
//   TfrmShengji history(handle());
//   history.ShowModal();

#include <windows.h>

#include "ui/components/form.h"

class TfrmShengji final : public Form {
 public:
  explicit TfrmShengji(HWND owner);
  ~TfrmShengji() override;

  HWND RichEdit1 = nullptr;
  HWND BitBtn1 = nullptr;

  void BitBtn1Click();

 protected:
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void FormShow() override;

 private:
  void FormCreate();
  // Sizes the window and places the controls for its dpi, with a font for it.
  void layout() override;

};
