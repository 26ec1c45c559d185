// Relations: filter, stable sort, deleted rows hidden, rows changed or
// deleted during the walk, malformed queries.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/xbase/table_test_util.h"
#include "support/temp_dir.h"
#include "xbase/engine.h"

namespace xbase {
namespace {

using testing_support::TempDir;
using testing_tables::MainTable;

class RelationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(t_.ok());
    ASSERT_EQ(kOk, t_.Append({"VIW", "00001", "%IW1.0", "Pump"}));   // 1
    ASSERT_EQ(kOk, t_.Append({"MW", "00005", "%MW5", "Count"}));     // 2
    ASSERT_EQ(kOk, t_.Append({"V", "00001", "%I1.2", "Alarm"}));     // 3
    ASSERT_EQ(kOk, t_.Append({"MO", "00011", "%I11.0", "Other"}));   // 4
    ASSERT_EQ(kOk, t_.Append({"MOIWX", "00001", "%IW1.0:X4", ""}));  // 5
    ASSERT_EQ(kOk, t_.Append({"V", "00001", "%Q1.0", "Alarm"}));     // 6
    ASSERT_EQ(kOk, TableUnlock(t_.table));
    relation_ = RelationCreate(t_.table);
    ASSERT_NE(nullptr, relation_);
  }
  std::vector<long> WalkRelation() {
    std::vector<long> rows;
    for (int r = RelationTop(relation_); r == kOk; r = RelationSkip(relation_, 1)) {
      rows.push_back(TableRecordNumber(t_.table));
    }
    return rows;
  }
  TempDir dir_;
  MainTable t_{dir_.path()};
  Relation* relation_ = nullptr;
  const char* module1_ =
      "((OBJET = 'V' .OR. OBJET = 'MO') .AND. IND1 = '00001') .AND. .NOT. DELETED()";
};

TEST_F(RelationTest, FilterFollowsTheSelectedOrder) {
  ASSERT_EQ(kOk, RelationQuerySet(relation_, module1_));
  EXPECT_EQ((std::vector<long>{1, 3, 5, 6}), WalkRelation());
  TagSelect(t_.table, t_.repere);  // %I1.2 %IW1.0 %IW1.0:X4 %Q1.0
  EXPECT_EQ((std::vector<long>{3, 1, 5, 6}), WalkRelation());
  EXPECT_EQ(1, TableEof(t_.table));
}

TEST_F(RelationTest, SortIsStableOverTheSelectedOrder) {
  std::string has_symbol = "SYMBOLE <> '" + std::string(32, ' ') + "'";
  ASSERT_EQ(kOk, RelationQuerySet(relation_, has_symbol.c_str()));
  ASSERT_EQ(kOk, RelationSortSet(relation_, "SYMBOLE"));
  // Alarm (3, 6) Count Other Pump; equal symbols keep the table's order.
  EXPECT_EQ((std::vector<long>{3, 6, 2, 4, 1}), WalkRelation());
  TagSelect(t_.table, t_.repere);  // %I1.2 (3) still before %Q1.0 (6)
  EXPECT_EQ((std::vector<long>{3, 6, 2, 4, 1}), WalkRelation());
  ASSERT_EQ(kOk, RelationSortSet(relation_, "REPERE"));
  EXPECT_EQ((std::vector<long>{3, 4, 1, 2, 6}), WalkRelation());
}

TEST_F(RelationTest, SkipsBothWaysAndStopsAtTheEnds) {
  ASSERT_EQ(kOk, RelationQuerySet(relation_, module1_));
  ASSERT_EQ(kOk, RelationTop(relation_));
  EXPECT_EQ(kBof, RelationSkip(relation_, -1));
  EXPECT_EQ(1, TableRecordNumber(t_.table));
  EXPECT_EQ(kOk, RelationSkip(relation_, 2));
  EXPECT_EQ(5, TableRecordNumber(t_.table));
  EXPECT_EQ(kOk, RelationSkip(relation_, -1));
  EXPECT_EQ(3, TableRecordNumber(t_.table));
  EXPECT_EQ(kEof, RelationSkip(relation_, 5));
  ASSERT_EQ(kOk, RelationQuerySet(relation_, "OBJET = 'NONE'"));
  EXPECT_EQ(kEof, RelationTop(relation_));
}

