// Tables in record-number order: rows, fields, moves and their result codes.

#include <gtest/gtest.h>

#include <string>

#include "platform/xbase/table_test_util.h"
#include "support/temp_dir.h"
#include "xbase/engine.h"

namespace xbase {
namespace {

using testing_support::TempDir;
using testing_tables::MainTable;
using testing_tables::NumberedRow;
using Rows = std::vector<long>;

class TableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(t_.ok());
    EXPECT_EQ(kEof, TableTop(t_.table));  // empty
    EXPECT_EQ(1, TableEof(t_.table));
    testing_tables::Fill(t_, 3);
  }
  TempDir dir_;
  MainTable t_{dir_.path()};
};

TEST_F(TableTest, RowsComeBackInRecordOrderAfterChangesAndReopen) {
  ASSERT_EQ(kOk, TableGo(t_.table, 2));
  ASSERT_EQ(kOk, t_.Set("SYMBOLE", "Changed"));
  ASSERT_EQ(kOk, TableGo(t_.table, 1));  // moving off writes the row
  ASSERT_EQ(kOk, TableGo(t_.table, 2));
  EXPECT_EQ("Changed", t_.Get("SYMBOLE"));
  // AppendStart keeps the current fields; RecordBlank clears them.
  ASSERT_EQ(kOk, AppendStart(t_.table, 0));
  EXPECT_EQ("Changed", t_.Get("SYMBOLE"));
  RecordBlank(t_.table);
  EXPECT_EQ("", t_.Get("SYMBOLE"));
  ASSERT_EQ(kOk, t_.Set("REPERE", "%MW9"));
  ASSERT_EQ(kOk, RecordAppend(t_.table));
  EXPECT_EQ(4, TableRecordNumber(t_.table));      // on the row just appended
  EXPECT_EQ(kErrRecord, RecordAppend(t_.table));  // no row begun
  ASSERT_EQ(kOk, t_.Append(NumberedRow(5)));
  ASSERT_EQ(kOk, EngineCloseAll(&t_.session));

  MainTable t(dir_.path(), false);
  ASSERT_TRUE(t.ok());
  EXPECT_EQ(5, TableRecordCount(t.table));
  EXPECT_EQ((Rows{1, 2, 3, 4, 5}), t.Walk(nullptr));
  EXPECT_EQ((Rows{5, 4, 3, 2, 1}), t.Walk(nullptr, true));
  ASSERT_EQ(kOk, TableGo(t.table, 3));
  EXPECT_EQ("%MW3", t.Get("REPERE"));
  EXPECT_EQ("S3", t.Get("SYMBOLE"));
  EXPECT_EQ("00003", t.Get("IND1"));
  ASSERT_EQ(kOk, TableGo(t.table, 2));
  EXPECT_EQ("Changed", t.Get("SYMBOLE"));
  EXPECT_EQ(kOk, t.Check());
}

TEST_F(TableTest, SkipsOffBothEndsAndGoOutsideTheTable) {
  TagSelect(t_.table, nullptr);
  ASSERT_EQ(kOk, TableGo(t_.table, 2));
  // Each step from where the last left: result, record, eof, bof.
  const struct {
    long skip;
    int result;
    long record;
    int eof, bof;
  } steps[] = {{2, kEof, 4, 1, 0}, {-1, kOk, 3, 0, 0}, {-5, kBof, 1, 0, 1}, {1, kOk, 2, 0, 0}};
  for (const auto& s : steps) {
    SCOPED_TRACE(s.skip);
    EXPECT_EQ(s.result, TableSkip(t_.table, s.skip));
    EXPECT_EQ(s.record, TableRecordNumber(t_.table));
    EXPECT_EQ(s.eof, TableEof(t_.table));
    EXPECT_EQ(s.bof, TableBof(t_.table));
  }
  EXPECT_EQ(kOk, TableBottom(t_.table));
  EXPECT_EQ(3, TableRecordNumber(t_.table));
  for (long outside : {0, 4}) EXPECT_EQ(kErrRecord, TableGo(t_.table, outside));
  EXPECT_EQ(kErrRecord, t_.session.error);
  EXPECT_EQ(kErrTag, TableSeek(t_.table, "MW"));  // no tag selected
}

