#include "platform/windows_file_replace.h"

#include <windows.h>

#include "storage/file_io.h"

namespace {

constexpr int kAttempts = 5;
constexpr DWORD kPauseMs = 40;

std::error_code portable(DWORD code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return std::make_error_code(std::errc::no_such_file_or_directory);
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
      return std::make_error_code(std::errc::permission_denied);
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
      return std::make_error_code(std::errc::invalid_argument);
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return std::make_error_code(std::errc::no_space_on_device);
    case ERROR_TOO_MANY_OPEN_FILES:
      return std::make_error_code(std::errc::too_many_files_open);
    default:
      return std::make_error_code(std::errc::io_error);
  }
}

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
    error = portable(ERROR_ACCESS_DENIED);
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
  error = portable(code);
}

void useWindowsFileReplace() { setReplaceFileHook(&windowsReplaceFile); }
