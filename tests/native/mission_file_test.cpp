#include "storage/mission_file.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <random>
#include <string>
#include <vector>

#include <sys/resource.h>

#include "core/cp936.h"
#include "core/error_text.h"
#include "core/mis_kind.h"
#include "core/scheduler.h"
#include "storage/file_error.h"
#include "storage/file_io.h"
#include "storage/history_log.h"
#include "storage_test_support.h"

namespace {

// "個": its second byte is 0x80, the mission file separator.
const std::string kGe = "\x82\x80";
const std::string S(1, kMisSeparator);

MisRecord row(std::string kind, std::string detail, std::string date, std::string time) {
  MisRecord r{std::move(kind), std::move(detail), std::move(date), std::move(time), 0};
  const MisKind* k = findMisKind(r.kindName);
  r.imageIndex = k ? k->imageIndex : 0;
  return r;
}

std::vector<MisRecord> rowsOf(const MisTable& table) {
  std::vector<MisRecord> rows;
  for (int i = 0; i < table.count(); ++i) rows.push_back(table.row(i));
  return rows;
}

std::vector<std::string> linesOf(std::string_view bytes) {
  std::vector<std::string> lines;
  forEachMisLine(bytes, [&](std::string_view line) { lines.emplace_back(line); });
  return lines;
}

// One written line read back; fails the test unless it is exactly one line.
MisRecord throughOneLine(const MisRecord& r, char separator) {
  std::string bytes;
  appendMisLine(bytes, r, separator);
  const std::vector<std::string> lines = linesOf(bytes);
  EXPECT_EQ(lines.size(), 1u);
  EXPECT_EQ(forEachMisLine(bytes, [](std::string_view) {}), bytes.size());
  return lines.empty() ? MisRecord{} : splitMisLine(lines[0], separator);
}

}  // namespace

// ---- The line rule ----

TEST(LineRuleTest, FieldsBySeparatorCount) {
  const auto split = [](const std::string& line) { return splitMisLine(line, kMisSeparator); };
  EXPECT_EQ(split("abc"), row("", "", "", "abc"));
  EXPECT_EQ(split("a" + S + "b"), row("a", "", "", "b"));
  EXPECT_EQ(split("a" + S + "b" + S + "c"), row("a", "b", "", "c"));
  EXPECT_EQ(split("a" + S + "b" + S + "c" + S + "d"), row("a", "b", "c", "d"));
  EXPECT_EQ(split("a" + S + "b" + S + "c" + S + "d" + S + "e" + S + "f"),
            row("a", "b", "c", "d" + S + "e" + S + "f"));
  EXPECT_EQ(split(S + S + S), row("", "", "", ""));
  EXPECT_EQ(split(" 执行程序 " + S + " x "), row(" 执行程序 ", "", "", " x "));  // nothing is trimmed
}

TEST(LineRuleTest, SecondByteEqualToSeparatorBelongsToItsCharacter) {
  const std::string line = "提示消息" + S + kGe + "人" + kGe + S + "2026/12/9" + S + "08:00:00";
  EXPECT_EQ(splitMisLine(line, kMisSeparator), row("提示消息", kGe + "人" + kGe, "2026/12/9", "08:00:00"));
  // A text ending in such a character ends at the separator after it.
  EXPECT_EQ(splitMisLine(kGe + S + kGe, kMisSeparator), row(kGe, "", "", kGe));
}

TEST(LineRuleTest, DollarSeparatesEverywhere) {
  const std::string line = "执行程序$C:\\a b\\x.exe$2026/1/2$23:59:59$";
  EXPECT_EQ(splitMisLine(line, '$'), row("执行程序", "C:\\a b\\x.exe", "2026/1/2", "23:59:59$"));
  // 0x80 means nothing in a '$' line, and '$' nothing in a mission line.
  EXPECT_EQ(splitMisLine("a" + S + "b$c", '$'), row("a" + S + "b", "", "", "c"));
  EXPECT_EQ(splitMisLine("a$b$c$d", kMisSeparator), row("", "", "", "a$b$c$d"));
}

