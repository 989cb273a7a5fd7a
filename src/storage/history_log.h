#pragma once
// history.log beside the program: what became of each mission, one record
// a line, oldest first, code page 936 text with CR LF:
//
//   date time <TAB> kind <TAB> detail <TAB> outcome <TAB> note
//
// The outcome is one of "已执行", "补执行", "已错过", "已推迟", "已取消",
// "执行失败"; the note gives the second a mission was due ("原定时间 ...")
// when that was not when it happened, and why it failed. Each record is
// appended whole and flushed: a crash can cut only the last one short, which
// then reads as absent (a last line without its CR LF) and is cut off before
// the next record goes in. Past kHistoryLimit bytes the older half goes.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "core/date_time_text.h"
#include "core/mission_history.h"

inline constexpr char kHistoryFileName[] = "history.log";
inline constexpr std::uintmax_t kHistoryLimit = 1024 * 1024;

// history.log in the program's folder.
std::filesystem::path historyPath(const std::filesystem::path& programFolder);

// The outcome as the history writes it.
std::string_view outcomeText(MissionOutcome outcome);

// One record's line, CR LF included. Tabs and line breaks in the texts
// become blanks, and a long text is cut at a character, so a record stays
// one short line.
std::string historyLine(const HistoryEntry& entry, const DateTimeText& text);

// The whole records of a history file's bytes, oldest first.
class HistoryRecords {
 public:
  static constexpr int kFields = 5;

  HistoryRecords() = default;
  explicit HistoryRecords(std::string bytes);
  int count() const { return static_cast<int>(ends_.size()); }
  // Field 0..4 of record index, 0 the oldest; empty for a field the line lacks.
  std::string_view field(int index, int field) const;

 private:
  std::string bytes_;
  std::vector<std::uint32_t> ends_;  // where each record's CR LF begins
};

class HistoryLog final : public MissionHistory {
 public:
  HistoryLog(std::filesystem::path file, const DateTimeText& text) : file_(std::move(file)), text_(text) {}

  // Appends the entry's record; a file that cannot be written loses it.
  void record(const HistoryEntry& entry) noexcept override;
  // Appends one line as it stands (CR LF included); throws FileError.
  void append(std::string_view line);
  // The file's records; none without the file. Throws FileError.
  HistoryRecords read() const;
  // Empties the file; throws FileError.
  void clear();

  // Told after each change, on the thread that made it (a sound fails on
  // the sound player's); nullptr for no one.
  void onChange(std::function<void()> listener);

 private:
  void changed();

  const std::filesystem::path file_;
  const DateTimeText& text_;
  mutable std::mutex mutex_;  // one writer at a time
  std::mutex listenerMutex_;
  std::function<void()> listener_;
};
