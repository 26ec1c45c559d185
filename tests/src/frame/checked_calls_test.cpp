// The checked engine calls: which results are reported, and how positioning
// results are translated.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "frame/checked_calls.h"
#include "support/host_reports.h"
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
    ASSERT_NE(CheckedFieldGet(table, "NAME"), nullptr);
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
  xbase::Relation* relation = xbase::RelationCreate(table);
  ASSERT_EQ(CheckedRelationQuerySet(relation, "NAME = 'D'"), 0);
  EXPECT_EQ(CheckedRelationTop(relation), 0);
  EXPECT_EQ(CheckedRelationSkip(relation, 1), TB_NO_ROW);
  EXPECT_EQ(CheckedRelationFree(relation), 0);
  for (long record : {1L, 2L}) {
    ASSERT_EQ(CheckedTableGo(table, record), 0);
    xbase::RecordDelete(table);
  }
  ASSERT_EQ(CheckedTableUnlock(table), 0);
  EXPECT_EQ(CheckedTableTop(table), TB_NO_ROW);
  EXPECT_TRUE(HostErrorReports().empty());
}

// A failure is reported once, under the call's index, with the engine's
// code, or code 0 where the engine gives none.
TEST_F(CheckedCalls, FailuresAreReportedUnderTheirIndex) {
  const int go = CheckedTableGo(table, 1000);
  ASSERT_LT(go, 0);
  EXPECT_LT(CheckedTableRecordCount(nullptr), 0);
  EXPECT_EQ(CheckedFieldGet(table, "NOPE"), nullptr);
  EXPECT_EQ(CheckedTagGet(table, "NOPE"), nullptr);
  xbase::Relation* relation = xbase::RelationCreate(table);
  ASSERT_NE(relation, nullptr);
  const int query = CheckedRelationQuerySet(relation, "NOSUCH = 'x'");
  EXPECT_LT(query, 0);
  EXPECT_EQ(CheckedRelationTop(relation), 90);
  EXPECT_EQ(CheckedRelationFree(relation), 0);
  const std::string path = dir.file("NOFILE.DBF");
  CheckedFileDelete(path.c_str());
  using testing_support::ReportIs;
  EXPECT_THAT(HostErrorReports(),
              ::testing::ElementsAre(ReportIs(146, 16, 4, go, "", "Tabiserr", -1),
                                     ReportIs(17, 0, "Tabiserr"), ReportIs(6, 0, "Tabiserr"),
                                     ReportIs(7, 0, "Tabiserr"), ReportIs(18, query, "Tabiserr"),
                                     ReportIs(20, 90, "Tabiserr"),
                                     ReportIs(24, 408 + 2, "Tabiserr", path)));
}

}  // namespace
