#include "storage/mission_file.h"

#include <vector>

#include "core/cp936.h"
#include "core/mis_kind.h"
#include "storage/file_error.h"
#include "storage/file_io.h"

namespace {

// Starts an escape; never a character of code page 936 and never a lead byte.
constexpr char kEscape = '\xFF';
constexpr char kHexDigits[] = "0123456789ABCDEF";

void appendEscaped(std::string& out, char byte) {
  const auto b = static_cast<unsigned char>(byte);
  out.push_back(kEscape);
  out.push_back(kHexDigits[b >> 4]);
  out.push_back(kHexDigits[b & 0x0F]);
}

bool isLineBreak(char c) { return c == '\r' || c == '\n'; }

// Appends one text of a line. What the plain layout cannot hold is escaped:
// CR, LF and 0xFF always; the separator where it would end the text early
// (not in the last text, where the reader keeps further separators); and a
// lead byte whose second byte is missing or a line break, which would join
// the byte after it into one character. Two-byte characters are copied as
// they are, whatever their second byte, exactly as the reader pairs them.
void appendField(std::string& out, std::string_view field, char separator, bool last) {
  std::size_t runStart = 0;
  std::size_t pos = 0;
  while (pos < field.size()) {
    const char c = field[pos];
    bool escape = false;
    if (cp936::isLeadByte(c)) {
      if (pos + 1 < field.size() && !isLineBreak(field[pos + 1])) {
        pos += 2;
        continue;
      }
      escape = true;
    } else {
      escape = isLineBreak(c) || c == kEscape || (c == separator && !last);
    }
    if (escape) {
      out.append(field.substr(runStart, pos - runStart));
      appendEscaped(out, c);
      runStart = pos + 1;
    }
    ++pos;
  }
  out.append(field.substr(runStart));
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The inverse of appendField. A 0xFF not followed by two hex digits is kept
// as it stands.
std::string decodeField(std::string_view field) {
  if (field.find(kEscape) == std::string_view::npos) return std::string(field);
  std::string out;
  out.reserve(field.size());
  std::size_t pos = 0;
  while (pos < field.size()) {
    const std::size_t length = cp936::charLength(field, pos);
    if (length == 1 && field[pos] == kEscape && pos + 2 < field.size() && hexValue(field[pos + 1]) >= 0 &&
        hexValue(field[pos + 2]) >= 0) {
      out.push_back(static_cast<char>(hexValue(field[pos + 1]) * 16 + hexValue(field[pos + 2])));
      pos += 3;
      continue;
    }
    out.append(field.substr(pos, length));
    pos += length;
  }
  return out;
}

// A mission file line's time field and the repeat rule after it: the rule
// follows the first separator and must read as one, else the whole text is
// the time (as a file of an earlier version may hold it).
std::optional<RepeatRule> splitRule(std::string_view& rest, char separator) {
  if (separator != kMisSeparator) return std::nullopt;
  const std::size_t at = cp936::findChar(rest, separator);
  if (at == std::string_view::npos) return std::nullopt;
  const std::optional<RepeatRule> rule = parseRepeatText(rest.substr(at + 1));
  if (rule) rest = rest.substr(0, at);
  return rule;
}

// A rule a mission file stores: everyday.mis keeps its own rows.
bool storesRule(const RepeatRule& rule) { return rule.repeats() && rule.kind != RepeatKind::DailyFile; }

int pictureOf(std::string_view kindName) {
  const MisKind* kind = findMisKind(kindName);
  return kind != nullptr ? kind->imageIndex : 0;
}

}  // namespace

MisRecord splitMisLine(std::string_view line, char separator, std::optional<std::string_view> today) {
  // kindName, detail, dateText: each ends at the next separator; without one
  // it stays empty and the rest of the line is left as it was.
  std::string_view texts[3];
  std::string_view rest = line;
  for (std::string_view& text : texts) {
    const std::size_t at = cp936::findChar(rest, separator);
    if (at == std::string_view::npos) continue;
    text = rest.substr(0, at);
    rest.remove_prefix(at + 1);
  }
  MisRecord record;
  if (const std::optional<RepeatRule> rule = splitRule(rest, separator)) record.repeat = *rule;
  record.kindName = decodeField(texts[0]);
  record.detail = decodeField(texts[1]);
  record.dateText = today ? std::string(*today) : decodeField(texts[2]);
  record.timeText = decodeField(rest);
  record.imageIndex = pictureOf(record.kindName);
  return record;
}

void appendMisLine(std::string& out, const MisRecord& record, char separator) {
  appendField(out, record.kindName, separator, false);
  out.push_back(separator);
  appendField(out, record.detail, separator, false);
  out.push_back(separator);
  appendField(out, record.dateText, separator, false);
  out.push_back(separator);
  if (separator == kMisSeparator && storesRule(record.repeat)) {
    // The rule goes after the time, whose own separators are escaped.
    appendField(out, record.timeText, separator, false);
    out.push_back(separator);
    out.append(repeatText(record.repeat));
  } else {
    // As plain as ever, unless the time's own text would read back as a
    // time and a rule.
    std::string_view time = record.timeText;
    const bool last = !splitRule(time, separator);
    appendField(out, record.timeText, separator, last);
  }
  out.append("\r\n");
}

std::size_t forEachMisLine(std::string_view bytes, const std::function<void(std::string_view line)>& onLine) {
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    const std::size_t lf = bytes.find('\n', pos);
    const std::size_t next = lf == std::string_view::npos ? bytes.size() : lf + 1;
    std::size_t end = lf == std::string_view::npos ? bytes.size() : lf;
    if (end > pos && bytes[end - 1] == '\r') --end;
    if (end == pos) return pos;  // an empty line ends the reading
    onLine(bytes.substr(pos, end - pos));
    pos = next;
  }
  return pos;
}

