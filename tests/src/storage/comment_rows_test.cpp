// Comments split over CMT1 and CMT2, read back, updated, moved and deleted.

#include <gtest/gtest.h>

#include <string>

#include "storage/tb_data.h"
#include "support/temp_dir.h"
#include "symbase/host.h"
#include "symbase/results.h"

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

  std::string Read(const char* key) {
    CString read;
    EXPECT_EQ(data.ReadCommentByKey(read, key), 0);
    return std::string(read);
  }

  testing_support::TempDir dir;
  CTBData data;
};

TEST_F(CommentRows, SplitOverTwoFieldsAndReadBack) {
  std::string blankAt253(300, 'x'), alphabet;
  blankAt253[253] = ' ';
  for (int i = 0; i < 600; ++i) alphabet += static_cast<char>('a' + i % 26);
  const struct {
    std::string comment, read, cmt2;
  } cases[] = {
      {std::string(254, 'a'), std::string(254, 'a'), std::string(254, ' ')},
      {std::string(254, 'a') + "b", std::string(254, 'a') + "b", "b" + std::string(253, ' ')},
      // A blank ending CMT1 is lost on reading; at most 508 characters kept.
      {blankAt253, std::string(blankAt253).erase(253, 1),
       std::string(46, 'x') + std::string(208, ' ')},
      {alphabet, alphabet.substr(0, 508), alphabet.substr(254, 254)},
      {std::string(254, ' ') + "abc", "abc", "abc" + std::string(251, ' ')},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(data.AppendComment(c.comment.c_str(), "MW   ", "00010", "", "", ""), 0);
    EXPECT_EQ(Read(kKey), c.read);
    char cmt2[255];
    xbase::FieldCopy(data.m_fieldCmt2, cmt2, sizeof cmt2);
    EXPECT_EQ(cmt2, c.cmt2);
    ASSERT_EQ(data.DeleteComment(kKey), 0);
  }
}

TEST_F(CommentRows, UpdateRewriteAndDelete) {
  ASSERT_EQ(data.AppendComment(std::string(300, 'a').c_str(), "MW   ", "00010", "", "", ""), 0);
  ASSERT_EQ(data.UpdateComment("short", kKey), 0);
  EXPECT_EQ(Read(kKey), "short");  // the old CMT2 was blanked

  ASSERT_EQ(data.RewriteComment("moved", kKey, "MW   ", "00011", "", "", ""), 0);
  CString read;
  EXPECT_EQ(data.ReadCommentByKey(read, kKey), TB_KEY_NOT_FOUND);
  EXPECT_EQ(Read("MW   00011"), "moved");

  ASSERT_EQ(data.DeleteComment("MW   00011"), 0);
  EXPECT_EQ(data.ReadCommentByKey(read, "MW   00011"), TB_NO_ROW);
  EXPECT_EQ(data.UpdateComment("x", "MW   00011"), TB_NO_ROW);
}

}  // namespace
