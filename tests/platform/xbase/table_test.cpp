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

TEST(TableRows, AppendedRowsComeBackInRecordOrderAfterReopen) {
  TempDir dir;
  {
    MainTable t(dir.path());
    ASSERT_TRUE(t.ok());
    for (int i = 1; i <= 5; ++i) ASSERT_EQ(kOk, t.Append(NumberedRow(i, "S" + std::to_string(i))));
    EXPECT_EQ(5, TableRecordCount(t.table));
    EXPECT_EQ(5, TableRecordNumber(t.table));  // on the row just appended
    ASSERT_EQ(kOk, TableUnlock(t.table));
  }
  MainTable t(dir.path(), false);
  ASSERT_TRUE(t.ok());
  EXPECT_EQ(5, TableRecordCount(t.table));
  EXPECT_EQ((std::vector<long>{1, 2, 3, 4, 5}), t.Walk(nullptr));
  EXPECT_EQ((std::vector<long>{5, 4, 3, 2, 1}), t.WalkBack(nullptr));
  ASSERT_EQ(kOk, TableGo(t.table, 3));
  EXPECT_EQ("%MW3", t.Get("REPERE"));
  EXPECT_EQ("S3", t.Get("SYMBOLE"));
  EXPECT_EQ("00003", t.Get("IND1"));
}

TEST(TableRows, SkipsOffBothEndsAndGoOutsideTheTable) {
  TempDir dir;
  MainTable t(dir.path());
  ASSERT_TRUE(t.ok());
  EXPECT_EQ(kEof, TableTop(t.table));  // empty
  EXPECT_EQ(1, TableEof(t.table));
  for (int i = 1; i <= 3; ++i) ASSERT_EQ(kOk, t.Append(NumberedRow(i, "")));
  TagSelect(t.table, nullptr);
  ASSERT_EQ(kOk, TableGo(t.table, 2));
  EXPECT_EQ(kEof, TableSkip(t.table, 2));
  EXPECT_EQ(4, TableRecordNumber(t.table));  // past the end
  EXPECT_EQ(1, TableEof(t.table));
  EXPECT_EQ(kOk, TableSkip(t.table, -1));
  EXPECT_EQ(3, TableRecordNumber(t.table));
  EXPECT_EQ(kBof, TableSkip(t.table, -5));
  EXPECT_EQ(1, TableBof(t.table));
  EXPECT_EQ(1, TableRecordNumber(t.table));
  EXPECT_EQ(kOk, TableBottom(t.table));
  EXPECT_EQ(3, TableRecordNumber(t.table));
  EXPECT_EQ(kErrRecord, TableGo(t.table, 0));
  EXPECT_EQ(kErrRecord, TableGo(t.table, 4));
  EXPECT_EQ(kErrRecord, t.session.error);
  EXPECT_EQ(kErrTag, TableSeek(t.table, "MW"));  // no tag selected
}

TEST(TableFields, AssignPadsAndCutsCopyClampsToTheBuffer) {
  TempDir dir;
  MainTable t(dir.path());
  ASSERT_TRUE(t.ok());
  ASSERT_EQ(kOk, t.Append(NumberedRow(1, "")));
  Field* objet = FieldGet(t.table, "objet");  // case ignored
  ASSERT_NE(nullptr, objet);
  EXPECT_STREQ("OBJET", FieldName(objet));
  EXPECT_EQ(5, FieldWidth(objet));
  ASSERT_EQ(kOk, FieldAssign(objet, "ABCDEFGH"));
  char buffer[6];
  EXPECT_EQ(5, FieldCopy(objet, buffer, sizeof buffer));
  EXPECT_STREQ("ABCDE", buffer);
  ASSERT_EQ(kOk, FieldAssign(objet, "V"));
  EXPECT_EQ(5, FieldCopy(objet, buffer, sizeof buffer));
  EXPECT_STREQ("V    ", buffer);  // trailing blanks kept
  char small[3];
  EXPECT_EQ(2, FieldCopy(objet, small, sizeof small));
  EXPECT_STREQ("V ", small);
  EXPECT_GT(0, FieldCopy(objet, small, 0));
  FieldBlank(objet);
  EXPECT_EQ(5, FieldCopy(objet, buffer, sizeof buffer));
  EXPECT_STREQ("     ", buffer);
  EXPECT_EQ(nullptr, FieldGet(t.table, "NOPE"));
  EXPECT_EQ(kErrField, t.session.error);
  // Windows-1252 bytes are stored as they are.
  ASSERT_EQ(kOk, t.Set("SYMBOLE", "\xE9t\xE9"));
  ASSERT_EQ(kOk, TableUnlock(t.table));
  ASSERT_EQ(kOk, TableGo(t.table, 1));
  EXPECT_EQ("\xE9t\xE9", t.Get("SYMBOLE"));
  EXPECT_EQ("", t.Get("OBJET"));
}

