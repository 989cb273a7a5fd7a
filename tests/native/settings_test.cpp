#include "storage/settings.h"

#include <gtest/gtest.h>

#include "core/error.h"
#include "platform/executable_rights.h"
#include "platform/recording_platform_services.h"
#include "storage/memory_profile_store.h"

TEST(ProfileIntegerTest, DecimalAndHexTexts) {
  EXPECT_EQ(parseProfileInteger(" -12\t"), -12);
  EXPECT_EQ(parseProfileInteger("+7"), 7);
  EXPECT_EQ(parseProfileInteger("007"), 7);
  EXPECT_EQ(parseProfileInteger("2147483647"), 2147483647);
  EXPECT_EQ(parseProfileInteger("-2147483648"), -2147483647 - 1);
  EXPECT_EQ(parseProfileInteger("0x1F"), 31);
  EXPECT_EQ(parseProfileInteger("0X1f"), 31);
  EXPECT_EQ(parseProfileInteger("0xFFFFFFFF"), -1);

  for (const char* bad : {"", "-", "12abc", "1 2", "2147483648", "-2147483649", "0x", "0x1G", "0x123456789", "-0x1",
                          "3.0"}) {
    EXPECT_EQ(parseProfileInteger(bad), std::nullopt) << bad;
  }
}

TEST(MemoryProfileStoreTest, NamesMatchWithoutLetterCase) {
  MemoryProfileStore store;
  store.writeInteger("Theme", "SELECT", 2);
  EXPECT_EQ(store.readInteger("theme", "select", 0), 2);
  EXPECT_EQ(store.text("THEME", "Select"), "2");
  EXPECT_EQ(store.readInteger("theme", "selected", 9), 9);
  // Only single-byte letters fold: 0xB0 0x41 and 0xB0 0x61 are two characters.
  store.writeInteger("\xB0\x41", "k", 1);
  EXPECT_EQ(store.readInteger("\xB0\x61", "k", 5), 5);
}

TEST(MemoryProfileStoreTest, FailedWriteNamesTheFileAndChangesNothing) {
  MemoryProfileStore store("C:\\Program Files\\Horavel\\config.ini");
  store.writeInteger("theme", "select", 1);
  store.failWrites = true;
  try {
    store.writeInteger("theme", "select", 2);
    FAIL() << "no error";
  } catch (const HoravelError& e) {
    EXPECT_STREQ(e.what(), "Unable to write to C:\\Program Files\\Horavel\\config.ini");
  }
  EXPECT_EQ(store.readInteger("theme", "select", 0), 1);
  EXPECT_EQ(store.writeCount(), 1);
}

TEST(SettingsTest, ThemeIsReadAsStoredAndOnlyZeroToThreeIsAChoice) {
  MemoryProfileStore store;
  EXPECT_EQ(readThemeSelect(store), 0);  // no file
  for (const char* text : {"0", "1", "2", "3", " 3 ", "0x2", "7", "-1", "0x10"}) {
    store.setText("theme", "select", text);
    EXPECT_EQ(readThemeSelect(store), *parseProfileInteger(text)) << text;
  }
  for (const char* text : {"MSN", "", "0x", "2x", "0x1G"}) {
    store.setText("theme", "select", text);
    EXPECT_EQ(readThemeSelect(store), 0) << text;
  }
  EXPECT_EQ(themeChoice(0), 0);
  EXPECT_EQ(themeChoice(3), 3);
  EXPECT_EQ(themeChoice(4), -1);
  EXPECT_EQ(themeChoice(7), -1);
  EXPECT_EQ(themeChoice(-1), -1);
}

TEST(SettingsTest, ThemeWritesDecimalAsGiven) {
  MemoryProfileStore store;
  writeThemeSelect(store, 3);
  EXPECT_EQ(store.text("theme", "select"), "3");
  writeThemeSelect(store, -1);
  EXPECT_EQ(store.text("theme", "select"), "-1");
}

TEST(SettingsTest, AutoSpeekIsOnUnlessZero) {
  MemoryProfileStore store;
  EXPECT_TRUE(readAutoSpeek(store));
  store.setText("other", "autospeek", "0");
  EXPECT_FALSE(readAutoSpeek(store));
  store.setText("OTHER", "AutoSpeek", "0x0");
  EXPECT_FALSE(readAutoSpeek(store));
  store.setText("other", "autospeek", "5");
  EXPECT_TRUE(readAutoSpeek(store));

  writeAutoSpeek(store, false);
  EXPECT_EQ(store.text("other", "autospeek"), "0");
  writeAutoSpeek(store, true);
  EXPECT_EQ(store.text("other", "autospeek"), "1");
  EXPECT_EQ(store.text("theme", "select"), std::nullopt);  // nothing else is written
}

TEST(SettingsTest, NoticeIsUpToAnHourAndAnythingElseAMinute) {
  MemoryProfileStore store;
  for (const char* text : {"0", "15", "45", "3600", "0x78"}) {
    store.setText("other", "notice", text);
    EXPECT_EQ(readNoticeSeconds(store), *parseProfileInteger(text)) << text;
  }
  for (const char* text : {"", "-5", "3601", "ten", "60s"}) {
    store.setText("other", "notice", text);
    EXPECT_EQ(readNoticeSeconds(store), 60) << text;
  }
  writeNoticeSeconds(store, 0);
  EXPECT_EQ(store.text("other", "notice"), "0");
}

