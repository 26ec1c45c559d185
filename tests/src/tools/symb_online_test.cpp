// The on-line dialog opened on each kind of word, and what "Valider" writes.

#include <cstdio>
#include <string>

#include "symb_online_fixture.h"

namespace {

using online_testing::kAlreadySymbolized;
using online_testing::kCommentEdit;
using online_testing::kEmpty;
using online_testing::kRepereEdit;
using online_testing::kSymbolEdit;
using online_testing::Look;
using online_testing::Seen;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class SymbOnLineOpen : public online_testing::SymbOnLineTest {};

TEST_F(SymbOnLineOpen, WordOfClassZeroIsRefusedAndClosesAfterSavingThePosition) {
  UsAts word = Word("%%%");
  ASSERT_EQ(word.wordClass, 0);
  bool scripted = false;
  EXPECT_EQ(Run(&word, [&](CDialog&) { scripted = true; }), IDCANCEL);
  EXPECT_FALSE(scripted);
  EXPECT_THAT(Messages(), ElementsAre(kEmpty));
  EXPECT_NE(Setting("SymbOnLinePosX"), -1);
  EXPECT_NE(Setting("SymbOnLinePosY"), -1);
  EXPECT_THAT(HostFrameNotifications(), IsEmpty());
}

TEST_F(SymbOnLineOpen, NullWordCountsAsNothingUsable) {
  EXPECT_EQ(Run(nullptr, [](CDialog&) {}), IDCANCEL);
  EXPECT_THAT(Messages(), ElementsAre(kEmpty));
}

TEST_F(SymbOnLineOpen, WithoutABaseFromTheObjectServerItClosesAtOnce) {
  HostRegisterServerObject(3, nullptr);
  UsAts word = Word("%MW10");
  bool scripted = false;
  EXPECT_EQ(Run(&word, [&](CDialog&) { scripted = true; }), IDCANCEL);
  EXPECT_FALSE(scripted);
  EXPECT_THAT(Messages(), IsEmpty());
  // Another object than a symbol base is not taken for one.
  CObject* application = HostGetObject(1);
  HostRegisterServerObject(3, application);
  EXPECT_EQ(Run(&word, [&](CDialog&) { scripted = true; }), IDCANCEL);
  EXPECT_FALSE(scripted);
}

TEST_F(SymbOnLineOpen, AddressWithoutRowLeavesSymbolAndCommentToType) {
  UsAts word = Word("%mw010");
  Seen seen;
  Run(&word, [&](CDialog& d) { seen = Look(d); });
  EXPECT_EQ(seen.repere, "%MW10");
  EXPECT_FALSE(seen.repereEnabled);
  EXPECT_EQ(seen.symbole, "");
  EXPECT_TRUE(seen.symboleEnabled);
  EXPECT_EQ(seen.commentaire, "");
  EXPECT_TRUE(seen.commentEnabled);
}

TEST_F(SymbOnLineOpen, AddressWithRowButNoSymbolShowsItsComment) {
  Create("%MW10", "", "Niveau cuve");
  UsAts word = Word("%MW10");
  Seen seen;
  Run(&word, [&](CDialog& d) { seen = Look(d); });
  EXPECT_EQ(seen.commentaire, "Niveau cuve");
  EXPECT_EQ(seen.symbole, "");
  EXPECT_TRUE(seen.symboleEnabled);
  EXPECT_FALSE(seen.repereEnabled);
}

TEST_F(SymbOnLineOpen, AlreadySymbolizedAddressDisablesBothAndValiderAlwaysRefuses) {
  Create("%MW10", "Pompe", "Pompe principale");
  UsAts word = Word("%MW10");
  Seen seen;
  bool stillOpen = false;
  EXPECT_EQ(Run(&word,
                [&](CDialog& d) {
                  seen = Look(d);
                  d.TypeText(kCommentEdit, " modifi\xE9");
                  d.PressButton(IDOK);
                  d.PressKey(VK_RETURN);
                  stillOpen = !d.IsDialogEnded();
                  d.PressKey(VK_ESCAPE);
                }),
            IDCANCEL);
  EXPECT_EQ(seen.symbole, "Pompe");
  EXPECT_FALSE(seen.symboleEnabled);
  EXPECT_EQ(seen.repere, "%MW10");
  EXPECT_FALSE(seen.repereEnabled);
  EXPECT_EQ(seen.commentaire, "Pompe principale");
  EXPECT_TRUE(stillOpen);
  EXPECT_THAT(Messages(), ElementsAre(kAlreadySymbolized, kAlreadySymbolized));
  EXPECT_EQ(CommentOf(LiveRow("%MW10").key), "Pompe principale");
  EXPECT_EQ(LiveRowCount(), 1);
}

TEST_F(SymbOnLineOpen, SymbolLeftToTheBaseTakesItsAddressAndComment) {
  Create("%MW12", "Vanne",
         "Vanne d'entr\xE9"
         "e");
  UsAts word = Word("Vanne");
  ASSERT_EQ(word.wordClass, kWordSymbol);
  Seen seen;
  Run(&word, [&](CDialog& d) { seen = Look(d); });
  EXPECT_EQ(seen.symbole, "Vanne");
  EXPECT_FALSE(seen.symboleEnabled);
  EXPECT_EQ(seen.repere, "%MW12");
  EXPECT_TRUE(seen.repereEnabled);
  EXPECT_EQ(seen.commentaire,
            "Vanne d'entr\xE9"
            "e");
}

TEST_F(SymbOnLineOpen, SymbolUnknownToTheBaseLeavesAddressAndCommentEmpty) {
  UsAts word = Word("Moteur");
  Seen seen;
  Run(&word, [&](CDialog& d) { seen = Look(d); });
  EXPECT_EQ(seen.symbole, "Moteur");
  EXPECT_FALSE(seen.symboleEnabled);
  EXPECT_EQ(seen.repere, "");
  EXPECT_TRUE(seen.repereEnabled);
  EXPECT_EQ(seen.commentaire, "");
}

// Declarations that keep every symbol to themselves.
class DeclaringHost : public CHostServices {
 public:
  int DeclFindSymbol(HostDeclarations*, int scope, const char* symbol,
                     HostDeclRecord* record) override {
    asked = std::string(symbol) + "/" + std::to_string(scope);
    std::snprintf(record->comment, sizeof record->comment, "%s",
                  "D\xE9"
                  "clar\xE9");
    return 0;
  }
  void DeclGetAddress(HostDeclarations*, int, const char* symbol, CString& address) override {
    address = std::string(symbol) == "Compteur" ? "%MD40" : "";
  }
  std::string asked;
};

TEST_F(SymbOnLineOpen, SymbolKeptByTheDeclarationsTakesTheirAddressAndComment) {
  Create("%MW12", "Compteur", "from the base");
  DeclaringHost host;
  HostInstallServices(&host);
  UsAts word = Word("Compteur");
  Seen seen;
  Run(&word, [&](CDialog& d) { seen = Look(d); });
  HostInstallServices(nullptr);
  EXPECT_EQ(host.asked, "Compteur/0");
  EXPECT_EQ(seen.symbole, "Compteur");
  EXPECT_FALSE(seen.symboleEnabled);
  EXPECT_EQ(seen.repere, "%MD40");
  EXPECT_EQ(seen.commentaire,
            "D\xE9"
            "clar\xE9");
}

TEST_F(SymbOnLineOpen, OpenedAgainItStartsFromTheWordAlone) {
  Create("%MW10", "", "garde");
  UsAts word = Word("%MW10");
  CTBSymbOnLine dialog(&word, &frame);
  EXPECT_EQ(Run(dialog,
                [](CDialog& d) {
                  d.TypeText(kSymbolEdit, "AND");
                  online_testing::Retype(d, kCommentEdit, "autre");
                  d.PressButton(IDOK);
                }),
            IDCANCEL);
  EXPECT_THAT(Messages(), ElementsAre(online_testing::kReserved));
  Seen seen;
  EXPECT_EQ(Run(dialog, [&](CDialog& d) { seen = Look(d); }), IDCANCEL);
  EXPECT_EQ(seen.symbole, "");
  EXPECT_EQ(seen.commentaire, "garde");
  EXPECT_EQ(seen.repere, "%MW10");
}

TEST_F(SymbOnLineOpen, OtherWordClassesLeaveEverythingToType) {
  UsAts word = Word("Moteur");
  word.wordClass = 999;
  Seen seen;
  Run(&word, [&](CDialog& d) { seen = Look(d); });
  EXPECT_EQ(seen.symbole, "");
  EXPECT_TRUE(seen.symboleEnabled);
  EXPECT_TRUE(seen.repereEnabled);
  EXPECT_TRUE(seen.commentEnabled);
  EXPECT_THAT(Messages(), IsEmpty());
}

class SymbOnLineStore : public online_testing::SymbOnLineTest {};

TEST_F(SymbOnLineStore, NewAddressIsCreatedAndTheFrameAndHostAreTold) {
  UsAts word = Word("%MW10");
  EXPECT_EQ(Run(&word,
                [](CDialog& d) {
                  d.TypeText(kSymbolEdit, "Pompe_1  ");
                  d.TypeText(kCommentEdit, "Pompe \xE9lectrique   ");
                  d.PressButton(IDOK);
                }),
            IDOK);
  EXPECT_THAT(Messages(), IsEmpty());
  const auto row = LiveRow("%MW10");
  EXPECT_EQ(row.symbole, "Pompe_1");
  EXPECT_EQ(row.iscmt, "O");
  EXPECT_EQ(CommentOf(row.key), "Pompe \xE9lectrique");
  ASSERT_EQ(HostFrameNotifications().size(), 1u);
  const HostFrameNotification told = HostFrameNotifications()[0];
  EXPECT_EQ(told.frame, &frame);
  EXPECT_EQ(told.first, 0);
  EXPECT_EQ(told.code, 4025);
  EXPECT_EQ(told.flag, 1);
  EXPECT_EQ(told.text, "%MW10");
  EXPECT_THAT(HostChangeNotifications(), ElementsAre(HostGetObject(1)));
}

TEST_F(SymbOnLineStore, RowWithoutSymbolIsModifiedInPlace) {
  Create("%MW10", "", "ancien");
  UsAts word = Word("%MW10");
  EXPECT_EQ(Run(&word,
                [](CDialog& d) {
                  d.TypeText(kSymbolEdit, "Niveau");
                  online_testing::Retype(d, kCommentEdit, "nouveau");
                  d.PressKey(VK_RETURN);
                }),
            IDOK);
  EXPECT_EQ(LiveRowCount(), 1);
  EXPECT_EQ(MainRows().size(), 1u);
  EXPECT_EQ(LiveRow("%MW10").symbole, "Niveau");
  EXPECT_EQ(CommentOf(LiveRow("%MW10").key), "nouveau");
  EXPECT_EQ(HostFrameNotifications().size(), 1u);
}

TEST_F(SymbOnLineStore, TypedAddressIsUpperCasedAndWrittenInTheWorkshopsForm) {
  UsAts word = Word("Moteur");
  EXPECT_EQ(Run(&word,
                [](CDialog& d) {
                  d.TypeText(kRepereEdit, "%iw3.01:x4  ");
                  d.PressButton(IDOK);
                }),
            IDOK);
  EXPECT_EQ(LiveRow("%IW3.1:X4").symbole, "Moteur");
  ASSERT_EQ(HostFrameNotifications().size(), 1u);
  EXPECT_EQ(HostFrameNotifications()[0].text, "%IW3.1:X4");
}

TEST_F(SymbOnLineStore, WithoutAFrameTheObjectIsStoredAndOnlyTheHostIsTold) {
  UsAts word = Word("%MW7");
  EXPECT_EQ(Run(
                &word,
                [](CDialog& d) {
                  d.TypeText(kSymbolEdit, "Seul");
                  d.PressButton(IDOK);
                },
                nullptr),
            IDOK);
  EXPECT_EQ(LiveRow("%MW7").symbole, "Seul");
  EXPECT_THAT(HostFrameNotifications(), IsEmpty());
  EXPECT_EQ(HostChangeNotifications().size(), 1u);
}

// A symbol another address carries is not written anywhere: the base keeps
// what it had; the dialog does not look at the result and closes.
TEST_F(SymbOnLineStore, SymbolOfAnotherAddressWritesNothing) {
  Create("%MW10", "Pompe", "garde");
  UsAts word = Word("%MW11");
  EXPECT_EQ(Run(&word,
                [](CDialog& d) {
                  d.TypeText(kSymbolEdit, "Pompe");
                  d.PressButton(IDOK);
                }),
            IDOK);
  EXPECT_EQ(LiveRowCount(), 1);
  EXPECT_EQ(LiveRow("%MW10").symbole, "Pompe");
  EXPECT_EQ(CommentOf(LiveRow("%MW10").key), "garde");
}

TEST_F(SymbOnLineStore, TheFrameIsFoundAboveTheEditorsView) {
  CWnd view;
  ASSERT_TRUE(view.Create("VIEW", "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 800, 600), &frame, 59648));
  UsAts word = Word("%MW10");
  EXPECT_EQ(Run(
                &word,
                [](CDialog& d) {
                  d.TypeText(kSymbolEdit, "Vue");
                  d.PressButton(IDOK);
                },
                &view),
            IDOK);
  ASSERT_EQ(HostFrameNotifications().size(), 1u);
  EXPECT_EQ(HostFrameNotifications()[0].frame, &frame);
}

// A base the host closed behind the dialog: every failed call is reported,
// nothing is written, the dialog still ends as asked.
TEST_F(SymbOnLineStore, ClosedBaseReportsItsFailuresAndWritesNothing) {
  ASSERT_EQ(TBCloseBaseSymbol(base), 0);
  UsAts word = Word("%MW10");
  EXPECT_EQ(Run(&word,
                [](CDialog& d) {
                  d.TypeText(kSymbolEdit, "Pompe");
                  d.PressButton(IDOK);
                }),
            IDOK);
  EXPECT_FALSE(HostErrorReports().empty());
  HostClearErrorReports();
  ASSERT_EQ(TBOpenBaseSymbol(base, dir.slash().c_str()), 0);
  EXPECT_EQ(LiveRowCount(), 0);
}

TEST_F(SymbOnLineStore, CancelWritesNothing) {
  UsAts word = Word("%MW10");
  EXPECT_EQ(Run(&word,
                [](CDialog& d) {
                  d.TypeText(kSymbolEdit, "Pompe");
                  d.PressButton(IDCANCEL);
                }),
            IDCANCEL);
  EXPECT_EQ(LiveRowCount(), 0);
  EXPECT_THAT(HostFrameNotifications(), IsEmpty());
  EXPECT_THAT(HostChangeNotifications(), IsEmpty());
}

}  // namespace
