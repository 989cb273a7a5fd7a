#pragma once
// Lets a toolbar take the keyboard focus: while it has the focus one button
// is lit (the hot button, the first enabled one at first), Left/Right and
// Home/End move the light over the enabled buttons, and Enter or Space runs
// the lit button as a click does (WM_COMMAND to the toolbar's parent).

#include <windows.h>

// Makes the toolbar a tab stop with the keys above, for as long as it lives.
void addToolBarKeys(HWND toolbar);
