#include "platform/windows_file_replace.h"

#include <windows.h>

#include "storage/file_io.h"

namespace {

constexpr int kAttempts = 5;
constexpr DWORD kPauseMs = 40;

// The system's own number, which the error box shows.
std::error_code systemError(DWORD code) { return {static_cast<int>(code), std::system_category()}; }

bool isReadOnly(const std::filesystem::path& file) {
  const DWORD attributes = GetFileAttributesW(file.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

// Another program (a virus scanner, an indexer) may hold a file for a moment.
bool worthRetrying(DWORD code) {
  return code == ERROR_SHARING_VIOLATION || code == ERROR_ACCESS_DENIED || code == ERROR_LOCK_VIOLATION;
}

// The new file's bytes reach the disk before its name replaces the old one.
DWORD flushToDisk(const std::filesystem::path& file) {
  const HANDLE handle = CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return GetLastError();
  const DWORD result = FlushFileBuffers(handle) ? ERROR_SUCCESS : GetLastError();
  CloseHandle(handle);
  return result;
}

}  // namespace

void windowsReplaceFile(const std::filesystem::path& from, const std::filesystem::path& to,
                        std::error_code& error) {
  error.clear();
  DWORD code = ERROR_SUCCESS;
  // A read-only file is not replaced, as a program writing into it could
  // not change it either (some file systems would let the move through).
  if (isReadOnly(to)) {
    error = systemError(ERROR_ACCESS_DENIED);
    return;
  }
  for (int attempt = 1; attempt <= kAttempts; ++attempt) {
    code = flushToDisk(from);
    if (code == ERROR_SUCCESS &&
        MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return;
    }
    if (code == ERROR_SUCCESS) code = GetLastError();
    if (!worthRetrying(code) || attempt == kAttempts) break;
    Sleep(kPauseMs * static_cast<DWORD>(attempt));
  }
  error = systemError(code);
}

void useWindowsFileReplace() { setReplaceFileHook(&windowsReplaceFile); }
