#include "storage/daily_missions.h"

#include <gtest/gtest.h>

#include <new>
#include <string>
#include <vector>

#include "storage/file_error.h"
#include "storage/file_io.h"
#include "storage/mission_file.h"
#include "storage_test_support.h"

namespace {

// A row as everyday.mis gives it: it repeats every day.
MisRecord rec(std::string kind, std::string detail, std::string date, std::string time, int picture) {
  return {std::move(kind), std::move(detail), std::move(date), std::move(time), picture, kDailyFileRule};
}

std::vector<MisRecord> rowsOf(const MisTable& table) {
  std::vector<MisRecord> rows;
  for (int i = 0; i < table.count(); ++i) rows.push_back(table.row(i));
  return rows;
}

class DailyMissionsTest : public ::testing::Test {
 protected:
  TempDir dir;
  std::filesystem::path file = dailyMissionsPath(dir.path());
  DateTimeText text;  // yyyy/M/d
  ManualClock clock{{2026, 12, 9, 7, 0, 0, 0}};
  MisTable table;

  void loadAtStart() { loadDailyMissions(table, file, text, clock); }
};

}  // namespace

TEST_F(DailyMissionsTest, StartLoadReDatesEveryRowToToday) {
  writeBytes(file,
             "执行程序$C:\\a.exe$2020/1/1$08:00:00\r\n"
             "提示消息$个$\r\n"   // two '$': no date, empty time
             "系统响铃$09:30:00\r\n"  // one '$'
             "打开网页$http://a/?x=$y$2020/1/1$10:00:00\r\n");
  table.append(rec("old", "old", "old", "old", 0));
  loadAtStart();
  EXPECT_EQ(rowsOf(table), (std::vector<MisRecord>{
                               rec("执行程序", "C:\\a.exe", "2026/12/9", "08:00:00", 1),
                               rec("提示消息", "个", "2026/12/9", "", 3),
                               rec("系统响铃", "", "2026/12/9", "09:30:00", 4),
                               rec("打开网页", "http://a/?x=", "2026/12/9", "2020/1/1$10:00:00", 5),
                           }));
}

TEST_F(DailyMissionsTest, MarkingCreatesTheFileAndKeepsTheMissionsDate) {
  const MisRecord mission = rec("提示消息", "交报告\r\n别忘了附件", "2025/6/30", "17:00:00", 3);
  appendDailyMission(file, mission);
  appendDailyMission(file, mission);  // no search for duplicates
  // The line break inside the reminder is escaped: one line per mission.
  const std::string line = "提示消息$交报告\xFF" "0D\xFF" "0A别忘了附件$2025/6/30$17:00:00\r\n";
  EXPECT_EQ(readBytes(file), line + line);
  EXPECT_EQ(dir.listing(), "everyday.mis;");

  loadAtStart();
  MisRecord today = mission;
  today.dateText = "2026/12/9";
  EXPECT_EQ(rowsOf(table), (std::vector<MisRecord>{today, today}));
}

TEST_F(DailyMissionsTest, MarkingKeepsLinesItDidNotWrite) {
  // A hand-edited file: last line without line end.
  writeBytes(file, "系统响铃$内置铃声$2026/1/1$12:00:00");
  appendDailyMission(file, rec("打开文件", "C:\\$Recycle\\a.txt", "2026/1/2", "13:00:00", 2));
  loadAtStart();
  EXPECT_EQ(rowsOf(table),
            (std::vector<MisRecord>{rec("系统响铃", "内置铃声", "2026/12/9", "12:00:00", 4),
                                    rec("打开文件", "C:\\$Recycle\\a.txt", "2026/12/9", "13:00:00", 2)}));
  EXPECT_EQ(readBytes(file),
            "系统响铃$内置铃声$2026/1/1$12:00:00\r\n"
            "打开文件$C:\\\xFF" "24Recycle\\a.txt$2026/1/2$13:00:00\r\n");

  // Past the first empty line nothing is read; a new line goes in before it,
  // where it will be read, and what follows stays.
  writeBytes(file, "a$b$c$d\r\n\r\nkept$1$2$3\r\n");
  appendDailyMission(file, rec("x", "y", "z", "w", 0));
  EXPECT_EQ(readBytes(file), "a$b$c$d\r\nx$y$z$w\r\n\r\nkept$1$2$3\r\n");
}

TEST_F(DailyMissionsTest, FailedMarkLeavesTheFileAsItWas) {
  writeBytes(file, "a$b$c$d\r\n");
  // The new file cannot take the old one's place.
  setReplaceFileHook([](const std::filesystem::path&, const std::filesystem::path&, std::error_code& error) {
    error = std::make_error_code(std::errc::permission_denied);
  });
  EXPECT_THROW(appendDailyMission(file, rec("x", "y", "z", "w", 0)), FileError);
  setReplaceFileHook(nullptr);
  EXPECT_EQ(readBytes(file), "a$b$c$d\r\n");
  EXPECT_EQ(dir.listing(), "everyday.mis;");
}

// ---- The maintenance dialog's side ----

