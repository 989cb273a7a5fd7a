#pragma once
// The folder of the running executable: the program keeps its own files
// there, whatever the current directory is.

#include <filesystem>

std::filesystem::path programFolder();
// The full path of the running executable, as the system reports it.
std::filesystem::path executablePath();
