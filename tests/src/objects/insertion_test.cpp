// Insertion with conflict resolution, with the confirmation dialog driven by
// a script that reads each message and presses the next button.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "support/symbol_base.h"
#include "symbase/afxwin.h"

namespace {

using testing_support::MessageIs;

constexpr int kYes = 6, kYesToAll = 19305, kNo = 7, kNoToAll = 24511, kCancel = 2;

// Answers each confirmation dialog with the next scripted button and keeps
// the caption and message it showed.
class ConfirmScript : public CDialogDriver {
 public:
  void Run(CDialog& dialog) override {
    dialog.RunInitDialog();
    CString text;
    dialog.GetDlgItemText(19307, text);
    messages.emplace_back(text);
    dialog.GetWindowText(text);
    captions.emplace_back(text);
    ASSERT_FALSE(presses.empty()) << "unexpected dialog: " << messages.back();
    const int id = presses.front();
    presses.pop_front();
    dialog.PressButton(id);
  }

  std::deque<int> presses;
  std::vector<std::string> messages;
  std::vector<std::string> captions;
};

class Insertion : public testing_support::SymbolBaseTest {
 protected:
  void SetUp() override {
    SymbolBaseTest::SetUp();
    AfxSetDialogDriver(&script);
  }
  void TearDown() override {
    AfxSetDialogDriver(nullptr);
    EXPECT_TRUE(script.presses.empty()) << "dialogs expected but not shown";
    SymbolBaseTest::TearDown();
  }

  int Insert(const char* repere, const char* symbole, const char* comment, int mode) {
    CTBObjetAts object(repere, symbole, "", 0, -1);
    object.m_commentaire = comment;
    return TBInsertObject(base, &object, mode);
  }

  std::string Symbol(const char* repere) { return LiveRow(repere).symbole; }