TEST_F(TableTest, AssignPadsAndCutsCopyClampsToTheBuffer) {
  Field* objet = FieldGet(t_.table, "objet");  // case ignored
  ASSERT_NE(nullptr, objet);
  EXPECT_STREQ("OBJET", FieldName(objet));
  EXPECT_EQ(5, FieldWidth(objet));
  char buffer[6], small[3];
  ASSERT_EQ(kOk, FieldAssign(objet, "ABCDEFGH"));
  EXPECT_EQ(5, FieldCopy(objet, buffer, sizeof buffer));
  EXPECT_STREQ("ABCDE", buffer);
  ASSERT_EQ(kOk, FieldAssign(objet, "V"));
  EXPECT_EQ(5, FieldCopy(objet, buffer, sizeof buffer));
  EXPECT_STREQ("V    ", buffer);  // trailing blanks kept
  EXPECT_EQ(2, FieldCopy(objet, small, sizeof small));
  EXPECT_STREQ("V ", small);
  EXPECT_GT(0, FieldCopy(objet, small, 0));
  FieldBlank(objet);
  EXPECT_EQ(5, FieldCopy(objet, buffer, sizeof buffer));
  EXPECT_STREQ("     ", buffer);
  EXPECT_EQ(nullptr, FieldGet(t_.table, "NOPE"));
  EXPECT_EQ(kErrField, t_.session.error);
  ASSERT_EQ(kOk, t_.Set("SYMBOLE", "\xE9t\xE9"));  // Windows-1252 bytes stored as they are
  ASSERT_EQ(kOk, TableUnlock(t_.table));
  ASSERT_EQ(kOk, TableGo(t_.table, 3));
  EXPECT_EQ("\xE9t\xE9", t_.Get("SYMBOLE"));
}

TEST(TableHandles, NullHandlesGiveArgumentErrors) {
  for (int r :
       {TableTop(nullptr), TableSkip(nullptr, 1), TableSeek(nullptr, "x"), TableGo(nullptr, 1),
        TableUnlock(nullptr), TableCompact(nullptr), AppendStart(nullptr, 0), RecordAppend(nullptr),
        RecordDelete(nullptr), FieldAssign(nullptr, "x"), FieldCopy(nullptr, nullptr, 0),
        RelationTop(nullptr), RelationQuerySet(nullptr, "x"), IntegrityCheck(nullptr, nullptr),
        static_cast<int>(TableRecordCount(nullptr))}) {
    EXPECT_EQ(kErrArgument, r);
  }
  EXPECT_EQ(0, TableRecordNumber(nullptr));
  EXPECT_EQ(nullptr, FieldGet(nullptr, "x"));
  EXPECT_EQ(nullptr, TagGet(nullptr, "x"));
  EXPECT_EQ(nullptr, RelationCreate(nullptr));
  EXPECT_EQ(nullptr, TableOpen(nullptr, "x"));
  TagSelect(nullptr, nullptr);
  RecordBlank(nullptr);
  FieldBlank(nullptr);
}

TEST(TableCreate, SafetyRefusesToReplaceAndBadFieldListsAreRefused) {
  TempDir dir;
  Session s;
  EngineInit(&s, 0, 6300);
  std::string path = dir.file("T.DBF");
  ASSERT_NE(nullptr, TableCreate(&s, path.c_str(), testing_tables::kMainFields, nullptr));
  EXPECT_EQ(nullptr, TableCreate(&s, path.c_str(), testing_tables::kMainFields, nullptr));
  EXPECT_EQ(kErrCreate, s.error);
  const FieldDefinition wide[] = {{"A", 'C', 255, 0}, {nullptr, 0, 0, 0}};
  const FieldDefinition numeric[] = {{"A", 'N', 5, 0}, {nullptr, 0, 0, 0}};
  const FieldDefinition twice[] = {{"A", 'C', 5, 0}, {"a", 'C', 5, 0}, {nullptr, 0, 0, 0}};
  const FieldDefinition long_name[] = {{"ABCDEFGHIJK", 'C', 5, 0}, {nullptr, 0, 0, 0}};
  const FieldDefinition none[] = {{nullptr, 0, 0, 0}};
  for (const FieldDefinition* list : {wide, numeric, twice, long_name, none}) {
    EXPECT_EQ(nullptr, TableCreate(&s, dir.file("U.DBF").c_str(), list, nullptr));
    EXPECT_EQ(kErrArgument, s.error);
  }
  EXPECT_EQ(nullptr, TableOpen(&s, dir.file("MISSING.DBF").c_str()));
  EXPECT_EQ(kErrOpen, s.error);
  s.safety = 0;
  EXPECT_NE(nullptr,
            TableCreate(&s, dir.file("X.DBF").c_str(), testing_tables::kMainFields, nullptr));
  EXPECT_EQ(kOk, EngineEnd(&s));
}

TEST(TableCreate, ProductionIndexFromATagListOpensWithTheTable) {
  TempDir dir;
  std::string path = dir.file("PROD.DBF");
  for (int auto_open : {-1, 1, 0}) {  // -1: created here
    Session s;
    EngineInit(&s, 0, 6300);
    if (auto_open >= 0) s.auto_open = auto_open;
    Table* t = auto_open < 0 ? TableCreate(&s, path.c_str(), testing_tables::kMainFields,
                                           testing_tables::kCleTag)
                             : TableOpen(&s, path.c_str());
    ASSERT_NE(nullptr, t);
    EXPECT_EQ(auto_open != 0, TagGet(t, "repcle_tag") != nullptr) << auto_open;
    EngineEnd(&s);
  }
}

}  // namespace
}  // namespace xbase
