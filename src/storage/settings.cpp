#include "storage/settings.h"

#include <cstdint>

#include "core/cp936.h"
#include "core/platform_services.h"

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool isValidTheme(int theme) { return theme >= 0 && theme < kThemeCount; }

}  // namespace

std::optional<int> parseProfileInteger(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);

  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    const std::string_view digits = text.substr(2);
    if (digits.size() > 8) return std::nullopt;
    std::uint32_t value = 0;
    for (const char c : digits) {
      const int d = hexDigit(c);
      if (d < 0) return std::nullopt;
      value = value * 16 + static_cast<std::uint32_t>(d);
    }
    return static_cast<std::int32_t>(value);
  }

  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  // Accumulated as a negative number, whose range reaches INT32_MIN.
  std::int64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > std::int64_t{INT32_MAX} + 1) return std::nullopt;
  }
  if (negative) value = -value;
  if (value > INT32_MAX) return std::nullopt;
  return static_cast<int>(value);
}

std::string foldProfileName(std::string_view name) {
  std::string out(name);
  for (std::size_t pos = 0; pos < out.size(); pos += cp936::charLength(out, pos)) {
    if (out[pos] >= 'A' && out[pos] <= 'Z') out[pos] = static_cast<char>(out[pos] - 'A' + 'a');
  }
  return out;
}

std::string unableToWriteMessage(std::string_view file) { return "Unable to write to " + std::string(file); }

std::filesystem::path configPath(const std::filesystem::path& programFolder) {
  return programFolder / kConfigFileName;
}

int readThemeSelect(const ProfileStore& profile) { return profile.readInteger(kThemeSection, kThemeKey, kDefaultTheme); }

void writeThemeSelect(ProfileStore& profile, int theme) { profile.writeInteger(kThemeSection, kThemeKey, theme); }

int themeChoice(int theme) { return isValidTheme(theme) ? theme : -1; }

bool readAutoSpeek(const ProfileStore& profile) { return profile.readInteger(kOtherSection, kAutoSpeekKey, 1) != 0; }

void writeAutoSpeek(ProfileStore& profile, bool on) { profile.writeInteger(kOtherSection, kAutoSpeekKey, on ? 1 : 0); }

int readNoticeSeconds(const ProfileStore& profile) {
  const int seconds = profile.readInteger(kOtherSection, kNoticeKey, kDefaultNoticeSeconds);
  return seconds >= 0 && seconds <= kMaxNoticeSeconds ? seconds : kDefaultNoticeSeconds;
}

void writeNewerSetting(ProfileStore& profile, std::string_view key, int value, int defaultValue) {
  // Stored already: two readings with different defaults agree.
  const bool stored = profile.readInteger(kOtherSection, key, 0) == profile.readInteger(kOtherSection, key, 1);
  if (stored || value != defaultValue) profile.writeInteger(kOtherSection, key, value);
}

void writeNoticeSeconds(ProfileStore& profile, int seconds) {
  writeNewerSetting(profile, kNoticeKey, seconds, kDefaultNoticeSeconds);
}

bool readWake(const ProfileStore& profile) { return profile.readInteger(kOtherSection, kWakeKey, 0) != 0; }

std::optional<ThemeEffect> themeEffect(int theme) {
  if (theme == kSystemTheme) return ThemeEffect{false, 0};
  if (isValidTheme(theme)) return ThemeEffect{true, theme};
  return std::nullopt;
}

std::string autostartCommand(const std::string& exePath) {
  const bool blank = exePath.find(' ') != std::string::npos || exePath.find('\t') != std::string::npos;
  if (!blank || exePath.front() == '"') return exePath;
  return '"' + exePath + '"';
}

bool applyAutostart(PlatformServices& platform, bool on, const std::string& exePath) {
  if (on) {
    if (platform.ReadRunValue(kRunValueName).empty()) platform.WriteRunValue(kRunValueName, autostartCommand(exePath));
    return true;
  }
  if (platform.ReadRunValue(kRunValueName).empty()) return true;
  // A deletion the registry refuses passes silently: only reading again
  // tells whether the value went.
  platform.DeleteRunValue(kRunValueName);
  return platform.ReadRunValue(kRunValueName).empty();
}

bool confirmSettings(ProfileStore& profile, PlatformServices& platform, const SetupChoices& choices,
                     const std::string& exePath, const std::function<void(int)>& applyTheme, bool& autoSpeek,
                     int& noticeSeconds) {
  // The theme as it stands, absent (or no integer) included: two readings
  // with different defaults differ only then.
  const int storedTheme = profile.readInteger(kThemeSection, kThemeKey, 0);
  const bool themeStored = storedTheme == profile.readInteger(kThemeSection, kThemeKey, 1);
  writeThemeSelect(profile, choices.theme);
  bool autostartAsChosen = true;
  try {
    autostartAsChosen = applyAutostart(platform, choices.autoRun, exePath);
  } catch (...) {
    if (!themeStored) {
      profile.removeKey(kThemeSection, kThemeKey);
    } else if (storedTheme != choices.theme) {
      writeThemeSelect(profile, storedTheme);
    }
    throw;
  }
  writeAutoSpeek(profile, choices.autoSpeek);
  writeNoticeSeconds(profile, choices.noticeSeconds);
  writeNewerSetting(profile, kWakeKey, choices.wake ? 1 : 0, 0);
  applyTheme(choices.theme);
  autoSpeek = choices.autoSpeek;
  noticeSeconds = choices.noticeSeconds;
  return autostartAsChosen;
}
