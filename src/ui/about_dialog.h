#pragma once
// The about box: a card without caption or sizing edge, with the product name, the version, the
// designer, the home page, the makers' logo and the acknowledgements. The
// main window makes one for each showing:
//
//   TfrmAbout about(handle());
//   about.ShowModal();

#include <windows.h>
#include <commctrl.h>

#include "ui/components/form.h"

class TfrmAbout final : public Form {
 public:
  explicit TfrmAbout(HWND owner);
  ~TfrmAbout() override;

  // Labels (transparent, sized to their text), the raised acknowledgement
  // and the button. Shape1, Image1 and Image2 have no window: the box
  // paints them.
  HWND Label1 = nullptr;
  HWND Label3 = nullptr;
  HWND Label4 = nullptr;
  HWND Label5 = nullptr;
  HWND RzLabel1 = nullptr;
  HWND btnOK = nullptr;

  void btnOKClick();

 protected:
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void FormShow() override;
  // The card, its outline and the strip in the look's colours.
  void skinChanged() override;

 private:
  void FormCreate();
  // Sizes the box and places everything for the window's dpi.
  void layout() override;
  // The strip, the logo and the button's glyph drawn for the window's dpi
  // (the strip in the look's colours).
  void loadPictures() override;
  // Shape1, Image2 and Image1, in that order, over the form's colour.
  void paint(HDC dc);
  void paintFrame();
  COLORREF cardFill() const;
  COLORREF cardEdge() const;
  void tintStrip();
  void freeResources();

  HBITMAP strip_ = nullptr;  // Image2, premultiplied, at its drawn size
  HBITMAP logo_ = nullptr;   // Image1, premultiplied, at its drawn size
  HIMAGELIST okGlyph_ = nullptr;
};
