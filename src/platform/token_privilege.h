#pragma once
// A privilege of the program's own token, enabled for one request only.

#include <functional>

#include <windows.h>

// Enables the privilege (e.g. L"SeShutdownPrivilege"), runs request when it
// really is held, then puts the privilege back as it was, whether the
// request went through or another program refused it. ERROR_SUCCESS when
// request ran; else, without running it, the system's error number of why
// the privilege cannot be had (ERROR_NOT_ALL_ASSIGNED when it is not granted).
DWORD withPrivilege(const wchar_t* name, const std::function<void()>& request);
