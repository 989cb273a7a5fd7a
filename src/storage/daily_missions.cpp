#include "storage/daily_missions.h"

#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "storage/file_error.h"
#include "storage/file_io.h"
#include "storage/mission_file.h"

namespace {

// The file's bytes, or nothing for a file that does not exist.
std::string bytesIfExists(const std::filesystem::path& file) {
  try {
    return readFileBytes(file);
  } catch (const FileError& e) {
    if (e.number() == file_error::kFileNotFound) return {};
    throw;
  }
}

// The rows of everyday.mis, each dated today; every one repeats daily.
std::vector<MisRecord> dailyRows(std::string_view bytes, const std::string& today, std::size_t* end) {
  std::vector<MisRecord> rows = misFileRows(bytes, kDailySeparator, today, end);
  for (MisRecord& row : rows) row.repeat = kDailyFileRule;
  return rows;
}

}  // namespace

std::filesystem::path dailyMissionsPath(const std::filesystem::path& programFolder) {
  return programFolder / kDailyFileName;
}

void loadDailyMissions(MisTable& table, const std::filesystem::path& file, const DateTimeText& text,
                       const Clock& clock) {
  // Read whole before the table changes: a failed read loses no row.
  std::vector<MisRecord> rows;
  try {
    rows = dailyRows(readFileBytes(file), text.dateText(clock.now()), nullptr);
  } catch (...) {
    rethrowAsFileError();
  }
  table.assign(std::move(rows));
}

void appendDailyMission(const std::filesystem::path& file, const MisRecord& record) {
  const std::string old = bytesIfExists(file);
  const std::size_t end = forEachMisLine(old, [](std::string_view) {});
  std::string bytes(old, 0, end);
  // A last line that lacks its line end gets one, so the new line is not
  // glued to it.
  if (!bytes.empty() && bytes.back() != '\n') bytes.append(bytes.back() == '\r' ? "\n" : "\r\n");
  appendMisLine(bytes, record, kDailySeparator);
  bytes.append(old, end);
  writeFileReplacing(file, bytes);
}

void DailyMissionsMaintenance::load(MisTable& list, const std::filesystem::path& file, const DateTimeText& text,
                                    const Clock& clock) {
  list.clear();
  unread_.clear();
  unreadable_ = false;
  // Whatever stops the reading, the list does not hold what the file does.
  try {
    const std::string bytes = bytesIfExists(file);
    const std::string today = text.dateText(clock.now());
    std::size_t end = 0;
    list.assign(dailyRows(bytes, today, &end));
    unread_.assign(bytes, end);
  } catch (...) {
    list.clear();
    unread_.clear();
    unreadable_ = true;
    rethrowAsFileError();
  }
}

void DailyMissionsMaintenance::save(const MisTable& list, const std::filesystem::path& file) const {
  if (unreadable_) return;
  std::string bytes = misFileBytes(list, kDailySeparator);
  bytes += unread_;
  writeFileReplacing(file, bytes);
}
