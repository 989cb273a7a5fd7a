#pragma once
// The settings kept in config.ini beside the program: the look (section
// "theme", key "select") and the hourly chime (section "other", key
// "autospeek"). The file is reached key by key through a ProfileStore; on
// Windows that is the profile API, in tests a store in memory.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// Reads and writes one integer by section and key. Section and key names
// match without regard to letter case.
class ProfileStore {
 public:
  virtual ~ProfileStore() = default;
  // The value, or defaultValue when the file, the section or the key is
  // absent or its text is no integer (parseProfileInteger).
  virtual int readInteger(std::string_view section, std::string_view key, int defaultValue) const = 0;
  // Stores value as a decimal integer, creating the file and the section if
  // needed. Throws HoravelError(unableToWriteMessage(file)) when the file
  // cannot be written.
  virtual void writeInteger(std::string_view section, std::string_view key, int value) = 0;
};

// Reads the text of a value: a decimal integer with an optional sign, or,
// for a text of more than two characters that begins with "0x" or "0X", up
// to eight hex digits (0xFFFFFFFF is -1). Blanks around the text are
// ignored. Anything else, or a number beyond int, gives nullopt.
std::optional<int> parseProfileInteger(std::string_view text);

// The message of a failed write; file is the settings file's full path.
std::string unableToWriteMessage(std::string_view file);

inline constexpr char kConfigFileName[] = "config.ini";
inline constexpr std::string_view kThemeSection = "theme";
inline constexpr std::string_view kThemeKey = "select";
inline constexpr std::string_view kOtherSection = "other";
inline constexpr std::string_view kAutoSpeekKey = "autospeek";

// config.ini in the program's folder.
std::filesystem::path configPath(const std::filesystem::path& programFolder);

// Theme indexes: 0 "MSN", 1 "Vista", 2 "Cool" (skin store entries 0..2) and
// 3 the system's own look.
inline constexpr int kThemeCount = 4;
inline constexpr int kDefaultTheme = 0;
inline constexpr int kSystemTheme = 3;

// The stored theme, 0..3. An absent key, a text that is no integer and a
// number outside 0..3 all give the default, "MSN" - the look the program has
// before any theme is applied - so the look at start and the choice the
// settings dialog shows always agree.
int readThemeSelect(const ProfileStore& profile);
// Stores theme; a number outside 0..3 is stored as the default.
void writeThemeSelect(ProfileStore& profile, int theme);

// The hourly chime: on unless the stored value is 0; on when absent.
bool readAutoSpeek(const ProfileStore& profile);
// Stores 1 for on, 0 for off.
void writeAutoSpeek(ProfileStore& profile, bool on);

// What applying a theme does to the skin engine.
struct ThemeEffect {
  bool skinsOn = true;
  int skinEntry = 0;  // the skin store entry to load when skinsOn
  friend bool operator==(const ThemeEffect&, const ThemeEffect&) = default;
};
// 0..2: skins on with that entry; 3: skins off; anything else: nullopt,
// nothing changes.
std::optional<ThemeEffect> themeEffect(int theme);
