#pragma once
// File faults of the storage layer. The standard error box shows a fixed
// text per error number. On Windows the number is the system's own error
// number of the call that failed (2 file not found, 3 path not found, 5
// access denied, 32 sharing violation, 123 invalid name, ...); elsewhere
// errno values are mapped onto those numbers.

#include <string>
#include <system_error>

#include "core/error.h"

namespace file_error {
inline constexpr int kFileNotFound = 2;
inline constexpr int kInvalidFilename = 3;
inline constexpr int kTooManyOpenFiles = 4;
inline constexpr int kAccessDenied = 5;
inline constexpr int kReadBeyondEnd = 100;
inline constexpr int kDiskFull = 101;
inline constexpr int kInvalidNumericInput = 106;
// Too little memory for what a read needs (Windows' own number for it).
inline constexpr int kNotEnoughMemory = 8;
// An input/output device error; given to faults that have no number of
// their own above.
inline constexpr int kDeviceError = 1117;
}  // namespace file_error

// The text shown for an error number: "File not found" for 2, ... and
// "I/O error <number>" for any number without a text of its own.
std::string fileErrorText(int number);

// The error number for a fault: a Windows system error (system_category on
// Windows) keeps its own number, except a full disk, which is 101; errno
// values (generic_category) are mapped.
int fileErrorNumber(const std::error_code& code);

class FileError : public HoravelError {
 public:
  explicit FileError(int number) : HoravelError(fileErrorText(number)), number_(number) {}
  int number() const { return number_; }

 private:
  int number_;
};

[[noreturn]] void throwFileError(const std::error_code& code);
// Inside a catch block: throws the fault being handled again, a shortage of
// memory as the file fault it is to whoever reads a file.
[[noreturn]] void rethrowAsFileError();
// Clears the error state of the C runtime before a call whose failure
// throwFileErrorFromErrno reports.
void clearRuntimeError();
// Throws for the error the last failed C runtime call left: on Windows the
// system's error number the runtime keeps beside errno, else errno.
[[noreturn]] void throwFileErrorFromErrno();