TEST_F(RelationTest, DeletedRowsAreNeverShown) {
  ASSERT_EQ(kOk, TableGo(t_.table, 3));
  ASSERT_EQ(kOk, RecordDelete(t_.table));
  // The query itself does not exclude deleted rows.
  ASSERT_EQ(kOk, RelationQuerySet(relation_, "IND1 = '00001'"));
  EXPECT_EQ((std::vector<long>{1, 5, 6}), WalkRelation());
  // A row deleted during the walk, ahead of it, is not shown either.
  ASSERT_EQ(kOk, RelationTop(relation_));
  ASSERT_EQ(kOk, TableGo(t_.table, 5));
  ASSERT_EQ(kOk, RecordDelete(t_.table));
  ASSERT_EQ(kOk, RelationSkip(relation_, 1));
  EXPECT_EQ(6, TableRecordNumber(t_.table));
}

TEST_F(RelationTest, RowsChangedOrDeletedDuringTheWalkAreMetOnce) {
  // The module move: rewrite IND1 of each row the walk stands on.
  ASSERT_EQ(kOk, RelationQuerySet(relation_, module1_));
  std::vector<long> moved;
  for (int r = RelationTop(relation_); r == kOk; r = RelationSkip(relation_, 1)) {
    moved.push_back(TableRecordNumber(t_.table));
    ASSERT_EQ(kOk, t_.Set("IND1", "00003"));
  }
  EXPECT_EQ((std::vector<long>{1, 3, 5, 6}), moved);
  EXPECT_EQ((std::vector<long>{}), WalkRelation());
  // Deleting the current row at each step.
  ASSERT_EQ(kOk, RelationQuerySet(relation_, "IND1 = '00003'"));
  std::vector<long> deleted;
  for (int r = RelationTop(relation_); r == kOk; r = RelationSkip(relation_, 1)) {
    deleted.push_back(TableRecordNumber(t_.table));
    ASSERT_EQ(kOk, RecordDelete(t_.table));
  }
  EXPECT_EQ((std::vector<long>{1, 3, 5, 6}), deleted);
  ASSERT_EQ(kOk, TableUnlock(t_.table));
  EXPECT_EQ((std::vector<long>{4, 2}), t_.Walk(t_.cle));
  EXPECT_EQ(kOk, t_.Check());
}

TEST_F(RelationTest, MalformedQueriesAndSortsEndTheRelation) {
  EXPECT_EQ(kErrExpression, RelationQuerySet(relation_, "OBJET = "));
  EXPECT_EQ(kRelationEnd, RelationTop(relation_));
  EXPECT_EQ(kErrField, RelationQuerySet(relation_, "NOSUCH = 'V'"));
  EXPECT_EQ(kRelationEnd, RelationTop(relation_));
  EXPECT_EQ(kErrExpression, RelationQuerySet(relation_, "SYMBOLE"));  // not logical
  ASSERT_EQ(kOk, RelationQuerySet(relation_, "OBJET = 'V'"));
  EXPECT_EQ(kErrExpression, RelationSortSet(relation_, ".NOT. DELETED()"));
  EXPECT_EQ(kRelationEnd, RelationTop(relation_));
  ASSERT_EQ(kOk, RelationSortSet(relation_, ""));  // no sort
  EXPECT_EQ((std::vector<long>{1, 3, 6}), WalkRelation());
  EXPECT_EQ(kOk, RelationFree(relation_, 0));
  EXPECT_EQ(kOk, TableTop(t_.table));  // the table stays open
}

TEST_F(RelationTest, FreeWithCloseFilesClosesTheTable) {
  ASSERT_EQ(kOk, TableGo(t_.table, 2));
  ASSERT_EQ(kOk, t_.Set("SYMBOLE", "Kept"));
  EXPECT_EQ(kOk, RelationFree(relation_, 1));
  EXPECT_EQ(kErrArgument, TableTop(t_.table));
  MainTable again(dir_.path(), false);
  ASSERT_TRUE(again.ok());
  ASSERT_EQ(kOk, TableGo(again.table, 2));
  EXPECT_EQ("Kept", again.Get("SYMBOLE"));
}

}  // namespace
}  // namespace xbase
