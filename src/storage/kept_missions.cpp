#include "storage/kept_missions.h"

#include <iterator>
#include <optional>
#include <utility>

#include "core/repeat_dates.h"
#include "storage/file_error.h"
#include "storage/file_io.h"
#include "storage/mission_file.h"

namespace {

// A row that fires once and whose time lies before now.
bool passedOnce(const MisRecord& row, long long now, const DateTimeText& text) {
  if (row.repeat.repeats()) return false;
  const std::optional<long long> second = missionSecond(row, text);
  return second && *second < now;
}

}  // namespace

std::filesystem::path keptMissionsPath(const std::filesystem::path& programFolder) {
  return programFolder / kKeptMissionsFileName;
}

std::string keptMissionBytes(const MisTable& table, long long now, const DateTimeText& text) {
  std::string bytes;
  for (int i = 0; i < table.count(); ++i) {
    const MisRecord& row = table.row(i);
    if (row.repeat.kind == RepeatKind::DailyFile || passedOnce(row, now, text)) continue;
    appendMisLine(bytes, row, kMisSeparator);
  }
  return bytes;
}

std::vector<MisRecord> keptMissionRows(std::string_view bytes, long long now, const DateTimeText& text) {
  std::vector<MisRecord> rows = misFileRows(bytes, kMisSeparator, std::nullopt, nullptr);
  std::erase_if(rows, [&](const MisRecord& row) { return passedOnce(row, now, text); });
  catchUpRows(rows, now, text);
  return rows;
}

MissionKeeper::MissionKeeper(MisTable& table, std::filesystem::path file, const Clock& clock,
                             const DateTimeText& text)
    : table_(table), file_(std::move(file)), clock_(clock), text_(text) {}

MissionKeeper::~MissionKeeper() {
  if (following_) table_.removeObserver(this);
}

void MissionKeeper::load(std::function<void()> changed) {
  std::vector<MisRecord> rows;
  try {
    std::string bytes;
    try {
      bytes = readFileBytes(file_);
    } catch (const FileError& e) {
      if (e.number() != file_error::kFileNotFound) throw;
    }
    std::vector<MisRecord> kept = keptMissionRows(bytes, wallSecond(clock_.now()), text_);
    if (!kept.empty()) {
      rows.reserve(static_cast<std::size_t>(table_.count()) + kept.size());
      for (int i = 0; i < table_.count(); ++i) rows.push_back(table_.row(i));
      rows.insert(rows.end(), std::make_move_iterator(kept.begin()), std::make_move_iterator(kept.end()));
    }
  } catch (...) {
    rethrowAsFileError();
  }
  // Added in one change, after the daily missions.
  if (!rows.empty()) table_.assign(std::move(rows));
  changed_ = std::move(changed);
  table_.addObserver(this);
  following_ = true;
}

void MissionKeeper::save() {
  requested_ = false;
  if (!dirty_) return;
  dirty_ = false;
  try {
    writeFileReplacing(file_, keptMissionBytes(table_, wallSecond(clock_.now()), text_));
    failing_ = false;
  } catch (const FileError&) {
    // Still to be written: the next change or the quit tries again.
    dirty_ = true;
    const bool first = !failing_;
    failing_ = true;
    if (first) throw;
  }
}

void MissionKeeper::saveQuietly() noexcept {
  try {
    save();
  } catch (...) {
  }
}

void MissionKeeper::rowsChanged(int, int) {
  dirty_ = true;
  if (requested_ || !changed_) return;
  requested_ = true;
  changed_();
}
