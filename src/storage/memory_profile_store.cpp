#include "storage/memory_profile_store.h"

#include "core/error.h"


MemoryProfileStore::Name MemoryProfileStore::nameOf(std::string_view section, std::string_view key) {
  return {foldProfileName(section), foldProfileName(key)};
}

int MemoryProfileStore::readInteger(std::string_view section, std::string_view key, int defaultValue) const {
  const auto found = values_.find(nameOf(section, key));
  if (found == values_.end()) return defaultValue;
  return parseProfileInteger(found->second).value_or(defaultValue);
}

void MemoryProfileStore::writeInteger(std::string_view section, std::string_view key, int value) {
  if (failWrites) throw HoravelError(unableToWriteMessage(file_));
  values_[nameOf(section, key)] = std::to_string(value);
  ++writeCount_;
}

std::optional<std::string> MemoryProfileStore::text(std::string_view section, std::string_view key) const {
  const auto found = values_.find(nameOf(section, key));
  if (found == values_.end()) return std::nullopt;
  return found->second;
}

void MemoryProfileStore::setText(std::string_view section, std::string_view key, std::string text) {
  values_[nameOf(section, key)] = std::move(text);
}

void MemoryProfileStore::removeKey(std::string_view section, std::string_view key) {
  values_.erase(nameOf(section, key));
}
