#include "storage/ini_profile_store.h"

#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

#include "core/error.h"

namespace {

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// One line of the file without its line end, and the line end it had.
struct Line {
  std::string text;
  std::string end;
};

std::vector<Line> splitLines(const std::string& content) {
  std::vector<Line> lines;
  std::size_t pos = 0;
  while (pos < content.size()) {
    const std::size_t stop = content.find('\n', pos);
    if (stop == std::string::npos) {
      lines.push_back({content.substr(pos), ""});
      break;
    }
    const bool cr = stop > pos && content[stop - 1] == '\r';
    lines.push_back({content.substr(pos, stop - pos - (cr ? 1 : 0)), cr ? "\r\n" : "\n"});
    pos = stop + 1;
  }
  return lines;
}

// The folded section name of a line "[name]", or nullopt for other lines.
std::optional<std::string> sectionOf(std::string_view line) {
  line = trimmed(line);
  if (line.size() < 2 || line.front() != '[') return std::nullopt;
  const std::size_t close = line.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return foldProfileName(trimmed(line.substr(1, close - 1)));
}

// The folded key and the value of a line "key=value", or nullopt.
std::optional<std::pair<std::string, std::string_view>> entryOf(std::string_view line) {
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  const std::string_view key = trimmed(line.substr(0, equals));
  if (key.empty() || key.front() == ';') return std::nullopt;
  return std::pair{foldProfileName(key), trimmed(line.substr(equals + 1))};
}

// False when the file is missing or cannot be read as a file.
bool readFile(const std::filesystem::path& file, std::string& content) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) return false;
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  try {
    content.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  } catch (const std::exception&) {
    return false;
  }
  return !in.bad();
}

}  // namespace

std::optional<std::string> IniFileProfileStore::text(std::string_view section, std::string_view key) const {
  std::string content;
  if (!readFile(file_, content)) return std::nullopt;
  const std::string wantedSection = foldProfileName(trimmed(section));
  const std::string wantedKey = foldProfileName(trimmed(key));
  bool inSection = false;
  for (const Line& line : splitLines(content)) {
    if (const auto name = sectionOf(line.text)) {
      inSection = *name == wantedSection;
      continue;
    }
    if (!inSection) continue;
    if (const auto entry = entryOf(line.text); entry && entry->first == wantedKey) return std::string(entry->second);
  }
  return std::nullopt;
}

int IniFileProfileStore::readInteger(std::string_view section, std::string_view key, int defaultValue) const {
  const auto value = text(section, key);
  if (!value) return defaultValue;
  return parseProfileInteger(*value).value_or(defaultValue);
}

void IniFileProfileStore::writeInteger(std::string_view section, std::string_view key, int value) {
  change(section, key, value);
}

void IniFileProfileStore::removeKey(std::string_view section, std::string_view key) { change(section, key, std::nullopt); }

void IniFileProfileStore::change(std::string_view section, std::string_view key, std::optional<int> value) {
  const auto fail = [this] {
    std::error_code ignored;
    const std::filesystem::path full = std::filesystem::absolute(file_, ignored);
    throw HoravelError(unableToWriteMessage((full.empty() ? file_ : full).string()));
  };
  std::string content;
  std::error_code error;
  const bool exists = std::filesystem::exists(file_, error);
  if (error || (exists && !readFile(file_, content))) fail();

  std::vector<Line> lines = splitLines(content);
  const std::string wantedSection = foldProfileName(trimmed(section));
  const std::string wantedKey = foldProfileName(trimmed(key));
  const std::string number = value ? std::to_string(*value) : std::string();
  const std::string entry = std::string(trimmed(key)) + "=" + number;

  // Where the first matching section starts and ends, and its key if any.
  std::optional<std::size_t> sectionLine;
  std::size_t sectionEnd = lines.size();
  std::optional<std::size_t> keyLine;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (const auto name = sectionOf(lines[i].text)) {
      if (sectionLine) {
        sectionEnd = i;
        break;
      }
      if (*name == wantedSection) sectionLine = i;
      continue;
    }
    if (sectionLine && !keyLine) {
      if (const auto found = entryOf(lines[i].text); found && found->first == wantedKey) keyLine = i;
    }
  }

  if (!value) {
    if (!keyLine) return;
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(*keyLine));
  } else if (keyLine) {
    // The key keeps the spelling it has in the file.
    const std::string& old = lines[*keyLine].text;
    lines[*keyLine].text = std::string(trimmed(std::string_view(old).substr(0, old.find('=')))) + "=" + number;
  } else if (sectionLine) {
    // After the section's last non-empty line.
    std::size_t at = sectionEnd;
    while (at > *sectionLine + 1 && trimmed(lines[at - 1].text).empty()) --at;
    if (at > 0 && lines[at - 1].end.empty()) lines[at - 1].end = "\r\n";
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), Line{entry, "\r\n"});
  } else {
    if (!lines.empty() && lines.back().end.empty()) lines.back().end = "\r\n";
    lines.push_back({"[" + std::string(trimmed(section)) + "]", "\r\n"});
    lines.push_back({entry, "\r\n"});
  }

  std::string out;
  for (const Line& line : lines) out += line.text + line.end;
  // Written beside the file and moved over it, so a failed write leaves the
  // old file whole.
  const std::filesystem::path temporary = file_.string() + ".tmp";
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    if (!file) fail();
    file.write(out.data(), static_cast<std::streamsize>(out.size()));
    file.close();
    if (!file) {
      std::filesystem::remove(temporary, error);
      fail();
    }
  }
  std::filesystem::rename(temporary, file_, error);
  if (error) {
    std::filesystem::remove(temporary, error);
    fail();
  }
}
