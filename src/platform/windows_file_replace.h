#pragma once
// How a saved file takes the place of the old one on Windows. The storage
// layer writes a complete new file beside the target; this puts it in place
// so that neither a failure nor a power cut leaves a half-written file.

#include <filesystem>
#include <system_error>

// Flushes from to the disk (FlushFileBuffers), then moves it over to with
// MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH. A read-only to is
// refused with access denied. A sharing or access-denied failure (a virus
// scanner or indexer holding either file for a moment) is retried a few
// times before it is reported. Errors come back as the system's own error
// numbers (system_category).
void windowsReplaceFile(const std::filesystem::path& from, const std::filesystem::path& to,
                        std::error_code& error);

// Makes the storage layer use windowsReplaceFile for every save.
void useWindowsFileReplace();
