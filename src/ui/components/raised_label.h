#pragma once
// A label whose text stands out of the surface: each line is drawn once in a
// light highlight colour one pixel up and to the left, then in the text
// colour over it. The label has no background of its own; it shows whatever
// its parent paints behind it (the parent is asked with WM_PRINTCLIENT, so a
// parent that paints pictures or shapes must answer that message too).
//
// The text may hold several lines, separated by "\n" or "\r\n"; lines are
// spaced by the font's character height and an empty line keeps its place.
// '&' is drawn as it is. The font is the one given with WM_SETFONT.

#include <windows.h>

struct RaisedLabelColours {
  COLORREF text = RGB(0, 0, 0);
  COLORREF highlight = RGB(255, 255, 255);
};

// A child window of parent at the given place (pixels of the parent's client
// area). The label takes no input and never holds the focus.
HWND createRaisedLabel(HWND parent, int id, const wchar_t* text, int x, int y, int width, int height,
                       RaisedLabelColours colours = {});
