// Creating, modifying and deleting single objects.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/symbol_base.h"

namespace {

using testing_support::MainRow;

const std::string kMw10Key = std::string("MW   00010") + std::string(12, ' ');

class ObjectRows : public testing_support::SymbolBaseTest {};

TEST_F(ObjectRows, CreateWritesTheKeyFieldsSymbolAndComment) {
  Create("%MW10", "Pump_1", "the pump");
  const MainRow row = LiveRow("%MW10");
  EXPECT_EQ(row.key, kMw10Key);
  EXPECT_EQ(row.symbole, "Pump_1");
  EXPECT_EQ(row.iscmt, "O");
  EXPECT_EQ(CommentOf(kMw10Key), "the pump");
  long date = 0;
  EXPECT_EQ(TBLastModificationDate(base, &date), 0);
  EXPECT_GT(date, 0);
}

TEST_F(ObjectRows, ModuleObjectKeysFollowTheAddressingMode) {
  Create("%IW12.2:X3", "In_bit");
  EXPECT_EQ(LiveRow("%IW12.2:X3").key, "VIWX 0000C000020000003");
  HostSetAddressingMode(1);
  Create("%IW12.3:X3", "In_bit2");
  EXPECT_EQ(LiveRow("%IW12.3:X3").key, "VIWX 00012000030000003");
}

TEST_F(ObjectRows, ATakenSymbolGives101AndTheCarryingAddress) {
  Create("%MW10", "Pump_1");
  CTBObjetAts second("%MW11", "Pump_1", "ignored", 0, -1);
  EXPECT_EQ(TBCreateObject(base, &second), 101);
  EXPECT_STREQ(second.m_repere, "%MW10");
  EXPECT_EQ(LiveRowCount(), 1);
}

TEST_F(ObjectRows, BlankSymbolsAreNone) {
  Create("%MW1");
  Create("%MW2");
  Create("%MW3", "                                ");
  CTBObjetAts spaced("%MW4", "", "", 0, -1);
  spaced.m_symbole = "  Spaced  ";  // the host's preparation trims it
  ASSERT_EQ(TBCreateObject(base, &spaced), 0);
  EXPECT_EQ(LiveRowCount(), 4);
  EXPECT_EQ(LiveRow("%MW4").symbole, "Spaced");
  EXPECT_EQ(LiveRow("%MW1").iscmt, "");
}

TEST_F(ObjectRows, CommentsOfEveryLength) {
  Create("%MW1", "", std::string(254, 'a').c_str());
  Create("%MW2", "", (std::string(254, 'a') + "b").c_str());
  std::string long_comment;
  for (int i = 0; i < 600; ++i) long_comment += static_cast<char>('a' + i % 26);
  Create("%MW3", "", long_comment.c_str());
  auto key = [](const char* n) { return std::string("MW   0000") + n + std::string(12, ' '); };
  EXPECT_EQ(CommentOf(key("1")), std::string(254, 'a'));
  EXPECT_EQ(CommentOf(key("2")), std::string(254, 'a') + "b");
  EXPECT_EQ(CommentOf(key("3")), long_comment.substr(0, 508));
}

TEST_F(ObjectRows, ModifySymbolOnlyClearsTheObjectsComment) {
  Create("%MW10", "Old", "kept");
  CTBObjetAts object("%MW10", "New", "not written", 0, -1);
  EXPECT_EQ(TBModifyObject(base, &object, 0), 0);
  EXPECT_TRUE(object.m_commentaire.IsEmpty());
  EXPECT_EQ(std::string(object.m_repere), "%MW10" + std::string(31, ' '));
  EXPECT_EQ(LiveRow("%MW10").symbole, "New");
  EXPECT_EQ(CommentOf(kMw10Key), "kept");
}

TEST_F(ObjectRows, ModifyCommentOnlyIgnoresAUsedSymbol) {
  Create("%MW10", "Pump");
  Create("%MW11", "Other");
  CTBObjetAts object("%MW10", "Other", "now commented", 0, -1);
  EXPECT_EQ(TBModifyObject(base, &object, 1), 0);
  EXPECT_TRUE(object.m_symbole.IsEmpty());
  const MainRow row = LiveRow("%MW10");
  EXPECT_EQ(row.symbole, "Pump");
  EXPECT_EQ(row.iscmt, "O");
  EXPECT_EQ(CommentOf(kMw10Key), "now commented");
}

TEST_F(ObjectRows, ModifyBothAndEmptyingAComment) {
  Create("%MW10", "Pump", "first");
  CTBObjetAts object("%MW10", "Valve", "", 0, -1);
  EXPECT_EQ(TBModifyObject(base, &object, 2), 0);
  const MainRow row = LiveRow("%MW10");
  EXPECT_EQ(row.symbole, "Valve");
  EXPECT_EQ(row.iscmt, "O");  // the comment row stays, blank
  EXPECT_EQ(CommentOf(kMw10Key), "");
}

TEST_F(ObjectRows, ModifyToItsOwnSymbolIs101) {
  Create("%MW10", "Pump");
  CTBObjetAts object("%MW10", "Pump", "", 0, -1);
  EXPECT_EQ(TBModifyObject(base, &object, 0), 101);
}

TEST_F(ObjectRows, ModifyOfAnUnknownAddressChangesNothing) {
  Create("%MW10", "Pump");
  CTBObjetAts object("%MW99", "Valve", "", 0, -1);
  const int result = TBModifyObject(base, &object, 2);
  EXPECT_TRUE(result == 102 || result == 103) << result;
  EXPECT_EQ(LiveRow("%MW10").symbole, "Pump");
}

TEST_F(ObjectRows, OtherModesStillMarkTheBaseModified) {
  Create("%MW10", "Pump");
  TBCloseBaseSymbol(base);
  TBOpenBaseSymbol(base, dir.slash().c_str());
  long date = 0;
  EXPECT_EQ(TBLastModificationDate(base, &date), -1);
  CTBObjetAts object("%MW10", "Valve", "text", 0, -1);
  EXPECT_EQ(TBModifyObject(base, &object, 5), 0);
  EXPECT_EQ(LiveRow("%MW10").symbole, "Pump");
  EXPECT_EQ(TBLastModificationDate(base, &date), 0);
}

TEST_F(ObjectRows, DeleteMarksBothRows) {
  Create("%MW10", "Pump", "commented");
  Create("%MW11", "Valve");
  ASSERT_EQ(TBCloseBaseSymbol(base), 0);
  ASSERT_EQ(TBOpenBaseSymbol(base, dir.slash().c_str()), 0);
  CTBObjetAts first("%MW10", "", "", 0, -1);
  EXPECT_EQ(TBDelObject(base, &first), 0);
  long date = 0;
  EXPECT_EQ(TBLastModificationDate(base, &date), 0);  // the deletion dates the base
  CTBObjetAts second("%MW11", "", "", 0, -1);
  EXPECT_EQ(TBDelObject(base, &second), 0);
  EXPECT_EQ(LiveRowCount(), 0);
  EXPECT_EQ(MainRows().size(), 2u);  // marked, not removed
  EXPECT_EQ(CommentOf(kMw10Key), "<none>");
  // The symbol is free again.
  Create("%MW12", "Pump");
  CTBObjetAts missing("%MW10", "", "", 0, -1);
  EXPECT_NE(TBDelObject(base, &missing), 0);
  // A row marked commented whose comment row is lost: the failed comment
  // deletion is the result.
  Create("%MW13", "", "lost");
  ASSERT_EQ(base->DeleteComment(LiveRow("%MW13").key.c_str()), 0);
  CTBObjetAts lost("%MW13", "", "", 0, -1);
  const int result = TBDelObject(base, &lost);
  EXPECT_TRUE(result == 102 || result == 103) << result;
}

TEST_F(ObjectRows, LockDropsDeletedRowsForGood) {
  Create("%MW10", "Pump", "commented");
  Create("%MW11", "Valve");
  CTBObjetAts first("%MW10", "", "", 0, -1);
  ASSERT_EQ(TBDelObject(base, &first), 0);
  ASSERT_EQ(TBLockBaseSymbol(base), 0);
  ASSERT_EQ(TBUnlockBaseSymbol(base, dir.slash().c_str()), 0);
  EXPECT_EQ(MainRows().size(), 1u);
  EXPECT_EQ(xbase::TableRecordCount(base->m_commentTable), 0);
  EXPECT_EQ(LiveRow("%MW11").symbole, "Valve");
}

}  // namespace
