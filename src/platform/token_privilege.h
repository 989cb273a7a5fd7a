#pragma once
// A privilege of the program's own token, enabled for one request only.

#include <functional>

// Enables the privilege (e.g. L"SeShutdownPrivilege"), runs request when it
// really is held, then puts the privilege back as it was, whether the
// request went through or another program refused it. False, without
// running request, when the privilege cannot be enabled.
bool withPrivilege(const wchar_t* name, const std::function<void()>& request);
