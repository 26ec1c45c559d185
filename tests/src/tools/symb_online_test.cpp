// The on-line dialog: what it shows for each kind of word, what "Valider"
// refuses and writes, who is told, and what independent dBASE readers then
// read in the files.

#include <cstdio>
#include <string>
#include <vector>

#include "support/xbase_readers.h"
#include "symb_online_fixture.h"

namespace {

using online_testing::kAlreadySymbolized;
using online_testing::kEmpty;
using online_testing::kOddIndex;
using online_testing::kReserved;
using online_testing::kSyntax;
using online_testing::Steps;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class SymbOnLine : public online_testing::SymbOnLineTest {
 protected:
  void SetUp() override {
    SymbOnLineTest::SetUp();
    Create("%MW10", "Pompe", "Pompe principale");
    Create("%MW11", "", "Niveau cuve");
    Create("%MW12", "Vanne",
           "Vanne d'entr\xE9"
           "e");
    HostClearRecords();
  }
  // The symbol and comment of a live address ("sym|comment"), "<none>".
  std::string Stored(const std::string& repere) {
    for (const testing_support::MainRow& row : MainRows()) {
      if (!row.deleted && row.repere == repere) {
        return row.symbole + "|" + (row.iscmt == "O" ? CommentOf(row.key) : "");
      }
    }
    return "<none>";
  }
};

TEST_F(SymbOnLine, WhatTheDialogShowsForEachWord) {
  UsAts other = Word("Moteur");
  other.wordClass = 999;
  const struct {
    UsAts word;
    const char* shown;
  } cases[] = {
      // An address without row: symbol and comment to type.
      {Word("%mw013"), "|%MW13||SrC"},
      // An address with a row but no symbol shows its comment.
      {Word("%MW11"), "|%MW11|Niveau cuve|SrC"},
      {Word("%MW10"), "Pompe|%MW10|Pompe principale|srC"},
      // A symbol the base knows takes its address and comment.
      {Word("Vanne"),
       "Vanne|%MW12|Vanne d'entr\xE9"
       "e|sRC"},
      {Word("Moteur"), "Moteur|||sRC"},
      // Other word classes leave everything to type.
      {other, "|||SRC"},
  };
  for (const auto& c : cases) EXPECT_EQ(Shown(c.word), c.shown);
  EXPECT_THAT(Messages(), IsEmpty());
}

TEST_F(SymbOnLine, ValiderRefusesOrWritesAndSaysWhy) {
  const struct {
    const char* word;
    std::vector<std::string> steps;
    int result;
    std::vector<std::string> messages;
    const char* address;  // its row afterwards: "symbol|comment", or "<none>"
    const char* stored;
  } cases[] = {
      // Blanks alone count as empty.
      {"%MW13", {"OK", "S:   ", "OK"}, IDCANCEL, {kEmpty, kEmpty}, "%MW13", "<none>"},
      {"Moteur", {"R:  ", "OK"}, IDCANCEL, {kEmpty}, "%MW13", "<none>"},
      // A symbol typed for an address must be a plain symbol.
      {"%MW13",
       {"S=%MW3", "OK", "S=Pompe-1", "OK", "S=AND", "OK", "S=Pompe_1  ", "C:Pompe \xE9lectrique  ",
        "OK"},
       IDOK,
       {kReserved, kReserved, kReserved},
       "%MW13",
       "Pompe_1|Pompe \xE9lectrique"},
      // A typed address must be an object; byte arrays need an even index.
      {"Moteur", {"R:%ZZ12", "OK", "C:x", "OK"}, IDCANCEL, {kSyntax, kSyntax}, "%ZZ12", "<none>"},
      {"Tableau",
       {"R:%MB11", "OK", "R=%KB7", "OK", "R=%MB12", "OK"},
       IDOK,
       {kOddIndex, kOddIndex},
       "%MB12",
       "Tableau|"},
      {"Impair", {"R:%MW15", "OK"}, IDOK, {}, "%MW15", "Impair|"},
      // Upper-cased and written in the workshop's form.
      {"Moteur", {"R:%iw3.01:x4  ", "OK"}, IDOK, {}, "%IW3.1:X4", "Moteur|"},
      // An address already symbolized: "Valider" always refuses.
      {"%MW10",
       {"C: modifi\xE9", "OK", "ENTER", "ESC"},
       IDCANCEL,
       {kAlreadySymbolized, kAlreadySymbolized},
       "%MW10",
       "Pompe|Pompe principale"},
      // A row without symbol is modified in place.
      {"%MW11", {"S:Niveau", "C=nouveau", "ENTER"}, IDOK, {}, "%MW11", "Niveau|nouveau"},
      // A symbol another address carries is written nowhere; the dialog
      // does not look at the result and closes.
      {"%MW14", {"S:Pompe", "OK"}, IDOK, {}, "%MW14", "<none>"},
      {"%MW14", {"S:Pompe", "CANCEL"}, IDCANCEL, {}, "%MW14", "<none>"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.word + (" " + c.steps.front()));
    UsAts word = Word(c.word);
    EXPECT_EQ(Run(&word, Steps(c.steps)), c.result);
    EXPECT_EQ(Messages(), c.messages);
    EXPECT_EQ(Stored(c.address), c.stored);
    HostClearRecords();
  }
  EXPECT_EQ(LiveRowCount(), 7);
  EXPECT_EQ(MainRows().size(), 7u);
}

TEST_F(SymbOnLine, TheFrameAndTheHostAreToldOfAStoredObject) {
  UsAts word = Word("%MW13");
  EXPECT_EQ(Run(&word, Steps({"S:Pompe_1", "OK"})), IDOK);
  ASSERT_EQ(HostFrameNotifications().size(), 1u);
  const HostFrameNotification told = HostFrameNotifications()[0];
  EXPECT_EQ(told.frame, &frame);
  EXPECT_EQ(told.first, 0);
  EXPECT_EQ(told.code, 4025);
  EXPECT_EQ(told.flag, 1);
  EXPECT_EQ(told.text, "%MW13");
  EXPECT_THAT(HostChangeNotifications(), ElementsAre(HostGetObject(1)));
  HostClearRecords();
  // The frame is found above the editor's view; without a frame only the
  // host is told.
  CWnd view;
  ASSERT_TRUE(view.Create("VIEW", "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 800, 600), &frame, 59648));
  word = Word("%MW14");
  EXPECT_EQ(Run(&word, Steps({"S:Vue", "OK"}), &view), IDOK);
  ASSERT_EQ(HostFrameNotifications().size(), 1u);
  EXPECT_EQ(HostFrameNotifications()[0].frame, &frame);
  HostClearRecords();
  word = Word("%MW7");
  EXPECT_EQ(Run(&word, Steps({"S:Seul", "OK"}), nullptr), IDOK);
  EXPECT_EQ(Stored("%MW7"), "Seul|");
  EXPECT_THAT(HostFrameNotifications(), IsEmpty());
  EXPECT_EQ(HostChangeNotifications().size(), 1u);
}

TEST_F(SymbOnLine, NothingUsableClosesAtOnce) {
  UsAts empty = Word("%%%");
  ASSERT_EQ(empty.wordClass, 0);
  UsAts word = Word("%MW13");
  bool scripted = false;
  auto never = [&](CDialog&) { scripted = true; };
  // A word of class 0, or none, is refused after saving the position.
  EXPECT_EQ(Run(&empty, never), IDCANCEL);
  EXPECT_EQ(Run(nullptr, never), IDCANCEL);
  EXPECT_THAT(Messages(), ElementsAre(kEmpty, kEmpty));
  EXPECT_NE(Setting("SymbOnLinePosX"), -1);
  EXPECT_NE(Setting("SymbOnLinePosY"), -1);
  // No base from the object server, or another object than a base: closed
  // without a word.
  HostRegisterServerObject(3, nullptr);
  EXPECT_EQ(Run(&word, never), IDCANCEL);
  HostRegisterServerObject(3, HostGetObject(1));
  EXPECT_EQ(Run(&word, never), IDCANCEL);
  EXPECT_FALSE(scripted);
  EXPECT_THAT(Messages(), IsEmpty());
  EXPECT_THAT(HostFrameNotifications(), IsEmpty());
}

// Another open after a refusal starts from the word alone.
TEST_F(SymbOnLine, OpenedAgainItStartsFromTheWordAlone) {
  UsAts word = Word("%MW11");
  CTBSymbOnLine dialog(&word, &frame);
  EXPECT_EQ(Run(dialog, Steps({"S:AND", "C=autre", "OK"})), IDCANCEL);
  EXPECT_THAT(Messages(), ElementsAre(kReserved));
  std::string seen;
  EXPECT_EQ(Run(dialog, [&](CDialog& d) { seen = online_testing::Look(d); }), IDCANCEL);
  EXPECT_EQ(seen, "|%MW11|Niveau cuve|SrC");
}

// What "Valider" stores, read back from the files by python dbfread and dbf.
TEST_F(SymbOnLine, StoredObjectsReadBackWithBothReaders) {
  if (!testing_support::XBaseReadersAvailable()) GTEST_SKIP() << "xBase readers missing";
  UsAts fresh = Word("%MW13");
  ASSERT_EQ(Run(&fresh, Steps({"S:\xC9tat_pompe", "C:Pompe \xE9lectrique", "OK"})), IDOK);
  UsAts existing = Word("%MW11");
  ASSERT_EQ(Run(&existing, Steps({"S:Niveau", "OK"})), IDOK);
  for (const char* reader : {"dbfread", "dbf"}) {
    // UTF-8 of the Windows-1252 texts: "État_pompe", "Pompe électrique".
    EXPECT_EQ(testing_support::ReaderRows(reader, dir.file("KR9.DBF")),
              (std::vector<std::string>{
                  "L|MW|00010||||%MW10|Pompe|O", "L|MW|00011||||%MW11|Niveau|O",
                  "L|MW|00012||||%MW12|Vanne|O", "L|MW|00013||||%MW13|\xC3\x89tat_pompe|O"}))
        << reader;
    EXPECT_EQ(
        testing_support::ReaderRows(reader, dir.file("KR9CMT.DBF")),
        (std::vector<std::string>{"L|MW|00010||||Pompe principale|", "L|MW|00011||||Niveau cuve|",
                                  "L|MW|00012||||Vanne d'entr\xC3\xA9"
                                  "e|",
                                  "L|MW|00013||||Pompe \xC3\xA9lectrique|"}))
        << reader;
  }
}

}  // namespace