  ConfirmScript script;
};

TEST_F(Insertion, EqualObjectChangesNothingInAnyMode) {
  Create("%MW10", "Pump", "comment");
  for (int mode : {0, 1, 2, 3}) {
    EXPECT_EQ(Insert("%MW10", "Pump", "comment", mode), 0);
  }
  EXPECT_EQ(LiveRowCount(), 1);
  EXPECT_TRUE(script.messages.empty());
}

TEST_F(Insertion, NewObjectsAreCreatedInModesZeroToTwo) {
  for (int mode : {0, 1, 2, 3}) {
    const std::string repere = "%MW" + std::to_string(mode);
    const std::string symbol = "Sym" + std::to_string(mode);
    EXPECT_EQ(Insert(repere.c_str(), symbol.c_str(), "", mode), 0);
  }
  EXPECT_EQ(LiveRowCount(), 3);
  EXPECT_EQ(Symbol("%MW2"), "Sym2");
  Insert("%MW9", "", "only a comment", 1);
  EXPECT_EQ(LiveRow("%MW9").iscmt, "O");
}

TEST_F(Insertion, MissingPartsAreAddedOneCallAtATime) {
  Create("%MW10");
  EXPECT_EQ(Insert("%MW10", "Pump", "comment", 1), 0);
  EXPECT_EQ(LiveRow("%MW10").iscmt, "O");
  EXPECT_EQ(Symbol("%MW10"), "");
  EXPECT_EQ(Insert("%MW10", "Pump", "comment", 1), 0);
  EXPECT_EQ(Symbol("%MW10"), "Pump");
}

TEST_F(Insertion, SymbolConflictByMode) {
  Create("%MW10", "Old");
  EXPECT_EQ(Insert("%MW10", "New", "", 1), 0);
  EXPECT_EQ(Symbol("%MW10"), "Old");
  EXPECT_EQ(Insert("%MW10", "New", "", 3), 0);
  EXPECT_EQ(Symbol("%MW10"), "Old");
  EXPECT_EQ(Insert("%MW10", "New", "", 0), 0);
  EXPECT_EQ(Symbol("%MW10"), "New");

  script.presses = {kNo};
  EXPECT_EQ(Insert("%MW10", "Newer", "", 2), 107);
  EXPECT_EQ(Symbol("%MW10"), "New");
  ASSERT_EQ(script.messages.size(), 1u);
  EXPECT_EQ(script.messages[0],
            "Conflit de symboles : le rep\xE8re %MW10 symbolis\xE9 par Newer existe d\xE9j\xE0 "
            "dans la base, mais il est symbolis\xE9 par New.\nSouhaitez-vous remplacer le "
            "symbole de la base ?");
  EXPECT_EQ(script.captions[0], "Confirmation du remplacement ");
  script.presses = {kYes};
  EXPECT_EQ(Insert("%MW10", "Newer", "", 2), 0);
  EXPECT_EQ(Symbol("%MW10"), "Newer");
}

TEST_F(Insertion, AddressConflictWithANewAddressMovesTheSymbol) {
  Create("%MW10", "Pump", "old comment");
  EXPECT_EQ(Insert("%MW20", "Pump", "new comment", 1), 0);
  EXPECT_EQ(LiveRowCount(), 1);

  script.presses = {kYes};
  EXPECT_EQ(Insert("%MW20", "Pump", "new comment", 2), 0);
  ASSERT_EQ(script.messages.size(), 1u);
  EXPECT_EQ(script.messages[0],
            "Conflit de rep\xE8res : le symbole Pump relatif au rep\xE8re %MW20 existe d\xE9j\xE0 "
            "dans la base, mais il repr\xE9sente le rep\xE8re %MW10.\nSouhaitez-vous remplacer le "
            "contenu de la base ?");
  EXPECT_EQ(LiveRowCount(), 1);
  const auto row = LiveRow("%MW20");
  EXPECT_EQ(row.symbole, "Pump");
  EXPECT_EQ(row.key, std::string("MW   00020") + std::string(12, ' '));
  EXPECT_EQ(CommentOf(row.key), "new comment");
  EXPECT_EQ(CommentOf(std::string("MW   00010") + std::string(12, ' ')), "<none>");
}

TEST_F(Insertion, AMovedSymbolWithoutCommentTakesTheNewOne) {
  Create("%MW10", "Pump");
  Create("%MW11", "Valve");
  script.presses = {kYes, kYes};
  EXPECT_EQ(Insert("%MW20", "Pump", "new comment", 2), 0);
  EXPECT_EQ(Insert("%MW21", "Valve", "", 2), 0);
  EXPECT_EQ(LiveRow("%MW20").iscmt, "O");
  EXPECT_EQ(CommentOf(LiveRow("%MW20").key), "new comment");
  EXPECT_EQ(LiveRow("%MW21").iscmt, "");
  EXPECT_EQ(CommentOf(LiveRow("%MW21").key), "<none>");
}

TEST_F(Insertion, AddressConflictWithAPresentAddressInModeZero) {
  Create("%MW10", "Pump");
  Create("%MW20", "", "kept?");
  EXPECT_EQ(Insert("%MW20", "Pump", "", 0), 0);
  EXPECT_EQ(LiveRowCount(), 1);
  EXPECT_EQ(Symbol("%MW20"), "Pump");
}

TEST_F(Insertion, DoubleConflictReplaced) {
  Create("%MW10", "Pump", "pump comment");
  Create("%MW20", "Valve", "valve comment");
  script.presses = {kYes};
  EXPECT_EQ(Insert("%MW20", "Pump", "new", 2), 0);
  EXPECT_EQ(script.messages[0],
            "Conflits : le rep\xE8re %MW20 symbolis\xE9 par Pump existe d\xE9j\xE0 dans la base, "
            "mais il est symbolis\xE9 par Valve et le symbole repr\xE9sente le rep\xE8re %MW10."
            "\nSouhaitez-vous remplacer le contenu de la base ?");
  // The row that carried Valve is deleted; the Pump row moved to %MW20.
  EXPECT_EQ(LiveRowCount(), 1);
  const auto row = LiveRow("%MW20");
  EXPECT_EQ(row.symbole, "Pump");
  EXPECT_EQ(CommentOf(row.key), "new");
  CTBObjetAts valve("", "Valve", "", 0, -1);
  EXPECT_NE(TBSearchRepere(base, &valve), 0);
}

TEST_F(Insertion, CommentConflictIsTrimmedAndCaseSensitive) {
  Create("%MW10", "Pump", "Hello");
  EXPECT_EQ(Insert("%MW10", "Pump", "  Hello  ", 2), 0);  // equal once trimmed
  EXPECT_TRUE(script.messages.empty());
  script.presses = {kYes};
  EXPECT_EQ(Insert("%MW10", "Pump", "HELLO", 2), 0);
  ASSERT_EQ(script.messages.size(), 1u);
  EXPECT_EQ(script.messages[0],
            "Conflit de commentaires : le rep\xE8re %MW10  existe d\xE9j\xE0 dans la base, mais "
            "avec un commentaire diff\xE9rent.\nSouhaitez-vous remplacer le commentaire de la "
            "base ?");
  EXPECT_EQ(CommentOf(LiveRow("%MW10").key), "HELLO");
  EXPECT_EQ(Symbol("%MW10"), "Pump");
}

TEST_F(Insertion, AnswersForAllLastUntilReset) {
  Create("%MW1", "A1");
  Create("%MW2", "A2");
  Create("%MW3", "A3", "c3");
  script.presses = {kYesToAll};
  EXPECT_EQ(Insert("%MW1", "B1", "", 2), 0);
  EXPECT_EQ(Insert("%MW2", "B2", "", 2), 0);    // no dialog
  EXPECT_EQ(Insert("%MW3", "A3", "d3", 2), 0);  // another kind, no dialog either
  EXPECT_EQ(Symbol("%MW2"), "B2");
  EXPECT_EQ(CommentOf(LiveRow("%MW3").key), "d3");
  EXPECT_EQ(script.messages.size(), 1u);

  TBSetButtonAllPressed(base, 0);
  script.presses = {kNoToAll};
  EXPECT_EQ(Insert("%MW1", "C1", "", 2), 107);
  EXPECT_EQ(Insert("%MW2", "C2", "", 2), 107);  // refused without asking
  EXPECT_EQ(Symbol("%MW1"), "B1");
  EXPECT_EQ(script.messages.size(), 2u);

  TBSetButtonAllPressed(base, 1);  // both flags: yes-to-all is tested first
  EXPECT_EQ(Insert("%MW1", "D1", "", 2), 0);
  EXPECT_EQ(Symbol("%MW1"), "D1");
}

TEST_F(Insertion, CancelAsksToConfirmTheInterruption) {
  Create("%MW10", "Old");
  // Cancel, "no" to the interruption: the same dialog again; then refuse.
  HostQueueMessageBoxAnswer(IDNO);
  script.presses = {kCancel, kNo};
  EXPECT_EQ(Insert("%MW10", "New", "", 2), 107);
  EXPECT_EQ(script.messages.size(), 2u);
  EXPECT_EQ(script.messages[0], script.messages[1]);
  // Cancel, "yes": interrupted, nothing written.
  HostQueueMessageBoxAnswer(IDYES);
  script.presses = {kCancel};
  EXPECT_EQ(Insert("%MW10", "New", "", 2), 106);
  EXPECT_EQ(Symbol("%MW10"), "Old");
  EXPECT_THAT(HostMessageBoxes(),
              ::testing::Each(MessageIs("Confirmez-vous l'interruption de la fonction? \n(dans "
                                        "ce cas les \xE9l\xE9ments d\xE9j\xE0 ins\xE9r\xE9s sont "
                                        "conserv\xE9s)",
                                        7, 4)));
  EXPECT_EQ(HostMessageBoxes().size(), 2u);
}

TEST_F(Insertion, NobodyToAskWritesNothing) {
  Create("%MW10", "Old");
  AfxSetDialogDriver(nullptr);
  EXPECT_EQ(Insert("%MW10", "New", "", 2), 0);
  EXPECT_EQ(Symbol("%MW10"), "Old");
}

}  // namespace
