#pragma once
// A ProfileStore held in memory, for tests and for builds without the
// Windows profile API. It keeps each value as text, as the file would, so a
// test can also put in what a hand-edited file might hold.

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "storage/settings.h"

class MemoryProfileStore final : public ProfileStore {
 public:
  // file: the name that the message of a failed write gives.
  explicit MemoryProfileStore(std::string file = kConfigFileName) : file_(std::move(file)) {}

  int readInteger(std::string_view section, std::string_view key, int defaultValue) const override;
  void writeInteger(std::string_view section, std::string_view key, int value) override;

  // The text of a key, or nullopt when absent.
  std::optional<std::string> text(std::string_view section, std::string_view key) const;
  void setText(std::string_view section, std::string_view key, std::string text);
  void removeKey(std::string_view section, std::string_view key) override;

  // While set, every write throws as for a file that cannot be written.
  bool failWrites = false;
  // Writes that succeeded.
  int writeCount() const { return writeCount_; }

 private:
  using Name = std::pair<std::string, std::string>;
  static Name nameOf(std::string_view section, std::string_view key);

  std::string file_;
  std::map<Name, std::string> values_;
  int writeCount_ = 0;
};
