#include "core/date_time_text.h"

#include <gtest/gtest.h>

#include <array>
#include <set>
#include <string>
#include <string_view>

#include "core/scheduler.h"

namespace {

LocalDateTime at(int y, int mo, int d, int h, int mi, int s) { return {y, mo, d, h, mi, s, 0}; }

DateTimeText withPatterns(const char* shortDate, const char* longTime, const char* am = "AM", const char* pm = "PM") {
  DateTimePatterns p;
  p.shortDate = shortDate;
  p.longTime = longTime;
  p.amDesignator = am;
  p.pmDesignator = pm;
  return DateTimeText(p);
}

}  // namespace

TEST(DateTimeTextTest, ChineseDefaults) {
  const DateTimeText text;  // yyyy/M/d, HH:mm:ss
  EXPECT_EQ(text.dateText(at(2026, 12, 9, 0, 0, 0)), "2026/12/9");
  EXPECT_EQ(text.dateText(at(2027, 1, 5, 0, 0, 0)), "2027/1/5");
  EXPECT_EQ(text.timeText(at(2026, 1, 1, 9, 5, 7)), "09:05:07");
  EXPECT_EQ(text.parseDate("2027/1/5"), (CivilDate{2027, 1, 5}));
  EXPECT_EQ(text.parseTime("23:59:59"), (TimeOfDay{23, 59, 59}));
  EXPECT_TRUE(text.isColonSeparated24Hour());
}

TEST(DateTimeTextTest, TwelveHourClockWithDesignator) {
  const DateTimeText english = withPatterns("M/d/yyyy", "h:mm:ss tt");
  EXPECT_EQ(english.timeText(at(2026, 1, 1, 0, 5, 0)), "12:05:00 AM");
  EXPECT_EQ(english.timeText(at(2026, 1, 1, 12, 0, 1)), "12:00:01 PM");
  EXPECT_EQ(english.timeText(at(2026, 1, 1, 15, 30, 0)), "3:30:00 PM");
  EXPECT_EQ(english.parseTime("12:05:00 AM"), (TimeOfDay{0, 5, 0}));
  EXPECT_EQ(english.parseTime("12:00:01 PM"), (TimeOfDay{12, 0, 1}));
  EXPECT_EQ(english.parseTime("3:30:00 pm"), (TimeOfDay{15, 30, 0}));
  EXPECT_EQ(english.parseTime("13:30:00 PM"), std::nullopt);
  EXPECT_EQ(english.parseTime("3:30:00"), std::nullopt);  // the designator is part of the format
  EXPECT_FALSE(english.isColonSeparated24Hour());
  EXPECT_EQ(english.dateText(at(2026, 12, 9, 0, 0, 0)), "12/9/2026");
  EXPECT_EQ(english.parseDate("12/9/2026"), (CivilDate{2026, 12, 9}));
}

TEST(DateTimeTextTest, ChineseDesignatorBeforeTheHour) {
  const DateTimeText zh = withPatterns("yyyy-MM-dd", "tt h:mm:ss", "上午", "下午");
  EXPECT_EQ(zh.timeText(at(2026, 1, 1, 15, 0, 0)), "下午 3:00:00");
  EXPECT_EQ(zh.parseTime("下午 3:00:00"), (TimeOfDay{15, 0, 0}));
  EXPECT_EQ(zh.parseTime("上午 12:00:00"), (TimeOfDay{0, 0, 0}));
  EXPECT_EQ(zh.dateText(at(2026, 3, 4, 0, 0, 0)), "2026-03-04");
}

TEST(DateTimeTextTest, DayFirstOrders) {
  const DateTimeText british = withPatterns("d/M/yyyy", "HH:mm:ss");
  EXPECT_EQ(british.dateText(at(2026, 3, 4, 0, 0, 0)), "4/3/2026");
  EXPECT_EQ(british.parseDate("4/3/2026"), (CivilDate{2026, 3, 4}));
  EXPECT_EQ(british.parseDate("31/2/2026"), std::nullopt);  // no such day

  const DateTimeText german = withPatterns("dd.MM.yyyy", "HH:mm:ss");
  EXPECT_EQ(german.dateText(at(2026, 3, 4, 0, 0, 0)), "04.03.2026");
  EXPECT_EQ(german.parseDate("04.03.2026"), (CivilDate{2026, 3, 4}));
  EXPECT_EQ(german.parseDate("29.02.2028"), (CivilDate{2028, 2, 29}));
  EXPECT_EQ(german.parseDate("29.02.2026"), std::nullopt);
  EXPECT_EQ(german.parseDate("04/03/2026"), std::nullopt);
  EXPECT_EQ(german.parseDate("04.03.2026 "), std::nullopt);
}

