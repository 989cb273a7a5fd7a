#include "storage/history_log.h"

#include <system_error>
#include <utility>

#include "core/cp936.h"
#include "storage/file_error.h"
#include "storage/file_io.h"

namespace {

// The longest text a record takes from each field: a record is a line a
// person reads, and a torn one is found within kLongestRecord of the end.
constexpr std::size_t kLongestField = 1000;
constexpr std::size_t kLongestRecord = 8 * 1024;

// The text with every control character a blank, cut to kLongestField at a
// character: code page 936 has no trail byte below 0x40, so no character
// is cut in two by either.
void appendField(std::string& line, std::string_view text) {
  std::size_t end = 0;
  while (end < text.size() && end + cp936::charLength(text, end) <= kLongestField) end += cp936::charLength(text, end);
  for (std::size_t i = 0; i < end; ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    line += byte < 0x20 || byte == 0x7F ? ' ' : text[i];
  }
}

std::string dateAndTime(const LocalDateTime& at, const DateTimeText& text) {
  return text.dateText(at) + ' ' + text.timeText(at);
}

}  // namespace

std::filesystem::path historyPath(const std::filesystem::path& programFolder) {
  return programFolder / kHistoryFileName;
}

std::string_view outcomeText(MissionOutcome outcome) {
  switch (outcome) {
    case MissionOutcome::CarriedOut: return "\xD2\xD1\xD6\xB4\xD0\xD0";  // 已执行
    case MissionOutcome::CarriedOutLate: return "\xB2\xB9\xD6\xB4\xD0\xD0";  // 补执行
    case MissionOutcome::Missed: return "\xD2\xD1\xB4\xED\xB9\xFD";  // 已错过
    case MissionOutcome::Postponed: return "\xD2\xD1\xCD\xC6\xB3\xD9";  // 已推迟
    case MissionOutcome::Cancelled: return "\xD2\xD1\xC8\xA1\xCF\xFB";  // 已取消
    case MissionOutcome::Failed: return "\xD6\xB4\xD0\xD0\xCA\xA7\xB0\xDC";  // 执行失败
  }
  return {};
}

std::string historyLine(const HistoryEntry& entry, const DateTimeText& text) {
  std::string note;
  if (entry.due) note = "\xD4\xAD\xB6\xA8\xCA\xB1\xBC\xE4 " + dateAndTime(*entry.due, text);  // 原定时间
  if (!entry.failure.empty()) note += (note.empty() ? "" : ", ") + entry.failure;
  std::string line = dateAndTime(entry.at, text);
  for (const std::string_view field : {std::string_view(entry.kindName), std::string_view(entry.detail),
                                       outcomeText(entry.outcome), std::string_view(note)}) {
    line += '\t';
    appendField(line, field);
  }
  line += "\r\n";
  return line;
}

HistoryRecords::HistoryRecords(std::string bytes) : bytes_(std::move(bytes)) {
  // Whole lines only: a last line without its CR LF was cut short.
  for (std::size_t end = bytes_.find("\r\n"); end != std::string::npos; end = bytes_.find("\r\n", end + 2))
    ends_.push_back(static_cast<std::uint32_t>(end));
}

std::string_view HistoryRecords::field(int index, int field) const {
  const std::size_t begin = index == 0 ? 0 : ends_[static_cast<std::size_t>(index) - 1] + 2;
  std::string_view line(bytes_.data() + begin, ends_[static_cast<std::size_t>(index)] - begin);
  for (int i = 0; i < field; ++i) {
    const std::size_t tab = line.find('\t');
    if (tab == std::string_view::npos) return {};
    line.remove_prefix(tab + 1);
  }
  return line.substr(0, line.find('\t'));
}

void HistoryLog::record(const HistoryEntry& entry) noexcept {
  try {
    append(historyLine(entry, text_));
  } catch (...) {
    // Not written: the mission is what counts, and it has been dealt with.
  }
}

void HistoryLog::append(std::string_view line) {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    std::error_code missing;
    std::uintmax_t size = std::filesystem::file_size(file_, missing);
    if (missing) size = 0;
    std::string start;
    if (size > 0) {
      // A record a crash cut short is cut off, so the next one starts a line.
      const std::string tail = readFileTail(file_, kLongestRecord);
      if (tail.size() < 2 || tail.compare(tail.size() - 2, 2, "\r\n") != 0) {
        const std::size_t lastEnd = tail.rfind("\r\n");
        if (lastEnd != std::string::npos || tail.size() == size) {
          size = size - tail.size() + (lastEnd == std::string::npos ? 0 : lastEnd + 2);
          std::error_code error;
          std::filesystem::resize_file(file_, size, error);
          if (error) throwFileError(error);
        } else {
          start = "\r\n";  // no line of ours: it is left as it is
        }
      }
    }
    appendFileBytes(file_, start + std::string(line));
    if (size + start.size() + line.size() > kHistoryLimit) {
      // The newer half stays, from the first whole record that fits.
      std::string bytes = readFileBytes(file_);
      std::size_t from = bytes.size() - kHistoryLimit / 2;
      from = bytes.find("\r\n", from - 2);
      writeFileReplacing(file_, from == std::string::npos ? std::string_view() : std::string_view(bytes).substr(from + 2));
    }
  }
  changed();
}

HistoryRecords HistoryLog::read() const {
  const std::lock_guard<std::mutex> lock(mutex_);
  if (!std::filesystem::exists(file_)) return {};
  return HistoryRecords(readFileBytes(file_));
}

void HistoryLog::clear() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    writeFileReplacing(file_, {});
  }
  changed();
}

void HistoryLog::onChange(std::function<void()> listener) {
  const std::lock_guard<std::mutex> lock(listenerMutex_);
  listener_ = std::move(listener);
}

void HistoryLog::changed() {
  const std::lock_guard<std::mutex> lock(listenerMutex_);
  if (listener_) listener_();
}
