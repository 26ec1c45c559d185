// Points in time and spans: formats in UTC and local time, local fields,
// normalised fields, arithmetic.

#include <gtest/gtest.h>

#include <string>

#include "symbase/afx.h"

namespace {

TEST(CTimeTest, FormatsFieldsAndSpans) {
  const CTime epoch;
  EXPECT_STREQ(epoch.FormatGmt("%Y-%m-%d %H:%M:%S"), "1970-01-01 00:00:00");
  EXPECT_STREQ(CTime(86400 + 3661).FormatGmt("%d %H:%M:%S"), "02 01:01:01");
  EXPECT_STREQ(epoch.FormatGmt(""), "");
  EXPECT_STREQ(epoch.FormatGmt(nullptr), "");
  // A text longer than the first buffer comes whole.
  const std::string wide(300, 'x');
  EXPECT_STREQ(epoch.FormatGmt(wide.c_str()), wide.c_str());

  // Fields are local time, as the time was made.
  const CTime made(2026, 12, 7, 21, 5, 30);
  EXPECT_EQ(made.GetYear(), 2026);
  EXPECT_EQ(made.GetMonth(), 12);
  EXPECT_EQ(made.GetDay(), 7);
  EXPECT_EQ(made.GetHour(), 21);
  EXPECT_EQ(made.GetMinute(), 5);
  EXPECT_EQ(made.GetSecond(), 30);
  EXPECT_EQ(made.GetDayOfWeek(), 2);  // a Monday
  EXPECT_STREQ(made.Format("%Y-%m-%d %H:%M:%S"), "2026-12-07 21:05:30");
  // Fields out of range roll over into the next ones.
  EXPECT_EQ(CTime(2026, 12, 32, 0, 0, 0), CTime(2027, 1, 1, 0, 0, 0));

  const CTimeSpan span(1, 2, 3, 4);
  EXPECT_EQ(span.GetTotalSeconds(), 93784);
  EXPECT_EQ(span.GetDays(), 1);
  EXPECT_EQ((made + span) - made, span);
  EXPECT_LT(made - span, made);
  EXPECT_EQ((made - span).GetTime(), made.GetTime() - 93784);
}

}  // namespace
