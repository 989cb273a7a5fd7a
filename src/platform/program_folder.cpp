#include "platform/program_folder.h"

#include <windows.h>

#include <vector>

std::filesystem::path executablePath() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length < buffer.size()) return std::filesystem::path(std::wstring(buffer.data(), length));
    buffer.resize(buffer.size() * 2);  // a long path: try a bigger buffer
  }
}

std::filesystem::path programFolder() { return executablePath().parent_path(); }