TEST(DateTimeTextTest, OtherSeparatorsAndTwoDigitYears) {
  const DateTimeText finnish = withPatterns("d.M.yy", "H.mm.ss");
  EXPECT_EQ(finnish.timeText(at(2026, 1, 1, 7, 8, 9)), "7.08.09");
  EXPECT_EQ(finnish.parseTime("7.08.09"), (TimeOfDay{7, 8, 9}));
  EXPECT_EQ(finnish.dateText(at(2026, 1, 2, 0, 0, 0)), "2.1.26");
  EXPECT_EQ(finnish.parseDate("2.1.26"), (CivilDate{2026, 1, 2}));
  EXPECT_EQ(finnish.parseDate("2.1.75"), (CivilDate{1975, 1, 2}));
  EXPECT_FALSE(finnish.isColonSeparated24Hour());
}

TEST(DateTimeTextTest, QuotedTextNamesAndPatternLettersInsideChineseCharacters) {
  DateTimePatterns p;
  p.shortDate = "yyyy'年'M'月'd'日' dddd";
  p.longTime = "H'h'mm";
  p.dayNames = {"星期日", "星期一", "星期二", "星期三", "星期四", "星期五", "星期六"};
  const DateTimeText text(p);
  EXPECT_EQ(text.dateText(at(2026, 12, 9, 0, 0, 0)), "2026年12月9日 星期三");
  EXPECT_EQ(text.parseDate("2026年12月9日 星期三"), (CivilDate{2026, 12, 9}));
  EXPECT_EQ(text.timeText(at(2026, 1, 1, 8, 5, 0)), "8h05");
  EXPECT_EQ(text.parseTime("8h05"), (TimeOfDay{8, 5, 0}));

  // An unquoted Chinese character whose trail byte is a pattern letter
  // (0xB0 0x64: its trail byte is 'd') stays a literal.
  DateTimePatterns q;
  q.shortDate = "yyyy\xB0\x64M/d";
  const DateTimeText odd(q);
  EXPECT_EQ(odd.dateText(at(2026, 5, 1, 0, 0, 0)), "2026\xB0\x64" "5/1");
}

TEST(DateTimeTextTest, MonthNamesParseLongestFirst) {
  DateTimePatterns p;
  p.shortDate = "d MMM yyyy";
  p.monthAbbreviations = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const DateTimeText text(p);
  EXPECT_EQ(text.dateText(at(2026, 9, 1, 0, 0, 0)), "1 Sep 2026");
  EXPECT_EQ(text.parseDate("1 sep 2026"), (CivilDate{2026, 9, 1}));
  EXPECT_EQ(text.parseDate("1 Sept 2026"), std::nullopt);
}

TEST(DateTimeTextTest, StatusClockLeavesOutMidnight) {
  const DateTimeText text;
  EXPECT_EQ(text.statusClockText({2026, 12, 9, 0, 0, 0, 999}), "2026/12/9");
  EXPECT_EQ(text.statusClockText(at(2026, 12, 9, 0, 0, 1)), "2026/12/9 00:00:01");
  EXPECT_EQ(text.statusClockText(at(2026, 12, 9, 14, 3, 0)), "2026/12/9 14:03:00");
}

TEST(DateTimeTextTest, RejectsTextsThatAreNoTime) {
  const DateTimeText text;
  for (const char* bad : {"", "12:30", "12:30:", "24:00:00", "12:60:00", "12:30:60", "ab:cd:ef", "12:30:00:00",
                          "1230:00:00", " 12:30:00"}) {
    EXPECT_EQ(text.parseTime(bad), std::nullopt) << bad;
  }
  for (const char* bad : {"", "2026/13/1", "2026/0/1", "2026/2/30", "2026/1", "2026/1/1/1"}) {
    EXPECT_EQ(text.parseDate(bad), std::nullopt) << bad;
  }
}

TEST(DateTimeTextTest, RoundTripsEverySecondOfADayUnderSeveralFormats) {
  for (const char* pattern : {"HH:mm:ss", "h:mm:ss tt", "tt hh:mm:ss", "H.mm.ss"}) {
    const DateTimeText text = withPatterns("yyyy/M/d", pattern);
    for (int s = 0; s < 24 * 3600; s += 7) {
      const LocalDateTime t = at(2026, 6, 1, s / 3600, s / 60 % 60, s % 60);
      ASSERT_EQ(text.parseTime(text.timeText(t)), (TimeOfDay{t.hour, t.minute, t.second})) << pattern << " " << s;
    }
  }
}

