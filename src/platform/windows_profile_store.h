#pragma once
// config.ini through the Windows profile functions (GetPrivateProfileStringW,
// WritePrivateProfileStringW): one call per read or write, nothing kept open.

#include <filesystem>

#include "storage/settings.h"

class WindowsProfileStore final : public ProfileStore {
 public:
  // file: the settings file's full path.
  explicit WindowsProfileStore(std::filesystem::path file) : file_(std::move(file)) {}

  int readInteger(std::string_view section, std::string_view key, int defaultValue) const override;
  // Throws HoravelError("Unable to write to <full path>") when the write fails.
  void writeInteger(std::string_view section, std::string_view key, int value) override;
  void removeKey(std::string_view section, std::string_view key) override;

  const std::filesystem::path& file() const { return file_; }

 private:
  std::filesystem::path file_;
};
