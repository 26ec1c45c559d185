// "Valider" refusals of the on-line dialog, its edits' limits, its position
// kept between uses, its tooltips and its template.

#include <string>
#include <vector>

#include "symb_online_fixture.h"

namespace {

using online_testing::kCommentEdit;
using online_testing::kEmpty;
using online_testing::kOddIndex;
using online_testing::kRepereEdit;
using online_testing::kReserved;
using online_testing::kSymbolEdit;
using online_testing::kSyntax;
using online_testing::Retype;
using online_testing::TextOf;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class SymbOnLineCheck : public online_testing::SymbOnLineTest {};

TEST_F(SymbOnLineCheck, TrailingBlanksAloneCountAsEmpty) {
  UsAts address = Word("%MW10");
  EXPECT_EQ(Run(&address,
                [](CDialog& d) {
                  d.PressButton(IDOK);
                  d.TypeText(kSymbolEdit, "   ");
                  d.PressButton(IDOK);
                }),
            IDCANCEL);
  UsAts symbol = Word("Moteur");
  EXPECT_EQ(Run(&symbol,
                [](CDialog& d) {
                  d.TypeText(kRepereEdit, "  ");
                  d.PressButton(IDOK);
                }),
            IDCANCEL);
  EXPECT_THAT(Messages(), ElementsAre(kEmpty, kEmpty, kEmpty));
  EXPECT_EQ(LiveRowCount(), 0);
}

TEST_F(SymbOnLineCheck, SymbolTypedForAnAddressMustBeAPlainSymbol) {
  UsAts word = Word("%MW10");
  EXPECT_EQ(Run(&word,
                [](CDialog& d) {
                  for (const char* refused : {"%MW3", "Pompe-1", "AND"}) {
                    Retype(d, kSymbolEdit, refused);
                    d.PressButton(IDOK);
                  }
                  Retype(d, kSymbolEdit, "Pompe_1");
                  d.PressButton(IDOK);
                }),
            IDOK);
  EXPECT_THAT(Messages(), ElementsAre(kReserved, kReserved, kReserved));
  EXPECT_EQ(LiveRow("%MW10").symbole, "Pompe_1");
}

TEST_F(SymbOnLineCheck, TypedAddressMustBeAnObject) {
  UsAts word = Word("Moteur");
  EXPECT_EQ(Run(&word,
                [](CDialog& d) {
                  d.TypeText(kRepereEdit, "%ZZ12");
                  d.PressButton(IDOK);
                  d.TypeText(kCommentEdit, "x");
                  d.PressButton(IDOK);
                }),
            IDCANCEL);
  EXPECT_THAT(Messages(), ElementsAre(kSyntax, kSyntax));
  EXPECT_EQ(LiveRowCount(), 0);
}

TEST_F(SymbOnLineCheck, ByteArraysNeedAnEvenIndex) {
  UsAts word = Word("Tableau");
  EXPECT_EQ(Run(&word,
                [](CDialog& d) {
                  d.TypeText(kRepereEdit, "%MB11");
                  d.PressButton(IDOK);
                  Retype(d, kRepereEdit, "%KB7");
                  d.PressButton(IDOK);
                  Retype(d, kRepereEdit, "%MB12");
                  d.PressButton(IDOK);
                }),
            IDOK);
  EXPECT_THAT(Messages(), ElementsAre(kOddIndex, kOddIndex));
  EXPECT_EQ(LiveRow("%MB12").symbole, "Tableau");
}

TEST_F(SymbOnLineCheck, OddIndexOfOtherKindsPasses) {
  UsAts word = Word("Impair");
  EXPECT_EQ(Run(&word,
                [](CDialog& d) {
                  d.TypeText(kRepereEdit, "%MW11");
                  d.PressButton(IDOK);
                }),
            IDOK);
  EXPECT_EQ(LiveRow("%MW11").symbole, "Impair");
}

// An object-name library with its own answers.
class NamingHost : public CHostServices {
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
  int refusal = 0;
  bool refuseWords = false;
  bool contextLive = false;
  std::vector<std::string> checked;
};

TEST_F(SymbOnLineCheck, EachRefusalOfTheSymbolShowsItsMessage) {
  NamingHost host;
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
  HostInstallServices(nullptr);
  EXPECT_EQ(host.checked.size(), 9u);
  EXPECT_EQ(host.checked.front(), "Pompe");
  EXPECT_THAT(Messages(), ElementsAre(kReserved, "Le symbole existe d\xE9j\xE0 dans la base",
                                      "Le symbole est associ\xE9 \xE0 un type DFB",
                                      "Le symbole est associ\xE9 \xE0 une instance de DFB",
                                      "Le symbole est associ\xE9 \xE0 un nom d'EF", kSyntax,
                                      kReserved, "", ""));
  EXPECT_EQ(LiveRowCount(), 0);
}

// An analyser that takes a text for a symbol but cannot prepare it.
class UnpreparedHost : public CHostServices {
 public:
  int PrepareSymbol(char*) override { return 0; }
};

TEST_F(SymbOnLineCheck, SymbolTheAnalyserCannotPrepareCountsAsEmpty) {
  UnpreparedHost host;
  HostInstallServices(&host);
  UsAts word = Word("%MW10");
  const int result = Run(&word, [](CDialog& d) {
    d.TypeText(kSymbolEdit, "Pompe");
    d.PressButton(IDOK);
  });
  HostInstallServices(nullptr);
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_THAT(Messages(), ElementsAre(kEmpty));
  EXPECT_EQ(LiveRowCount(), 0);
}

TEST_F(SymbOnLineCheck, AddressWordTheHostRefusesClosesTheDialog) {
  NamingHost host;
  host.refuseWords = true;
  HostInstallServices(&host);
  UsAts word = Word("%MW10");
  const int result = Run(&word, [](CDialog&) { ADD_FAILURE() << "the dialog stayed open"; });
  HostInstallServices(nullptr);
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_TRUE(host.contextLive);
  EXPECT_THAT(Messages(), ElementsAre(kReserved));
}

TEST_F(SymbOnLineCheck, SymbolAndCommentCannotBeTypedBeyondTheirFields) {
  UsAts word = Word("%MW10");
  const std::string symbol(40, 'S');
  const std::string comment(600, 'c');
  BOOL symbolFitted = TRUE, commentFitted = TRUE;
  EXPECT_EQ(Run(&word,
                [&](CDialog& d) {
                  symbolFitted = d.TypeText(kSymbolEdit, symbol.c_str());
                  commentFitted = d.TypeText(kCommentEdit, comment.c_str());
                  d.PressButton(IDOK);
                }),
            IDOK);
  EXPECT_FALSE(symbolFitted);
  EXPECT_FALSE(commentFitted);
  const auto row = LiveRow("%MW10");
  EXPECT_EQ(row.symbole, std::string(32, 'S'));
  EXPECT_EQ(CommentOf(row.key), std::string(508, 'c'));
}

TEST_F(SymbOnLineCheck, AddressEditHasNoLimit) {
  UsAts word = Word("Moteur");
  const std::string address = "%MW1" + std::string(300, ' ');
  std::string seen;
  Run(&word, [&](CDialog& d) {
    d.TypeText(kRepereEdit, address.c_str());
    seen = TextOf(d, kRepereEdit);
  });
  EXPECT_EQ(seen, address);
}

class SymbOnLinePosition : public online_testing::SymbOnLineTest {};

TEST_F(SymbOnLinePosition, FirstUseCentresOnTheParentAndASavedPositionIsReused) {
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
    d.TypeText(kSymbolEdit, "Pompe");
    d.PressButton(IDOK);
  });
  EXPECT_EQ(Setting("SymbOnLinePosX"), 120);
  EXPECT_EQ(Setting("SymbOnLinePosY"), 750);

  CRect again;
  Run(&word, [&](CDialog& d) { d.GetWindowRect(&again); });
  EXPECT_EQ(again, CRect(120, 750, 120 + first.Width(), 750 + first.Height()));
}

