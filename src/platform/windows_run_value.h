#pragma once
// The autostart value under the Run keys. The machine-wide key
// (HKEY_LOCAL_MACHINE) starts the program in every user's session, so it is
// written only for a program that nobody but administrators can change, and
// only where it can be written: a program started without elevation cannot
// on any Windows with account control. Otherwise the value goes to the
// current user's Run key (HKEY_CURRENT_USER). Reading takes either, deleting
// removes both as far as rights allow. Names and data are wide, so a path in
// any script survives.

#include <windows.h>

#include <functional>
#include <string>

// The value's data: the machine's when present and not empty, else the
// user's; empty when neither. Throws HoravelError ("Invalid data type for
// '<name>'") for a value that is not a string.
std::wstring readRunValue(const std::wstring& name);
// Writes the machine-wide value when machineWide and it can be written,
// else the user's. Throws HoravelError ("Failed to set data for '<name>'")
// only when no key takes the value.
void writeRunValue(const std::wstring& name, const std::wstring& data, bool machineWide);
// Failures pass silently: a value that could not be deleted stays.
void deleteRunValue(const std::wstring& name);

// One write of the value into the Run key under root, creating the key;
// the system's error number, ERROR_SUCCESS when written.
LSTATUS writeRunValueUnder(HKEY root, const std::wstring& name, const std::wstring& data);
// While set, every write goes to the hook instead of writeRunValueUnder (a
// test refuses the machine-wide key as account control would; Wine does not
// enforce registry rights).
using RunValueWriteHook = std::function<LSTATUS(HKEY root, const std::wstring& name, const std::wstring& data)>;
void setRunValueWriteHook(RunValueWriteHook hook);
