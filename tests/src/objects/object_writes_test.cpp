// Writing objects: create, modify, delete, and insert with conflict resolution.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "support/symbol_base.h"
#include "symbase/afxwin.h"

namespace {

using Texts = std::vector<std::string>;

// The three fields of "address|symbol|comment"; missing ones empty.
Texts Fields(const std::string& object) {
  Texts fields;
  std::stringstream stream(object);
  for (std::string field; std::getline(stream, field, '|');) fields.push_back(field);
  fields.resize(3);
  return fields;
}

class ObjectsTest : public testing_support::SymbolBaseTest {
 protected:
  void CreateAll(const Texts& objects) {
    for (const std::string& object : objects) {
      const Texts f = Fields(object);
      Create(f[0].c_str(), f[1].c_str(), f[2].c_str());
    }
  }

  // The live rows in record order; a row has a live comment row exactly
  // when it is marked commented, and no other comment row is live.
  Texts Rows() {
    Texts rows;
    int commented = 0;
    for (const testing_support::MainRow& row : MainRows()) {
      if (row.deleted) continue;
      const std::string comment = CommentOf(row.key);
      EXPECT_EQ(comment == "<none>", row.iscmt != "O") << row.repere;
      commented += row.iscmt == "O" ? 1 : 0;
      rows.push_back(row.repere + "|" + row.symbole + "|" + (row.iscmt == "O" ? comment : ""));
    }
    xbase::Table* comments = base->m_commentTable;
    for (int r = xbase::TableTop(comments); r == 0; r = xbase::TableSkip(comments, 1)) {
      commented -= xbase::RecordIsDeleted(comments) == 0 ? 1 : 0;
    }
    EXPECT_EQ(commented, 0) << "live comment rows without their object";
    return rows;
  }
};

constexpr int kYes = 6, kYesToAll = 19305, kNo = 7, kNoToAll = 24511, kCancel = 2;

// Answers each confirmation dialog with the next scripted button and keeps
// the message it showed.
class ConfirmScript : public CDialogDriver {
 public:
  void Run(CDialog& dialog) override {
    dialog.RunInitDialog();
    CString text;
    dialog.GetDlgItemText(19307, text);
    messages.emplace_back(text);
    dialog.GetWindowText(text);
    EXPECT_STREQ(text, "Confirmation du remplacement ");
    ASSERT_FALSE(presses.empty()) << "unexpected dialog: " << messages.back();
    dialog.PressButton(presses.front());
    presses.pop_front();
  }

  std::deque<int> presses;
  Texts messages;
};

// One insertion: the object as "address|symbol|comment", the mode, the
// buttons pressed in the dialogs it shows and its result; `allPressed`
// (0 or 1) is set first when not -1.
struct InsertStep {
  const char* object;
  int mode;
  std::vector<int> presses;
  int result;
  int allPressed = -1;
};

struct InsertCase {
  const char* name;
  Texts before;  // rows created first, as "address|symbol|comment"
  std::vector<InsertStep> steps;
  Texts after;               // the live rows then, in record order
  std::string message = "";  // the first dialog's message, when checked
};

class Insertion : public ObjectsTest {
 protected:
  void SetUp() override {
    ObjectsTest::SetUp();
    AfxSetDialogDriver(&script);
  }
  void TearDown() override {
    AfxSetDialogDriver(nullptr);
    EXPECT_TRUE(script.presses.empty()) << "dialogs expected but not shown";
    ObjectsTest::TearDown();
  }

  int Insert(const std::string& row, int mode) {
    const Texts f = Fields(row);
    CTBObjetAts object(f[0].c_str(), f[1].c_str(), "", 0, -1);
    object.m_commentaire = f[2].c_str();
    return TBInsertObject(base, &object, mode);
  }