TEST_F(SymbOnLinePosition, EitherValueMissingCentres) {
  UsAts word = Word("%MW10");
  for (const char* kept : {"SymbOnLinePosX", "SymbOnLinePosY"}) {
    HostWriteSetting(HostGetObject(1), 12, "SymbOnLinePosX", -1);
    HostWriteSetting(HostGetObject(1), 12, "SymbOnLinePosY", -1);
    HostWriteSetting(HostGetObject(1), 12, kept, 5);
    CRect shown;
    Run(&word, [&](CDialog& d) { d.GetWindowRect(&shown); });
    EXPECT_EQ(shown.left, 100 + (800 - shown.Width()) / 2) << kept;
  }
}

// A word refused at opening closes the dialog where the user had put it.
TEST_F(SymbOnLinePosition, RefusedWordKeepsTheSavedPosition) {
  HostWriteSetting(HostGetObject(1), 12, "SymbOnLinePosX", 30);
  HostWriteSetting(HostGetObject(1), 12, "SymbOnLinePosY", 40);
  UsAts word = Word("%%%");
  EXPECT_EQ(Run(&word, [](CDialog&) {}), IDCANCEL);
  EXPECT_EQ(Setting("SymbOnLinePosX"), 30);
  EXPECT_EQ(Setting("SymbOnLinePosY"), 40);
  HostClearMessageBoxes();
}

