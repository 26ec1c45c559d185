// What a row holds: the object record, and comments split over CMT1 and CMT2.

#include <gtest/gtest.h>

#include <string>

#include "support/symbol_base.h"
#include "symbase/results.h"

namespace {

// The 22-character comment key of %MW10: IND2, IND3 and IND4 blank.
const std::string kKey = std::string("MW   00010") + std::string(12, ' ');

std::string Members(const CTBObjetAts& o) {
  return std::string(o.m_repere) + "|" + std::string(o.m_symbole) + "|" +
         std::string(o.m_commentaire) + "|" + std::to_string(o.m_type) + "|" +
         std::to_string(o.m_flag);
}

TEST(ObjetAts, ConstructorsAndInitKeepTheirMembers) {
  CTBObjetAts reinitialised("%MW1", "One", "first", 1, 1);
  reinitialised.Init("%MW2", "Two", "", 0xFFFFFFFF, -1);
  const struct {
    CTBObjetAts object;
    const char* members;
  } cases[] = {
      {CTBObjetAts(), "|||4294967295|-1"},
      // Address and symbol stop at the first blank, the comment stays whole.
      {CTBObjetAts("%MW10 and more", "Pump_1 second", " a  comment ", 5, 3),
       "%MW10|Pump_1| a  comment |5|3"},
      {CTBObjetAts(" %MW10", " Pump", "", 0, -1), "|||0|-1"},
      {reinitialised, "%MW2|Two||4294967295|-1"},
  };
  for (const auto& c : cases) EXPECT_EQ(Members(c.object), c.members);
}

class CommentRows : public testing_support::SymbolBaseTest {};

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
    ASSERT_EQ(base->AppendComment(c.comment.c_str(), "MW   ", "00010", "", "", ""), 0);
    EXPECT_EQ(CommentOf(kKey), c.read);
    char cmt2[255];
    xbase::FieldCopy(base->m_fieldCmt2, cmt2, sizeof cmt2);
    EXPECT_EQ(cmt2, c.cmt2);
    ASSERT_EQ(base->DeleteComment(kKey.c_str()), 0);
  }
}

TEST_F(CommentRows, UpdateRewriteAndDelete) {
  ASSERT_EQ(base->AppendComment(std::string(300, 'a').c_str(), "MW   ", "00010", "", "", ""), 0);
  ASSERT_EQ(base->UpdateComment("short", kKey.c_str()), 0);
  EXPECT_EQ(CommentOf(kKey), "short");  // the old CMT2 was blanked

  ASSERT_EQ(base->RewriteComment("moved", kKey.c_str(), "MW   ", "00011", "", "", ""), 0);
  CString read;
  EXPECT_EQ(base->ReadCommentByKey(read, kKey.c_str()), TB_KEY_NOT_FOUND);
  EXPECT_EQ(CommentOf("MW   00011"), "moved");

  ASSERT_EQ(base->DeleteComment("MW   00011"), 0);
  EXPECT_EQ(base->ReadCommentByKey(read, "MW   00011"), TB_NO_ROW);
  EXPECT_EQ(base->UpdateComment("x", "MW   00011"), TB_NO_ROW);
}

}  // namespace
