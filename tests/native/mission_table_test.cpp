#include "core/mission_table.h"

#include <gtest/gtest.h>

#include <iterator>
#include <stdexcept>
#include <utility>
#include <vector>

#include "core/cp936.h"
#include "core/mis_kind.h"

namespace {

MisRecord rec(const char* kind, const char* detail) { return {kind, detail, "2026/12/9", "12:30:00", 0}; }

struct ObserverLog : MisTableObserver {
  std::vector<std::pair<int, int>> rows;
  std::vector<int> selections;
  void rowsChanged(int firstRow, int lastRow) override { rows.emplace_back(firstRow, lastRow); }
  void selectionChanged(int index) override { selections.push_back(index); }
};

}  // namespace

TEST(MisKindTest, NamesAreCodePage936BytesInDispatchOrder) {
  // The narrow literals must be compiled to GBK, the encoding of every file.
  EXPECT_EQ(kMisKinds[0].name, "\xB9\xD8\xB1\xD5\xBC\xC6\xCB\xE3\xBB\xFA");  // 关闭计算机
  EXPECT_EQ(kMisKinds[8].name, "\xB7\xA2\xCB\xCD\xD3\xCA\xBC\xFE");          // 发送邮件
  // The escapes in the program spell the names the users read.
  const char* later[] = {"锁定计算机", "关闭显示器", "计算机睡眠", "计算机休眠"};
  for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(kMisKinds[9 + i].name, later[i]) << i;
  const MisAction expected[] = {MisAction::Shutdown, MisAction::Reboot,     MisAction::Logoff,  MisAction::ExecPro,
                                MisAction::OpenFile, MisAction::Message,    MisAction::Ring,    MisAction::OpenUrl,
                                MisAction::Email,    MisAction::Lock,       MisAction::MonitorOff,
                                MisAction::Sleep,    MisAction::Hibernate};
  const int pictures[] = {0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  const int pages[] = {0, 0, 0, 1, 2, 3, 4, 5, 6, 0, 0, 0, 0};
  ASSERT_EQ(kMisKinds.size(), std::size(expected));
  for (std::size_t i = 0; i < kMisKinds.size(); ++i) {
    EXPECT_EQ(kMisKinds[i].action, expected[i]) << i;
    EXPECT_EQ(kMisKinds[i].imageIndex, pictures[i]) << i;
    EXPECT_EQ(kMisKinds[i].editorPage, pages[i]) << i;
  }
}

TEST(MisKindTest, FindsOnlyExactNames) {
  ASSERT_NE(findMisKind("系统响铃"), nullptr);
  EXPECT_EQ(findMisKind("系统响铃")->action, MisAction::Ring);
  EXPECT_EQ(findMisKind("系统响铃 "), nullptr);
  EXPECT_EQ(findMisKind("系统"), nullptr);
  EXPECT_EQ(findMisKind(""), nullptr);
}

TEST(Cp936Test, TrailByteIsNeverASeparator) {
  // "個" is 0x82 0x80: its trail byte equals the mission file separator.
  const std::string text = "\x82\x80" "a\x80" "b";
  EXPECT_EQ(cp936::findChar(text, '\x80'), 3u);
  EXPECT_EQ(cp936::findChar("\xB0\x41" "A", 'A'), 2u);  // trail byte 0x41 is 'A'
  EXPECT_EQ(cp936::findChar("abc", '$'), std::string_view::npos);
  // A lead byte at the very end stands alone.
  EXPECT_EQ(cp936::charLength("a\x81", 1), 1u);
}

TEST(MisTableTest, AppendGivesIndexAndKeepsDuplicates) {
  MisTable table;
  EXPECT_EQ(table.append(rec("执行程序", "a.exe")), 0);
  EXPECT_EQ(table.append(rec("执行程序", "a.exe")), 1);
  EXPECT_EQ(table.count(), 2);
  EXPECT_EQ(table.row(0), table.row(1));
  EXPECT_EQ(table.selectedIndex(), -1);
}

TEST(MisTableTest, TextsAreStoredUntouched) {
  MisTable table;
  MisRecord odd{" 提示消息 ", "第一行\r\n第二行", "", "  ", 6};
  odd.detail.push_back('\0');
  odd.detail += "\x82\x80\x80";
  table.append(odd);
  EXPECT_EQ(table.row(0), odd);
}

TEST(MisTableTest, RemoveMovesLaterRowsUpAndSelectionFollows) {
  MisTable table;
  table.append(rec("执行程序", "0"));
  table.append(rec("执行程序", "1"));
  table.append(rec("执行程序", "2"));
  table.select(2);
  table.remove(0);
  ASSERT_EQ(table.count(), 2);
  EXPECT_EQ(table.row(0).detail, "1");
  EXPECT_EQ(table.row(1).detail, "2");
  EXPECT_EQ(table.selectedIndex(), 1);
  table.remove(1);  // the selected row itself
  EXPECT_EQ(table.selectedIndex(), -1);
  EXPECT_EQ(table.row(0).detail, "1");
}

TEST(MisTableTest, OverwriteChangesOnlyThatRowInPlace) {
  MisTable table;
  table.append(rec("执行程序", "0"));
  table.append(rec("打开文件", "1"));
  table.append(rec("打开网页", "2"));
  table.select(1);
  const MisRecord replacement{"重启计算机", "重启计算机", "2027/1/1", "08:00:00", 0};
  table.overwrite(1, replacement);
  EXPECT_EQ(table.row(0).detail, "0");
  EXPECT_EQ(table.row(1), replacement);
  EXPECT_EQ(table.row(2).detail, "2");
  EXPECT_EQ(table.selectedIndex(), 1);
}

TEST(MisTableTest, RenameKindTakesAnyText) {
  MisTable table;
  table.append(rec("系统响铃", "内置铃声"));
  table.renameKind(0, "随便什么");
  EXPECT_EQ(table.row(0).kindName, "随便什么");
  EXPECT_EQ(table.row(0).detail, "内置铃声");
}

TEST(MisTableTest, ClearEmptiesAndDropsSelection) {
  MisTable table;
  table.append(rec("执行程序", "0"));
  table.select(0);
  table.clear();
  EXPECT_EQ(table.count(), 0);
  EXPECT_EQ(table.selectedIndex(), -1);
}

TEST(MisTableTest, BadIndexesAreRefused) {
  MisTable table;
  table.append(rec("执行程序", "0"));
  EXPECT_THROW(table.row(1), std::out_of_range);
  EXPECT_THROW(table.row(-1), std::out_of_range);
  EXPECT_THROW(table.remove(1), std::out_of_range);
  EXPECT_THROW(table.overwrite(-1, rec("a", "b")), std::out_of_range);
  EXPECT_THROW(table.select(1), std::out_of_range);
  EXPECT_EQ(table.count(), 1);
}

TEST(MisTableTest, ObserverHearsEveryChange) {
  MisTable table;
  ObserverLog log;
  table.addObserver(&log);
  table.append(rec("a", "0"));
  table.append(rec("a", "1"));
  table.select(1);
  table.overwrite(0, rec("b", "0"));
  table.remove(0);  // the selection moves up with its row
  table.clear();
  // A load replaces every row and tells the list once, not once a row; so
  // does a new day that moves repeating rows on.
  table.select(-1);
  table.assign(std::vector<MisRecord>(1000, rec("a", "x")));
  table.redate({{700, "2026/12/10"}, {5, "2026/12/10"}, {900, "2026/12/11"}});
  EXPECT_EQ(table.row(5).dateText, "2026/12/10");
  EXPECT_EQ(table.row(6).dateText, "2026/12/9");
  table.select(999);
  table.assign({rec("b", "0")});
  EXPECT_EQ(log.rows, (std::vector<std::pair<int, int>>{{0, -1}, {1, -1}, {0, 0}, {0, -1}, {0, -1}, {0, -1},
                                                         {5, 900}, {0, -1}}));
  EXPECT_EQ(log.selections, (std::vector<int>{1, 0, -1, 999, -1}));
  EXPECT_EQ(table.count(), 1);
  EXPECT_EQ(table.selectedIndex(), -1);
  table.removeObserver(&log);
  table.append(rec("a", "0"));
  EXPECT_EQ(log.rows.size(), 8u);
}