// The formats of real regions and symbols users typed, as the regional
// settings hand them over: a name or symbol that code page 936 cannot hold
// (Korean 오전/오후, Arabic ص/م, Hebrew, Thai or Arabic month names) arrives
// empty. Whatever they are, a morning time reads back as the morning (the
// scheduler's own reading), every second of the day and every day of the
// year read back as themselves, and no two days share a date text.
TEST(DateTimeTextTest, EveryRegionsTextsReadBackToTheSameMoment) {
  const std::array<std::string, 12> english{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const std::array<std::string, 12> lost{};
  std::array<std::string, 12> typedAlike;
  typedAlike.fill("M");
  struct Region {
    const char* name;
    const char* shortDate;
    const char* longTime;
    const char* am;
    const char* pm;
    const std::array<std::string, 12>& months;
    const char* morning;  // 09:05:07
    const char* evening;  // 21:05:07
    const char* date;     // 2026-12-09
  };
  const Region regions[] = {
      {"Chinese", "yyyy/M/d", "H:mm:ss", "上午", "下午", lost, "9:05:07", "21:05:07", "2026/12/9"},
      {"Chinese, 12-hour", "yyyy/M/d", "tt h:mm:ss", "上午", "下午", lost, "上午 9:05:07", "下午 9:05:07", "2026/12/9"},
      {"English", "M/d/yyyy", "h:mm:ss tt", "AM", "PM", english, "9:05:07 AM", "9:05:07 PM", "12/9/2026"},
      {"English, months named", "dd-MMM-yy", "h:mm:ss tt", "AM", "PM", english, "9:05:07 AM", "9:05:07 PM",
       "09-Dec-26"},
      {"German", "dd.MM.yyyy", "HH:mm:ss", "AM", "PM", lost, "09:05:07", "21:05:07", "09.12.2026"},
      {"Japanese", "yyyy/MM/dd", "H:mm:ss", "午前", "午後", lost, "9:05:07", "21:05:07", "2026/12/09"},
      {"Japanese, 12-hour", "yyyy/MM/dd", "tt h:mm:ss", "午前", "午後", lost, "午前 9:05:07", "午後 9:05:07",
       "2026/12/09"},
      {"Korean", "yyyy-MM-dd", "tt h:mm:ss", "", "", lost, "9:05:07", "21:05:07", "2026-12-09"},
      {"Arabic", "dd/MM/yyyy", "hh:mm:ss tt", "", "", lost, "09:05:07", "21:05:07", "09/12/2026"},
      {"Arabic, months named", "dd MMM yyyy", "hh:mm:ss tt", "", "", lost, "09:05:07", "21:05:07", "09 12 2026"},
      {"Hebrew", "dd/MM/yyyy", "HH:mm:ss", "", "", lost, "09:05:07", "21:05:07", "09/12/2026"},
      {"Thai, months named", "d MMM yyyy", "H:mm:ss", "AM", "PM", lost, "9:05:07", "21:05:07", "9 12 2026"},
      {"typed: the same symbol twice", "yyyy/M/d", "h:mm:ss tt", "#", "#", lost, "9:05:07", "21:05:07", "2026/12/9"},
      {"typed: symbols alike but for case", "yyyy/M/d", "h:mm:ss tt", "am", "AM", lost, "9:05:07", "21:05:07",
       "2026/12/9"},
      {"typed: one letter of symbols that begin alike", "yyyy/M/d", "t h:mm:ss", "午前", "午後", lost, "9:05:07",
       "21:05:07", "2026/12/9"},
      {"typed: 12-hour without a symbol", "yyyy/M/d", "h:mm:ss", "AM", "PM", lost, "9:05:07", "21:05:07",
       "2026/12/9"},
      {"typed: no seconds", "yyyy/M/d", "HH:mm", "AM", "PM", lost, "09:05", "21:05", "2026/12/9"},
      {"typed: month names alike", "d MMM yyyy", "HH:mm:ss", "AM", "PM", typedAlike, "09:05:07", "21:05:07",
       "9 12 2026"},
      {"typed: numbers run together", "yyyyMd", "HH:mm:ss", "AM", "PM", lost, "09:05:07", "21:05:07", "2026/12/9"},
      {"typed: no year", "M/d", "HH:mm:ss", "AM", "PM", lost, "09:05:07", "21:05:07", "2026/12/9"},
      {"typed: the hour in the date", "yyyy/M/d H", "HH:mm:ss", "AM", "PM", lost, "09:05:07", "21:05:07",
       "2026/12/9"},
  };
  for (const Region& r : regions) {
    SCOPED_TRACE(r.name);
    DateTimePatterns p;
    p.shortDate = r.shortDate;
    p.longTime = r.longTime;
    p.amDesignator = r.am;
    p.pmDesignator = r.pm;
    p.monthAbbreviations = r.months;
    const DateTimeText text(p);
    EXPECT_EQ(text.timeText(at(2026, 12, 9, 9, 5, 7)), r.morning);
    EXPECT_EQ(text.timeText(at(2026, 12, 9, 21, 5, 7)), r.evening);
    EXPECT_EQ(text.dateText(at(2026, 12, 9, 9, 5, 7)), r.date);
    const bool seconds = std::string_view(r.morning).size() > 5;
    for (int s = 0; s < 24 * 3600; s += 61) {
      const TimeOfDay time{s / 3600, s / 60 % 60, seconds ? s % 60 : 0};
      ASSERT_EQ(readMissionTime(text, text.timeText(at(2026, 12, 9, time.hour, time.minute, time.second))), time)
          << s;
    }
    std::set<std::string> dates;
    for (int day = 0; day < 365; ++day) {
      const LocalDateTime d = fromWallSecond(wallSecond(at(2026, 1, 1, 12, 0, 0)) + 86400LL * day);
      const std::string written = text.dateText(d);
      ASSERT_EQ(text.parseDate(written), (CivilDate{d.year, d.month, d.day})) << written;
      dates.insert(written);
    }
    EXPECT_EQ(dates.size(), 365u);
  }
}