TEST(LineRuleTest, ReDatingReplacesTheDateWhateverTheLineHeld) {
  const std::string_view today = "2031/7/4";
  EXPECT_EQ(splitMisLine("a" + S + "b" + S + "1999/1/1" + S + "t", kMisSeparator, today),
            row("a", "b", "2031/7/4", "t"));
  EXPECT_EQ(splitMisLine("whole line", kMisSeparator, today), row("", "", "2031/7/4", "whole line"));
  EXPECT_EQ(splitMisLine("a" + S + "b" + S + S + "t", kMisSeparator, today), row("a", "b", "2031/7/4", "t"));
}

TEST(LineRuleTest, RowsGetTheirKindsPicture) {
  EXPECT_EQ(splitMisLine("发送邮件" + S + "a@b.c", kMisSeparator).imageIndex, 6);
  EXPECT_EQ(splitMisLine("打开文件" + S + "a.txt", kMisSeparator).imageIndex, 2);
  EXPECT_EQ(splitMisLine("计算机休眠" + S + "计算机休眠", kMisSeparator).imageIndex, 10);
  EXPECT_EQ(splitMisLine("发送邮件 " + S + "x", kMisSeparator).imageIndex, 0);
  EXPECT_EQ(splitMisLine("发送邮件", kMisSeparator).imageIndex, 0);  // no separator: no caption
}

// ---- Lines of a file ----

