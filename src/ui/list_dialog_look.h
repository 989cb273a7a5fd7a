#pragma once
// The look the program's list dialogs share (the daily missions, the
// history, the missed missions): a lowered band at the top holding the title
// on a raised panel, the list below it, and a lowered band at the bottom
// holding the buttons.

#include <windows.h>

#include <functional>
#include <span>

#include "ui/components/bevel_panel.h"

// The bands in the look's band colour and the title's panel in its window
// colour; in the system's look grey and silver.
void colourBands(BevelPanel& top, BevelPanel& title, BevelPanel& bottom);

// Places the top band with the title's panel and label, the list and the
// bottom band in a client area width x height pixels; scale turns pixels
// at 96 dpi into the form's. The buttons are the form's to place in the
// bottom band.
struct ListDialogParts {
  BevelPanel& top;
  BevelPanel& title;
  HWND label;
  HWND list;
  BevelPanel& bottom;
};
void placeListDialog(const ListDialogParts& parts, int width, int height, const std::function<int(int)>& scale);

// The columns share the list's width in the proportions of shares, with
// room kept for a vertical scroll bar, so that no horizontal one comes and
// every header reads whole.
void shareColumns(HWND list, std::span<const int> shares, UINT dpi);
