#pragma once
// Daily missions: everyday.mis beside the program, the line layout of mission
// files with '$' as separator. Every reader re-dates each row to today, so
// the date a line carries is never used.
//
// Reading ends at the first empty line, as for mission files. The writers
// keep whatever lies from there on: a new daily mission goes in before it,
// and the maintenance rewrite puts it back after the rows, so no line of the
// file is ever dropped because it was not read.

#include <filesystem>
#include <string>

#include "core/clock.h"
#include "core/date_time_text.h"
#include "core/mission_table.h"

inline constexpr char kDailySeparator = '$';
inline constexpr char kDailyFileName[] = "everyday.mis";

// everyday.mis in the program's folder.
std::filesystem::path dailyMissionsPath(const std::filesystem::path& programFolder);

// The start-up load: empties the table and fills it with the file's missions,
// each dated today and repeating every day (kDailyFileRule). The caller loads only a file that exists. A file that
// cannot be opened or read leaves the table as it was and throws FileError.
void loadDailyMissions(MisTable& table, const std::filesystem::path& file, const DateTimeText& text,
                       const Clock& clock);

// Marks a mission as daily: stores its line (with the date it has) after the
// file's last read line. A missing file is created. The file is replaced in
// one step, so a failure leaves it as it was; throws FileError.
void appendDailyMission(const std::filesystem::path& file, const MisRecord& record);

// What the maintenance dialog needs besides its own list of rows: the part
// of the file that it did not read, and whether reading failed.
class DailyMissionsMaintenance {
 public:
  // Empties list and fills it as the start-up load does. Without the file the
  // list stays empty. On a read fault the list stays empty, the fault is
  // thrown, and save will leave the file alone.
  void load(MisTable& list, const std::filesystem::path& file, const DateTimeText& text, const Clock& clock);

  // Replaces the file by the list's rows, first to last (0 bytes for an empty
  // list), followed by the part of the file that load did not read. Does
  // nothing when load could not read the file: the list does not hold what
  // the file holds. Throws FileError; the file stays whole if the write fails.
  void save(const MisTable& list, const std::filesystem::path& file) const;

  // True when the last load failed to read an existing file.
  bool unreadable() const { return unreadable_; }

 private:
  std::string unread_;
  bool unreadable_ = false;
};
