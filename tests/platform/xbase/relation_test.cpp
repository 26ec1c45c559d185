// Relations: filter, stable sort, deleted rows hidden, rows changed or
// deleted during the walk, malformed queries, compaction.

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
using Rows = std::vector<long>;

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
  // Walks the relation; `change` runs on each row met.
  Rows Walk(void (*change)(MainTable&) = nullptr) {
    Rows rows;
    for (int r = RelationTop(relation_); r == kOk; r = RelationSkip(relation_, 1)) {
      rows.push_back(TableRecordNumber(t_.table));
      if (change) change(t_);
    }
    return rows;
  }
  TempDir dir_;
  MainTable t_{dir_.path()};
  Relation* relation_ = nullptr;
  const char* module1_ =
      "((OBJET = 'V' .OR. OBJET = 'MO') .AND. IND1 = '00001') .AND. .NOT. DELETED()";
};

TEST_F(RelationTest, FilterAndStableSortFollowTheSelectedOrder) {
  ASSERT_EQ(kOk, RelationQuerySet(relation_, module1_));
  EXPECT_EQ((Rows{1, 3, 5, 6}), Walk());
  TagSelect(t_.table, t_.repere);  // %I1.2 %IW1.0 %IW1.0:X4 %Q1.0
  EXPECT_EQ((Rows{3, 1, 5, 6}), Walk());
  EXPECT_EQ(1, TableEof(t_.table));
  ASSERT_EQ(kOk,
            RelationQuerySet(relation_, ("SYMBOLE <> '" + std::string(32, ' ') + "'").c_str()));
  ASSERT_EQ(kOk, RelationSortSet(relation_, "SYMBOLE"));
  // Alarm (3, 6) Count Other Pump; equal symbols keep the table's order.
  EXPECT_EQ((Rows{3, 6, 2, 4, 1}), Walk());
  TagSelect(t_.table, nullptr);
  EXPECT_EQ((Rows{3, 6, 2, 4, 1}), Walk());
  ASSERT_EQ(kOk, RelationSortSet(relation_, "REPERE"));
  EXPECT_EQ((Rows{3, 4, 1, 2, 6}), Walk());
}

TEST_F(RelationTest, SkipsBothWaysAndStopsAtTheEnds) {
  EXPECT_EQ(kRelationEnd, RelationSkip(relation_, 1));  // never positioned
  ASSERT_EQ(kOk, RelationQuerySet(relation_, module1_));
  ASSERT_EQ(kOk, RelationTop(relation_));
  const struct {
    long count;
    int result;
    long record;
  } steps[] = {{-1, kBof, 1}, {0, kOk, 1}, {2, kOk, 5}, {-1, kOk, 3}, {5, kEof, 7}};
  for (const auto& s : steps) {
    EXPECT_EQ(s.result, RelationSkip(relation_, s.count)) << s.count;
    EXPECT_EQ(s.record, TableRecordNumber(t_.table)) << s.count;
  }
  ASSERT_EQ(kOk, RelationQuerySet(relation_, "OBJET = 'NONE'"));
  EXPECT_EQ(kEof, RelationTop(relation_));
}

TEST_F(RelationTest, DeletedRowsAreNeverShown) {
  ASSERT_EQ(kOk, TableGo(t_.table, 3));
  ASSERT_EQ(kOk, RecordDelete(t_.table));
  ASSERT_EQ(kOk, RelationQuerySet(relation_, "IND1 = '00001'"));  // no test of the mark
  EXPECT_EQ((Rows{1, 5, 6}), Walk());
  // A row deleted during the walk, ahead of it, is not shown either.
  ASSERT_EQ(kOk, RelationTop(relation_));
  ASSERT_EQ(kOk, TableGo(t_.table, 5));
  ASSERT_EQ(kOk, RecordDelete(t_.table));
  ASSERT_EQ(kOk, RelationSkip(relation_, 1));
  EXPECT_EQ(6, TableRecordNumber(t_.table));
}

