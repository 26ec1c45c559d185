// Points in time and spans: formats in UTC and local time, local fields,
// normalised fields, arithmetic.

#include <gtest/gtest.h>

#include <string>

#include "symbase/afx.h"

namespace {

TEST(CTimeTest, FormatsFieldsAndSpans) {
  EXPECT_STREQ(CTime(86400 + 3661).FormatGmt("%Y-%m-%d %H:%M:%S"), "1970-01-02 01:01:01");
  EXPECT_STREQ(CTime().FormatGmt(nullptr), "");
  const std::string wide(300, 'x');  // longer than the first buffer
  EXPECT_STREQ(CTime().FormatGmt(wide.c_str()), wide.c_str());

  // Local fields as the time was made; fields out of range roll over.
  const CTime made(2026, 12, 7, 21, 5, 30);
  EXPECT_STREQ(made.Format("%Y-%m-%d %H:%M:%S"), "2026-12-07 21:05:30");
  const int fields[] = {made.GetYear(),   made.GetMonth(),  made.GetDay(),      made.GetHour(),
                        made.GetMinute(), made.GetSecond(), made.GetDayOfWeek()};
  const int expected[] = {2026, 12, 7, 21, 5, 30, 2};  // a Monday
  for (int i = 0; i < 7; ++i) EXPECT_EQ(fields[i], expected[i]) << i;
  EXPECT_EQ(CTime(2026, 12, 32, 0, 0, 0), CTime(2027, 1, 1, 0, 0, 0));

  const CTimeSpan span(1, 2, 3, 4);
  EXPECT_EQ(span.GetTotalSeconds(), 93784);
  EXPECT_EQ((made + span) - made, span);
  EXPECT_EQ((made - span).GetTime(), made.GetTime() - 93784);
}

}  // namespace
