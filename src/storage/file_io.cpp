#include "storage/file_io.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <utility>

#include "storage/file_error.h"

namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// Opens in binary mode; the path stays wide on Windows so any file name works.
FileHandle openFile(const std::filesystem::path& file, bool forWriting) {
  clearRuntimeError();
#ifdef _WIN32
  std::FILE* f = _wfopen(file.c_str(), forWriting ? L"wb" : L"rb");
#else
  std::FILE* f = std::fopen(file.c_str(), forWriting ? "wb" : "rb");
  // Creating a file fails with ENOENT only when its folder is missing:
  // Windows' path not found.
  if (f == nullptr && forWriting && errno == ENOENT) throw FileError(file_error::kInvalidFilename);
#endif
  if (f == nullptr) throwFileErrorFromErrno();
  return FileHandle(f);
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
  FileHandle f = openFile(file, false);
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

std::filesystem::path replacementPath(const std::filesystem::path& target) {
  std::filesystem::path temp = target;
  temp += ".saving";
  return temp;
}

void writeFileReplacing(const std::filesystem::path& target, std::string_view bytes) {
  const std::filesystem::path temp = replacementPath(target);
  bool created = false;
  try {
    FileHandle f = openFile(temp, true);
    created = true;
    writeAll(f.get(), bytes);
    closeFile(std::move(f));
    std::error_code error;
    replaceFile(temp, target, error);
    if (error) throwFileError(error);
  } catch (const FileError&) {
    // The file is closed by now; a name we could not create is not ours.
    std::error_code ignored;
    if (created) std::filesystem::remove(temp, ignored);
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
