#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>

#include "dates/TOLMCivilCalendar.h"
#include "dates/TOLMClock.h"
#include "dates/TOLMDate.h"
#include "dates/TOLMZoneScope.h"

namespace {

using Fields = std::array<std::int32_t, 6>;

Fields fieldsOf(const TOLMDate& d) {
  Fields f;
  std::copy(d.arrayReference(), d.arrayReference() + 6, f.begin());
  return f;
}

TOLMDate dateOf(const Fields& f) { return TOLMDate::initWithIntArray(f.data()); }

double utc(std::int64_t y, int mo, int d, int h, int mi, int s) {
  return static_cast<double>(TOLMCivilCalendar::daysFromCivil(y, mo, d) * 86400 + h * 3600 + mi * 60 + s);
}

// New York with the clock fixed at Monday 2005-07-04 09:05:00 EDT.
class TOLMDateParserTest : public ::testing::Test {
 protected:
  void SetUp() override { setNow(utc(2005, 7, 4, 13, 5, 0)); }
  void TearDown() override { TOLMClock::setSource({}); }
  static void setNow(double instant) {
    TOLMClock::setSource([instant] { return instant; });
  }

  TOLMZoneScope zone_{"America/New_York"};
};

void expectReads(const std::string& text, const Fields& expected) {
  const std::optional<TOLMDate> date = dateForString(text);
  ASSERT_TRUE(date.has_value()) << '"' << text << '"';
  EXPECT_EQ(fieldsOf(*date), expected) << '"' << text << '"';
  EXPECT_EQ(date->dayOfWeek(), TOLMDate::dayOfWeekForYear_month_day(expected[0], expected[1], expected[2]))
      << '"' << text << '"';
}

}  // namespace

TEST_F(TOLMDateParserTest, ReadsPrintedAndTypedForms) {
  struct Case {
    const char* text;
    Fields expected;
  };
  const Case cases[] = {
      {"07/04/2005 9:05:00", {2005, 7, 4, 9, 5, 0}},
      {"7/4/2005 9:05:00", {2005, 7, 4, 9, 5, 0}},
      {"12/25/2005 21:30:07", {2005, 12, 25, 21, 30, 7}},
      {"5/17/2004 21:30", {2004, 5, 17, 21, 30, 0}},
      {"07/04/0005 0:00:00", {5, 7, 4, 0, 0, 0}},
      {"7/4/2005", {2005, 7, 4, 0, 0, 0}},
      {"12/24", {2005, 12, 24, 0, 0, 0}},
      {"21:30:05", {2005, 7, 4, 21, 30, 5}},
      {"0:00:00", {2005, 7, 4, 0, 0, 0}},
      {"21:30", {2005, 7, 4, 21, 30, 0}},
      {"July 4, 2005", {2005, 7, 4, 0, 0, 0}},
      {"December 25, 5", {5, 12, 25, 0, 0, 0}},
      {"2005-07-04", {2005, 7, 4, 0, 0, 0}},
      {"2005-07-04 09:05", {2005, 7, 4, 9, 5, 0}},
      {"2005-07-04T09:05:00", {2005, 7, 4, 9, 5, 0}},
      {"4 July 2005", {2005, 7, 4, 0, 0, 0}},
      {"Jul 4 2005", {2005, 7, 4, 0, 0, 0}},
      {"4 jul. 2005 21:30", {2005, 7, 4, 21, 30, 0}},
      {"Sept 3", {2005, 9, 3, 0, 0, 0}},
      {"July 4th, 2005 at 9 p.m.", {2005, 7, 4, 21, 0, 0}},
      {"July 4 9:05", {2005, 7, 4, 9, 5, 0}},
      {"9:05 pm", {2005, 7, 4, 21, 5, 0}},
      {"9:05:30PM", {2005, 7, 4, 21, 5, 30}},
      {"9pm", {2005, 7, 4, 21, 0, 0}},
      {"9 am", {2005, 7, 4, 9, 0, 0}},
      {"12:30 AM", {2005, 7, 4, 0, 30, 0}},
      {"12 pm", {2005, 7, 4, 12, 0, 0}},
      {"today", {2005, 7, 4, 0, 0, 0}},
      {"tomorrow", {2005, 7, 5, 0, 0, 0}},
      {"yesterday", {2005, 7, 3, 0, 0, 0}},
      {"noon", {2005, 7, 4, 12, 0, 0}},
      {"midnight", {2005, 7, 4, 0, 0, 0}},
      {"tomorrow 7:30", {2005, 7, 5, 7, 30, 0}},
      {"today at noon", {2005, 7, 4, 12, 0, 0}},
      {"noon tomorrow", {2005, 7, 5, 12, 0, 0}},
      {"Tomorrow, 6:45 pm", {2005, 7, 5, 18, 45, 0}},
      {"  TODAY AT 9PM \n", {2005, 7, 4, 21, 0, 0}},
      {"2/29/2004 23:59:59", {2004, 2, 29, 23, 59, 59}},
      {"12/31/2147483647 23:59:59", {2147483647, 12, 31, 23, 59, 59}},
      // A time the zone skips keeps its fields; the instant is settled when used.
      {"3/8/2026 2:30:00", {2026, 3, 8, 2, 30, 0}},
  };
  for (const Case& c : cases) expectReads(c.text, c.expected);
}

