// The on-line dialog with the host's own services (object names, symbol
// preparation, declarations, a closed base), its edits' limits, its
// position kept between uses, its tooltips and its template.

#include <cstdio>
#include <string>
#include <vector>

#include "symb_online_fixture.h"

namespace {

using online_testing::kEmpty;
using online_testing::kReserved;
using online_testing::kSymbolEdit;
using online_testing::kSyntax;
using online_testing::Steps;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class SymbOnLineHost : public online_testing::SymbOnLineTest {
 protected:
  void TearDown() override {
    HostInstallServices(nullptr);
    SymbOnLineTest::TearDown();
  }
};

// An object-name library with its own answers, an analyser that cannot
// prepare a symbol, and declarations that keep every symbol to themselves.
class OwnHost : public CHostServices {
 public:
  void CheckSymbolName(const char* symbol, int* ok, int* reason) override {
    checked.emplace_back(symbol);
    *ok = refusal == 0 ? 1 : 0;
    *reason = refusal;
  }
  void CheckAnalysedName(const HostContext* context, const UsAts* result, int* ok,
                         int* value) override {
    contextLive = context != nullptr && context->live == 1 && context->value != 0;
    CHostServices::CheckAnalysedName(context, result, ok, value);
    if (refuseWords) *ok = 0;
  }
  int PrepareSymbol(char* symbol) override {
    return unprepared ? 0 : CHostServices::PrepareSymbol(symbol);
  }
  int DeclFindSymbol(HostDeclarations* d, int scope, const char* symbol,
                     HostDeclRecord* record) override {
    if (!declaring) return CHostServices::DeclFindSymbol(d, scope, symbol, record);
    asked = std::string(symbol) + "/" + std::to_string(scope);
    std::snprintf(record->comment, sizeof record->comment, "%s",
                  "D\xE9"
                  "clar\xE9");
    return 0;
  }
  void DeclGetAddress(HostDeclarations*, int, const char* symbol, CString& address) override {
    address = std::string(symbol) == "Compteur" ? "%MD40" : "";
  }
  int refusal = 0;
  bool refuseWords = false, contextLive = false, unprepared = false, declaring = false;
  std::vector<std::string> checked;
  std::string asked;
};

TEST_F(SymbOnLineHost, EachRefusalOfTheSymbolShowsItsMessage) {
  OwnHost host;
  HostInstallServices(&host);
  UsAts word = Word("%MW10");
  EXPECT_EQ(Run(&word,
                [&](CDialog& d) {
                  d.TypeText(kSymbolEdit, "Pompe");
                  for (int reason : {1, 2, 3, 4, 5, 6, 7, 8, -1}) {
                    host.refusal = reason;
                    d.PressButton(IDOK);
                  }
                }),
            IDCANCEL);
  EXPECT_EQ(host.checked, std::vector<std::string>(9, "Pompe"));
  EXPECT_THAT(Messages(), ElementsAre(kReserved, "Le symbole existe d\xE9j\xE0 dans la base",
                                      "Le symbole est associ\xE9 \xE0 un type DFB",
                                      "Le symbole est associ\xE9 \xE0 une instance de DFB",
                                      "Le symbole est associ\xE9 \xE0 un nom d'EF", kSyntax,
                                      kReserved, "", ""));
  // A symbol the analyser cannot prepare counts as empty.
  host.refusal = 0;
  host.unprepared = true;
  EXPECT_EQ(Run(&word, Steps({"S:Pompe", "OK"})), IDCANCEL);
  EXPECT_THAT(Messages(), ElementsAre(kEmpty));
  // An address word the host refuses closes the dialog at once.
  host.refuseWords = true;
  EXPECT_EQ(Run(&word, [](CDialog&) { ADD_FAILURE() << "the dialog stayed open"; }), IDCANCEL);
  EXPECT_TRUE(host.contextLive);
  EXPECT_THAT(Messages(), ElementsAre(kReserved));
  EXPECT_EQ(LiveRowCount(), 0);
}

TEST_F(SymbOnLineHost, ASymbolKeptByTheDeclarationsTakesTheirAddressAndComment) {
  Create("%MW12", "Compteur", "from the base");
  OwnHost host;
  host.declaring = true;
  HostInstallServices(&host);
  std::string seen;
  UsAts word = Word("Compteur");
  Run(&word, [&](CDialog& d) { seen = online_testing::Look(d); });
  EXPECT_EQ(host.asked, "Compteur/0");
  EXPECT_EQ(seen,
            "Compteur|%MD40|D\xE9"
            "clar\xE9|sRC");
}

// Keeps what the checks leave for the store, and stores nothing.
class CheckedOnly : public CTBSymbOnLine {
 public:
  using CTBSymbOnLine::CTBSymbOnLine;
  int StoreInput() override {
    stored.push_back(std::string(m_symbole) + "|" + std::string(m_repere) + "|" +
                     std::string(m_commentaire));
    return 0;
  }
  std::vector<std::string> stored;
};

TEST_F(SymbOnLineHost, ChecksLeaveTheTextsTheStoreWorksOn) {
  UsAts symbol = Word("Moteur");
  symbol.wordClass = 999;  // everything typed
  CheckedOnly typed(&symbol, &frame);
  EXPECT_EQ(Run(typed, Steps({"S:Pompe_\xE9  ", "R:%mw5 ", "C:  c\xF4t\xE9 nord  ", "OK"})),
            IDCANCEL);
  // The address is upper-cased, Windows-1252 letters included; the symbol
  // stays as typed; the comment loses its trailing blanks.
  EXPECT_THAT(typed.stored, ElementsAre("Pompe_\xE9  |%MW5 |  c\xF4t\xE9 nord"));
  UsAts address = Word("%MW10");
  CheckedOnly fromWord(&address, &frame);
  Run(fromWord, Steps({"S:  Pompe  ", "OK"}));
  // The symbol is the analyser's prepared text.
  EXPECT_THAT(fromWord.stored, ElementsAre("Pompe|%MW10|"));
  EXPECT_THAT(Messages(), IsEmpty());
}

// A base the host closed behind the dialog: every failed call is reported,
// nothing is written, the dialog still ends as asked.
TEST_F(SymbOnLineHost, AClosedBaseReportsItsFailuresAndWritesNothing) {
  ASSERT_EQ(TBCloseBaseSymbol(base), 0);
  UsAts word = Word("%MW10");
  EXPECT_EQ(Run(&word, Steps({"S:Pompe", "OK"})), IDOK);
  EXPECT_FALSE(HostErrorReports().empty());
  HostClearErrorReports();
  ASSERT_EQ(TBOpenBaseSymbol(base, dir.slash().c_str()), 0);
  EXPECT_EQ(LiveRowCount(), 0);
}

TEST_F(SymbOnLineHost, EditsHoldWhatTheFieldsHold) {
  UsAts word = Word("%MW10");
  BOOL symbolFitted = TRUE, commentFitted = TRUE;
  EXPECT_EQ(Run(&word,
                [&](CDialog& d) {
                  symbolFitted = d.TypeText(kSymbolEdit, std::string(40, 'S').c_str());
                  commentFitted =
                      d.TypeText(online_testing::kCommentEdit, std::string(600, 'c').c_str());
                  d.PressButton(IDOK);
                }),
            IDOK);
  EXPECT_FALSE(symbolFitted);
  EXPECT_FALSE(commentFitted);
  const auto row = LiveRow("%MW10");
  EXPECT_EQ(row.symbole, std::string(32, 'S'));
  EXPECT_EQ(CommentOf(row.key), std::string(508, 'c'));
  // The address edit has no limit.
  word = Word("Moteur");
  const std::string address = "%MW1" + std::string(300, ' ');
  std::string seen;
  Run(&word, [&](CDialog& d) {
    d.TypeText(online_testing::kRepereEdit, address.c_str());
    seen = online_testing::TextOf(d, online_testing::kRepereEdit);
  });
  EXPECT_EQ(seen, address);
}

TEST_F(SymbOnLineHost, APositionIsSavedAndReusedElseTheDialogIsCentred) {
  UsAts word = Word("%MW10");
  CRect first;
  Run(&word, [&](CDialog& d) {
    d.GetWindowRect(&first);
    d.PressKey(VK_ESCAPE);
  });
  EXPECT_EQ(first.left, 100 + (800 - first.Width()) / 2);
  EXPECT_EQ(first.top, 50 + (600 - first.Height()) / 2);
  EXPECT_EQ(Setting("SymbOnLinePosX"), first.left);
  EXPECT_EQ(Setting("SymbOnLinePosY"), first.top);
  // Moved by the user, then closed by "Valider".
  Run(&word, [&](CDialog& d) {
    d.SetWindowPos(nullptr, 20, 700, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Steps({"S:Pompe", "OK"})(d);
  });
  EXPECT_EQ(Setting("SymbOnLinePosX"), 120);
  EXPECT_EQ(Setting("SymbOnLinePosY"), 750);
  CRect again;
  Run(&word, [&](CDialog& d) { d.GetWindowRect(&again); });
  EXPECT_EQ(again, CRect(120, 750, 120 + first.Width(), 750 + first.Height()));
  // A word refused at opening closes the dialog where the user had put it.
  UsAts refused = Word("%%%");
  EXPECT_EQ(Run(&refused, [](CDialog&) {}), IDCANCEL);
  EXPECT_EQ(Setting("SymbOnLinePosX"), 120);
  EXPECT_EQ(Setting("SymbOnLinePosY"), 750);
  Messages();
  // Either value missing: centred.
  for (const char* kept : {"SymbOnLinePosX", "SymbOnLinePosY"}) {
    HostWriteSetting(HostGetObject(1), 12, "SymbOnLinePosX", -1);
    HostWriteSetting(HostGetObject(1), 12, "SymbOnLinePosY", -1);
    HostWriteSetting(HostGetObject(1), 12, kept, 5);
    CRect shown;
    Run(&word, [&](CDialog& d) { d.GetWindowRect(&shown); });
    EXPECT_EQ(shown.left, 100 + (800 - shown.Width()) / 2) << kept;
  }
}

TEST_F(SymbOnLineHost, ToolTipsNameEachControlAndSeeTheMessages) {
  UsAts word = Word("%MW10");
  std::vector<std::pair<int, std::string>> tools;
  int relayed = 0;
  bool active = false;
  Run(&word, [&](CDialog& d) {
    CToolTipCtrl& tips = static_cast<CTBSymbOnLine&>(d).m_toolTip;
    active = tips.IsActive() != FALSE;
    for (int i = 0; i < tips.GetToolCount(); ++i) {
      tools.emplace_back(tips.GetToolWindow(i)->GetDlgCtrlID(), std::string(tips.GetToolText(i)));
    }
    const int before = tips.GetRelayedCount();
    d.TypeText(kSymbolEdit, "abc");
    relayed = tips.GetRelayedCount() - before;
  });
  EXPECT_TRUE(active);
  EXPECT_THAT(tools, ElementsAre(std::make_pair(1002, std::string("Symbole")),
                                 std::make_pair(1003, std::string("Commentaire associ\xE9")),
                                 std::make_pair(1004, std::string("Rep\xE8re")),
                                 std::make_pair(2, std::string("Annuler")),
                                 std::make_pair(1, std::string("Valider la symbolisation"))));
  EXPECT_EQ(relayed, 3);
}

TEST_F(SymbOnLineHost, TheTemplateIsLaidOutAsTheWorkshopShowsIt) {
  const AFX_DLGTEMPLATE* dialog = AfxFindDialogTemplate(19308);
  ASSERT_NE(dialog, nullptr);
  EXPECT_STREQ(dialog->lpszCaption, "Associer Rep\xE8re & Symbole");
  EXPECT_STREQ(dialog->lpszFontName, "MS Sans Serif");
  EXPECT_EQ(dialog->wPointSize, 8);
  EXPECT_EQ(CRect(dialog->x, dialog->y, dialog->cx, dialog->cy), CRect(0, 0, 300, 31));
  // Each item as "id kind text left,top,right,bottom".
  std::vector<std::string> items;
  for (int i = 0; i < dialog->nItems; ++i) {
    const AFX_DLGITEM& item = dialog->pItems[i];
    if (item.nKind == AFX_CTL_EDIT) {
      EXPECT_EQ(item.dwStyle & (ES_AUTOHSCROLL | WS_BORDER), ES_AUTOHSCROLL | WS_BORDER);
    }
    char text[64];
    std::snprintf(text, sizeof text, "%u %d %d,%d,%d,%d ", item.nID,
                  item.nKind == AFX_CTL_DEFBUTTON ? 1 : 0, item.x, item.y, item.x + item.cx,
                  item.y + item.cy);
    items.push_back(text + std::string(item.lpszText != nullptr ? item.lpszText : ""));
  }
  using ::testing::Contains;
  using ::testing::StartsWith;
  EXPECT_THAT(items, Contains(StartsWith("1002 0 43,2,120,14 ")));
  EXPECT_THAT(items, Contains(StartsWith("1004 0 159,2,250,14 ")));
  EXPECT_THAT(items, Contains(StartsWith("1003 0 52,17,251,29 ")));
  EXPECT_THAT(items, Contains("1 1 255,2,293,14 Valider"));
  EXPECT_THAT(items, Contains("2 0 255,17,293,29 Annuler"));
  EXPECT_THAT(items, Contains(::testing::AllOf(StartsWith("1007 0 121,4,"),
                                               ::testing::EndsWith(" Rep\xE8re :"))));
  EXPECT_THAT(items, Contains(::testing::AllOf(StartsWith("1008 0 7,4,"),
                                               ::testing::EndsWith(" Symbole :"))));
}

}  // namespace
