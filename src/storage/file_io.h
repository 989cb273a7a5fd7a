#pragma once
// Whole-file reading and writing for the storage layer. Text files are
// opened, read or written whole and closed within one call; faults throw
// FileError.

#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

// Every byte of the file.
std::string readFileBytes(const std::filesystem::path& file);

// The last bytes of the file, at most count of them.
std::string readFileTail(const std::filesystem::path& file, std::size_t count);

// Adds bytes at the end of the file (created when missing) in one write,
// flushed before the file is closed.
void appendFileBytes(const std::filesystem::path& file, std::string_view bytes);

// Makes target hold exactly bytes without ever leaving it half written: the
// bytes go to a temporary file of this save alone in the same folder
// ("<target>.<process>-<count>.saving", created new), which then replaces
// the target in one rename. When anything fails, the old target is as it
// was and the temporary file is gone.
void writeFileReplacing(const std::filesystem::path& target, std::string_view bytes);

// Puts from in place of to, replacing a file of that name, in one step.
// The only rename of the storage layer; a platform may swap in its own.
void replaceFile(const std::filesystem::path& from, const std::filesystem::path& to, std::error_code& error);

// A platform's own way of putting a complete file in place of another (on
// Windows: flush to the disk, then a write-through move, retried while
// another program holds the file). nullptr restores the plain rename.
using ReplaceFileHook = void (*)(const std::filesystem::path& from, const std::filesystem::path& to,
                                 std::error_code& error);
void setReplaceFileHook(ReplaceFileHook hook);
