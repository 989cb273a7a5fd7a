#pragma once
// config.ini as a file, for builds without the Windows profile functions:
// the same rules as those functions. The file is read whole for every read
// and rewritten whole for every write; nothing is kept between calls.
//
// - A section starts at a line "[name]"; a value is a line "key=value" in
//   it. Names match without regard to letter case; blanks around names and
//   values are ignored.
// - A missing file, section or key reads as absent (the default).
// - A write replaces the value of the first matching key of the first
//   matching section, or adds the key at the end of that section, or adds
//   the section at the end of the file, creating the file when needed.
//   Other lines, comments and line ends are kept as they are.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "storage/settings.h"

class IniFileProfileStore final : public ProfileStore {
 public:
  explicit IniFileProfileStore(std::filesystem::path file) : file_(std::move(file)) {}

  int readInteger(std::string_view section, std::string_view key, int defaultValue) const override;
  // Throws HoravelError("Unable to write to <full path>") when the file
  // cannot be read back or written.
  void writeInteger(std::string_view section, std::string_view key, int value) override;
  void removeKey(std::string_view section, std::string_view key) override;

  // The text of a key, or nullopt when absent.
  std::optional<std::string> text(std::string_view section, std::string_view key) const;

  const std::filesystem::path& file() const { return file_; }

 private:
  // Writes the key's value, or takes the key out for nullopt.
  void change(std::string_view section, std::string_view key, std::optional<int> value);

  std::filesystem::path file_;
};
