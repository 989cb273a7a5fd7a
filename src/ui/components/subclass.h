#pragma once
// Subclassing of windows, with the shape of comctl32's SetWindowSubclass,
// RemoveWindowSubclass and DefSubclassProc: the procedure added last sees a
// message first and passes it on with nextSubclassProc.
//
// comctl32's own looks the window's chain up as a window property on every
// message, three times a message under Wine, each a round trip to the
// window server; skinned bars and the main window, which get messages every
// second, paid that all the time. This one keeps the chains in the process.
// Windows of one thread only, like every window of this program.

#include <windows.h>
#include <commctrl.h>

// Adds proc with its id and data; the same proc and id again only takes the
// new data.
bool addSubclass(HWND window, SUBCLASSPROC proc, UINT_PTR id, DWORD_PTR data);
// Also from inside the procedure being removed.
bool removeSubclass(HWND window, SUBCLASSPROC proc, UINT_PTR id);
// From a subclass procedure: the next one down the chain, at the end the
// window's own procedure.
LRESULT nextSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