TEST(SettingsTest, ThemeEffects) {
  EXPECT_EQ(themeEffect(0), (ThemeEffect{true, 0}));
  EXPECT_EQ(themeEffect(1), (ThemeEffect{true, 1}));
  EXPECT_EQ(themeEffect(2), (ThemeEffect{true, 2}));
  EXPECT_EQ(themeEffect(3), (ThemeEffect{false, 0}));
  EXPECT_EQ(themeEffect(4), std::nullopt);
  EXPECT_EQ(themeEffect(-1), std::nullopt);
}

TEST(SettingsTest, AutostartCommandQuotesPathsWithBlanks) {
  EXPECT_EQ(autostartCommand("C:\\Horavel\\Horavel.exe"), "C:\\Horavel\\Horavel.exe");
  EXPECT_EQ(autostartCommand("C:\\Program Files\\Horavel\\Horavel.exe"), "\"C:\\Program Files\\Horavel\\Horavel.exe\"");
  EXPECT_EQ(autostartCommand("\"C:\\Program Files\\H.exe\""), "\"C:\\Program Files\\H.exe\"");
}

// The machine-wide autostart value runs the program in every user's
// session: only for a program that nobody but administrators can replace,
// in a folder where nobody else can plant a library or a daily mission.
TEST(SettingsTest, MachineWideAutostartOnlyForAProgramOnlyAdministratorsCanChange) {
  const std::string system = "S-1-5-18", admins = "S-1-5-32-544", users = "S-1-5-32-545",
                    authenticated = "S-1-5-11", everyone = "S-1-1-0", creatorOwner = "S-1-3-0",
                    ownerRights = "S-1-3-4", packages = "S-1-15-2-1", someone = "S-1-5-21-1-2-3-1001",
                    installer = "S-1-5-80-956008885-3418522649-1831038044-1851658625-2271478464";
  constexpr std::uint32_t all = 0x1F01FF, modify = 0x1301BF, readAndRun = 0x1200A9, addFolder = 0x4;
  const auto allow = [](std::string who, std::uint32_t rights) { return AccessRule{true, false, rights, who}; };
  // Program Files: what an installer running as administrator leaves.
  const ObjectRights programFiles{admins,
                                  std::vector{allow(installer, all), allow(system, all), allow(admins, all),
                                              allow(users, readAndRun), allow(packages, readAndRun),
                                              AccessRule{true, true, 0x10000000, creatorOwner}}};
  const ObjectRights installed{admins, std::vector{allow(system, all), allow(admins, all), allow(users, readAndRun)}};
  EXPECT_TRUE(onlyAdministratorsCanChange(programFiles, installed));

  // A folder of the user's own (%LOCALAPPDATA%\Programs\Horavel).
  const ObjectRights own{someone, std::vector{allow(system, all), allow(admins, all), allow(someone, all)}};
  EXPECT_FALSE(onlyAdministratorsCanChange(own, own));
  // D:\Tools\Horavel, made by an administrator on a second drive, whose
  // root lets signed-in users change what is made in it.
  const ObjectRights tools{admins, std::vector{allow(admins, all), allow(system, all), allow(authenticated, modify),
                                               allow(users, readAndRun)}};
  EXPECT_FALSE(onlyAdministratorsCanChange(tools, installed));
  // Users may only add folders: one named after the program redirects its libraries.
  ObjectRights addsFolders = programFiles;
  addsFolders.rules->push_back(allow(users, addFolder));
  EXPECT_FALSE(onlyAdministratorsCanChange(addsFolders, installed));
  // The folder is safe but the file belongs to a user, or has no access list.
  EXPECT_FALSE(onlyAdministratorsCanChange(programFiles, ObjectRights{someone, installed.rules}));
  EXPECT_FALSE(onlyAdministratorsCanChange(programFiles, ObjectRights{admins, std::nullopt}));
  // Deny rules narrow, never widen; the owner's rights are the owner's.
  ObjectRights narrowed = installed;
  narrowed.rules->push_back(AccessRule{false, false, all, everyone});
  narrowed.rules->push_back(allow(ownerRights, all));
  EXPECT_TRUE(onlyAdministratorsCanChange(programFiles, narrowed));
  narrowed.owner = someone;
  EXPECT_FALSE(onlyAdministratorsCanChange(programFiles, narrowed));
}

// The settings dialog's steps over a store in memory and the recording
// platform: what start-up and the dialog read, and what OK writes.
class SetupStepsTest : public ::testing::Test {
 protected:
  void confirm(SetupChoices choices) {
    EXPECT_TRUE(confirmSettings(store, platform, choices, "C:\\Program Files\\Horavel\\Horavel.exe",
                                [this](int theme) { applied.push_back(theme); }, autoSpeek, noticeSeconds));
  }
  MemoryProfileStore store{"C:\\Program Files\\Horavel\\config.ini"};
  RecordingPlatformServices platform;
  std::vector<int> applied;
  bool autoSpeek = false;
  int noticeSeconds = -1;
};

