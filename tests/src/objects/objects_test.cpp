// Objects: create, modify, delete, insert with conflict resolution, and searches.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <ctime>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "support/scripted_dialog_driver.h"
#include "support/symbol_base.h"
#include "symbase/afxwin.h"

namespace {

using Texts = std::vector<std::string>;

class ObjectsTest : public testing_support::SymbolBaseTest {
 protected:
  // The live rows in record order; live comment rows exactly for those marked commented.
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

constexpr int kYes = 6, kYesToAll = 19305, kNo = 7, kNoToAll = 24511;

// One insertion: object, mode, the button pressed in its one dialog (0: no
// dialog), result; `allPressed` set first unless -1.
struct InsertStep {
  const char* object;
  int mode;
  int press;
  int result;
  int allPressed = -1;
};

struct InsertCase {
  const char* name;
  Texts before;  // rows created first, as "address|symbol|comment"
  std::vector<InsertStep> steps;
  Texts after;               // the live rows then, in record order
  std::string message = "";  // a pattern found in the first dialog's message, when checked
};

class Insertion : public ObjectsTest {
 protected:
  void TearDown() override {
    EXPECT_TRUE(presses.empty()) << "dialogs expected but not shown";
    ObjectsTest::TearDown();
  }

  int Insert(const std::string& row, int mode) {
    CTBObjetAts object = testing_support::ObjectFrom(row);
    return TBInsertObject(base, &object, mode);
  }

