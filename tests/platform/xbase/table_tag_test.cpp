// Tags: seeks, walks, deleted rows leaving every tag at once, walks that
// delete or re-key the current row, several index files, reopen.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "platform/xbase/table_test_util.h"
#include "support/temp_dir.h"
#include "xbase/engine.h"

namespace xbase {
namespace {

using testing_support::TempDir;
using testing_tables::MainTable;
using Rows = std::vector<long>;

class TableTagTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(t_.ok());
    // Record numbers 1..5; symbol order: Alpha(3) Beta(1) Delta(5) Gamma(2) Omega(4).
    ASSERT_EQ(kOk, t_.Append({"MW", "00010", "%MW10", "Beta"}));
    ASSERT_EQ(kOk, t_.Append({"MW", "00020", "%MW20", "Gamma"}));
    ASSERT_EQ(kOk, t_.Append({"I", "00001", "%I1", "Alpha"}));
    ASSERT_EQ(kOk, t_.Append({"MW", "00030", "%MW30", "Omega"}));
    ASSERT_EQ(kOk, t_.Append({"MWX", "00010", "%MW10:X1", "Delta"}));
    ASSERT_EQ(kOk, TableUnlock(t_.table));
  }
  TempDir dir_;
  MainTable t_{dir_.path()};
};

TEST_F(TableTagTest, WalksFollowKeyOrderBothWaysAndTagNamesIgnoreCase) {
  EXPECT_EQ((Rows{3, 1, 5, 2, 4}), t_.Walk(t_.symbole));
  EXPECT_EQ((Rows{4, 2, 5, 1, 3}), t_.Walk(t_.symbole, true));
  EXPECT_EQ((Rows{3, 1, 2, 4, 5}), t_.Walk(t_.cle));  // "I    " < "MW   " < "MWX  "
  // Names compare over ten characters.
  EXPECT_EQ(t_.symbole, TagGet(t_.table, "symbole_ta"));
  EXPECT_EQ(nullptr, TagGet(t_.table, "SYMBOL"));
  EXPECT_EQ(kErrTag, t_.session.error);
}

// Seeks and skips, each from where the last left: tag, seek text (null: a
// skip by `skip`), result, record landed on.
TEST_F(TableTagTest, SeekFindsPrefixesLandsAfterAndRunsPastTheEnd) {
  const std::string full = "Alpha" + std::string(27, ' ');
  const struct {
    Tag* tag;
    const char* seek;
    long skip;
    int result;
    long record;
  } steps[] = {
      {t_.symbole, "Gamma", 0, kOk, 2},
      {t_.symbole, "De", 0, kOk, 5},          // a prefix
      {t_.symbole, "Charlie", 0, kAfter, 5},  // lands on the next key
      {t_.symbole, nullptr, 1, kOk, 2},
      {t_.symbole, "Zulu", 0, kEof, 6},   // count + 1
      {t_.symbole, nullptr, -1, kOk, 4},  // back from the end: the last key
      {t_.symbole, nullptr, 1, kEof, 6},
      {t_.symbole, full.c_str(), 0, kOk, 3},                   // padded to the full key length
      {t_.cle, "MW   00010                  xyz", 0, kOk, 1},  // longer than the key: capped
      {t_.cle, "MWX", 0, kOk, 5},
      {t_.cle, nullptr, -10, kBof, 3},  // stays on the first entry
  };
  for (const auto& s : steps) {
    SCOPED_TRACE(s.seek ? s.seek : std::to_string(s.skip));
    if (s.seek) TagSelect(t_.table, s.tag);
    EXPECT_EQ(s.result, s.seek ? TableSeek(t_.table, s.seek) : TableSkip(t_.table, s.skip));
    EXPECT_EQ(s.record, TableRecordNumber(t_.table));
    EXPECT_EQ(s.result == kEof, TableEof(t_.table) == 1);
    EXPECT_EQ(s.result == kBof, TableBof(t_.table) == 1);
  }
}

TEST_F(TableTagTest, DeletedRowLeavesEveryTagButStaysInRecordOrderAndCount) {
  TagSelect(t_.table, t_.repere);
  ASSERT_EQ(kOk, TableSeek(t_.table, "%MW20"));
  ASSERT_EQ(kOk, RecordDelete(t_.table));
  EXPECT_EQ(1, RecordIsDeleted(t_.table));
  for (Tag* tag : {t_.cle, t_.repere, t_.symbole}) {
    std::vector<long> rows = t_.Walk(tag);
    EXPECT_EQ(4u, rows.size());
    EXPECT_EQ(rows.end(), std::find(rows.begin(), rows.end(), 2));
  }
  TagSelect(t_.table, t_.symbole);
  EXPECT_EQ(kAfter, TableSeek(t_.table, "Gamma"));
  EXPECT_EQ(4, TableRecordNumber(t_.table));  // Omega
  EXPECT_EQ((Rows{1, 2, 3, 4, 5}), t_.Walk(nullptr));
  EXPECT_EQ(5, TableRecordCount(t_.table));
  ASSERT_EQ(kOk, TableGo(t_.table, 2));
  ASSERT_EQ(kOk, RecordRecall(t_.table));  // rejoins every tag
  EXPECT_EQ((Rows{3, 1, 5, 2, 4}), t_.Walk(t_.symbole));
  EXPECT_EQ(kOk, t_.Check());
}

