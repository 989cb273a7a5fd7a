#include "storage/ini_profile_store.h"

#include <gtest/gtest.h>

#include "core/error.h"
#include "storage_test_support.h"

namespace {

class IniFileProfileStoreTest : public ::testing::Test {
 protected:
  TempDir dir;
  std::filesystem::path file = dir / "config.ini";
  IniFileProfileStore store{file};
};

}  // namespace

TEST_F(IniFileProfileStoreTest, MissingFileSectionOrKeyReadsAsTheDefault) {
  EXPECT_EQ(store.readInteger("theme", "select", 4), 4);
  EXPECT_EQ(dir.listing(), "");  // reading creates nothing
  writeBytes(file, "[other]\r\nautospeek=0\r\n");
  EXPECT_EQ(store.readInteger("theme", "select", 4), 4);
  EXPECT_EQ(store.readInteger("other", "select", 4), 4);
  EXPECT_EQ(store.readInteger("other", "autospeek", 4), 0);
}

TEST_F(IniFileProfileStoreTest, NamesMatchWithoutCaseAndBlanksAroundAreIgnored) {
  writeBytes(file, "; comment\r\n[ Theme ]\r\n  SELECT = 2 \r\n[OTHER]\r\nAutoSpeek=0\r\n");
  EXPECT_EQ(store.readInteger("theme", "select", 0), 2);
  EXPECT_EQ(store.readInteger("other", "autospeek", 1), 0);
  // The first of two keys of the same name wins; a key of another section does not count.
  writeBytes(file, "[a]\nk=1\nk=2\n[b]\nk=3\n");
  EXPECT_EQ(store.readInteger("A", "K", 0), 1);
  EXPECT_EQ(store.readInteger("b", "k", 0), 3);
}

TEST_F(IniFileProfileStoreTest, HexGarbageAndEmptyValues) {
  writeBytes(file,
             "[v]\r\nhex=0x1F\r\nHEX2=0X10\r\nshort=0x\r\nbad=12abc\r\nempty=\r\nword=MSN\r\nneg=-3\r\nbig=99999999999\r\n");
  EXPECT_EQ(store.readInteger("v", "hex", 0), 31);
  EXPECT_EQ(store.readInteger("v", "hex2", 0), 16);
  for (const char* key : {"short", "bad", "empty", "word", "big"}) EXPECT_EQ(store.readInteger("v", key, 9), 9) << key;
  EXPECT_EQ(store.readInteger("v", "neg", 9), -3);
}

TEST_F(IniFileProfileStoreTest, FirstWriteCreatesFileAndSectionAsDecimal) {
  store.writeInteger("theme", "select", 0);
  EXPECT_EQ(readBytes(file), "[theme]\r\nselect=0\r\n");
  store.writeInteger("other", "autospeek", 1);
  EXPECT_EQ(readBytes(file), "[theme]\r\nselect=0\r\n[other]\r\nautospeek=1\r\n");
  store.writeInteger("THEME", "Select", -1);
  EXPECT_EQ(readBytes(file), "[theme]\r\nselect=-1\r\n[other]\r\nautospeek=1\r\n");
  EXPECT_EQ(dir.listing(), "config.ini;");
}

TEST_F(IniFileProfileStoreTest, WritesKeepOtherLinesAndAddKeysToTheirSection) {
  writeBytes(file, "; mine\n[theme]\nselect=0x3\n\n[other]\nfoo=bar\n");
  store.writeInteger("other", "autospeek", 0);
  store.writeInteger("theme", "extra", 12);
  store.writeInteger("theme", "select", 2);
  EXPECT_EQ(readBytes(file), "; mine\n[theme]\nselect=2\nextra=12\r\n\n[other]\nfoo=bar\nautospeek=0\r\n");
  EXPECT_EQ(store.readInteger("theme", "extra", 0), 12);
  // Taking a key out leaves the rest as it was.
  store.removeKey("THEME", "Extra");
  store.removeKey("theme", "absent");
  EXPECT_EQ(readBytes(file), "; mine\n[theme]\nselect=2\n\n[other]\nfoo=bar\nautospeek=0\r\n");
}

TEST_F(IniFileProfileStoreTest, AFileThatCannotBeWrittenGivesTheFullPathAndStaysAsItWas) {
  // A folder where the file should be can be neither read as text nor replaced.
  std::filesystem::create_directory(file);
  try {
    store.writeInteger("theme", "select", 1);
    FAIL() << "no error";
  } catch (const HoravelError& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + std::filesystem::absolute(file).string());
  }
  EXPECT_TRUE(std::filesystem::is_directory(file));
  EXPECT_EQ(store.readInteger("theme", "select", 5), 5);
  EXPECT_EQ(dir.listing(), "config.ini;");
}