TEST_F(SymbOnLineCheck, ToolTipsNameEachControlAndSeeTheMessages) {
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

TEST_F(SymbOnLineCheck, DialogIsLaidOutAsTheWorkshopShowsIt) {
  const AFX_DLGTEMPLATE* dialog = AfxFindDialogTemplate(19308);
  ASSERT_NE(dialog, nullptr);
  EXPECT_STREQ(dialog->lpszCaption, "Associer Rep\xE8re & Symbole");
  EXPECT_STREQ(dialog->lpszFontName, "MS Sans Serif");
  EXPECT_EQ(dialog->wPointSize, 8);
  EXPECT_EQ(CRect(dialog->x, dialog->y, dialog->cx, dialog->cy), CRect(0, 0, 300, 31));
  struct Item {
    UINT id;
    int kind;
    std::string text;
    CRect box;
  };
  std::vector<Item> items;
  for (int i = 0; i < dialog->nItems; ++i) {
    const AFX_DLGITEM& item = dialog->pItems[i];
    items.push_back({item.nID, item.nKind, item.lpszText,
                     CRect(item.x, item.y, item.x + item.cx, item.y + item.cy)});
    if (item.nKind == AFX_CTL_EDIT) {
      EXPECT_EQ(item.dwStyle & (ES_AUTOHSCROLL | WS_BORDER), ES_AUTOHSCROLL | WS_BORDER);
    }
  }
  auto find = [&](UINT id) {
    for (const Item& item : items) {
      if (item.id == id) return item;
    }
    return Item{0, -1, "<none>", CRect()};
  };
  EXPECT_EQ(find(1002).box, CRect(43, 2, 120, 14));
  EXPECT_EQ(find(1004).box, CRect(159, 2, 250, 14));
  EXPECT_EQ(find(1003).box, CRect(52, 17, 251, 29));
  EXPECT_EQ(find(1).text, "Valider");
  EXPECT_EQ(find(1).kind, AFX_CTL_DEFBUTTON);
  EXPECT_EQ(find(1).box, CRect(255, 2, 293, 14));
  EXPECT_EQ(find(2).text, "Annuler");
  EXPECT_EQ(find(2).box, CRect(255, 17, 293, 29));
  EXPECT_EQ(find(1007).text, "Rep\xE8re :");
  EXPECT_EQ(find(1007).box.left, 121);
  EXPECT_EQ(find(1007).box.top, 4);
  EXPECT_EQ(find(1008).text, "Symbole :");
  EXPECT_EQ(find(1008).box.left, 7);
  EXPECT_EQ(find(1008).box.top, 4);
}

}  // namespace

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

TEST_F(SymbOnLineCheck, ChecksLeaveTheTextsTheStoreWorksOn) {
  UsAts symbol = Word("Moteur");
  symbol.wordClass = 999;  // everything typed
  CheckedOnly typed(&symbol, &frame);
  EXPECT_EQ(Run(typed,
                [](CDialog& d) {
                  d.TypeText(kSymbolEdit, "Pompe_\xE9  ");
                  d.TypeText(kRepereEdit, "%mw5 ");
                  d.TypeText(kCommentEdit, "  c\xF4t\xE9 nord  ");
                  d.PressButton(IDOK);
                }),
            IDCANCEL);
  // The address is upper-cased, Windows-1252 letters included; the symbol
  // stays as typed; the comment loses its trailing blanks.
  EXPECT_THAT(typed.stored, ElementsAre("Pompe_\xE9  |%MW5 |  c\xF4t\xE9 nord"));

  UsAts address = Word("%MW10");
  CheckedOnly fromWord(&address, &frame);
  Run(fromWord, [](CDialog& d) {
    d.TypeText(kSymbolEdit, "  Pompe  ");
    d.PressButton(IDOK);
  });
  // The symbol is the analyser's prepared text.
  EXPECT_THAT(fromWord.stored, ElementsAre("Pompe|%MW10|"));
  EXPECT_THAT(Messages(), IsEmpty());
}
