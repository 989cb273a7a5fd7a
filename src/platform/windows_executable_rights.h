#pragma once
// The rights of a program's file and folder as Windows holds them.

#include <filesystem>

// True when nobody but the system and administrators can change the
// executable or its folder (executable_rights.h). Rights that cannot be
// read count as anyone's.
bool onlyAdministratorsCanChangeProgram(const std::filesystem::path& executable);