  ConfirmScript script;
};

void PrintTo(const InsertCase& c, std::ostream* out) { *out << c.name; }

class InsertionCases : public Insertion, public ::testing::WithParamInterface<InsertCase> {};

TEST_P(InsertionCases, LeaveTheBaseAsExpected) {
  CreateAll(GetParam().before);
  for (const InsertStep& step : GetParam().steps) {
    if (step.allPressed != -1) TBSetButtonAllPressed(base, step.allPressed);
    script.presses.assign(step.presses.begin(), step.presses.end());
    EXPECT_EQ(Insert(step.object, step.mode), step.result) << step.object << " " << step.mode;
  }
  EXPECT_EQ(Rows(), GetParam().after);
  if (!GetParam().message.empty()) {
    ASSERT_FALSE(script.messages.empty());
    EXPECT_EQ(script.messages[0], GetParam().message);
  }
}

const char* const kSymbolConflict =
    "Conflit de symboles : le rep\xE8re %MW10 symbolis\xE9 par New existe d\xE9j\xE0 dans la base, "
    "mais il est symbolis\xE9 par Old.\nSouhaitez-vous remplacer le symbole de la base ?";
const char* const kAddressConflict =
    "Conflit de rep\xE8res : le symbole Pump relatif au rep\xE8re %MW20 existe d\xE9j\xE0 dans la "
    "base, mais il repr\xE9sente le rep\xE8re %MW10.\nSouhaitez-vous remplacer le contenu de la "
    "base ?";
const char* const kDoubleConflict =
    "Conflits : le rep\xE8re %MW20 symbolis\xE9 par Pump existe d\xE9j\xE0 dans la base, mais il "
    "est symbolis\xE9 par Valve et le symbole repr\xE9sente le rep\xE8re %MW10.\nSouhaitez-vous "
    "remplacer le contenu de la base ?";
const char* const kCommentConflict =
    "Conflit de commentaires : le rep\xE8re %MW10  existe d\xE9j\xE0 dans la base, mais avec un "
    "commentaire diff\xE9rent.\nSouhaitez-vous remplacer le commentaire de la base ?";

// A missing comment is added first, a missing symbol by the next call. When
// a symbol moves, the row that carried the address's own symbol is deleted.
// An answer for all holds for every kind of conflict until reset; with both
// flags set, yes-to-all is tested first.
const InsertCase kCases[] = {
    {"EqualObjectInAnyMode",
     {"%MW1|A|c"},
     {{"%MW1|A|c", 0, {}, 0},
      {"%MW1|A|c", 1, {}, 0},
      {"%MW1|A|c", 2, {}, 0},
      {"%MW1|A|c", 3, {}, 0}},
     {"%MW1|A|c"}},
    {"NewObjectsInModesZeroToTwo",
     {},
     {{"%MW0|S0|", 0, {}, 0},
      {"%MW1|S1|", 1, {}, 0},
      {"%MW2|S2|", 2, {}, 0},
      {"%MW3|S3|", 3, {}, 0},
      {"%MW8||", 0, {}, 0},
      {"%MW9||only a comment", 1, {}, 0}},
     {"%MW0|S0|", "%MW1|S1|", "%MW2|S2|", "%MW9||only a comment"}},
    {"MissingCommentFirst", {"%MW1||"}, {{"%MW1|A|c", 1, {}, 0}}, {"%MW1||c"}},
    {"MissingSymbolNext",
     {"%MW1||"},
     {{"%MW1|A|c", 1, {}, 0}, {"%MW1|A|c", 1, {}, 0}},
     {"%MW1|A|c"}},
    {"SymbolConflictKept",
     {"%MW1|A|"},
     {{"%MW1|B|", 1, {}, 0}, {"%MW1|B|", 3, {}, 0}},
     {"%MW1|A|"}},
    {"SymbolConflictReplacedInModeZero", {"%MW1|A|"}, {{"%MW1|B|", 0, {}, 0}}, {"%MW1|B|"}},
    {"SymbolConflictRefused",
     {"%MW10|Old|"},
     {{"%MW10|New|", 2, {kNo}, 107}},
     {"%MW10|Old|"},
     kSymbolConflict},
    {"SymbolConflictReplaced", {"%MW1|A|"}, {{"%MW1|B|", 2, {kYes}, 0}}, {"%MW1|B|"}},
    {"AddressConflictKept", {"%MW1|A|c"}, {{"%MW2|A|d", 1, {}, 0}}, {"%MW1|A|c"}},
    {"AddressConflictMovesTheSymbol",
     {"%MW10|Pump|old"},
     {{"%MW20|Pump|new", 2, {kYes}, 0}},
     {"%MW20|Pump|new"},
     kAddressConflict},
    {"AMovedSymbolWithoutCommentTakesTheNewOne",
     {"%MW1|A|", "%MW2|B|"},
     {{"%MW3|A|new", 2, {kYes}, 0}, {"%MW4|B|", 2, {kYes}, 0}},
     {"%MW3|A|new", "%MW4|B|"}},
    {"AddressConflictWithAPresentAddressInModeZero",
     {"%MW1|A|", "%MW2||c"},
     {{"%MW2|A|", 0, {}, 0}},
     {"%MW2|A|"}},
    {"DoubleConflictReplaced",
     {"%MW10|Pump|p", "%MW20|Valve|v"},
     {{"%MW20|Pump|new", 2, {kYes}, 0}},
     {"%MW20|Pump|new"},
     kDoubleConflict},
    {"CommentsEqualOnceTrimmed", {"%MW1|A|Hi"}, {{"%MW1|A|  Hi  ", 2, {}, 0}}, {"%MW1|A|Hi"}},
    {"CommentConflictIsCaseSensitive",
     {"%MW10|Pump|Hello"},
     {{"%MW10|Pump|HELLO", 2, {kYes}, 0}},
     {"%MW10|Pump|HELLO"},
     kCommentConflict},
    {"AnswersForAllLastUntilReset",
     {"%MW1|A1|", "%MW2|A2|", "%MW3|A3|c3"},
     {{"%MW1|B1|", 2, {kYesToAll}, 0},
      {"%MW2|B2|", 2, {}, 0},
      {"%MW3|A3|d3", 2, {}, 0},
      {"%MW1|C1|", 2, {kNoToAll}, 107, 0},
      {"%MW2|C2|", 2, {}, 107},
      {"%MW3|D3|d3", 2, {}, 0, 1}},
     {"%MW1|B1|", "%MW2|B2|", "%MW3|D3|d3"}},
};

INSTANTIATE_TEST_SUITE_P(Conflicts, InsertionCases, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Insertion, CancelAsksToConfirmTheInterruptionAndNobodyToAskWritesNothing) {
  Create("%MW10", "Old");
  // Cancel, "no" to the interruption: the same dialog again; then refuse.
  HostQueueMessageBoxAnswer(IDNO);
  script.presses = {kCancel, kNo};
  EXPECT_EQ(Insert("%MW10|New|", 2), 107);
  ASSERT_EQ(script.messages.size(), 2u);
  EXPECT_EQ(script.messages[0], script.messages[1]);
  // Cancel, "yes": interrupted, nothing written.
  HostQueueMessageBoxAnswer(IDYES);
  script.presses = {kCancel};
  EXPECT_EQ(Insert("%MW10|New|", 2), 106);
  EXPECT_THAT(HostMessageBoxes(),
              ::testing::ElementsAre(testing_support::MessageIs(
                                         "Confirmez-vous l'interruption de la fonction? \n(dans "
                                         "ce cas les \xE9l\xE9ments d\xE9j\xE0 ins\xE9r\xE9s sont "
                                         "conserv\xE9s)",
                                         7, 4),
                                     ::testing::_));
  AfxSetDialogDriver(nullptr);
  EXPECT_EQ(Insert("%MW10|New|", 2), 0);
  EXPECT_EQ(Rows(), Texts({"%MW10|Old|"}));
}

class ObjectRows : public ObjectsTest {};

// A blank or trimmed symbol, a symbol already carried: 101 and the address
// that carries it.
TEST_F(ObjectRows, CreateWritesTheSymbolAndComment) {
  Create("%MW10", "Pump_1", "the pump");
  Create("%MW1", "                                ");
  CTBObjetAts spaced("%MW4", "", "", 0, -1);
  spaced.m_symbole = "  Spaced  ";  // the host's preparation trims it
  ASSERT_EQ(TBCreateObject(base, &spaced), 0);
  CTBObjetAts taken("%MW11", "Pump_1", "ignored", 0, -1);
  EXPECT_EQ(TBCreateObject(base, &taken), 101);
  EXPECT_STREQ(taken.m_repere, "%MW10");
  EXPECT_EQ(Rows(), Texts({"%MW10|Pump_1|the pump", "%MW1||", "%MW4|Spaced|"}));
}

// Mode 0 the symbol only (the object's comment emptied), 1 the comment only
// (the object's symbol emptied, a used one ignored), 2 both (an empty
// comment leaves a blank comment row); other modes change nothing. The
// object's own symbol is taken (101); an unknown address changes nothing.
TEST_F(ObjectRows, ModifyBySymbolCommentOrBoth) {
  CreateAll({"%MW1|Old|kept", "%MW2|Pump|", "%MW3|Pump3|first", "%MW4|Own|", "%MW5|Five|"});
  const struct {
    const char* object;
    int mode, result;
    const char* objectAfter;  // "address|symbol|comment" of the object passed in
  } cases[] = {
      {"%MW5|Valve|text", 5, 0, "%MW5|Valve|text"},
      {"%MW1|New|not written", 0, 0, "%MW1|New|"},
      {"%MW2|Own|now commented", 1, 0, "%MW2||now commented"},
      {"%MW3|Valve|", 2, 0, "%MW3|Valve|"},
      {"%MW4|Own|", 0, 101, "%MW4|Own|"},
      {"%MW99|Other|", 2, 102, "%MW99|Other|"},
  };
  for (const auto& c : cases) {
    const Texts f = Fields(c.object);
    CTBObjetAts object(f[0].c_str(), f[1].c_str(), "", 0, -1);
    object.m_commentaire = f[2].c_str();
    EXPECT_EQ(TBModifyObject(base, &object, c.mode), c.result) << c.object;
    CString repere = object.m_repere;
    repere.TrimRight();
    EXPECT_EQ(repere + "|" + object.m_symbole + "|" + object.m_commentaire, c.objectAfter);
  }
  EXPECT_EQ(Rows(), Texts({"%MW1|New|kept", "%MW2|Pump|now commented", "%MW3|Valve|", "%MW4|Own|",
                           "%MW5|Five|"}));
}

// Not modified since opening, then dated by a creation, by a modification
// in any mode and by a deletion.
TEST_F(ObjectRows, EachChangeDatesTheBase) {
  const std::function<int(CTBObjetAts*)> changes[] = {
      [this](CTBObjetAts* o) { return TBCreateObject(base, o); },
      [this](CTBObjetAts* o) {
        o->m_symbole = "C";
        return TBModifyObject(base, o, 5);
      },
      [this](CTBObjetAts* o) { return TBDelObject(base, o); }};
  for (const auto& change : changes) {
    ASSERT_EQ(TBCloseBaseSymbol(base), 0);
    ASSERT_EQ(TBOpenBaseSymbol(base, dir.slash().c_str()), 0);
    long date = 0;
    EXPECT_EQ(TBLastModificationDate(base, &date), -1);
    CTBObjetAts object("%MW2", "B", "", 0, -1);
    EXPECT_EQ(change(&object), 0);
    EXPECT_EQ(TBLastModificationDate(base, &date), 0);
    EXPECT_GT(date, 0);
  }
}

// Both rows are marked, not removed; the symbol is free again.
TEST_F(ObjectRows, DeleteMarksBothRows) {
  CreateAll({"%MW10|Pump|commented", "%MW11|Valve|"});
  for (const char* repere : {"%MW10", "%MW11"}) {
    CTBObjetAts object(repere, "", "", 0, -1);
    EXPECT_EQ(TBDelObject(base, &object), 0);
  }
  EXPECT_EQ(MainRows().size(), 2u);
  Create("%MW12", "Pump");
  CTBObjetAts missing("%MW10", "", "", 0, -1);
  EXPECT_EQ(TBDelObject(base, &missing), 103);
  EXPECT_EQ(Rows(), Texts({"%MW12|Pump|"}));
}

}  // namespace
