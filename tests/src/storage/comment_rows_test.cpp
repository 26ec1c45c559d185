// Comments split over CMT1 and CMT2 and read back.

#include <gtest/gtest.h>

#include <string>

#include "frame/checked_calls.h"
#include "storage/tb_data.h"
#include "support/temp_dir.h"
#include "symbase/host.h"

namespace {

// The 22-character comment key of %MW10: IND2, IND3 and IND4 blank.
const std::string kKeyText = std::string("MW   00010") + std::string(12, ' ');
const char* const kKey = kKeyText.c_str();

class CommentRows : public ::testing::Test {
 protected:
  void SetUp() override {
    HostClearRecords();
    ASSERT_EQ(data.Create(dir.slash().c_str(), 0), 0);
  }
  void TearDown() override {
    data.Close();
    EXPECT_TRUE(HostErrorReports().empty());
  }

  // Writes a comment under kKey and reads it back by key.
  CString RoundTrip(const std::string& comment) {
    EXPECT_EQ(data.AppendComment(comment.c_str(), "MW   ", "00010", "", "", ""), 0);
    CString read;
    EXPECT_EQ(data.ReadCommentByKey(read, kKey), 0);
    return read;
  }

  std::string Field(xbase::Field* field) {
    char buffer[255];
    xbase::FieldCopy(field, buffer, sizeof buffer);
    return buffer;
  }

  testing_support::TempDir dir;
  CTBData data;
};

TEST_F(CommentRows, SplitsAt254) {
  const std::string c254(254, 'a');
  EXPECT_EQ(std::string(RoundTrip(c254)), c254);
  EXPECT_EQ(Field(data.m_fieldCmt2), std::string(254, ' '));
}

TEST_F(CommentRows, TheTwoHundredFiftyFifthCharacterGoesToCmt2) {
  const std::string c255 = std::string(254, 'a') + "b";
  EXPECT_EQ(std::string(RoundTrip(c255)), c255);
  EXPECT_EQ(Field(data.m_fieldCmt2), "b" + std::string(253, ' '));
}

TEST_F(CommentRows, ABlankEndingCmt1IsLostOnReading) {
  std::string c300(300, 'x');
  c300[253] = ' ';
  std::string expected = c300;
  expected.erase(253, 1);
  EXPECT_EQ(std::string(RoundTrip(c300)), expected);
}

TEST_F(CommentRows, KeepsAtMost508Characters) {
  std::string c600;
  for (int i = 0; i < 600; ++i) c600 += static_cast<char>('a' + i % 26);
  EXPECT_EQ(std::string(RoundTrip(c600)), c600.substr(0, 508));
}

TEST_F(CommentRows, BlankCmt1WithCmt2ReadsAsCmt2) {
  ASSERT_EQ(
      data.AppendComment(std::string(254, ' ').append("abc").c_str(), "MW   ", "00010", "", "", ""),
      0);
  CString read;
  ASSERT_EQ(data.ReadCommentByKey(read, kKey), 0);
  EXPECT_STREQ(read, "abc");
}

TEST_F(CommentRows, UpdateRewriteAndDelete) {
  ASSERT_EQ(data.AppendComment(std::string(300, 'a').c_str(), "MW   ", "00010", "", "", ""), 0);
  ASSERT_EQ(data.UpdateComment("short", kKey), 0);
  CString read;
  ASSERT_EQ(data.ReadCommentByKey(read, kKey), 0);
  EXPECT_STREQ(read, "short");  // the old CMT2 was blanked

  ASSERT_EQ(data.RewriteComment("moved", kKey, "MW   ", "00011", "", "", ""), 0);
  EXPECT_EQ(data.ReadCommentByKey(read, kKey), TB_KEY_NOT_FOUND);
  ASSERT_EQ(data.ReadCommentByKey(read, "MW   00011"), 0);
  EXPECT_STREQ(read, "moved");

  ASSERT_EQ(data.DeleteComment("MW   00011"), 0);
  EXPECT_EQ(data.ReadCommentByKey(read, "MW   00011"), TB_NO_ROW);
  EXPECT_EQ(data.UpdateComment("x", "MW   00011"), TB_NO_ROW);
}

TEST(TrimRightBlanks, CutsAtTheLastNonBlank) {
  char text[] = "ab  ";
  EXPECT_EQ(CTBData::TrimRightBlanks(text, 4), 2);
  EXPECT_STREQ(text, "ab");
  char blanks[] = "   ";
  EXPECT_EQ(CTBData::TrimRightBlanks(blanks, 3), 0);
  EXPECT_STREQ(blanks, "");
}

}  // namespace
