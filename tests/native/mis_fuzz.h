#pragma once
// One random case over the line rule and the reader, shared by the short
// randomised test and the long-running storage_fuzz program. A case makes a
// random file body (or random rows), loads it, saves what was loaded, loads
// that again, and checks that the second load gives back exactly the rows of
// the first. An empty result means the case passed; otherwise it describes
// the fault.

#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "core/mission_table.h"
#include "storage/mission_file.h"

namespace mis_fuzz {

// Bytes from the troublesome corners: line ends, both separators, the escape
// byte and hex digits after it, lead bytes and trail bytes.
inline char interestingByte(std::mt19937_64& random) {
  static constexpr unsigned char kCorners[] = {'\r', '\n', 0x80, '$', 0xFF, 0x81, 0xFE, 0x82, 0x40, 0x7F,
                                               '0',  'A',  'F',  'f', 'g',  0x00, ':',  '/',  ' '};
  switch (random() % 3) {
    case 0: return static_cast<char>(kCorners[random() % sizeof kCorners]);
    case 1: return static_cast<char>(random() % 256);
    default: return static_cast<char>(0x81 + random() % 0x7E);  // a lead byte: starts a character
  }
}

inline std::string randomBytes(std::mt19937_64& random, std::size_t maxLength) {
  std::string bytes(random() % (maxLength + 1), '\0');
  for (char& c : bytes) c = interestingByte(random);
  return bytes;
}

inline std::vector<MisRecord> rowsOf(const MisTable& table) {
  std::vector<MisRecord> rows;
  rows.reserve(static_cast<std::size_t>(table.count()));
  for (int i = 0; i < table.count(); ++i) rows.push_back(table.row(i));
  return rows;
}

inline void loadBytes(MisTable& table, std::string_view bytes, char separator, const std::string* today) {
  table.clear();
  forEachMisLine(bytes, [&](std::string_view line) {
    table.append(today ? splitMisLine(line, separator, *today) : splitMisLine(line, separator));
  });
}

inline std::string describe(const char* what, std::string_view input) {
  std::string text = std::string(what) + " for input bytes:";
  static constexpr char kHex[] = "0123456789ABCDEF";
  for (const char c : input.substr(0, 400)) {
    const auto b = static_cast<unsigned char>(c);
    text += ' ';
    text += kHex[b >> 4];
    text += kHex[b & 15];
  }
  return text;
}

// Load, save, load: the second load must give back the first load's rows,
// and the saved bytes must read to the end without an early empty line.
inline std::string checkRoundTrip(std::string_view input, char separator, const std::string* today) {
  MisTable first;
  loadBytes(first, input, separator, today);
  const std::size_t ended = forEachMisLine(input, [](std::string_view) {});
  if (ended > input.size()) return describe("reader ended past the end", input);
  for (const MisRecord& r : rowsOf(first)) {
    if (today && r.dateText != *today) return describe("row not re-dated", input);
  }
  const std::string saved = misFileBytes(first, separator);
  if (forEachMisLine(saved, [](std::string_view) {}) != saved.size()) {
    return describe("saved file holds an empty line", input);
  }
  MisTable second;
  loadBytes(second, saved, separator, nullptr);
  if (rowsOf(second) != rowsOf(first)) return describe("save then load changed the rows", input);
  if (misFileBytes(second, separator) != saved) return describe("second save differs from the first", input);
  return {};
}

// Random rows written and read back one table at a time.
inline std::string checkRows(std::mt19937_64& random, char separator) {
  MisTable table;
  const int rows = static_cast<int>(random() % 6);
  for (int i = 0; i < rows; ++i) {
    table.append({randomBytes(random, 10), randomBytes(random, 10), randomBytes(random, 10),
                  randomBytes(random, 10), 0});
  }
  const std::string saved = misFileBytes(table, separator);
  MisTable back;
  loadBytes(back, saved, separator, nullptr);
  if (back.count() != table.count()) return describe("row count changed", saved);
  for (int i = 0; i < table.count(); ++i) {
    const MisRecord& a = table.row(i);
    const MisRecord& b = back.row(i);
    if (a.kindName != b.kindName || a.detail != b.detail || a.dateText != b.dateText || a.timeText != b.timeText) {
      return describe("row texts changed", saved);
    }
  }
  return {};
}

// One case of either kind, with either separator, with and without re-dating.
inline std::string runCase(std::mt19937_64& random) {
  const char separator = random() % 2 ? '$' : kMisSeparator;
  if (random() % 4 == 0) return checkRows(random, separator);
  const std::string input = randomBytes(random, random() % 8 == 0 ? 2000 : 60);
  const std::string today = randomBytes(random, 6);
  std::string fault = checkRoundTrip(input, separator, nullptr);
  if (fault.empty()) fault = checkRoundTrip(input, separator, &today);
  return fault;
}

}  // namespace mis_fuzz