  // Answers each confirmation with the next button, keeping the message shown.
  std::deque<int> presses;
  Texts messages;
  testing_support::ScriptedDialogDriver script{[this](CDialog& dialog) {
    CString text;
    dialog.GetDlgItemText(19307, text);
    messages.emplace_back(text);
    ASSERT_FALSE(presses.empty()) << "unexpected dialog: " << messages.back();
    dialog.PressButton(presses.front());
    presses.pop_front();
  }};
};

class InsertionCases : public Insertion, public ::testing::WithParamInterface<InsertCase> {};

TEST_P(InsertionCases, LeaveTheBaseAsExpected) {
  CreateAll(GetParam().before);
  for (const InsertStep& step : GetParam().steps) {
    if (step.allPressed != -1) TBSetButtonAllPressed(base, step.allPressed);
    presses.assign(step.press != 0 ? 1 : 0, step.press);
    EXPECT_EQ(Insert(step.object, step.mode), step.result) << step.object << " " << step.mode;
  }
  EXPECT_EQ(Rows(), GetParam().after);
  if (!GetParam().message.empty()) {
    ASSERT_FALSE(messages.empty());
    EXPECT_THAT(messages[0], ::testing::ContainsRegex(GetParam().message));
  }
}

// Patterns of the conflicts' messages: the objects they name, in order.
const char* const kSymbolConflict = "rep\xE8re %MW10 symbolis\xE9 par New .* par Old\\.";
const char* const kAddressConflict =
    "symbole Pump relatif au rep\xE8re %MW20 .* rep\xE8re %MW10\\.";
const char* const kDoubleConflict =
    "%MW20 symbolis\xE9 par Pump .* par Valve .* rep\xE8re %MW10\\.";
const char* const kCommentConflict = "commentaires : le rep\xE8re %MW10  existe";

// A missing comment is added first, a missing symbol next. A moved symbol's
// old row is deleted. An answer for all holds for every conflict until reset;
// with both flags set, yes-to-all is tested first.
const InsertCase kCases[] = {
    {"EqualObjectInAnyMode",
     {"%MW1|A|c"},
     {{"%MW1|A|c", 0, 0, 0}, {"%MW1|A|c", 1, 0, 0}, {"%MW1|A|c", 2, 0, 0}, {"%MW1|A|c", 3, 0, 0}},
     {"%MW1|A|c"}},
    {"NewObjectsInModesZeroToTwo",
     {},
     {{"%MW0|S0|", 0, 0, 0},
      {"%MW1|S1|", 1, 0, 0},
      {"%MW2|S2|", 2, 0, 0},
      {"%MW3|S3|", 3, 0, 0},
      {"%MW8||", 0, 0, 0},
      {"%MW9||only a comment", 1, 0, 0}},
     {"%MW0|S0|", "%MW1|S1|", "%MW2|S2|", "%MW9||only a comment"}},
    {"MissingCommentFirst", {"%MW1||"}, {{"%MW1|A|c", 1, 0, 0}}, {"%MW1||c"}},
    {"MissingSymbolNext", {"%MW1||"}, {{"%MW1|A|c", 1, 0, 0}, {"%MW1|A|c", 1, 0, 0}}, {"%MW1|A|c"}},
    {"SymbolConflictKept", {"%MW1|A|"}, {{"%MW1|B|", 1, 0, 0}, {"%MW1|B|", 3, 0, 0}}, {"%MW1|A|"}},
    {"SymbolConflictReplacedInModeZero", {"%MW1|A|"}, {{"%MW1|B|", 0, 0, 0}}, {"%MW1|B|"}},
    {"SymbolConflictRefused",
     {"%MW10|Old|"},
     {{"%MW10|New|", 2, kNo, 107}},
     {"%MW10|Old|"},
     kSymbolConflict},
    {"AddressConflictKept", {"%MW1|A|c"}, {{"%MW2|A|d", 1, 0, 0}}, {"%MW1|A|c"}},
    {"AddressConflictMovesTheSymbol",
     {"%MW10|Pump|old"},
     {{"%MW20|Pump|new", 2, kYes, 0}},
     {"%MW20|Pump|new"},
     kAddressConflict},
    {"AMovedSymbolWithoutCommentTakesTheNewOne",
     {"%MW1|A|", "%MW2|B|"},
     {{"%MW3|A|new", 2, kYes, 0}, {"%MW4|B|", 2, kYes, 0}},
     {"%MW3|A|new", "%MW4|B|"}},
    {"AddressConflictWithAPresentAddressInModeZero",
     {"%MW1|A|", "%MW2||c"},
     {{"%MW2|A|", 0, 0, 0}},
     {"%MW2|A|"}},
    {"DoubleConflictReplaced",
     {"%MW10|Pump|p", "%MW20|Valve|v"},
     {{"%MW20|Pump|new", 2, kYes, 0}},
     {"%MW20|Pump|new"},
     kDoubleConflict},
    {"CommentsEqualOnceTrimmed", {"%MW1|A|Hi"}, {{"%MW1|A|  Hi  ", 2, 0, 0}}, {"%MW1|A|Hi"}},
    {"CommentConflictIsCaseSensitive",
     {"%MW10|Pump|Hello"},
     {{"%MW10|Pump|HELLO", 2, kYes, 0}},
     {"%MW10|Pump|HELLO"},
     kCommentConflict},
    {"AnswersForAllLastUntilReset",
     {"%MW1|A1|", "%MW2|A2|", "%MW3|A3|c3"},
     {{"%MW1|B1|", 2, kYesToAll, 0},
      {"%MW2|B2|", 2, 0, 0},
      {"%MW3|A3|d3", 2, 0, 0},
      {"%MW1|C1|", 2, kNoToAll, 107, 0},
      {"%MW2|C2|", 2, 0, 107},
      {"%MW3|D3|d3", 2, 0, 0, 1}},
     {"%MW1|B1|", "%MW2|B2|", "%MW3|D3|d3"}},
};

INSTANTIATE_TEST_SUITE_P(Conflicts, InsertionCases, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

class ObjectRows : public ObjectsTest {};

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
    CTBObjetAts object = testing_support::ObjectFrom(c.object);
    EXPECT_EQ(TBModifyObject(base, &object, c.mode), c.result) << c.object;
    CString repere = object.m_repere;
    repere.TrimRight();
    EXPECT_EQ(repere + "|" + object.m_symbole + "|" + object.m_commentaire, c.objectAfter);
  }
  EXPECT_EQ(Rows(), Texts({"%MW1|New|kept", "%MW2|Pump|now commented", "%MW3|Valve|", "%MW4|Own|",
                           "%MW5|Five|"}));
}

// Not modified since creating or opening (the date then 0), then dated by a
// creation, by a modification in any mode and by a deletion.
TEST_F(ObjectRows, EachChangeDatesTheBase) {
  long date = 12345;
  EXPECT_EQ(TBLastModificationDate(base, &date), -1);
  EXPECT_EQ(date, 0);
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
    EXPECT_EQ(TBLastModificationDate(base, &date), -1);
    CTBObjetAts object("%MW2", "B", "", 0, -1);
    const long before = static_cast<long>(std::time(nullptr));
    EXPECT_EQ(change(&object), 0);
    EXPECT_EQ(TBLastModificationDate(base, &date), 0);
    EXPECT_GE(date, before);
    EXPECT_LE(date, static_cast<long>(std::time(nullptr)));
  }
}