TEST_F(DailyMissionsTest, MaintenanceWithoutFileCreatesAnEmptyOne) {
  DailyMissionsMaintenance maintenance;
  MisTable list;
  maintenance.load(list, file, text, clock);
  EXPECT_EQ(list.count(), 0);
  EXPECT_FALSE(std::filesystem::exists(file));
  maintenance.save(list, file);
  EXPECT_TRUE(std::filesystem::is_regular_file(file));
  EXPECT_EQ(std::filesystem::file_size(file), 0u);
}

TEST_F(DailyMissionsTest, MaintenanceRewritesWithTodaysDateAndWithoutDeletedRows) {
  writeBytes(file,
             "执行程序$C:\\a.exe$2020/1/1$08:00:00\r\n"
             "系统响铃$09:30:00\n"
             "打开网页$http://a$2024/2/29$10:00:00\r\n"
             "$$$$more$\r\n");  // further separators stay in timeText as they are
  DailyMissionsMaintenance maintenance;
  MisTable list;
  maintenance.load(list, file, text, clock);
  ASSERT_EQ(list.count(), 4);
  EXPECT_EQ(list.row(1), rec("系统响铃", "", "2026/12/9", "09:30:00", 4));

  maintenance.save(list, file);  // unchanged: well-formed lines, today's date
  EXPECT_EQ(readBytes(file),
            "执行程序$C:\\a.exe$2026/12/9$08:00:00\r\n"
            "系统响铃$$2026/12/9$09:30:00\r\n"
            "打开网页$http://a$2026/12/9$10:00:00\r\n"
            "$$2026/12/9$$more$\r\n");

  list.remove(0);
  maintenance.save(list, file);
  loadAtStart();
  EXPECT_EQ(rowsOf(table), rowsOf(list));

  list.clear();
  maintenance.save(list, file);
  EXPECT_EQ(readBytes(file), "");
}

TEST_F(DailyMissionsTest, MaintenanceKeepsLinesPastTheFirstEmptyLine) {
  writeBytes(file, "a$b$c$d\r\n\r\nkept$1$2$3\r\nkept too\r\n");
  DailyMissionsMaintenance maintenance;
  MisTable list;
  maintenance.load(list, file, text, clock);
  ASSERT_EQ(list.count(), 1);
  maintenance.save(list, file);
  EXPECT_EQ(readBytes(file), "a$b$2026/12/9$d\r\n\r\nkept$1$2$3\r\nkept too\r\n");
  list.clear();
  maintenance.save(list, file);
  EXPECT_EQ(readBytes(file), "\r\nkept$1$2$3\r\nkept too\r\n");
}

TEST_F(DailyMissionsTest, MillionsOfLineEndsAfterTheMissionsTakeNoRoomWhenRead) {
  const std::string flood = "a$b$c$d\r\n\r\n" + std::string(4'000'000, '\n');
  std::size_t end = 0;
  const std::vector<MisRecord> rows = misFileRows(flood, kDailySeparator, "2026/12/9", &end);
  EXPECT_EQ(rows.size(), 1u);
  EXPECT_LT(rows.capacity(), 16u);  // room for the lines read, not for every line end
  EXPECT_EQ(end, 9u);
}

TEST_F(DailyMissionsTest, MaintenanceNeverOverwritesAFileItCouldNotRead) {
  std::filesystem::create_directory(file);
  writeBytes(file / "inside", "x");
  DailyMissionsMaintenance maintenance;
  MisTable list;
  list.append(rec("a", "b", "c", "d", 0));
  EXPECT_THROW(maintenance.load(list, file, text, clock), FileError);
  EXPECT_TRUE(maintenance.unreadable());
  EXPECT_EQ(list.count(), 0);
  EXPECT_NO_THROW(maintenance.save(list, file));
  EXPECT_EQ(readBytes(file / "inside"), "x");
  EXPECT_EQ(dir.listing(), "everyday.mis;");

  // Readable again: the next load clears the mark.
  std::filesystem::remove_all(file);
  maintenance.load(list, file, text, clock);
  EXPECT_FALSE(maintenance.unreadable());
}

// Running out of memory while reading is a failed read like any other: the
// file is marked, the fault is a file fault (not "std::bad_alloc"), and
// closing the dialog leaves the file as it was.
TEST_F(DailyMissionsTest, MaintenanceNeverOverwritesAFileItRanOutOfMemoryReading) {
  struct NoMemoryLeft final : Clock {
    LocalDateTime now() const override { throw std::bad_alloc(); }
  };
  writeBytes(file, "a$b$c$d\r\n");
  DailyMissionsMaintenance maintenance;
  MisTable list;
  try {
    maintenance.load(list, file, text, NoMemoryLeft{});
    ADD_FAILURE() << "no fault";
  } catch (const FileError& e) {
    EXPECT_EQ(e.number(), file_error::kNotEnoughMemory);
  }
  EXPECT_TRUE(maintenance.unreadable());
  maintenance.save(list, file);
  EXPECT_EQ(readBytes(file), "a$b$c$d\r\n");
}
