#include "storage/file_error.h"

#include <cerrno>
#include <cstdlib>
#include <new>

std::string fileErrorText(int number) {
  switch (number) {
    case file_error::kFileNotFound: return "File not found";
    case file_error::kInvalidFilename: return "Invalid filename";
    case file_error::kTooManyOpenFiles: return "Too many open files";
    case file_error::kAccessDenied: return "File access denied";
    case file_error::kReadBeyondEnd: return "Read beyond end of file";
    case file_error::kDiskFull: return "Disk full";
    case file_error::kInvalidNumericInput: return "Invalid numeric input";
    default: return "I/O error " + std::to_string(number);
  }
}

int fileErrorNumber(const std::error_code& code) {
  using std::errc;
#ifdef _WIN32
  if (code.category() == std::system_category()) {
    // ERROR_HANDLE_DISK_FULL and ERROR_DISK_FULL have a text of their own.
    if (code.value() == 39 || code.value() == 112) return file_error::kDiskFull;
    return code.value();
  }
#endif
  // Comparing with errc goes through the error's portable condition, so the
  // same cases hold for errno values and for Windows system errors.
  if (code == errc::no_such_file_or_directory) return file_error::kFileNotFound;
  if (code == errc::not_a_directory || code == errc::filename_too_long || code == errc::invalid_argument ||
      code == errc::illegal_byte_sequence) {
    return file_error::kInvalidFilename;
  }
  if (code == errc::too_many_files_open || code == errc::too_many_files_open_in_system) {
    return file_error::kTooManyOpenFiles;
  }
  if (code == errc::permission_denied || code == errc::operation_not_permitted ||
      code == errc::read_only_file_system || code == errc::is_a_directory ||
      code == errc::directory_not_empty || code == errc::text_file_busy ||
      code == errc::device_or_resource_busy) {
    return file_error::kAccessDenied;
  }
  if (code == errc::no_space_on_device || code == errc::file_too_large) return file_error::kDiskFull;
  return file_error::kDeviceError;
}

void throwFileError(const std::error_code& code) { throw FileError(fileErrorNumber(code)); }

void clearRuntimeError() {
  errno = 0;
#ifdef _WIN32
  _doserrno = 0;
#endif
}

void throwFileErrorFromErrno() {
  const int saved = errno;
#ifdef _WIN32
  // The runtime keeps the system's error number of the failing call beside
  // errno, which folds several of them into one.
  const unsigned long system = _doserrno;
  if (system != 0) throwFileError(std::error_code(static_cast<int>(system), std::system_category()));
#endif
  // A failed call that set no errno still failed.
  throwFileError(saved != 0 ? std::error_code(saved, std::generic_category())
                            : std::make_error_code(std::errc::io_error));
}

void rethrowAsFileError() {
  try {
    throw;
  } catch (const std::bad_alloc&) {
    throw FileError(file_error::kNotEnoughMemory);
  }
}
