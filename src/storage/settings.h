#pragma once
// The settings kept in config.ini beside the program: the look (section
// "theme", key "select"), the hourly chime (section "other", key
// "autospeek"), the notice before a power action (section "other", key
// "notice") and waking the computer for a mission (section "other", key
// "wake"). The file is reached key by key through a ProfileStore; on
// Windows that is the profile API, in tests a store in memory.

#include <filesystem>
#include <functional>
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
  // Takes the key out, so that it reads as absent again; throws as
  // writeInteger does.
  virtual void removeKey(std::string_view section, std::string_view key) = 0;
};

// Reads the text of a value: a decimal integer with an optional sign, or,
// for a text of more than two characters that begins with "0x" or "0X", up
// to eight hex digits (0xFFFFFFFF is -1). Blanks around the text are
// ignored. Anything else, or a number beyond int, gives nullopt.
std::optional<int> parseProfileInteger(std::string_view text);

// A section or key name with its single-byte letters in lower case, the way
// the profile functions match names; the second byte of a two-byte
// character is left alone.
std::string foldProfileName(std::string_view name);

// The message of a failed write; file is the settings file's full path.
std::string unableToWriteMessage(std::string_view file);

inline constexpr char kConfigFileName[] = "config.ini";
inline constexpr std::string_view kThemeSection = "theme";
inline constexpr std::string_view kThemeKey = "select";
inline constexpr std::string_view kOtherSection = "other";
inline constexpr std::string_view kAutoSpeekKey = "autospeek";
inline constexpr std::string_view kNoticeKey = "notice";
inline constexpr std::string_view kWakeKey = "wake";

// config.ini in the program's folder.
std::filesystem::path configPath(const std::filesystem::path& programFolder);

// Theme indexes: 0 "MSN", 1 "Vista", 2 "Cool" (skin store entries 0..2) and
// 3 the system's own look.
inline constexpr int kThemeCount = 4;
inline constexpr int kDefaultTheme = 0;
inline constexpr int kSystemTheme = 3;

// The stored theme as it stands in the file: 0 when absent or not an
// integer. A number outside 0..3 is returned as it is: applying it changes
// no look, and the settings dialog shows no theme chosen for it.
int readThemeSelect(const ProfileStore& profile);
// Stores theme as it is, -1 (no theme chosen) included.
void writeThemeSelect(ProfileStore& profile, int theme);
// The item of the theme box for a stored theme: the theme itself for 0..3,
// -1 (no item chosen) for anything else.
int themeChoice(int theme);

// The hourly chime: on unless the stored value is 0; on when absent.
bool readAutoSpeek(const ProfileStore& profile);
// Stores 1 for on, 0 for off.
void writeAutoSpeek(ProfileStore& profile, bool on);

// The notice before a power action, in seconds; 0 for none (the action
// comes at once). Absent, no integer or outside 0..kMaxNoticeSeconds reads
// as the default.
inline constexpr int kDefaultNoticeSeconds = 60;
inline constexpr int kMaxNoticeSeconds = 3600;
int readNoticeSeconds(const ProfileStore& profile);
// Written only when the file holds it already or it is not the default.
void writeNoticeSeconds(ProfileStore& profile, int seconds);

// Waking the computer for the next mission: off unless the stored value is
// other than 0; off when absent.
bool readWake(const ProfileStore& profile);

// What applying a theme does to the skin engine.
struct ThemeEffect {
  bool skinsOn = true;
  int skinEntry = 0;  // the skin store entry to load when skinsOn
  friend bool operator==(const ThemeEffect&, const ThemeEffect&) = default;
};
// 0..2: skins on with that entry; 3: skins off; anything else: nullopt,
// nothing changes.
std::optional<ThemeEffect> themeEffect(int theme);

// A setting of section "other" that earlier versions did not have: written
// only when the file holds it already or the value is not its default, so
// that a config.ini nobody changed that setting in stays byte for byte what
// earlier versions wrote.
void writeNewerSetting(ProfileStore& profile, std::string_view key, int value, int defaultValue);

// The autostart value's name under the Run key.
inline constexpr char kRunValueName[] = "Horavel";

// The text of the autostart value for the program at exePath: the path as
// it stands, or in double quotes when it holds a blank, so that Windows does
// not run "C:\\Program.exe" for "C:\\Program Files\\...". A path that already
// starts with a quote is left alone.
std::string autostartCommand(const std::string& exePath);

class PlatformServices;

// The settings dialog's confirmation: store the theme, then autostart
// (written only when ticked and absent, deleted only when unticked and
// present; an existing value keeps whatever it holds), then store the
// chime, the notice and waking; only when all that succeeded are the look,
// the chime and the notice applied (the main window reads waking again
// after the dialog).
// A failure stops the steps where it happens and applies nothing: a theme
// already stored is stored back as it was when autostart fails, so the
// next start shows the look of today too. False when autostart was to go
// but its value stays (removing the machine-wide value takes administrator
// rights); everything else is done then.
struct SetupChoices {
  int theme = kDefaultTheme;  // the chosen item, -1 for none
  bool autoRun = true;
  bool autoSpeek = true;
  int noticeSeconds = kDefaultNoticeSeconds;
  bool wake = false;  // stored after the notice, as a newer setting
};
[[nodiscard]] bool confirmSettings(ProfileStore& profile, PlatformServices& platform, const SetupChoices& choices,
                                   const std::string& exePath, const std::function<void(int)>& applyTheme,
                                   bool& autoSpeek, int& noticeSeconds);

// Autostart alone: ticked, the value is written when absent or empty;
// unticked, it is deleted when present, and false when it is still there.
[[nodiscard]] bool applyAutostart(PlatformServices& platform, bool on, const std::string& exePath);