TEST_F(TOLMDateParserTest, RelativeDaysFollowTheLocalDate) {
  struct Case {
    double now;
    const char* text;
    Fields expected;
  };
  const Case cases[] = {
      // 03:30 UTC is still the evening before in New York.
      {utc(2005, 7, 5, 3, 30, 0), "today", {2005, 7, 4, 0, 0, 0}},
      {utc(2005, 7, 5, 3, 30, 0), "9:05:00", {2005, 7, 4, 9, 5, 0}},
      {utc(2005, 7, 31, 12, 0, 0), "tomorrow", {2005, 8, 1, 0, 0, 0}},
      {utc(2005, 1, 1, 12, 0, 0), "yesterday noon", {2004, 12, 31, 12, 0, 0}},
      {utc(2004, 2, 28, 12, 0, 0), "tomorrow", {2004, 2, 29, 0, 0, 0}},
      {utc(2005, 1, 1, 12, 0, 0), "2/29", {-1, 0, 0, 0, 0, 0}},  // not in this year
  };
  for (const Case& c : cases) {
    setNow(c.now);
    if (c.expected[0] < 0) {
      EXPECT_EQ(fieldsOf(*dateForString(c.text)), (Fields{0, 0, 0, 0, 0, 0})) << c.text;
    } else {
      expectReads(c.text, c.expected);
    }
  }
}

TEST_F(TOLMDateParserTest, EveryPrintedFormReadsBack) {
  const Fields samples[] = {
      {2005, 7, 4, 9, 5, 0}, {2005, 12, 25, 21, 30, 7}, {2004, 2, 29, 0, 0, 0}, {1999, 1, 1, 23, 59, 59},
      {5, 6, 7, 1, 2, 3},    {1, 1, 1, 0, 0, 1},        {0, 7, 4, 12, 0, 0},    {2026, 11, 1, 1, 30, 0},
  };
  static constexpr int kAll[6] = {1, 2, 0, 3, 4, 5};
  for (const Fields& f : samples) {
    const TOLMDate d = dateOf(f);
    const std::string plain =
        d.stringValueWithComponents_ofLength_inMilitary_withLeadingZeros_withWordVales_withSeparators(kAll, 6, true, false,
                                                                                                       false, true);
    const std::string combined = std::to_string(f[1]) + "/" + std::to_string(f[2]) + "/" + std::to_string(f[0]) + " ";
    expectReads(d.convertToString(), f);
    expectReads(plain, f);
    expectReads(combined + d.timeString(), f);
    expectReads(combined + d.hourAndMinuteString(), {f[0], f[1], f[2], f[3], f[4], 0});
    expectReads(d.dateString(), {f[0], f[1], f[2], 0, 0, 0});
    expectReads(d.timeString(), {2005, 7, 4, f[3], f[4], f[5]});
    expectReads(d.hourAndMinuteString(), {2005, 7, 4, f[3], f[4], 0});
  }
}

TEST_F(TOLMDateParserTest, UnreadableTextGivesTheZeroDateAndEmptyTextNone) {
  EXPECT_FALSE(dateForString("").has_value());
  EXPECT_FALSE(dateForString(" \t\n").has_value());

  const char* const unreadable[] = {
      "garbage",          "13/1/2005",         "0/1/2005",        "2/30/2005",        "2/29/2005",
      "4/31/2005",        "7/0/2005",          "25:00",           "24:00:00",         "9:60",
      "9:05:60",          "9:5",               "0:30 am",         "13 pm",            "21:30 pm",
      "9",                "at",                ",",               "7/4/2005,",        "12 noon",
      "9:05:00.5",        "tomorrow tomorrow", "9:05 9:06",       "2005-13-01",       "2005-02-30",
      "05-07-04",         "-5",                "7/4/-2005",       "12/31/2147483648", "99999999999",
      "July",             "July 32, 2005",     "Juli 4 2005",     "ju 4 2005",        "7/4/2005 9:05:00 +0200",
      "\xC3\xA9t\xC3\xA9", "today at",         "2005-07-04T",     "now",              "1/1/2005 1/2/2005",
  };
  for (const char* text : unreadable) {
    const std::optional<TOLMDate> date = dateForString(text);
    ASSERT_TRUE(date.has_value()) << '"' << text << '"';
    EXPECT_EQ(fieldsOf(*date), (Fields{0, 0, 0, 0, 0, 0})) << '"' << text << '"';
    EXPECT_EQ(date->dayOfWeek(), 0) << '"' << text << '"';
  }
  const std::string tooLong(4096, '1');
  EXPECT_EQ(fieldsOf(*dateForString(tooLong)), (Fields{0, 0, 0, 0, 0, 0}));
}
