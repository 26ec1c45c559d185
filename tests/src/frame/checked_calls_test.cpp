// The checked engine calls: which results are reported, and how positioning
// results and lock conflicts are translated.

#include <gtest/gtest.h>

#include <string>

#include "frame/checked_calls.h"
#include "support/temp_dir.h"
#include "symbase/host.h"

namespace {

using namespace symbase;

const xbase::FieldDefinition kFields[] = {{"NAME", 'C', 4, 0}, {nullptr, 0, 0, 0}};
const xbase::TagDefinition kTags[] = {{"NAME_TAG", "NAME", ".NOT. DELETED()", 0, 0},
                                      {nullptr, nullptr, nullptr, 0, 0}};

class CheckedCalls : public ::testing::Test {
 protected:
  void SetUp() override {
    HostClearRecords();
    CheckedEngineInit(&session);
    session.safety = 0;
    table = CheckedTableCreate(&session, dir.file("T.DBF").c_str(), kFields, nullptr);
    ASSERT_NE(table, nullptr);
    ASSERT_NE(CheckedIndexCreate(&session, table, dir.file("T.MDX").c_str(), kTags), nullptr);
    tag = CheckedTagGet(table, "NAME_TAG");
    ASSERT_NE(tag, nullptr);
    name = CheckedFieldGet(table, "NAME");
    for (const char* value : {"BB", "DD"}) Append(table, value);
    ASSERT_EQ(CheckedTableUnlock(table), 0);
    ASSERT_TRUE(HostErrorReports().empty());
  }
  void TearDown() override {
    CheckedEngineEnd(&session);
    HostClearRecords();
  }

  void Append(xbase::Table* on, const char* value) {
    ASSERT_EQ(CheckedAppendStart(on), 0);
    xbase::RecordBlank(on);
    xbase::FieldAssign(xbase::FieldGet(on, "NAME"), value);
    ASSERT_EQ(CheckedRecordAppend(on), 0);
  }

  testing_support::TempDir dir;
  xbase::Session session;
  xbase::Table* table = nullptr;
  xbase::Tag* tag = nullptr;
  xbase::Field* name = nullptr;
};

TEST_F(CheckedCalls, PositioningResultsBecomeCodesWithoutReports) {
  xbase::TagSelect(table, tag);
  EXPECT_EQ(CheckedTableSeek(table, "BB"), 0);
  EXPECT_EQ(CheckedTableSeek(table, "CC"), TB_KEY_NOT_FOUND);
  EXPECT_EQ(CheckedTableSeek(table, "EE"), TB_NO_ROW);
  EXPECT_EQ(CheckedTableTop(table), 0);
  EXPECT_EQ(CheckedTableSkip(table, 1), 0);
  EXPECT_EQ(CheckedTableSkip(table, 1), TB_NO_ROW);
  EXPECT_EQ(CheckedTableTop(table), 0);
  EXPECT_EQ(CheckedTableSkip(table, -1), TB_NO_ROW);
  EXPECT_TRUE(HostErrorReports().empty());
}

TEST_F(CheckedCalls, EmptyOrderGivesNoRow) {
  xbase::TagSelect(table, tag);
  for (long record : {1L, 2L}) {
    ASSERT_EQ(CheckedTableGo(table, record), 0);
    xbase::RecordDelete(table);
  }
  ASSERT_EQ(CheckedTableUnlock(table), 0);
  EXPECT_EQ(CheckedTableTop(table), TB_NO_ROW);
  EXPECT_TRUE(HostErrorReports().empty());
}

TEST_F(CheckedCalls, NegativeResultsAreReportedUnchanged) {
  const int result = CheckedTableGo(table, 1000);
  ASSERT_LT(result, 0);
  const auto reports = HostErrorReports();
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].module, 146);
  EXPECT_EQ(reports[0].operation, 16);
  EXPECT_EQ(reports[0].severity, 4);
  EXPECT_EQ(reports[0].code, result);
  EXPECT_EQ(reports[0].text, "");
  EXPECT_EQ(reports[0].source, "Tabiserr");
}

TEST_F(CheckedCalls, RecordCountFailureIsReportedWithCodeZero) {
  EXPECT_LT(CheckedTableRecordCount(nullptr), 0);
  const auto reports = HostErrorReports();
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].operation, 17);
  EXPECT_EQ(reports[0].code, 0);
}

TEST_F(CheckedCalls, MissingFieldAndTagAreReportedWithCodeZero) {
  EXPECT_EQ(CheckedFieldGet(table, "NOPE"), nullptr);
  EXPECT_EQ(CheckedTagGet(table, "NOPE"), nullptr);
  const auto reports = HostErrorReports();
  ASSERT_EQ(reports.size(), 2u);
  EXPECT_EQ(reports[0].operation, 6);
  EXPECT_EQ(reports[1].operation, 7);
  EXPECT_EQ(reports[0].code, 0);
}

TEST_F(CheckedCalls, MalformedQueryAndRelationTopNinety) {
  xbase::Relation* relation = xbase::RelationCreate(table);
  ASSERT_NE(relation, nullptr);
  EXPECT_LT(CheckedRelationQuerySet(relation, "NOSUCH = 'x'"), 0);
  EXPECT_EQ(CheckedRelationTop(relation), 90);
  const auto reports = HostErrorReports();
  ASSERT_EQ(reports.size(), 2u);
  EXPECT_EQ(reports[0].operation, 18);
  EXPECT_EQ(reports[1].operation, 20);
  EXPECT_EQ(reports[1].code, 90);
  EXPECT_EQ(CheckedRelationFree(relation), 0);
}

TEST_F(CheckedCalls, RelationEndIsNoRow) {
  xbase::Relation* relation = xbase::RelationCreate(table);
  ASSERT_EQ(CheckedRelationQuerySet(relation, "NAME = 'D'"), 0);
  EXPECT_EQ(CheckedRelationTop(relation), 0);
  EXPECT_EQ(CheckedRelationSkip(relation, 1), TB_NO_ROW);
  EXPECT_EQ(CheckedRelationFree(relation), 0);
  EXPECT_TRUE(HostErrorReports().empty());
}

TEST_F(CheckedCalls, LockHeldByAnotherSessionGives104) {
  // The first session keeps its write lock: an appended row not yet unlocked.
  Append(table, "FF");
  xbase::Session other;
  CheckedEngineInit(&other);
  xbase::Table* second = CheckedTableOpen(&other, dir.file("T.DBF").c_str());
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(CheckedAppendStart(second) == TB_LOCKED_BY_OTHER ||
                CheckedRecordAppend(second) == TB_LOCKED_BY_OTHER,
            true);
  EXPECT_TRUE(HostErrorReports().empty());
  CheckedEngineEnd(&other);
}

TEST_F(CheckedCalls, DeletingAMissingFileReportsItsPath) {
  const std::string path = dir.file("NOFILE.DBF");
  CheckedFileDelete(path.c_str());
  const auto reports = HostErrorReports();
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].operation, 24);
  EXPECT_EQ(reports[0].code, 408 + 2);
  EXPECT_EQ(reports[0].text, path);
}

}  // namespace
