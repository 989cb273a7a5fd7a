#pragma once
// The text of the standard error box: the error's message with a full stop
// added when its last character sorts after '.'.

#include <string>

std::string errorBoxText(const std::string& message);