class Searches : public ObjectsTest {
 protected:
  void SetUp() override {
    ObjectsTest::SetUp();
    CreateAll(
        {"%MW10|Pump_1", "%MW11", "%MW10:X3|Bit_3|a bit", "%IW12.2:X5|In_5", "%X1.3.ERR|Err_step"});
  }
};

// Buffers must hold the field and its end; engine results: 2 after the key, 3 past the end.
TEST_F(Searches, AnalexBufferSizes) {
  char symbol[64] = "";
  EXPECT_EQ(TBSearchSymbolAnalex(base, "%MW10", symbol, 32), 102);
  EXPECT_EQ(TBSearchSymbolAnalex(base, "%MW10", symbol, 33), 0);
  EXPECT_STREQ(symbol, "Pump_1");
  EXPECT_EQ(TBSearchSymbolAnalex(base, "%MW11", symbol, 33), 102);  // no symbol
  EXPECT_EQ(TBSearchSymbolAnalex(base, nullptr, symbol, 33), 102);
  EXPECT_EQ(TBSearchSymbolAnalex(base, "%MW10", nullptr, 33), 102);
  Create("%MW12", std::string(32, 'L').c_str());
  EXPECT_EQ(TBSearchSymbolAnalex(base, "%MW12", symbol, 33), 0);
  EXPECT_EQ(symbol, std::string(32, 'L'));
  EXPECT_EQ(TBSearchSymbolAnalex(base, std::string(37, 'M').c_str(), symbol, 33), 102);
  EXPECT_EQ(TBSearchSymbolAnalex(base, std::string(36, '%').c_str(), symbol, 33), 2);
  EXPECT_EQ(TBSearchSymbolAnalex(base, "%X9", symbol, 33), 3);

  char address[64] = "";
  char name[64] = "Pump_1";
  EXPECT_EQ(TBSearchRepereAnalex(base, name, address, 36), 102);
  EXPECT_EQ(TBSearchRepereAnalex(base, name, address, 37), 0);
  EXPECT_STREQ(address, "%MW10");
  EXPECT_EQ(TBSearchRepereAnalex(base, nullptr, address, 37), 102);
  EXPECT_EQ(TBSearchRepereAnalex(base, name, nullptr, 37), 102);
  std::strcpy(name, std::string(33, 'P').c_str());
  EXPECT_EQ(TBSearchRepereAnalex(base, name, address, 37), 102);
  std::strcpy(name, std::string(32, 'P').c_str());
  EXPECT_EQ(TBSearchRepereAnalex(base, name, address, 37), 2);
  std::strcpy(name, "zz");
  EXPECT_EQ(TBSearchRepereAnalex(base, name, address, 37), 3);
}

class FindString : public ObjectsTest {
 protected:
  void SetUp() override {
    ObjectsTest::SetUp();
    CreateAll({"%MW3|motor_b|Starts the MOTOR", "%MW1|MOTOR_a", "%MW2|Pump_mot|no match here",
               "%MW4|Valve|motor in comment", "%MW5|\xC9t\xE9_mode", "%MW6|old_motor",
               "%MW7||l'ab" + std::string(247, 'y') + " b  cd ef", "%MW8|ABZ", "%MW9|ABc1",
               "%MW10|" + std::string(32, 'q')});
    Delete("%MW6");
  }

