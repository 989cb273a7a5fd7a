#include "storage/file_io.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

#include "storage/file_error.h"

namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// Opens in binary mode ("rb", "ab"); the path stays wide on Windows so any
// file name works.
FileHandle openFile(const std::filesystem::path& file, const char* mode) {
  clearRuntimeError();
#ifdef _WIN32
  const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
  std::FILE* f = _wfopen(file.c_str(), wideMode.c_str());
#else
  std::FILE* f = std::fopen(file.c_str(), mode);
#endif
  if (f == nullptr) throwFileErrorFromErrno();
  return FileHandle(f);
}

FileHandle openForReading(const std::filesystem::path& file) { return openFile(file, "rb"); }

// Creates a file under a name nothing holds yet; nullptr when one does.
// Any other failure throws.
FileHandle createNewFile(const std::filesystem::path& file) {
  clearRuntimeError();
#ifdef _WIN32
  const int fd = _wopen(file.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
#else
  const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
#endif
  if (fd < 0) {
    if (errno == EEXIST) return nullptr;
#ifndef _WIN32
    // Creating a file fails with ENOENT only when its folder is missing:
    // Windows' path not found.
    if (errno == ENOENT) throw FileError(file_error::kInvalidFilename);
#endif
    throwFileErrorFromErrno();
  }
#ifdef _WIN32
  std::FILE* f = _wfdopen(fd, L"wb");
  if (f == nullptr) _close(fd);
#else
  std::FILE* f = fdopen(fd, "wb");
  if (f == nullptr) ::close(fd);
#endif
  if (f == nullptr) throw FileError(file_error::kTooManyOpenFiles);
  return FileHandle(f);
}

unsigned long processId() {
#ifdef _WIN32
  return static_cast<unsigned long>(_getpid());
#else
  return static_cast<unsigned long>(getpid());
#endif
}

std::atomic<unsigned long> saves{0};

// The temporary file of one save, beside target and new: named after this
// process and a count of its saves, so that two saves (two sessions saving
// the same file, or two saves of one program) never write into one file,
// and a file of the user's that happens to carry such a name is left alone.
FileHandle createReplacement(const std::filesystem::path& target, std::filesystem::path& temp) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    // Appended piece by piece: g++ 12 warns falsely (-Wrestrict) about "." + ...
    std::string name = ".";
    name += std::to_string(processId());
    name += '-';
    name += std::to_string(++saves);
    name += ".saving";
    temp = target;
    temp += name;
    if (FileHandle f = createNewFile(temp)) return f;
  }
  throw FileError(file_error::kAccessDenied);
}

// Closes the file and reports a failure of the close itself (a write that
// the runtime had buffered can fail only here).
void closeFile(FileHandle file) {
  clearRuntimeError();
  if (std::fclose(file.release()) != 0) throwFileErrorFromErrno();
}

void writeAll(std::FILE* f, std::string_view bytes) {
  clearRuntimeError();
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) throwFileErrorFromErrno();
  clearRuntimeError();
  if (std::fflush(f) != 0) throwFileErrorFromErrno();
}

}  // namespace

std::string readFileBytes(const std::filesystem::path& file) {
  FileHandle f = openForReading(file);
  std::string bytes;
  char chunk[64 * 1024];
  for (;;) {
    clearRuntimeError();
    const std::size_t got = std::fread(chunk, 1, sizeof chunk, f.get());
    bytes.append(chunk, got);
    if (got < sizeof chunk) {
      if (std::ferror(f.get())) throwFileErrorFromErrno();
      break;
    }
  }
  closeFile(std::move(f));
  return bytes;
}

std::string readFileTail(const std::filesystem::path& file, std::size_t count) {
  FileHandle f = openForReading(file);
  clearRuntimeError();
  if (std::fseek(f.get(), 0, SEEK_END) != 0) throwFileErrorFromErrno();
  const long size = std::ftell(f.get());
  if (size < 0) throwFileErrorFromErrno();
  const long from = size > static_cast<long>(count) ? size - static_cast<long>(count) : 0;
  if (std::fseek(f.get(), from, SEEK_SET) != 0) throwFileErrorFromErrno();
  std::string bytes(static_cast<std::size_t>(size - from), '\0');
  if (!bytes.empty() && std::fread(bytes.data(), 1, bytes.size(), f.get()) != bytes.size()) throwFileErrorFromErrno();
  closeFile(std::move(f));
  return bytes;
}

void appendFileBytes(const std::filesystem::path& file, std::string_view bytes) {
  FileHandle f = openFile(file, "ab");
  writeAll(f.get(), bytes);
  closeFile(std::move(f));
}

void writeFileReplacing(const std::filesystem::path& target, std::string_view bytes) {
  std::filesystem::path temp;
  FileHandle f = createReplacement(target, temp);
  try {
    writeAll(f.get(), bytes);
    closeFile(std::move(f));
    std::error_code error;
    replaceFile(temp, target, error);
    if (error) throwFileError(error);
  } catch (const FileError&) {
    f.reset();
    std::error_code ignored;
    std::filesystem::remove(temp, ignored);
    throw;
  }
}

namespace {
std::atomic<ReplaceFileHook> replaceHook{nullptr};
}  // namespace

void setReplaceFileHook(ReplaceFileHook hook) { replaceHook = hook; }

void replaceFile(const std::filesystem::path& from, const std::filesystem::path& to, std::error_code& error) {
  error.clear();
  if (const ReplaceFileHook hook = replaceHook.load()) {
    hook(from, to, error);
    return;
  }
  std::filesystem::rename(from, to, error);
}