TEST(MisLinesTest, LineEndsAndTheFirstEmptyLine) {
  EXPECT_EQ(linesOf("a\r\nb\r\n"), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(linesOf("a\nb"), (std::vector<std::string>{"a", "b"}));  // last line without line end
  EXPECT_EQ(linesOf("a\r\nb\r"), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(linesOf("a\rb\r\n"), (std::vector<std::string>{"a\rb"}));  // a lone CR is no line end
  EXPECT_EQ(linesOf("a\n\nb"), (std::vector<std::string>{"a"}));
  EXPECT_TRUE(linesOf("\r\nabc\r\n").empty());
  EXPECT_EQ(linesOf(" \r\nb"), (std::vector<std::string>{" ", "b"}));  // a blank is not empty

  EXPECT_EQ(forEachMisLine("a\r\n\r\nb\r\n", [](std::string_view) {}), 3u);
  EXPECT_EQ(forEachMisLine("\r\nb", [](std::string_view) {}), 0u);
  EXPECT_EQ(forEachMisLine("a\r\nb", [](std::string_view) {}), 4u);
}

// ---- Writing lines ----

TEST(MisLineWriteTest, CleanRowsKeepThePlainLayout) {
  std::string bytes;
  appendMisLine(bytes, row("提示消息", "個" + kGe + "$", "2026/12/9", "08:00:00"), kMisSeparator);
  EXPECT_EQ(bytes, "\xCC\xE1\xCA\xBE\xCF\xFB\xCF\xA2" "\x80" "\x82\x80\x82\x80$" "\x80"
                   "2026/12/9" "\x80" "08:00:00\r\n");
  bytes.clear();
  appendMisLine(bytes, row("", "C:\\x.exe", "", ""), '$');
  EXPECT_EQ(bytes, "$C:\\x.exe$$\r\n");
}

TEST(MisLineWriteTest, ARepeatingRowsRuleFollowsItsTimeAndAnEarlierVersionNeverFindsItDue) {
  DateTimePatterns twelveHour;
  twelveHour.longTime = "h:mm:ss tt";
  twelveHour.amDesignator = "AM";
  const DateTimeText formats[] = {DateTimeText(), DateTimeText(twelveHour)};
  for (const std::string rule : {"每天", "工作日", "每周一、三、五", "每月31日"}) {
    for (const DateTimeText& text : formats) {
      MisRecord r = row("执行程序", "a.exe", "2026/12/9", text.timeText({2026, 12, 9, 8, 0, 0, 0}));
      r.repeat = *parseRepeatText(rule);
      std::string bytes;
      appendMisLine(bytes, r, kMisSeparator);
      EXPECT_EQ(bytes, "执行程序" + S + "a.exe" + S + "2026/12/9" + S + r.timeText + S + rule + "\r\n");
      EXPECT_EQ(throughOneLine(r, kMisSeparator), r);
      // An earlier version takes the rule into the time, which then reads
      // as no time at all.
      EXPECT_EQ(readMissionTime(text, r.timeText + S + rule), std::nullopt) << rule << " " << r.timeText;
    }
  }
  MisRecord r = row("执行程序", "a.exe", "2026/12/9", "8" + S + "00");
  r.repeat = *parseRepeatText("每天");
  EXPECT_EQ(throughOneLine(r, kMisSeparator), r);
  // everyday.mis and the rows it gave keep the plain layout.
  for (const auto& [separator, rule] : {std::pair{'$', r.repeat}, std::pair{kMisSeparator, kDailyFileRule}}) {
    r.repeat = rule;
    std::string bytes;
    appendMisLine(bytes, r, separator);
    EXPECT_EQ(bytes, std::string("执行程序") + separator + "a.exe" + separator + "2026/12/9" + separator + "8" + S + "00\r\n");
  }
  // A row that fires once and whose time reads as a time and a rule comes
  // back as it was.
  const MisRecord once = row("执行程序", "a.exe", "2026/12/9", "08:00:00" + S + "每天");
  EXPECT_EQ(throughOneLine(once, kMisSeparator), once);
}

TEST(MisLineWriteTest, TextsThePlainLayoutCannotHoldComeBackWhole) {
  const std::string reminder = "第一行\r\n第二行\n\r第三行\r";
  for (const char separator : {kMisSeparator, '$'}) {
    const std::string sep(1, separator);
    const MisRecord cases[] = {
        row("提示消息", reminder, "2026/12/9", "08:00:00"),
        row("执行程序", "C:\\$Recycle\\a" + sep + "b.exe", "d" + sep, sep + "t" + sep),
        row("\xB0", "\xB0\r\n\xB0", "x\xB0", "\xB0"),  // lead bytes without their second byte
        row("\xFF", "a\xFF" "41b", "\xFF\xFF", "\xFF" "0D"),   // the escape byte itself
        row("\xFF" "41", "\x82\xFF" "41", "", ""),           // 0xFF as a second byte is part of its character
    };
    for (const MisRecord& r : cases) EXPECT_EQ(throughOneLine(r, separator), r) << "separator " << int(separator);
  }
}

TEST(MisLineWriteTest, RandomRowsComeBackWhole) {
  std::mt19937 random(20261209);
  std::uniform_int_distribution<int> length(0, 12);
  // Bytes from the troublesome corners: line breaks, both separators, lead
  // bytes, the escape byte and hex digits, plus anything.
  const std::string corners = "\r\n\x80$\x81\xFE\xFF" "0AF";
  std::uniform_int_distribution<std::size_t> corner(0, corners.size() - 1);
  std::uniform_int_distribution<int> anyByte(0, 255);
  const auto text = [&] {
    std::string t;
    for (int n = length(random); n > 0; --n) {
      t.push_back(random() % 2 ? corners[corner(random)] : static_cast<char>(anyByte(random)));
    }
    return t;
  };
  const RepeatRule rules[] = {{}, *parseRepeatText("每天"), *parseRepeatText("每周二、日"), *parseRepeatText("每月9日")};
  for (int i = 0; i < 4000; ++i) {
    MisRecord r = row(text(), text(), text(), text());
    const char separator = i % 2 ? '$' : kMisSeparator;
    if (separator == kMisSeparator) r.repeat = rules[i / 2 % 4];  // only mission files carry rules
    ASSERT_EQ(throughOneLine(r, separator), r) << "row " << i;
  }
}

TEST(MisLineWriteTest, A0xFFThatStartsNoEscapeReadsAsItStands) {
  EXPECT_EQ(splitMisLine("a\xFFz$\xFF" "4", '$'), row("a\xFFz", "", "", "\xFF" "4"));
}

// ---- Mission files ----

class MissionFileTest : public ::testing::Test {
 protected:
  TempDir dir;
  MisTable table;

  void fill(const std::vector<MisRecord>& rows) {
    table.clear();
    for (const MisRecord& r : rows) table.append(r);
  }
};

TEST_F(MissionFileTest, SaveWritesThePlainLayoutAndLoadGivesTheRowsBack) {
  const std::vector<MisRecord> rows = {
      row("关闭计算机", "关闭计算机", "2026/12/9", "23:00:00"),
      row("提示消息", "买" + kGe + "苹果", "2026/12/10", "08:00:00"),
      row("提示消息", "买" + kGe + "苹果", "2026/12/10", "08:00:00"),  // duplicates stay
      row("改过的标题", "", "", ""),
  };
  fill(rows);
  const auto file = dir / "list.mis";
  saveMissionFile(table, file);
  EXPECT_EQ(readBytes(file),
            "关闭计算机" + S + "关闭计算机" + S + "2026/12/9" + S + "23:00:00\r\n"
            "提示消息" + S + "买" + kGe + "苹果" + S + "2026/12/10" + S + "08:00:00\r\n"
            "提示消息" + S + "买" + kGe + "苹果" + S + "2026/12/10" + S + "08:00:00\r\n"
            "改过的标题" + S + S + S + "\r\n");
  EXPECT_EQ(rowsOf(table), rows);  // saving changes nothing

  table.clear();
  table.append(row("x", "x", "x", "x"));
  table.select(0);
  loadMissionFile(table, file);
  EXPECT_EQ(rowsOf(table), rows);
  EXPECT_EQ(table.selectedIndex(), -1);
  EXPECT_EQ(dir.listing(), "list.mis;");
}

TEST_F(MissionFileTest, ReminderOfSeveralLinesStaysOneRow) {
  const MisRecord reminder = row("提示消息", "开会\r\n带上报告\r\n", "2026/12/9", "14:00:00");
  fill({reminder, row("系统响铃", "内置铃声", "2026/12/9", "15:00:00")});
  const auto file = dir / "a.mis";
  saveMissionFile(table, file);
  const std::string bytes = readBytes(file);
  EXPECT_EQ(linesOf(bytes).size(), 2u);
  loadMissionFile(table, file);
  ASSERT_EQ(table.count(), 2);
  EXPECT_EQ(table.row(0), reminder);
}

TEST_F(MissionFileTest, EmptyFilesAndEmptyLines) {
  const auto file = dir / "a.mis";
  saveMissionFile(table, file);  // an empty table writes an empty file
  EXPECT_EQ(readBytes(file), "");
  fill({row("a", "b", "c", "d")});
  loadMissionFile(table, file);
  EXPECT_EQ(table.count(), 0);

  writeBytes(file, "\r\na" + S + "b" + S + "c" + S + "d\r\n");
  loadMissionFile(table, file);
  EXPECT_EQ(table.count(), 0);

  writeBytes(file, "a" + S + "b" + S + "c" + S + "d\r\nx\r\n\r\nlost" + S + "1" + S + "2" + S + "3\r\n");
  loadMissionFile(table, file);
  EXPECT_EQ(rowsOf(table), (std::vector<MisRecord>{row("a", "b", "c", "d"), row("", "", "", "x")}));
}

TEST_F(MissionFileTest, LoadToTodayReDatesEveryRowWithTheUsersDateFormat) {
  const auto file = dir / "a.mis";
  writeBytes(file, "执行程序" + S + "a.exe" + S + "2020/1/1" + S + "08:00:00\r\nno separator\r\n" +
                       "打开网页" + S + "http://x" + S + "\r\n");
  DateTimePatterns patterns;
  patterns.shortDate = "dd.MM.yyyy";
  const DateTimeText text(patterns);
  const ManualClock clock({2027, 3, 5, 23, 59, 59, 999});
  loadMissionFileToToday(table, file, text, clock);
  EXPECT_EQ(rowsOf(table), (std::vector<MisRecord>{row("执行程序", "a.exe", "05.03.2027", "08:00:00"),
                                                   row("", "", "05.03.2027", "no separator"),
                                                   row("打开网页", "http://x", "05.03.2027", "")}));
}

TEST_F(MissionFileTest, MissingFileLeavesTheTableAsItWasAndReportsFileNotFound) {
  fill({row("a", "b", "c", "d"), row("e", "f", "g", "h")});
  table.select(1);
  try {
    loadMissionFile(table, dir / "nothing.mis");
    FAIL() << "no error";
  } catch (const FileError& e) {
    EXPECT_EQ(e.number(), 2);
    EXPECT_EQ(errorBoxText(e.what()), "File not found.");
  }
  EXPECT_EQ(rowsOf(table), (std::vector<MisRecord>{row("a", "b", "c", "d"), row("e", "f", "g", "h")}));
  EXPECT_EQ(table.selectedIndex(), 1);
}

TEST(MisExtensionTest, AppendedUnlessTheNameEndsInMis) {
  EXPECT_EQ(withMisExtension("abc").string(), "abc.mis");
  EXPECT_EQ(withMisExtension("d/abc.mis").string(), "d/abc.mis");
  EXPECT_EQ(withMisExtension("abc.MiS").string(), "abc.MiS");
  EXPECT_EQ(withMisExtension("abc.mis.txt").string(), "abc.mis.txt.mis");
  EXPECT_EQ(withMisExtension("abcmis").string(), "abcmis.mis");
  EXPECT_EQ(withMisExtension("abc.mi").string(), "abc.mi.mis");
}

// ---- Saving never loses the old file ----

class AtomicSaveTest : public MissionFileTest {
 protected:
  void SetUp() override {
    file = dir / "keep.mis";
    fill({row("执行程序", "old.exe", "2026/1/1", "01:00:00")});
    saveMissionFile(table, file);
    oldBytes = readBytes(file);
    fill({row("执行程序", "new.exe", "2026/1/1", "01:00:00")});
  }
  int saveFails() {
    try {
      saveMissionFile(table, file);
    } catch (const FileError& e) {
      return e.number();
    }
    return 0;
  }
  std::filesystem::path file;
  std::string oldBytes;
};

TEST_F(AtomicSaveTest, ReplacesTheFileAndLeavesNothingElse) {
  // A file of the user's under the name a save once used is none of its business.
  std::filesystem::path users = file;
  users += ".saving";
  writeBytes(users, "the user's own");
  EXPECT_EQ(saveFails(), 0);
  loadMissionFile(table, file);
  ASSERT_EQ(table.count(), 1);
  EXPECT_EQ(table.row(0).detail, "new.exe");
  EXPECT_EQ(dir.listing(), "keep.mis;keep.mis.saving;");
  EXPECT_EQ(readBytes(users), "the user's own");
}

TEST_F(AtomicSaveTest, WriteFailingMidwayKeepsTheOldFile) {
  // The file size limit makes the write fail partway, as a full disk would.
  std::string big(200000, 'x');
  table.append(row("提示消息", big, "2026/1/1", "01:00:00"));
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit old{};
  getrlimit(RLIMIT_FSIZE, &old);
  rlimit small = old;
  small.rlim_cur = 4096;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const int number = saveFails();
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(number, 101);
  EXPECT_EQ(fileErrorText(number), "Disk full");
  EXPECT_EQ(readBytes(file), oldBytes);
  EXPECT_EQ(dir.listing(), "keep.mis;");
}

TEST_F(AtomicSaveTest, ReadOnlyFolderKeepsTheOldFile) {
  std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_write | std::filesystem::perms::group_write |
                                               std::filesystem::perms::others_write,
                               std::filesystem::perm_options::remove);
  {
    std::ofstream probe(dir / "probe");
    if (probe) GTEST_SKIP() << "permissions do not restrict this user";
  }
  EXPECT_EQ(saveFails(), 5);
  EXPECT_EQ(readBytes(file), oldBytes);
  EXPECT_EQ(dir.listing(), "keep.mis;");
}

TEST_F(AtomicSaveTest, DirectoryInTheWay) {
  const auto folder = dir / "folder.mis";
  std::filesystem::create_directory(folder);
  writeBytes(folder / "inside", "x");
  file = folder;
  EXPECT_EQ(saveFails(), 5);
  EXPECT_EQ(readBytes(folder / "inside"), "x");
  EXPECT_EQ(dir.listing(), "folder.mis;keep.mis;");

  file = dir / "no folder" / "a.mis";
  EXPECT_EQ(saveFails(), 3);
  EXPECT_EQ(dir.listing(), "folder.mis;keep.mis;");
}

// ---- Files from elsewhere: daily missions, damaged bytes, huge lines ----

TEST_F(MissionFileTest, DailyMissionsFileLoadsAsWholeLinesInTimeText) {
  const auto file = dir / "everyday.mis";
  const std::string line1 = "提示消息$起床$2026/1/1$07:00:00";
  const std::string line2 = "执行程序$\\\\server\\c$\\a.exe$2026/1/1$12:00:00";
  writeBytes(file, line1 + "\r\n" + line2 + "\r\n");
  loadMissionFile(table, file);
  EXPECT_EQ(rowsOf(table), (std::vector<MisRecord>{row("", "", "", line1), row("", "", "", line2)}));
}

TEST_F(MissionFileTest, InvalidAndCutCharactersLoadAsTheyStandAndSaveBackWhole) {
  const auto file = dir / "a.mis";
  // A lead byte before a byte that is no second byte, a lone 0x80 between
  // texts, a NUL, a 0xFF; the file ends in the middle of a character.
  const std::string bytes = "a\x81 b" + S + "\x80" + S + std::string("c\0d", 3) + S + "\xFF" "e\r\n" +
                            "提示消息" + S + "x" + S + "y" + S + "08:00:00\xC6";
  writeBytes(file, bytes);
  loadMissionFile(table, file);
  ASSERT_EQ(table.count(), 2);
  // The lead byte takes the blank with it; the lone 0x80 is one more
  // separator, so detail and dateText are empty.
  EXPECT_EQ(table.row(0), row("a\x81 b", "", "", std::string("c\0d", 3) + S + "\xFF" "e"));
  EXPECT_EQ(table.row(1), row("提示消息", "x", "y", "08:00:00\xC6"));
  const std::vector<MisRecord> loaded = rowsOf(table);
  saveMissionFile(table, file);
  loadMissionFile(table, file);
  EXPECT_EQ(rowsOf(table), loaded);
}

TEST_F(MissionFileTest, TenMegabyteLine) {
  const auto file = dir / "big.mis";
  std::string huge;
  huge.reserve(10u << 20);
  while (huge.size() < (10u << 20)) huge += "長" + kGe + "x";
  fill({row("提示消息", huge, "2026/12/9", "08:00:00"), row("系统响铃", "", "2026/12/9", "09:00:00")});
  saveMissionFile(table, file);
  EXPECT_GT(std::filesystem::file_size(file), 10u << 20);
  loadMissionFile(table, file);
  ASSERT_EQ(table.count(), 2);
  EXPECT_EQ(table.row(0).detail, huge);
  EXPECT_EQ(table.row(1).timeText, "09:00:00");

  writeBytes(file, std::string(10u << 20, 'z'));  // one line, no separator, no line end
  loadMissionFile(table, file);
  ASSERT_EQ(table.count(), 1);
  EXPECT_EQ(table.row(0).timeText.size(), 10u << 20);
}

// A platform's replacement is the one step that puts the new file in place:
// it gets the complete new file, and its failure keeps the old one.
TEST_F(AtomicSaveTest, PlatformReplacementIsUsedAndItsFailureKeepsTheOldFile) {
  static std::string seen;
  setReplaceFileHook([](const std::filesystem::path& from, const std::filesystem::path&, std::error_code& error) {
    std::ifstream in(from, std::ios::binary);
    seen.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    error = std::make_error_code(std::errc::permission_denied);
  });
  const int number = saveFails();
  setReplaceFileHook(nullptr);
  EXPECT_EQ(number, 5);
  EXPECT_EQ(seen, misFileBytes(table, kMisSeparator));
  EXPECT_EQ(readBytes(file), oldBytes);
  EXPECT_EQ(dir.listing(), "keep.mis;");
  // Without the hook the plain rename works again.
  EXPECT_EQ(saveFails(), 0);
  EXPECT_EQ(readBytes(file), misFileBytes(table, kMisSeparator));
}

// ---- Large files ----

TEST_F(MissionFileTest, HundredThousandRowsLoadFast) {
  const int rows = 100000;
  for (int i = 0; i < rows; ++i) {
    table.append(row("提示消息", "第" + std::to_string(i) + "条" + kGe, "2026/12/9", "08:00:00"));
  }
  const auto file = dir / "big.mis";
  saveMissionFile(table, file);
  const auto start = std::chrono::steady_clock::now();
  loadMissionFile(table, file);
  const auto took = std::chrono::steady_clock::now() - start;
  ASSERT_EQ(table.count(), rows);
  EXPECT_EQ(table.row(rows - 1).detail, "第99999条" + kGe);
  EXPECT_EQ(table.row(rows - 1).imageIndex, 3);
  // Generous enough for a sanitizer build; a quadratic reader takes minutes.
  EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(took).count(), 3000);
}

