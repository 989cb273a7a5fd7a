#pragma once
// missions.mis beside the program: the missions still to come and the ones
// that repeat, kept across a quit, a crash or the end of a Windows session.
// It is a mission file (mission_file.h). The daily missions are not in it:
// everyday.mis holds them and brings them back itself.

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/clock.h"
#include "core/date_time_text.h"
#include "core/mission_table.h"

inline constexpr char kKeptMissionsFileName[] = "missions.mis";

// missions.mis in the program's folder.
std::filesystem::path keptMissionsPath(const std::filesystem::path& programFolder);

// The file's bytes for the table at the wall second now: every row but the
// daily missions' that repeats or whose date and time do not lie before now
// (a row whose texts do not read is kept too: nothing of the user's is
// dropped for a text this version cannot read).
std::string keptMissionBytes(const MisTable& table, long long now, const DateTimeText& text);

// The rows of the file's bytes as a start takes them at the wall second now:
// a row that fires once and whose time passed meanwhile is dropped; a
// repeating one that lies behind moves to its next occurrence.
std::vector<MisRecord> keptMissionRows(std::string_view bytes, long long now, const DateTimeText& text);

// Keeps the file in step with the main window's table.
class MissionKeeper final : private MisTableObserver {
 public:
  MissionKeeper(MisTable& table, std::filesystem::path file, const Clock& clock, const DateTimeText& text);
  ~MissionKeeper() override;
  MissionKeeper(const MissionKeeper&) = delete;
  MissionKeeper& operator=(const MissionKeeper&) = delete;

  // At start, after the daily missions: adds the kept rows after the
  // table's, then follows the table; changed is called at its first change
  // after a save, to have save called soon. Without the file
  // nothing is added. A file that cannot be read throws FileError, and this
  // run never writes over it.
  void load(std::function<void()> changed);

  // Writes the file, replacing it in one step, when the table changed since
  // the last save. A failed write throws FileError, unless the write before
  // failed as well: a folder nobody may write to costs the user one message,
  // not one per change.
  void save();
  // The same where nothing may be shown (the end of a Windows session):
  // faults are dropped.
  void saveQuietly() noexcept;

 private:
  void rowsChanged(int firstRow, int lastRow) override;
  void selectionChanged(int) override {}

  MisTable& table_;
  const std::filesystem::path file_;
  const Clock& clock_;
  const DateTimeText& text_;
  std::function<void()> changed_;
  bool following_ = false;
  bool dirty_ = false;      // changed since the last save
  bool requested_ = false;  // changed_ was called and save has not run since
  bool failing_ = false;    // the last write failed
};