// As the reconfiguration does: delete the current row, skip by one.
TEST_F(TableTagTest, DeletingTheCurrentRowThenSkippingMeetsEveryFollowingRow) {
  TagSelect(t_.table, t_.cle);
  ASSERT_EQ(kOk, TableSeek(t_.table, "MW"));
  std::vector<long> deleted;
  for (int r = kOk; r == kOk; r = TableSkip(t_.table, 1)) {
    deleted.push_back(TableRecordNumber(t_.table));
    ASSERT_EQ(kOk, RecordDelete(t_.table));
  }
  EXPECT_EQ((Rows{1, 2, 4, 5}), deleted);
  EXPECT_EQ((Rows{3}), t_.Walk(t_.cle));
  EXPECT_EQ(kOk, t_.Check());
}

// Re-keying rows during a walk on that very key: the walk goes on from the
// entry that followed the row's old key, so rows moved ahead are met once.
TEST_F(TableTagTest, ChangingTheKeyOfTheCurrentRowKeepsTheWalkInPlace) {
  TagSelect(t_.table, t_.symbole);
  std::vector<long> met;
  for (int r = TableTop(t_.table); r == kOk; r = TableSkip(t_.table, 1)) {
    met.push_back(TableRecordNumber(t_.table));
    ASSERT_EQ(kOk, t_.Set("SYMBOLE", "0" + t_.Get("SYMBOLE")));
  }
  EXPECT_EQ((Rows{3, 1, 5, 2, 4}), met);
  ASSERT_EQ(kOk, TableUnlock(t_.table));
  EXPECT_EQ(kOk, TableSeek(t_.table, "0Omega"));
  EXPECT_EQ(4, TableRecordNumber(t_.table));
  EXPECT_EQ(kEof, TableSeek(t_.table, "Omega"));
  EXPECT_EQ(kOk, t_.Check());
}

TEST_F(TableTagTest, SkipAfterDeletingLandsOnTheNeighbourEntry) {
  TagSelect(t_.table, t_.symbole);
  for (auto [symbol, skip, result, record] :
       {std::tuple<const char*, int, int, long>{"Delta", -1, kOk, 1}, {"Omega", 1, kEof, 6}}) {
    ASSERT_EQ(kOk, TableSeek(t_.table, symbol));
    ASSERT_EQ(kOk, RecordDelete(t_.table));
    EXPECT_EQ(result, TableSkip(t_.table, skip)) << symbol;
    EXPECT_EQ(record, TableRecordNumber(t_.table)) << symbol;
  }
}

TEST_F(TableTagTest, AppendedRowsJoinTagsAndEverythingSurvivesReopen) {
  ASSERT_EQ(kOk, t_.Append({"MW", "00005", "%MW5", "Epsilon"}));
  TagSelect(t_.table, t_.symbole);
  EXPECT_EQ(kOk, TableSeek(t_.table, "Epsilon"));
  EXPECT_EQ(6, TableRecordNumber(t_.table));
  ASSERT_EQ(kOk, TableGo(t_.table, 1));
  ASSERT_EQ(kOk, RecordDelete(t_.table));
  ASSERT_EQ(kOk, EngineCloseAll(&t_.session));

  MainTable again(dir_.path(), false);
  ASSERT_TRUE(again.ok());
  EXPECT_EQ((Rows{3, 5, 6, 2, 4}), again.Walk(again.symbole));
  EXPECT_EQ((Rows{3, 6, 2, 4, 5}), again.Walk(again.cle));
  EXPECT_EQ(6, TableRecordCount(again.table));
  EXPECT_EQ(kOk, again.Check());
}

TEST_F(TableTagTest, BadTagListsAreRefused) {
  const struct {
    const char *key, *filter;
    int error;
  } bad[] = {{"NOSUCH", nullptr, kErrField},
             {"REPERE", "REPERE +", kErrExpression},
             {"DELETED()", nullptr, kErrExpression},       // a logical key
             {"REPERE+REPERE+SYMBOLE", nullptr, kErrTag},  // too long
             {nullptr, nullptr, kErrTag}};                 // no tag at all
  for (const auto& b : bad) {
    const TagDefinition tags[] = {{b.key ? "T1" : nullptr, b.key, b.filter, 0, 0},
                                  {nullptr, nullptr, nullptr, 0, 0}};
    EXPECT_EQ(nullptr, IndexCreate(t_.table, dir_.file("B.MDX").c_str(), tags)) << b.key;
    if (b.key) {
      EXPECT_EQ(b.error, t_.session.error) << b.key;
    }
  }
  EXPECT_EQ(nullptr, IndexOpen(t_.table, dir_.file("NONE.MDX").c_str()));
  EXPECT_EQ(kErrOpen, t_.session.error);
}

TEST_F(TableTagTest, IndexCreatedLaterIndexesTheRowsAlreadyThere) {
  const TagDefinition unfiltered[] = {{"ALLSYM", "UPPER(SYMBOLE)", nullptr, 0, 0},
                                      {nullptr, nullptr, nullptr, 0, 0}};
  ASSERT_EQ(kOk, TableGo(t_.table, 4));
  ASSERT_EQ(kOk, RecordDelete(t_.table));
  ASSERT_NE(nullptr, IndexCreate(t_.table, dir_.file("ALL.MDX").c_str(), unfiltered));
  Tag* all = TagGet(t_.table, "ALLSYM");
  ASSERT_NE(nullptr, all);
  // No filter: the deleted row stays listed.
  EXPECT_EQ((Rows{3, 1, 5, 2, 4}), t_.Walk(all));
  TagSelect(t_.table, all);
  EXPECT_EQ(kOk, TableSeek(t_.table, "GAMMA"));
  EXPECT_EQ(kOk, t_.Check());
}

}  // namespace
}  // namespace xbase