// ---- The history beside the program ----

TEST_F(MissionFileTest, HistoryRecordsGoInWholeAndARecordACrashCutShortIsNeitherReadNorKept) {
  const auto file = dir / "history.log";
  const DateTimeText text;
  HistoryLog log(file, text);
  EXPECT_EQ(log.read().count(), 0);
  log.record({{2026, 12, 9, 12, 30, 0, 0}, "执行程序", "c:\\a.exe", MissionOutcome::CarriedOut, std::nullopt, {}});
  log.record({{2026, 12, 10, 8, 0, 5, 0}, "执行程序", "c:\\多行\r\n\t程序.exe", MissionOutcome::Failed,
              LocalDateTime{2026, 12, 9, 22, 0, 0, 0}, "系统找不到指定的文件。"});
  const std::string two = "2026/12/9 12:30:00\t执行程序\tc:\\a.exe\t已执行\t\r\n"
                          "2026/12/10 08:00:05\t执行程序\tc:\\多行   程序.exe\t执行失败\t"
                          "原定时间 2026/12/9 22:00:00, 系统找不到指定的文件。\r\n";
  EXPECT_EQ(readBytes(file), two);

  // The program ended while a record was being written.
  appendFileBytes(file, "2026/12/10 08:00:06\t提示消");
  HistoryRecords records = log.read();
  ASSERT_EQ(records.count(), 2);
  EXPECT_EQ(records.field(1, 2), "c:\\多行   程序.exe");
  EXPECT_EQ(records.field(1, 3), "执行失败");
  log.record({{2026, 12, 10, 9, 0, 0, 0}, "关闭计算机", "", MissionOutcome::Missed,
              LocalDateTime{2026, 12, 9, 23, 0, 0, 0}, {}});
  EXPECT_EQ(readBytes(file), two + "2026/12/10 09:00:00\t关闭计算机\t\t已错过\t原定时间 2026/12/9 23:00:00\r\n");
  log.clear();
  EXPECT_EQ(readBytes(file), "");
}

TEST_F(MissionFileTest, HistoryDropsItsOlderHalfOnceItGrowsPastAMegabyte) {
  const auto file = dir / "history.log";
  const std::string line = "2026/12/9 12:30:00\t执行程序\tc:\\a.exe\t已执行\t\r\n";
  std::string bytes;
  while (bytes.size() + line.size() <= kHistoryLimit) bytes += line;
  writeFileReplacing(file, bytes);
  const DateTimeText text;
  HistoryLog log(file, text);
  log.record({{2026, 12, 10, 7, 0, 0, 0}, "提示消息", "newest", MissionOutcome::CarriedOut, std::nullopt, {}});
  const std::string kept = readBytes(file);
  EXPECT_LE(kept.size(), kHistoryLimit / 2);
  EXPECT_GT(kept.size(), kHistoryLimit / 2 - line.size());
  // Whole records from the first byte, the newest last.
  EXPECT_EQ(kept.rfind(line, 0), 0u);
  const HistoryRecords records = log.read();
  EXPECT_EQ(records.field(records.count() - 1, 2), "newest");
  EXPECT_EQ(records.field(records.count() - 2, 2), "c:\\a.exe");
}