std::vector<MisRecord> misFileRows(std::string_view bytes, char separator, std::optional<std::string_view> today,
                                   std::size_t* end) {
  // Room for the lines that are read, not for every line end of the file:
  // what lies past the first empty line may be anything.
  std::size_t lines = 0;
  forEachMisLine(bytes, [&](std::string_view) { ++lines; });
  std::vector<MisRecord> rows;
  rows.reserve(lines);
  const std::size_t stop =
      forEachMisLine(bytes, [&](std::string_view line) { rows.push_back(splitMisLine(line, separator, today)); });
  if (end) *end = stop;
  return rows;
}

void loadMisFile(MisTable& table, const std::filesystem::path& file, char separator,
                 std::optional<std::string_view> today) {
  // Read whole before the table changes: a failed read loses no row.
  std::vector<MisRecord> rows;
  try {
    rows = misFileRows(readFileBytes(file), separator, today, nullptr);
  } catch (...) {
    rethrowAsFileError();
  }
  // One change for the whole file: the list follows once, not once a row.
  table.assign(std::move(rows));
}

std::string misFileBytes(const MisTable& table, char separator) {
  std::size_t size = 0;
  for (int i = 0; i < table.count(); ++i) {
    const MisRecord& r = table.row(i);
    size += r.kindName.size() + r.detail.size() + r.dateText.size() + r.timeText.size() + 5;
  }
  std::string bytes;
  bytes.reserve(size);
  for (int i = 0; i < table.count(); ++i) appendMisLine(bytes, table.row(i), separator);
  return bytes;
}

void loadMissionFile(MisTable& table, const std::filesystem::path& file) {
  loadMisFile(table, file, kMisSeparator, std::nullopt);
}

void loadMissionFileToToday(MisTable& table, const std::filesystem::path& file, const DateTimeText& text,
                            const Clock& clock) {
  const std::string today = text.dateText(clock.now());
  loadMisFile(table, file, kMisSeparator, today);
}

void saveMissionFile(const MisTable& table, const std::filesystem::path& file) {
  writeFileReplacing(file, misFileBytes(table, kMisSeparator));
}

std::filesystem::path withMisExtension(const std::filesystem::path& file) {
  const auto& name = file.native();
  const auto lower = [](auto c) { return c >= 'A' && c <= 'Z' ? static_cast<decltype(c)>(c - 'A' + 'a') : c; };
  const std::size_t n = name.size();
  if (n >= 4 && name[n - 4] == '.' && lower(name[n - 3]) == 'm' && lower(name[n - 2]) == 'i' &&
      lower(name[n - 1]) == 's') {
    return file;
  }
  std::filesystem::path named = file;
  named += ".mis";
  return named;
}