TEST(TableRows, ChangedRowIsWrittenWhenTheTableMovesOff) {
  TempDir dir;
  MainTable t(dir.path());
  ASSERT_TRUE(t.ok());
  for (int i = 1; i <= 3; ++i) ASSERT_EQ(kOk, t.Append(NumberedRow(i, "")));
  ASSERT_EQ(kOk, TableGo(t.table, 2));
  ASSERT_EQ(kOk, t.Set("SYMBOLE", "Changed"));
  ASSERT_EQ(kOk, TableGo(t.table, 1));
  ASSERT_EQ(kOk, TableGo(t.table, 2));
  EXPECT_EQ("Changed", t.Get("SYMBOLE"));
  // AppendStart keeps the current fields; RecordBlank clears them.
  ASSERT_EQ(kOk, AppendStart(t.table, 0));
  EXPECT_EQ("Changed", t.Get("SYMBOLE"));
  RecordBlank(t.table);
  EXPECT_EQ("", t.Get("SYMBOLE"));
  ASSERT_EQ(kOk, t.Set("REPERE", "%MW9"));
  ASSERT_EQ(kOk, RecordAppend(t.table));
  EXPECT_EQ(4, TableRecordCount(t.table));
  EXPECT_EQ(kErrRecord, RecordAppend(t.table));  // no row begun
  EXPECT_EQ(kOk, t.Check());
}

TEST(TableHandles, NullHandlesGiveArgumentErrors) {
  EXPECT_EQ(kErrArgument, TableTop(nullptr));
  EXPECT_EQ(kErrArgument, TableSkip(nullptr, 1));
  EXPECT_EQ(kErrArgument, TableSeek(nullptr, "x"));
  EXPECT_EQ(kErrArgument, TableGo(nullptr, 1));
  EXPECT_EQ(kErrArgument, TableUnlock(nullptr));
  EXPECT_EQ(kErrArgument, TableCompact(nullptr));
  EXPECT_EQ(kErrArgument, AppendStart(nullptr, 0));
  EXPECT_EQ(kErrArgument, RecordAppend(nullptr));
  EXPECT_EQ(kErrArgument, RecordDelete(nullptr));
  EXPECT_EQ(kErrArgument, FieldAssign(nullptr, "x"));
  EXPECT_EQ(kErrArgument, FieldCopy(nullptr, nullptr, 0));
  EXPECT_EQ(kErrArgument, RelationTop(nullptr));
  EXPECT_EQ(kErrArgument, RelationQuerySet(nullptr, "x"));
  EXPECT_EQ(kErrArgument, IntegrityCheck(nullptr, nullptr));
  EXPECT_EQ(kErrArgument, TableRecordCount(nullptr));
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
  {
    Session s;
    EngineInit(&s, 0, 6300);
    Table* t = TableCreate(&s, path.c_str(), testing_tables::kMainFields, testing_tables::kCleTag);
    ASSERT_NE(nullptr, t);
    ASSERT_NE(nullptr, TagGet(t, "REPCLE_TAG"));
    EngineEnd(&s);
  }
  Session s;
  EngineInit(&s, 0, 6300);
  Table* t = TableOpen(&s, path.c_str());  // auto_open 1
  ASSERT_NE(nullptr, t);
  EXPECT_NE(nullptr, TagGet(t, "repcle_tag"));
  s.auto_open = 0;
  Table* bare = TableOpen(&s, path.c_str());
  ASSERT_NE(nullptr, bare);
  EXPECT_EQ(nullptr, TagGet(bare, "REPCLE_TAG"));
  EXPECT_EQ(kErrTag, s.error);
}

}  // namespace
}  // namespace xbase
