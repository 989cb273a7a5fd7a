#include "core/error_text.h"

#include <gtest/gtest.h>

TEST(ErrorTextTest, FullStopOnlyAfterCharactersThatSortAfterIt) {
  EXPECT_EQ(errorBoxText("Failed to set data for 'Horavel'"), "Failed to set data for 'Horavel'");  // ' < .
  EXPECT_EQ(errorBoxText("Access denied"), "Access denied.");
  EXPECT_EQ(errorBoxText("Done."), "Done.");
  EXPECT_EQ(errorBoxText("Path /"), "Path /.");       // '/' sorts after '.'
  EXPECT_EQ(errorBoxText("Code -"), "Code -");        // '-' before '.'
  EXPECT_EQ(errorBoxText("文件不存在"), "文件不存在.");  // a Chinese character sorts after '.'
  EXPECT_EQ(errorBoxText(""), "");
}