TEST_F(RelationTest, RowsChangedOrDeletedDuringTheWalkAreMetOnce) {
  ASSERT_EQ(kOk, RelationQuerySet(relation_, module1_));
  // The module move: rewrite IND1 of each row the walk stands on.
  EXPECT_EQ((Rows{1, 3, 5, 6}), Walk([](MainTable& t) { ASSERT_EQ(kOk, t.Set("IND1", "00003")); }));
  EXPECT_EQ((Rows{}), Walk());
  ASSERT_EQ(kOk, RelationQuerySet(relation_, "IND1 = '00003'"));
  EXPECT_EQ((Rows{1, 3, 5, 6}), Walk([](MainTable& t) { ASSERT_EQ(kOk, RecordDelete(t.table)); }));
  ASSERT_EQ(kOk, TableUnlock(t_.table));
  EXPECT_EQ((Rows{4, 2}), t_.Walk(t_.cle));
  EXPECT_EQ(kOk, t_.Check());
}

TEST_F(RelationTest, MalformedQueriesAndSortsEndTheRelation) {
  const struct {
    const char *query, *sort;
    int result;
  } bad[] = {{"OBJET = ", nullptr, kErrExpression},
             {"NOSUCH = 'V'", nullptr, kErrField},
             {"SYMBOLE", nullptr, kErrExpression},  // not logical
             {"OBJET = 'V'", ".NOT. DELETED()", kErrExpression}};
  for (const auto& b : bad) {
    SCOPED_TRACE(b.query);
    EXPECT_EQ(b.sort ? kOk : b.result, RelationQuerySet(relation_, b.query));
    if (b.sort) {
      EXPECT_EQ(b.result, RelationSortSet(relation_, b.sort));
    }
    EXPECT_EQ(kRelationEnd, RelationTop(relation_));
  }
  ASSERT_EQ(kOk, RelationSortSet(relation_, ""));  // no sort
  EXPECT_EQ((Rows{1, 3, 6}), Walk());
  Relation* other = RelationCreate(t_.table);  // freeing one leaves the other whole
  EXPECT_EQ(kOk, RelationFree(relation_, 0));
  relation_ = other;
  EXPECT_EQ(6u, Walk().size());
  EXPECT_EQ(kOk, TableTop(t_.table));  // the table stays open
}

TEST_F(RelationTest, CompactionForgetsThePositionOfItsTablesRelationsOnly) {
  const std::string other_path = dir_.file("OTHER.DBF");
  Table* other = TableCreate(&t_.session, other_path.c_str(), testing_tables::kMainFields, nullptr);
  ASSERT_NE(nullptr, other);
  for (const char* symbol : {"A", "B"}) {
    ASSERT_EQ(kOk, AppendStart(other, 0));
    ASSERT_EQ(kOk, FieldAssign(FieldGet(other, "SYMBOLE"), symbol));
    ASSERT_EQ(kOk, RecordAppend(other));
  }
  Relation* elsewhere = RelationCreate(other);
  ASSERT_EQ(kOk, RelationQuerySet(elsewhere, ".NOT. DELETED()"));
  ASSERT_EQ(kOk, RelationTop(elsewhere));
  ASSERT_EQ(kOk, RelationQuerySet(relation_, module1_));
  ASSERT_EQ(kOk, RelationTop(relation_));
  ASSERT_EQ(kOk, TableGo(t_.table, 1));
  ASSERT_EQ(kOk, RecordDelete(t_.table));
  ASSERT_EQ(kOk, TableCompact(t_.table));
  // The record numbers it held are gone: it must be started again.
  EXPECT_EQ(kRelationEnd, RelationSkip(relation_, 1));
  EXPECT_EQ((Rows{2, 4, 5}), Walk());
  EXPECT_EQ(kOk, RelationSkip(elsewhere, 1));
  EXPECT_EQ(2, TableRecordNumber(other));
}

}  // namespace
}  // namespace xbase
