#pragma once
// Where bare names are looked up. The program's own folder may be one that
// other users can write (a new folder on a second drive), and its current
// directory is wherever it happened to be started from: neither decides
// which library is loaded or which program a name without a path runs.

#include <windows.h>

// The first thing the program does: libraries are looked up in System32
// alone (also those loaded on their first call), and System32 becomes the
// current directory, so a bare name resolves the same way however the
// program was started.
void keepToSystemFolder();

// A system library by name, from System32 and nowhere else; nullptr when
// Windows has none of that name.
HMODULE loadSystemLibrary(const wchar_t* name);
