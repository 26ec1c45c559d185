// A base's files and life: create, open, lock, conversion, comment rows, batches, other handles.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "storage/tb_data.h"
#include "support/child_exit.h"
#include "support/host_reports.h"
#include "support/raw_rows.h"
#include "support/scripted_dialog_driver.h"
#include "support/symbol_base.h"
#include "support/temp_dir.h"
#include "symbase/host.h"
#include "symbase/maintenance.h"
#include "symbase/results.h"
#include "symbase/tabis.h"

namespace {

namespace fs = std::filesystem;
using testing::ElementsAre;
using testing_support::AppendRawObject;
using testing_support::Key;
using testing_support::LiveCommentKeys;

class BaseLifecycle : public testing_support::HostTest {
 protected:
  testing_support::TempDir dir;
  CTBData data;
};

TEST_F(BaseLifecycle, DeleteRemovesWhatExistsAndReportsEachMissingFile) {
  std::ofstream(dir.file("KR9.DBF")).put('x');
  std::ofstream(dir.file("KR9.DBF.jnl")).put('x');  // a journal a new base must not replay
  EXPECT_EQ(data.Delete(dir.slash().c_str()), 0);
  EXPECT_FALSE(fs::exists(dir.file("KR9.DBF")));
  EXPECT_FALSE(fs::exists(dir.file("KR9.DBF.jnl")));
  std::vector<::testing::Matcher<const HostErrorReport&>> expected;
  for (const char* name : {"KR9CMT.DBF", "KR9CLER.MDX", "KR9R.MDX", "KR9S.MDX", "KR9CMTR.MDX"}) {
    expected.push_back(testing_support::ReportIs(24, 410, "Tabiserr", dir.slash() + name));
  }
  EXPECT_THAT(HostErrorReports(), ::testing::ElementsAreArray(expected));
  // A directory too long for the path buffer: each file refused as a bad path.
  HostClearErrorReports();
  const std::string overlong = dir.slash() + std::string(80, 'd') + "/";
  EXPECT_EQ(data.Delete(overlong.c_str()), 0);
  EXPECT_THAT(HostErrorReports(),
              ::testing::Each(testing_support::ReportIs(24, 411, "Tabiserr", overlong)));
  EXPECT_EQ(HostErrorReports().size(), 6u);
}

using LevelConversion = testing_support::SymbolBaseTest;

// A level 1 base: decimal module numbers in IND1 beside other rows, one deleted.
TEST_F(LevelConversion, ModuleNumbersBecomeBase32InBothTables) {
  AppendRawObject(base, Key("VIW", "00012", "00001", "00000"), "%IW12.1", "In_12", "c 12");
  AppendRawObject(base, Key("VIWX", "00012", "00001", "00000", "03"), "%IW12.1:X3", "", "c 12 bit");
  AppendRawObject(base, Key("VQX", "00032", "00002", "00000"), "%Q32.2");
  AppendRawObject(base, Key("VIX", "00000", "00001", "00000"), "%I0.1", "", "c 0");
  AppendRawObject(base, Key("MW", "00012"), "%MW12", "", "c mw");
  AppendRawObject(base, Key("VIW", ""), "%IW", "", "c blank");
  AppendRawObject(base, Key("MOIW", "00031", "00000", "00000"), "%IW31.MOD", "", "c mod");
  AppendRawObject(base, Key("MOQW", "00040", "00000", "00000"), "%QW40.MOD");
  AppendRawObject(base, Key("VQX", "00012", "00005", "00000"), "%Q12.5");
  Delete("%Q12.5");
  // Locked (a second lock refused), the base is reported, still gives zero and
  // is left as it was; unlocking compacts the deleted row away.
  EXPECT_EQ(xbase::TableRecordCount(base->m_mainTable), 9);
  ASSERT_EQ(TBLockBaseSymbol(base), 0);
  EXPECT_EQ(TBLockBaseSymbol(base), 100);
  EXPECT_EQ(TBTransformerBaseSymbolL1ToL2(base, 0), 0);
  EXPECT_FALSE(HostErrorReports().empty());
  HostClearErrorReports();
  ASSERT_EQ(TBUnlockBaseSymbol(base, dir.slash().c_str()), 0);
  EXPECT_EQ(xbase::TableRecordCount(base->m_mainTable), 8);
  EXPECT_EQ(LiveRow("%IW12.1").key, Key("VIW", "00012", "00001", "00000"));
  // The deleted row again, for the conversion.
  AppendRawObject(base, Key("VQX", "00012", "00005", "00000"), "%Q12.5");
  Delete("%Q12.5");
  ASSERT_EQ(TBCloseBaseSymbol(base), 0);
  ASSERT_EQ(TBOpenBaseSymbol(base, dir.slash().c_str()), 0);
  EXPECT_EQ(TBTransformerBaseSymbolL1ToL2(base, 0), 0);
  std::vector<std::string> keys;
  for (const testing_support::MainRow& row : MainRows()) keys.push_back(row.key);
  EXPECT_THAT(
      keys, ElementsAre(
                Key("VIW", "0000C", "00001", "00000"), Key("VIWX", "0000C", "00001", "00000", "03"),
                Key("VQX", "00010", "00002", "00000"), Key("VIX", "00000", "00001", "00000"),
                Key("MW", "00012"), Key("VIW", ""), Key("MOIW", "0000V", "00000", "00000"),
                Key("MOQW", "00018", "00000", "00000"), Key("VQX", "00012", "00005", "00000")));
  EXPECT_THAT(LiveCommentKeys(base),
              ElementsAre(Key("VIW", "0000C", "00001", "00000"),
                          Key("VIWX", "0000C", "00001", "00000", "03"),
                          Key("VIX", "00000", "00001", "00000"), Key("MW", "00012"), Key("VIW", ""),
                          Key("MOIW", "0000V", "00000", "00000")));
  EXPECT_EQ(CommentOf(Key("VIW", "0000C", "00001", "00000")), "c 12");
  long date = 0;
  EXPECT_EQ(TBLastModificationDate(base, &date), -1);  // not modified
}

// The 22-character comment key of %MW10: IND2, IND3 and IND4 blank.
const std::string kKey = std::string("MW   00010") + std::string(12, ' ');

class CommentRows : public testing_support::SymbolBaseTest {};

TEST_F(CommentRows, SplitOverTwoFieldsReadBackUpdatedAndDeleted) {
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
  // Updated, rewritten under another key, deleted.
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

class BaseAccess : public testing_support::SymbolBaseTest {
 protected:
  // Creates an object through a handle of its own.
  int CreateThrough(const char* repere, const char* symbol) {
    CTBData* data = nullptr;
    TBInitTabisDll(&data);
    EXPECT_EQ(TBOpenBaseSymbol(data, dir.slash().c_str()), 0);
    CTBObjetAts object(repere, symbol, "", 0, -1);
    const int result = TBCreateObject(data, &object);
    TBCloseBaseSymbol(data);
    TBFreeTabisDll(data);
    return result;
  }
};

// Nothing is written while a person answers, so the base is let go meanwhile
// (kept in a batch): another handle's write then sends the insertion back to
// the base, and it asks about what it finds there now; a base another
// session keeps past the wait gives 104.
TEST_F(BaseAccess, AnInsertionAsksAgainAboutWhatWasWrittenWhileItAsked) {
  Create("%MW10", "Old");
  xbase::Session other;
  std::vector<std::string> asked;
  testing_support::ScriptedDialogDriver answers([&](CDialog& dialog) {
    CString message;
    dialog.GetDlgItemText(19307, message);
    asked.emplace_back(message);
    if (asked.size() == 1) {
      EXPECT_EQ(CreateThrough("%MW20", "New"), 0);
    }
    if (asked.size() == 4) {
      xbase::EngineInit(&other, 0, 6300);
      xbase::Table* table = xbase::TableOpen(&other, dir.file("KR9.DBF").c_str());
      EXPECT_EQ(xbase::TableGo(table, 1), 0);
      EXPECT_EQ(xbase::RecordRecall(table), 0);  // a live row: the lock, no change
    }
    dialog.PressButton(asked.size() < 5 ? IDYES : IDNO);  // no endless questions
  });
  CTBObjetAts renamed("%MW10", "New", "", 0, -1);
  EXPECT_EQ(TBInsertObject(base, &renamed, 2), 0);
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_THAT(asked[1], testing::HasSubstr("repr\xE9sente le rep\xE8re %MW20"));
  EXPECT_EQ(LiveRowCount(), 1);
  EXPECT_EQ(LiveRow("%MW10").symbole, "New");
  ASSERT_EQ(TBBeginBatch(base), 0);
  renamed.m_symbole = "Newer";
  EXPECT_EQ(TBInsertObject(base, &renamed, 2), 0);
  EXPECT_EQ(TBEndBatch(base), 0);
  EXPECT_EQ(asked.size(), 3u);
  base->m_session.busy_timeout_ms = 20;
  renamed.m_symbole = "Newest";
  EXPECT_EQ(TBInsertObject(base, &renamed, 2), TB_LOCKED_BY_OTHER);
  xbase::EngineEnd(&other);
  EXPECT_EQ(asked.size(), 4u);
  EXPECT_EQ(LiveRow("%MW10").symbole, "Newer");
}

using Batch = testing_support::SymbolBaseTest;

// A child process creates `count` objects in a batch, ending it or dying first.
void CreateInChild(const std::string& directory, int count, bool end) {
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    CTBData* data = nullptr;
    TBInitTabisDll(&data);
    int failed = TBOpenBaseSymbol(data, directory.c_str()) | TBBeginBatch(data);
    for (int i = 0; i < count; ++i) {
      std::string repere = "%MW" + std::to_string(i);
      CTBObjetAts object(repere.c_str(), ("S" + std::to_string(i)).c_str(), "Com", 0, -1);
      failed |= TBCreateObject(data, &object);
    }
    if (end) failed |= TBEndBatch(data);
    _exit(failed == 0 ? 0 : 1);
  }
  ASSERT_EQ(testing_support::ChildExit(pid), 0);
}

TEST_F(Batch, IsInTheFilesWhenEndedAndNotAtAllBefore) {
  ASSERT_EQ(TBCloseBaseSymbol(base), 0);
  CreateInChild(dir.slash(), 300, false);
  ASSERT_EQ(TBOpenBaseSymbol(base, dir.slash().c_str()), 0);
  EXPECT_EQ(LiveRowCount(), 0);
  ASSERT_EQ(HostErrorReports().size(), 1u);  // the dead process's write, rolled back
  HostClearErrorReports();
  ASSERT_EQ(TBCloseBaseSymbol(base), 0);
  CreateInChild(dir.slash(), 300, true);
  ASSERT_EQ(TBOpenBaseSymbol(base, dir.slash().c_str()), 0);
  EXPECT_EQ(LiveRowCount(), 300);
  CTBObjetAts found("", "S299", "", 0, -1);
  EXPECT_EQ(TBSearchAttrib(base, &found, 1), 0);
  EXPECT_STREQ(found.m_commentaire, "Com");
}

// An exception undoes the whole batch; nested batches end with the outermost.
TEST_F(Batch, ACallLeftByAnExceptionUndoesItAll) {
  ASSERT_EQ(TBBeginBatch(base), 0);
  ASSERT_EQ(TBBeginBatch(base), 0);
  Create("%MW1", "One");
  EXPECT_EQ(TBEndBatch(base), 0);
  EXPECT_EQ(TBLockBaseSymbol(base), TB_LOCKED_BY_OTHER);
  Create("%MW2", "Two");
  testing_support::ScriptedDialogDriver thrower([](CDialog&) { AfxThrowUserException(); });
  CTBObjetAts conflict("%MW3", "Two", "", 0, -1);
  EXPECT_EQ(TBInsertObject(base, &conflict, 2), 0);
  EXPECT_THAT(HostErrorReports(),
              testing::ElementsAre(testing_support::ReportIs(508, 425, "Tabisfctex")));
  HostClearErrorReports();
  EXPECT_EQ(TBEndBatch(base), TB_BATCH_UNDONE);
  EXPECT_EQ(TBEndBatch(base), 0);
  EXPECT_EQ(LiveRowCount(), 0);
  ASSERT_EQ(TBBeginBatch(base), 0);
  Create("%MW4", "Four");
  ASSERT_EQ(TBCloseBaseSymbol(base), 0);  // ends the batch: written
  ASSERT_EQ(TBOpenBaseSymbol(base, dir.slash().c_str()), 0);
  EXPECT_EQ(LiveRowCount(), 1);
}

}  // namespace
