#include "storage/settings.h"

#include <gtest/gtest.h>

#include "core/error.h"
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

TEST(SettingsTest, ThemeReadsZeroToThreeAndDefaultsOtherwise) {
  MemoryProfileStore store;
  EXPECT_EQ(readThemeSelect(store), 0);  // no file
  for (const char* text : {"0", "1", "2", "3", " 3 ", "0x2"}) {
    store.setText("theme", "select", text);
    EXPECT_EQ(readThemeSelect(store), *parseProfileInteger(text)) << text;
  }
  for (const char* text : {"7", "4", "-1", "MSN", ""}) {
    store.setText("theme", "select", text);
    EXPECT_EQ(readThemeSelect(store), 0) << text;
  }
}

TEST(SettingsTest, ThemeWritesDecimalAndOnlyValidIndexes) {
  MemoryProfileStore store;
  writeThemeSelect(store, 3);
  EXPECT_EQ(store.text("theme", "select"), "3");
  writeThemeSelect(store, -1);
  EXPECT_EQ(store.text("theme", "select"), "0");
  writeThemeSelect(store, 4);
  EXPECT_EQ(store.text("theme", "select"), "0");
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

TEST(SettingsTest, ThemeEffects) {
  EXPECT_EQ(themeEffect(0), (ThemeEffect{true, 0}));
  EXPECT_EQ(themeEffect(1), (ThemeEffect{true, 1}));
  EXPECT_EQ(themeEffect(2), (ThemeEffect{true, 2}));
  EXPECT_EQ(themeEffect(3), (ThemeEffect{false, 0}));
  EXPECT_EQ(themeEffect(4), std::nullopt);
  EXPECT_EQ(themeEffect(-1), std::nullopt);
}