  Texts Find(int symbol_order, int field, const char* text, int match) {
    CStringList list;
    last_result = TBFindStringInBase(base, list, symbol_order, field, text, match);
    return testing_support::ListTexts(list);
  }

  int last_result = -1;
};

// Match 0 contains, 1 ends with, 2 begins with, case ignored; symbol order
// is the byte order of the symbols ("MOTOR_a" < "Pump_mot" < "motor_b").
TEST_F(FindString, SymbolsAndCommentsByMatchKindAndOrder) {
  const struct {
    int order, field;
    const char* text;
    int match, result;
    Texts found;
  } cases[] = {
      {0, 0, "mot", 2, 0, {"%MW1", "%MW3"}},
      {1, 0, "mot", 0, 0, {"%MW1", "%MW2", "%MW3"}},
      {0, 0, "MOT", 1, 0, {"%MW2"}},
      // The cases of a prefix are sought one after the other, up to the whole symbol.
      {0, 0, "abc", 2, 0, {"%MW9"}},
      {0, 0, "QQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQQ", 2, 0, {"%MW10"}},
      // Accented letters regardless of case: "été" begins "Été_mode".
      {0, 0, "\xE9t\xE9", 2, 0, {"%MW5"}},
      {0, 1, "motor", 0, 0, {"%MW3", "%MW4"}},
      {1, 1, "motor", 0, 0, {"%MW4", "%MW3"}},
      {0, 1, "MOTOR", 1, 0, {"%MW3"}},
      {0, 1, "motor", 2, 0, {"%MW4"}},
      {0, 1, "zzz", 2, 0, {}},
      // A comment over both fields: the blanks ending the first are dropped.
      {0, 1, "Y B CD E", 0, 0, {"%MW7"}},
      {0, 1, "B  CD", 0, 0, {}},
      {0, 1, "L'A", 2, 0, {"%MW7"}},
      // Another field: comments walked one by one, a match at the start included.
      {0, 2, "starts", 0, 0, {"%MW3"}},
      {1, 2, "motor", 0, 0, {"%MW4", "%MW3"}},
      {0, 0, "zzz", 0, 108, {}},
      {0, 0, "mot", 7, 0, {}},  // an unknown match kind
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Find(c.order, c.field, c.text, c.match), c.found) << c.text << " " << c.match;
    EXPECT_EQ(last_result, c.result) << c.text;
  }
  // Many searches in the same symbols: the later ones look at a summary of
  // the symbols first, and find the same.
  for (int i = 0; i < 40; ++i) {
    EXPECT_EQ(Find(1, 0, "motor_", 0), Texts({"%MW1", "%MW3"}));
    EXPECT_EQ(Find(0, 0, "\xE9T\xC9_m", 0), Texts({"%MW5"}));
    EXPECT_EQ(Find(0, 0, "motor_c", 0), Texts());
    ASSERT_EQ(last_result, 108);
  }
  CStringList list;
  EXPECT_EQ(TBFindStringInBase(base, list, 0, 0, "Valve", 0), 0);
  EXPECT_EQ(TBFindStringInBase(base, list, 0, 0, "Valve", 0), 0);
  EXPECT_EQ(testing_support::ListTexts(list), Texts({"%MW4", "%MW4"}));
  // An apostrophe does not break the base: the malformed filter is reported.
  EXPECT_EQ(Find(0, 0, "it's", 0), Texts());
  EXPECT_EQ(last_result, 108);
  HostClearErrorReports();
  EXPECT_EQ(Find(0, 0, "Valve", 0), Texts({"%MW4"}));
  // No comment left: no row passes the comment filter; another field still walks every row.
  for (const char* repere : {"%MW2", "%MW3", "%MW4", "%MW7"}) Delete(repere);
  EXPECT_EQ(Find(0, 1, "motor", 0), Texts());
  EXPECT_EQ(last_result, 108);
  EXPECT_EQ(Find(0, 2, "motor", 0), Texts());
  EXPECT_EQ(last_result, 0);
}

}  // namespace
