#pragma once
// The system's date and time picker (without DTS_SHOWNONE), held to what it
// promises: its value is always a real date and time, and under Wine one of
// its fields is chosen whenever it has the focus, as on Windows.
//
// Wine's picker chooses no field when it gets the focus other than by a
// click (Tab, or the program's SetFocus). Digits typed then pile up in a
// four-character buffer without bound and overwrite the picker's own state
// and the month calendar's behind it: the picker goes blank, its value can
// become 0050/49/50, and more typing crashes the calendar. See
// docs/wine-notes.md.

#include <windows.h>

// Guards a picker for as long as it lives: chooses its first field when it
// gets the focus under Wine, and puts the last real value it held back
// whenever input has left it holding something else.
void guardDateTimePicker(HWND picker);

// The picker's value. When it is no real date and time, the picker is given
// back the last real one it held, and that is the value.
SYSTEMTIME dateTimePickerValue(HWND picker);