TEST_F(SetupStepsTest, FirstStartWithoutAFileGivesMsnTheChimeAndAMinutesNoticeAndOkCreatesTheOldKeys) {
  EXPECT_EQ(readThemeSelect(store), 0);
  EXPECT_EQ(themeEffect(readThemeSelect(store)), (ThemeEffect{true, 0}));
  EXPECT_TRUE(readAutoSpeek(store));
  EXPECT_EQ(readNoticeSeconds(store), 60);
  confirm({0, false, true, readNoticeSeconds(store)});
  EXPECT_EQ(store.text("theme", "select"), "0");
  EXPECT_EQ(store.text("other", "autospeek"), "1");
  // The notice left at its default: config.ini is what earlier versions
  // wrote; once chosen or stored, it is written like the others.
  EXPECT_EQ(store.text("other", "notice"), std::nullopt);
  EXPECT_EQ(applied, std::vector<int>{0});
  EXPECT_TRUE(autoSpeek);
  EXPECT_EQ(noticeSeconds, 60);
  // Unticked with no value: the registry is only read.
  EXPECT_EQ(platform.calls(), std::vector<std::string>{"ReadRunValue Horavel"});
  confirm({0, false, true, 15});
  EXPECT_EQ(store.text("other", "notice"), "15");
  confirm({0, false, true, 60});
  EXPECT_EQ(store.text("other", "notice"), "60");
}

TEST_F(SetupStepsTest, SelectSevenKeepsTheLookShowsNoChoiceAndOkWritesMinusOne) {
  store.setText("theme", "select", "7");
  const int stored = readThemeSelect(store);
  EXPECT_EQ(themeEffect(stored), std::nullopt);  // start-up changes no look
  EXPECT_EQ(themeChoice(stored), -1);            // the box shows no theme
  confirm({themeChoice(stored), false, true});
  EXPECT_EQ(store.text("theme", "select"), "-1");
  EXPECT_EQ(applied, std::vector<int>{-1});
  EXPECT_EQ(themeEffect(-1), std::nullopt);
}

TEST_F(SetupStepsTest, AutoSpeekFiveReadsAsOnAndOkWritesOne) {
  store.setText("other", "autospeek", "5");
  ASSERT_TRUE(readAutoSpeek(store));
  confirm({1, false, readAutoSpeek(store)});
  EXPECT_EQ(store.text("other", "autospeek"), "1");
  confirm({1, false, false});
  EXPECT_EQ(store.text("other", "autospeek"), "0");
  EXPECT_FALSE(autoSpeek);
}

TEST_F(SetupStepsTest, AutostartIsWrittenQuotedOnlyWhenAbsentAndKeptWhenPresent) {
  confirm({0, true, true});
  EXPECT_EQ(platform.runValues["Horavel"], "\"C:\\Program Files\\Horavel\\Horavel.exe\"");

  platform.runValues["Horavel"] = "D:\\Other\\Horavel.exe";
  platform.clearCalls();
  confirm({0, true, true});
  EXPECT_EQ(platform.runValues["Horavel"], "D:\\Other\\Horavel.exe");
  EXPECT_EQ(platform.calls(), std::vector<std::string>{"ReadRunValue Horavel"});

  confirm({0, false, true});
  EXPECT_EQ(platform.runValues.count("Horavel"), 0u);
}

TEST_F(SetupStepsTest, AnUnwritableFileStopsBeforeAnythingElse) {
  store.failWrites = true;
  autoSpeek = true;
  try {
    confirm({3, true, false});
    FAIL() << "no error";
  } catch (const HoravelError& e) {
    EXPECT_STREQ(e.what(), "Unable to write to C:\\Program Files\\Horavel\\config.ini");
  }
  EXPECT_TRUE(applied.empty());
  EXPECT_TRUE(platform.calls().empty());
  EXPECT_TRUE(autoSpeek);
}

TEST_F(SetupStepsTest, AFailedRunWriteAppliesAndKeepsNoneOfTheChoices) {
  platform.failWrites = true;
  store.setText("other", "autospeek", "1");
  autoSpeek = true;
  EXPECT_THROW(confirm({2, true, false}), HoravelError);
  EXPECT_EQ(store.text("theme", "select"), std::nullopt);
  EXPECT_TRUE(applied.empty());
  EXPECT_EQ(store.text("other", "autospeek"), "1");
  EXPECT_TRUE(autoSpeek);

  platform.failWrites = false;
  platform.nonStringValues = {"Horavel"};
  try {
    confirm({1, true, false});
    FAIL() << "no error";
  } catch (const HoravelError& e) {
    EXPECT_STREQ(e.what(), "Invalid data type for 'Horavel'");
  }
  EXPECT_EQ(store.text("theme", "select"), std::nullopt);
  store.setText("theme", "select", "3");
  EXPECT_THROW(confirm({1, true, false}), HoravelError);
  EXPECT_EQ(store.text("theme", "select"), "3");
  EXPECT_TRUE(applied.empty());
  EXPECT_TRUE(autoSpeek);
}
