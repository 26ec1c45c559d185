// Tables: moves along the record order and tags, relations over them, and the
// file itself (cut, changed behind the engine's back, read ahead). Compaction
// and its journal are proven by the disk-stop runs of transaction_test.cpp.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "platform/xbase/table_test_util.h"
#include "support/temp_dir.h"
#include "xbase/cache_budget.h"
#include "xbase/engine.h"
#include "xbase/record_cache.h"

namespace xbase {
namespace {

using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;
using testing_tables::MainTable;
using testing_tables::NumberedRow;
using Rows = std::vector<long>;

// The main table holding `rows` as record numbers 1, 2, ...
class StoredRows : public ::testing::Test {
 protected:
  void Store(std::initializer_list<testing_tables::Row> rows) {
    ASSERT_TRUE(t_.ok());
    EXPECT_EQ(kEof, TableTop(t_.table));  // empty
    EXPECT_EQ(1, TableEof(t_.table));
    for (const auto& row : rows) ASSERT_EQ(kOk, t_.Append(row));
    ASSERT_EQ(kOk, TableUnlock(t_.table));
  }
  TempDir dir_;
  MainTable t_{dir_.path()};
};

// Symbol order: Alpha(3) Beta(1) Delta(5) Gamma(2) Omega(4).
class TableTest : public StoredRows {
 protected:
  void SetUp() override {
    Store({{"MW", "00010", "%MW10", "Beta"},
           {"MW", "00020", "%MW20", "Gamma"},
           {"I", "00001", "%I1", "Alpha"},
           {"MW", "00030", "%MW30", "Omega"},
           {"MWX", "00010", "%MW10:X1", "Delta"}});
  }
};

// Seeks and skips, each from where the last left (tag, seek text or, null,
// a skip by `skip`, result, record landed on), then whole walks.
TEST_F(TableTest, WalksSeeksAndSkipsLandOnTheirRowOrRunOffTheEnds) {
  const std::string full = "Alpha" + std::string(27, ' ');
  const struct {
    Tag* tag;
    const char* seek;
    long skip;
    int result;
    long record;
  } steps[] = {
      {nullptr, nullptr, -3, kOk, 2},  // record order, from the last row appended
      {nullptr, nullptr, 4, kEof, 6},
      {nullptr, nullptr, -1, kOk, 5},
      {nullptr, nullptr, -10, kBof, 1},
      {nullptr, nullptr, 1, kOk, 2},
      {nullptr, "MW", 0, kErrTag, 2},  // no tag: no seek
      {t_.symbole, "Gamma", 0, kOk, 2},
      {t_.symbole, nullptr, 0, kOk, 2},       // a skip by 0 stays
      {t_.symbole, "Charlie", 0, kAfter, 5},  // lands on the next key
      {t_.symbole, "De", 0, kOk, 5},          // a prefix
      {t_.symbole, "Zulu", 0, kEof, 6},       // count + 1
      {t_.symbole, nullptr, 0, kEof, 6},
      {t_.symbole, nullptr, -1, kOk, 4},  // back from the end: the last key
      {t_.symbole, nullptr, 1, kEof, 6},
      {t_.symbole, full.c_str(), 0, kOk, 3},                   // padded to the full key length
      {t_.cle, "MW   00010                  xyz", 0, kOk, 1},  // longer than the key: capped
      {t_.cle, nullptr, -10, kBof, 3},                         // stays on the first entry
  };
  for (const auto& s : steps) {
    SCOPED_TRACE(s.seek ? s.seek : std::to_string(s.skip));
    if (s.seek) TagSelect(t_.table, s.tag);
    EXPECT_EQ(s.result, s.seek ? TableSeek(t_.table, s.seek) : TableSkip(t_.table, s.skip));
    EXPECT_EQ(s.record, TableRecordNumber(t_.table));
    EXPECT_EQ(s.result == kEof, TableEof(t_.table) == 1);
    EXPECT_EQ(s.result == kBof, TableBof(t_.table) == 1);
  }
  ASSERT_EQ(kOk, TableGo(t_.table, 3));  // by record number: the entry is sought again
  EXPECT_EQ(full, std::string(FieldBytes(FieldGet(t_.table, "SYMBOLE"))));  // lent, padding kept
  EXPECT_TRUE(FieldBytes(nullptr).empty());
  EXPECT_EQ(nullptr, FieldGet(t_.table, nullptr));
  EXPECT_EQ(kOk, TableSkip(t_.table, 1));
  EXPECT_EQ(1, TableRecordNumber(t_.table));
  for (long outside : {0, 6}) EXPECT_EQ(kErrRecord, TableGo(t_.table, outside));
  EXPECT_EQ(kErrRecord, t_.session.error);
  EXPECT_EQ(kErrRecord, RecordAppend(t_.table));  // no row begun
  EXPECT_EQ((Rows{3, 1, 5, 2, 4}), t_.Walk(t_.symbole));
  EXPECT_EQ((Rows{4, 2, 5, 1, 3}), t_.Walk(t_.symbole, true));
  EXPECT_EQ((Rows{3, 1, 2, 4, 5}), t_.Walk(t_.cle));      // "I    " < "MW   " < "MWX  "
  EXPECT_EQ(t_.symbole, TagGet(t_.table, "symbole_ta"));  // ten characters, case ignored
  EXPECT_EQ(nullptr, TagGet(t_.table, "SYMBOL"));
  EXPECT_EQ(kErrTag, t_.session.error);
  long count = 0;  // no tag: nothing to scan or count
  EXPECT_EQ(kErrArgument, TagCountPrefix(nullptr, "", &count));
  EXPECT_EQ(kErrArgument, TagScan(nullptr, "", [](const char*, long) { return 0; }));
}

// A row added in a transaction and changed before it reaches the file reads
// back changed, from the cache that held it since it was added.
TEST_F(TableTest, ARowChangedBeforeItsAppendIsWrittenReadsBackChanged) {
  ASSERT_EQ(kOk, EngineBegin(&t_.session, 1));
  ASSERT_EQ(kOk, TableGo(t_.table, 1));  // the block the new row joins is held
  ASSERT_EQ(kOk, t_.Append(NumberedRow(6)));
  ASSERT_EQ(kOk, t_.Set("SYMBOLE", "Again"));
  ASSERT_EQ(kOk, TableGo(t_.table, 1));
  ASSERT_EQ(kOk, TableGo(t_.table, 6));
  EXPECT_EQ("Again", t_.Get("SYMBOLE"));
}

// An order without entries has neither top nor bottom: both land past the end.
TEST_F(TableTest, AnEmptyOrderHasNeitherTopNorBottom) {
  for (long n = 1; n <= 5; ++n) {
    ASSERT_EQ(kOk, TableGo(t_.table, n));
    ASSERT_EQ(kOk, RecordDelete(t_.table));
  }
  ASSERT_EQ(kOk, TableUnlock(t_.table));
  TagSelect(t_.table, t_.symbole);
  for (int (*end)(Table*) : {TableTop, TableBottom}) {
    EXPECT_EQ(kEof, end(t_.table));
    EXPECT_EQ(1, TableEof(t_.table));
    EXPECT_EQ(6, TableRecordNumber(t_.table));
  }
}

TEST_F(TableTest, BadTagListsAreRefused) {
  const struct {
    const char *key, *filter;
    int error;
  } bad[] = {{"NOSUCH", nullptr, kErrField},
             {"REPERE", "REPERE +", kErrExpression},
             {"DELETED()", nullptr, kErrExpression},       // a logical key
             {"REPERE+REPERE+SYMBOLE", nullptr, kErrTag},  // too long
             {nullptr, nullptr, kErrTag}};                 // no tag at all
  for (const auto& b : bad) {
    // A sound tag first: each tag of the list is checked, not only the first.
    const TagDefinition tags[] = {{b.key ? "T0" : nullptr, "REPERE", nullptr, 0, 0},
                                  {"T1", b.key, b.filter, 0, 0},
                                  {nullptr, nullptr, nullptr, 0, 0}};
    EXPECT_EQ(nullptr, IndexCreate(t_.table, dir_.file("B.MDX").c_str(), tags)) << b.key;
    if (b.key) {
      EXPECT_EQ(b.error, t_.session.error) << b.key;
    }
  }
  // A tag name holds letters, digits and "_" only, also past the ten stored.
  for (const char* name : {"T-1", "TENLETTERS-"}) {
    const TagDefinition named[] = {{name, "REPERE", nullptr, 0, 0}, {}};
    EXPECT_EQ(nullptr, IndexCreate(t_.table, dir_.file("N.MDX").c_str(), named)) << name;
  }
  // As many tags as an index file's tag table holds, and not one more.
  std::vector<std::string> names;
  for (int i = 0; i <= 47; ++i) names.push_back("T" + std::to_string(i));
  std::vector<TagDefinition> many;
  for (const std::string& name : names) many.push_back({name.c_str(), "REPERE", nullptr, 0, 0});
  many.push_back({nullptr, nullptr, nullptr, 0, 0});
  EXPECT_EQ(nullptr, IndexCreate(t_.table, dir_.file("M48.MDX").c_str(), many.data()));
  many.erase(many.end() - 2);
  EXPECT_NE(nullptr, IndexCreate(t_.table, dir_.file("M47.MDX").c_str(), many.data()));
  // A key of 100 characters, the longest, is not too long.
  const TagDefinition longest[] = {{"T0", "REPERE+SYMBOLE+SYMBOLE", nullptr, 0, 0},
                                   {nullptr, nullptr, nullptr, 0, 0}};
  EXPECT_NE(nullptr, IndexCreate(t_.table, dir_.file("L.MDX").c_str(), longest));
  EXPECT_EQ(nullptr, IndexOpen(t_.table, dir_.file("NONE.MDX").c_str()));
  EXPECT_EQ(kErrOpen, t_.session.error);
  for (const char* path : {static_cast<const char*>(nullptr), ""}) {
    EXPECT_EQ(nullptr, IndexOpen(t_.table, path));
    EXPECT_EQ(kErrArgument, t_.session.error);
  }
}

// A production index made with the table opens with it unless automatic
// opening is off and bears the name other tools look for; safety refuses to
// replace a table; a missing one is not opened.
TEST(TableCreate, ProductionIndexOpensWithTheTableSafetyRefusesToReplaceIt) {
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
  // Named as other xBase tools look for it: the table's name with .MDX, in
  // lower case after a lower-case extension; a folder's dot is no extension.
  EXPECT_TRUE(std::filesystem::exists(dir.file("PROD.MDX")));
  std::filesystem::create_directory(dir.file("v1.d"));
  const struct {
    const char *table, *index;
  } names[] = {{"kr9.dbf", "kr9.mdx"},
               {"kr9.DBF", "kr9.MDX"},
               {"v1.d/kr9", "v1.d/kr9.MDX"},
               {"notes.abc", "notes.mdx"},
               {"memo~.zdb", "memo~.mdx"}};
  Session s;
  EngineInit(&s, 0, 6300);
  for (const auto& n : names) {
    EXPECT_NE(nullptr, TableCreate(&s, dir.file(n.table).c_str(), testing_tables::kMainFields,
                                   testing_tables::kCleTag));
    // Its header names the table it belongs to: no folder, no extension.
    std::string header = ReadFileBytes(dir.file(n.index));
    header.resize(20);
    std::string base = std::filesystem::path(n.index).stem().string();
    base.resize(16);
    EXPECT_EQ(base, header.substr(4)) << n.table;
  }
  EXPECT_EQ(nullptr, TableCreate(&s, path.c_str(), testing_tables::kMainFields, nullptr));
  EXPECT_EQ(kErrCreate, s.error);
  std::filesystem::create_directory(dir.file("NOINDEX.MDX"));  // a table without its index is none
  EXPECT_EQ(nullptr, TableCreate(&s, dir.file("NOINDEX.DBF").c_str(), testing_tables::kMainFields,
                                 testing_tables::kCleTag));
  EXPECT_EQ(nullptr, TableOpen(&s, dir.file("MISSING.DBF").c_str()));
  EXPECT_EQ(kErrOpen, s.error);
  EXPECT_EQ(kErrArgument, TableLanguageDriver(nullptr));
  EXPECT_EQ(kErrArgument, TableReadOnly(nullptr));
  EXPECT_STREQ("", TablePath(nullptr));
  s.safety = 0;
  EXPECT_NE(nullptr, TableCreate(&s, path.c_str(), testing_tables::kMainFields, nullptr));
  // Field lists no dBASE IV table of characters can hold create nothing.
  const FieldDefinition bad[][3] = {
      {{nullptr, 0, 0, 0}},                                      // no field
      {{"A", 'C', 1, 0}, {"a", 'C', 2, 0}, {nullptr, 0, 0, 0}},  // a name twice, in any case
      {{"ELEVENCHARS", 'C', 1, 0}, {nullptr, 0, 0, 0}},          // a name too long
      {{"A-B", 'C', 1, 0}, {nullptr, 0, 0, 0}},                  // a character names cannot hold
      {{"A", 'N', 1, 0}, {nullptr, 0, 0, 0}},                    // not characters
      {{"A", 'C', 0, 0}, {nullptr, 0, 0, 0}},                    // too narrow
      {{"A", 'C', 255, 0}, {nullptr, 0, 0, 0}},                  // too wide
      {{"A", 'C', 10, 2}, {nullptr, 0, 0, 0}},                   // decimals
  };
  for (const auto& fields : bad) {
    SCOPED_TRACE(fields[0].name == nullptr ? "none" : fields[0].name);
    EXPECT_EQ(nullptr, TableCreate(&s, dir.file("BAD.DBF").c_str(), fields, nullptr));
    EXPECT_EQ(kErrArgument, s.error);
    EXPECT_FALSE(std::filesystem::exists(dir.file("BAD.DBF")));
  }
  // A name takes letters, digits and '_', the bytes next to each range not:
  // the longest name, one with the ends of each range, then one bad byte each.
  const FieldDefinition longest_name[] = {{"TENLETTERS", 'C', 1, 0}, {nullptr, 0, 0, 0}};
  EXPECT_NE(nullptr, TableCreate(&s, dir.file("LONG.DBF").c_str(), longest_name, nullptr));
  // Field and tag names are stored in capitals, from a to z; a key that is one
  // field's name is marked as such in its tag's header.
  const FieldDefinition range_ends[] = {{"AZaz09_", 'C', 1, 0}, {nullptr, 0, 0, 0}};
  const TagDefinition az_tag[] = {{"az_tag", "AZaz09_", nullptr, 0, 0}, {}};
  EXPECT_NE(nullptr, TableCreate(&s, dir.file("ENDS.DBF").c_str(), range_ends, az_tag));
  EXPECT_EQ("AZAZ09_", ReadFileBytes(dir.file("ENDS.DBF")).substr(32, 7));
  const std::string mdx = ReadFileBytes(dir.file("ENDS.MDX"));
  ASSERT_GT(mdx.size(), 2048u);
  EXPECT_EQ("AZ_TAG", mdx.substr(548, 6));
  const std::size_t tag_header = std::size_t(static_cast<unsigned char>(mdx[544])) * 512;
  ASSERT_GT(mdx.size(), tag_header + 480);
  EXPECT_EQ(1, mdx[tag_header + 480]);
  for (const char next : std::string("@[`{/:")) {
    const std::string name = std::string("A") + next;
    const FieldDefinition fields[] = {{name.c_str(), 'C', 1, 0}, {nullptr, 0, 0, 0}};
    EXPECT_EQ(nullptr, TableCreate(&s, dir.file("BAD.DBF").c_str(), fields, nullptr)) << name;
  }
  EXPECT_EQ(kOk, EngineEnd(&s));
}

class RelationTest : public StoredRows {
 protected:
  void SetUp() override {
    Store({{"VIW", "00001", "%IW1.0", "Pump"},
           {"MW", "00005", "%MW5", "Count"},
           {"V", "00001", "%I1.2", "Alarm"},
           {"MO", "00011", "%I11.0", "Other"},
           {"MOIWX", "00001", "%IW1.0:X4", ""},
           {"V", "00001", "%Q1.0", "Alarm"}});
    relation_ = RelationCreate(t_.table);
    ASSERT_NE(nullptr, relation_);
  }
  Rows Walk() {
    Rows rows;
    for (int r = RelationTop(relation_); r == kOk; r = RelationSkip(relation_, 1)) {
      rows.push_back(TableRecordNumber(t_.table));
    }
    return rows;
  }
  Relation* relation_ = nullptr;
  const char* module1_ =
      "((OBJET = 'V' .OR. OBJET = 'MO') .AND. IND1 = '00001') .AND. .NOT. DELETED()";
};

// Skips both ways stop at the ends; filter and stable sort follow the order.
TEST_F(RelationTest, SkipsFilterAndStableSortFollowTheSelectedOrder) {
  EXPECT_EQ(kRelationEnd, RelationSkip(relation_, 1));  // never positioned
  ASSERT_EQ(kOk, RelationQuerySet(relation_, module1_));
  EXPECT_EQ((Rows{1, 3, 5, 6}), Walk());
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
  TagSelect(t_.table, t_.repere);  // %I1.2 %IW1.0 %IW1.0:X4 %Q1.0
  EXPECT_EQ((Rows{3, 1, 5, 6}), Walk());
  EXPECT_EQ(1, TableEof(t_.table));
  ASSERT_EQ(kOk,
            RelationQuerySet(relation_, ("SYMBOLE <> '" + std::string(32, ' ') + "'").c_str()));
  ASSERT_EQ(kOk, RelationSortSet(relation_, "SYMBOLE"));
  // Alarm (3, 6) Count Other Pump; equal symbols keep the table's order.
  EXPECT_EQ((Rows{3, 6, 2, 4, 1}), Walk());
  TagSelect(t_.table, nullptr);
  ASSERT_EQ(kOk, RelationSortSet(relation_, "REPERE"));
  EXPECT_EQ((Rows{3, 4, 1, 2, 6}), Walk());
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
  ASSERT_EQ(kOk, TableGo(t_.table, 3));
  ASSERT_EQ(kOk, RecordRecall(t_.table));  // shown again, and back in every tag
  EXPECT_EQ((Rows{1, 3, 6}), Walk());
  EXPECT_EQ(kOk, t_.Check());
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
  EXPECT_EQ(kOk, t_.Check());  // every index file is the rebuilt one
  EXPECT_EQ(kOk, RelationSkip(elsewhere, 1));
  EXPECT_EQ(2, TableRecordNumber(other));
}

// Takes what the caches' budget has left for as long as it lives: tables
// then read as they do once their caches are full.
struct BudgetSpent {
  const std::size_t spare =
      CacheBudget::kBytes - std::min(CacheBudget::kBytes, CacheBudget::Taken());
  BudgetSpent() { CacheBudget::Force(spare); }
  ~BudgetSpent() { CacheBudget::Give(spare); }
};

class TableFileTest : public ::testing::Test {
 protected:
  // A table of `rows` rows, row `deleted` deleted, closed; returns its bytes.
  std::string Written(int rows, long deleted) {
    testing_tables::Store(dir_.path(), rows, {deleted});
    return ReadFileBytes(path_);
  }
  // A table of `rows` numbered rows written in one transaction, closed.
  void WriteRows(int rows) {
    MainTable t(dir_.path());
    ASSERT_EQ(kOk, EngineBegin(&t.session, 1));
    for (int i = 1; i <= rows; ++i) ASSERT_EQ(kOk, t.Append(NumberedRow(i)));
    ASSERT_EQ(kOk, EngineCommit(&t.session));
  }
  // The symbol blank-padded to the symbol tag's whole key.
  static std::string SymbolKey(std::string symbol) {
    symbol.resize(32, ' ');
    return symbol;
  }
  TempDir dir_;
  std::string path_ = dir_.file("KR9.DBF");
};

// Compaction holds the live rows in memory while it builds the tags when the
// budget has room for them, else reads the table again for each tag: the
// files are the same either way, and the memory taken is given back.
TEST_F(TableFileTest, ACompactionWritesTheSameFilesWhetherItsRowsFitTheBudgetOrNot) {
  MainTable t(dir_.path());
  ASSERT_EQ(kOk, EngineBegin(&t.session, 1));
  for (int i = 1; i <= 2000; ++i) ASSERT_EQ(kOk, t.Append(NumberedRow(i)));  // three chunks
  for (int i = 1; i <= 2000; i += 7) {
    ASSERT_EQ(kOk, TableGo(t.table, i));
    ASSERT_EQ(kOk, RecordDelete(t.table));
  }
  ASSERT_EQ(kOk, EngineCommit(&t.session));
  const std::string copy = dir_.file("copy");
  std::filesystem::copy(dir_.path(), copy);
  const std::size_t before = CacheBudget::Taken();
  ASSERT_EQ(kOk, TableCompact(t.table));
  EXPECT_EQ(kOk, t.Check());
  EXPECT_EQ(2000L - 286, TableRecordCount(t.table));
  EXPECT_LE(CacheBudget::Taken(), before);

  MainTable spent(copy, false);
  ASSERT_TRUE(spent.ok());
  {
    BudgetSpent spent_budget;
    EXPECT_EQ(kOk, TableCompact(spent.table));
  }
  for (const char* name : {"KR9.DBF", "KR9CLER.MDX", "KR9R.MDX", "KR9S.MDX"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(ReadFileBytes(dir_.file(name)), ReadFileBytes(copy + "/" + name));
  }
}

// Each cut of the file, with a header claiming 100 rows: refused while the
// header is cut, else opened with the whole rows the file holds. Field names
// stored in lower case are found in any case.
TEST_F(TableFileTest, EveryTruncationOpensOrFailsCleanlyLowerCaseNamesAreFound) {
  std::string good = Written(3, 2);
  good[4] = 100;
  for (std::size_t n = 0; n <= good.size() + 4; ++n) {
    ASSERT_TRUE(WriteFileBytes(path_, (good + "junk").substr(0, n)));
    MainTable t(dir_.path(), false);
    if (n < 289) {
      EXPECT_EQ(kErrFormat, t.table ? kOk : t.session.error) << n;
    } else {
      ASSERT_NE(nullptr, t.table) << n;
      EXPECT_EQ(std::min<long>(3, static_cast<long>((n - 289) / 92)), TableRecordCount(t.table))
          << n;
    }
  }
  good.replace(32, 5, std::string("zeta\0", 5));  // a name another tool stored in lower case
  ASSERT_TRUE(WriteFileBytes(path_, good));
  MainTable t(dir_.path(), false);  // its index files, keyed on OBJET, no longer open
  ASSERT_NE(nullptr, t.table);
  EXPECT_NE(nullptr, FieldGet(t.table, "ZETA"));
  EXPECT_EQ(FieldGet(t.table, "ZETA"), FieldGet(t.table, "zeta"));
}

// A walk through a table larger than the blocks a walk may hold takes no
// more of the cache budget than those blocks, however much of it is free.
TEST_F(TableFileTest, AWalkThroughATableTakesFewBlocksOfTheBudget) {
  constexpr int kRows = 12000;  // about 270 blocks
  ASSERT_NO_FATAL_FAILURE(WriteRows(kRows));
  MainTable t(dir_.path(), false);
  const std::size_t before = CacheBudget::Taken();
  int rows = 0;
  for (int r = TableGo(t.table, 1); r == kOk; r = TableSkip(t.table, 1)) ++rows;
  EXPECT_EQ(kRows, rows);
  EXPECT_LE(CacheBudget::Taken() - before, (RecordCache::kPassingSlots + 1) * 4096);
}

// With the budget spent elsewhere, a table larger than the few blocks its
// cache then holds reads each row it seeks alone, in the share kept for
// such rows: the seek still lands on its row, and the row follows this
// session's writes and another's.
TEST_F(TableFileTest, RowsSoughtBeyondTheCacheFollowEveryWrite) {
  constexpr int kRows = 3000;  // about 70 blocks
  ASSERT_NO_FATAL_FAILURE(WriteRows(kRows));
  BudgetSpent spent;
  const std::size_t rows_before = CacheBudget::ShareTaken(CacheBudget::Share::kRows);
  MainTable a(dir_.path(), false), b(dir_.path(), false);
  auto seek = [](MainTable& t, int i) {
    TagSelect(t.table, t.repere);
    const int r = TableSeek(t.table, ("%MW" + std::to_string(i) + " ").c_str());
    return r == kOk ? t.Get("SYMBOLE") : "seek gave " + std::to_string(r);
  };
  auto symbol_of = [&](int i) {  // a's, in a read of its own
    EXPECT_EQ(kOk, EngineBegin(&a.session, 0));
    const std::string symbol = seek(a, i);
    EXPECT_EQ(kOk, EngineCommit(&a.session));
    return symbol;
  };
  for (int next : {0, 1, 0}) {  // read, their neighbours read, found again
    for (int i = 1 + next; i <= kRows; i += 37) ASSERT_EQ("S" + std::to_string(i), symbol_of(i));
  }
  EXPECT_GT(CacheBudget::ShareTaken(CacheBudget::Share::kRows), rows_before);

  const int last = 1 + (kRows - 1) / 37 * 37;
  ASSERT_EQ(kOk, EngineBegin(&a.session, 1));
  ASSERT_EQ("S" + std::to_string(last), seek(a, last));
  ASSERT_EQ(kOk, a.Set("SYMBOLE", "Mine"));
  for (int i = kRows + 1; i <= kRows + 50; ++i) ASSERT_EQ(kOk, a.Append(NumberedRow(i)));
  EXPECT_EQ("S" + std::to_string(kRows + 50), seek(a, kRows + 50));  // not in the file yet
  ASSERT_EQ(kOk, EngineCommit(&a.session));
  EXPECT_EQ("Mine", symbol_of(last));
  ASSERT_EQ(kOk, EngineBegin(&b.session, 1));
  EXPECT_EQ("Mine", seek(b, last));
  ASSERT_EQ(kOk, b.Set("SYMBOLE", "Theirs"));
  ASSERT_EQ(kOk, EngineCommit(&b.session));
  EXPECT_EQ("Theirs", symbol_of(last));
}

// A tag sought by whole keys many times without a change gets a directory
// of its keys: seeks then land where the tree would have, a key entered
// twice on its first row, a missing key on the next one, and a step goes on
// in the tag's order. A change of this session's or another's is followed.
TEST_F(TableFileTest, WholeKeysSoughtOftenLandWhereTheTreeLeads) {
  constexpr int kRows = 600;
  ASSERT_NO_FATAL_FAILURE(WriteRows(kRows));
  MainTable a(dir_.path(), false), b(dir_.path(), false);
  ASSERT_EQ(kOk, TableGo(a.table, 20));
  ASSERT_EQ(kOk, a.Set("SYMBOLE", "S10"));  // S10 twice, no S20
  ASSERT_EQ(kOk, TableGo(a.table, 30));
  ASSERT_EQ(kOk, RecordDelete(a.table));  // out of the tag
  ASSERT_EQ(kOk, TableUnlock(a.table));
  // Where the tree leads each key: its first entry, or the first after it.
  const std::vector<long> order = a.Walk(a.symbole);
  std::map<std::string, std::size_t> first;
  for (std::size_t i = order.size(); i-- > 0;) {
    ASSERT_EQ(kOk, TableGo(a.table, order[i]));
    first[a.Get("SYMBOLE")] = i;
  }
  auto landing = [&](MainTable& t, const std::string& symbol) {
    TagSelect(t.table, t.symbole);
    const int sought = TableSeek(t.table, SymbolKey(symbol).c_str());
    const long on = TableRecordNumber(t.table);
    const int stepped = TableSkip(t.table, 1);
    return std::to_string(sought) + " on " + std::to_string(on) + " then " +
           std::to_string(stepped) + " on " + std::to_string(TableRecordNumber(t.table));
  };
  auto expected = [&](const std::string& symbol) {
    auto at = first.lower_bound(symbol);
    const std::size_t i = at == first.end() ? order.size() : at->second;
    auto on = [&](std::size_t k) {
      return std::to_string(k < order.size() ? order[k] : kRows + 1);
    };
    return std::to_string(i == order.size()     ? kEof
                          : at->first == symbol ? kOk
                                                : kAfter) +
           " on " + on(i) + " then " + std::to_string(i + 1 < order.size() ? kOk : kEof) + " on " +
           on(i + 1);
  };
  const std::size_t share = CacheBudget::ShareTaken(CacheBudget::Share::kDirectories);
  for (int round = 0; round < 2; ++round) {
    for (int k = 0; k <= kRows; ++k) {  // every key once, at random
      const std::string symbol = "S" + std::to_string(k * 367 % (kRows + 1) + 1);
      ASSERT_EQ(expected(symbol), landing(a, symbol)) << symbol << " round " << round;
    }
  }
  EXPECT_GT(CacheBudget::ShareTaken(CacheBudget::Share::kDirectories), share);

  // A key that moves to an earlier row, by this session and by another,
  // once the directory is made again: the seek lands on that row.
  auto change = [](MainTable& t, long row, const char* symbol) {
    ASSERT_EQ(kOk, TableGo(t.table, row));
    ASSERT_EQ(kOk, t.Set("SYMBOLE", symbol));
    ASSERT_EQ(kOk, TableUnlock(t.table));
  };
  auto sought_often = [&](const char* symbol, const std::string& answer) {
    for (int round = 0; round < 300; ++round) {
      ASSERT_EQ(kOk, EngineBegin(&a.session, 0));
      landing(a, "S9");  // after it, the symbol is sought back
      ASSERT_EQ(answer, landing(a, symbol)) << round;
      ASSERT_EQ(kOk, EngineCommit(&a.session));
    }
  };
  ASSERT_NO_FATAL_FAILURE(change(a, 70, "S400"));
  ASSERT_NO_FATAL_FAILURE(sought_often("S400", "0 on 70 then 0 on 400"));
  ASSERT_NO_FATAL_FAILURE(change(b, 60, "S500"));
  ASSERT_NO_FATAL_FAILURE(sought_often("S500", "0 on 60 then 0 on 500"));
}

// A row changed or deleted behind its tags' back (by a tool that leaves the
// index alone) is damage, whether the tree or the key directory leads to it.
TEST_F(TableFileTest, ARowChangedBehindItsTagsIsDamageWithOrWithoutTheDirectory) {
  ASSERT_NO_FATAL_FAILURE(WriteRows(600));
  std::string bytes = ReadFileBytes(path_);
  bytes[289 + 99 * 92 + 59] = 'X';  // row 100's symbol: X100
  bytes[289 + 199 * 92] = '*';      // row 200 deleted, out of the tag
  ASSERT_TRUE(WriteFileBytes(path_, bytes));
  MainTable t(dir_.path(), false);
  TagSelect(t.table, t.symbole);
  auto seek = [&](int i) { return TableSeek(t.table, SymbolKey("S" + std::to_string(i)).c_str()); };
  for (int round = 0; round < 2; ++round) {  // by the tree, then by the directory
    EXPECT_EQ(kErrIndexFormat, seek(100)) << round;
    EXPECT_EQ(kErrIndexFormat, seek(200)) << round;
    for (int k = 0; k < 300; ++k) ASSERT_EQ(kOk, seek(201 + k * 151 % 300));  // up and down
  }
}

}  // namespace
}  // namespace xbase
