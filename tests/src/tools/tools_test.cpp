// The tools offered on a base: the on-line symbol dialog and the repeat checks.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "support/analysis.h"
#include "support/scripted_dialog_driver.h"
#include "support/symbol_base.h"
#include "support/xbase_readers.h"
#include "symbase/host.h"

namespace {

using Script = testing_support::ScriptedDialogDriver::Script;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr int kSymbolEdit = 1002, kCommentEdit = 1003, kRepereEdit = 1004;

const std::map<char, std::string> kMessages = {
    {'E', "Vous devez saisir un symbole et un rep\xE8re."},
    {'A', "Le rep\xE8re est d\xE9j\xE0 symbolis\xE9."},
    {'R', "Le symbole est un mot r\xE9serv\xE9"},
    {'S', "Erreur de syntaxe"},
    {'O', "L'indice du tableau doit \xEAtre pair."},
    {'D', "Le symbole existe d\xE9j\xE0 dans la base"},
    {'T', "Le symbole est associ\xE9 \xE0 un type DFB"},
    {'I', "Le symbole est associ\xE9 \xE0 une instance de DFB"},
    {'F', "Le symbole est associ\xE9 \xE0 un nom d'EF"},
    {'-', ""}};

// "symbol|address|comment|" shown, then S, R, C: upper case when enabled.
std::string Look(CDialog& d) {
  std::string seen, letters;
  for (const int id : {kSymbolEdit, kRepereEdit, kCommentEdit}) {
    CString text;
    d.GetDlgItemText(id, text);
    seen += std::string(text) + "|";
    const char letter = "SCR"[id - kSymbolEdit];
    const bool enabled = d.GetDlgItem(id)->IsWindowEnabled() != FALSE;
    letters += enabled ? letter : static_cast<char>(letter - 'A' + 'a');
  }
  return seen + letters;
}

// Steps between "|": "S:text" types into the symbol edit, "S=text" replaces
// its text (C comment, R address); "OK", "CANCEL", "ENTER", "ESC" press.
Script Steps(const std::string& steps) {
  return [steps](CDialog& d) {
    std::istringstream stream(steps);
    for (std::string step; std::getline(stream, step, '|');) {
      if (step == "OK" || step == "CANCEL") {
        d.PressButton(step == "OK" ? IDOK : IDCANCEL);
      } else if (step == "ENTER" || step == "ESC") {
        d.PressKey(step == "ENTER" ? VK_RETURN : VK_ESCAPE);
      } else {
        const int id = step[0] == 'S' ? kSymbolEdit : step[0] == 'C' ? kCommentEdit : kRepereEdit;
        if (step[1] == '=') static_cast<CEdit*>(d.GetDlgItem(id))->SetSel(0, -1);
        d.TypeText(id, step.c_str() + 2);
      }
    }
  };
}

// The analysed word; "?" before it: a word class left to the user.
UsAts Word(const std::string& text) {
  UsAts word = testing_support::Analyse(text.substr(text[0] == '?' ? 1 : 0));
  if (text[0] == '?') word.wordClass = 999;
  return word;
}

class SymbOnLineTest : public testing_support::SymbolBaseTest {
 protected:
  void SetUp() override {
    SymbolBaseTest::SetUp();
    setenv("XDG_CONFIG_HOME", config_.path().c_str(), 1);  // the position's settings
    HostRegisterServerObject(3, base);
    ASSERT_TRUE(frame.Create(nullptr, "Editeur", WS_POPUP | WS_VISIBLE, CRect(100, 50, 900, 650),
                             nullptr, 0));
    Create("%MW10", "Pompe", "Pompe principale");
    Create("%MW11", "", "Niveau cuve");
    Create("%MW12", "Vanne", "Vanne d'entr\351e");
    HostClearRecords();
  }
  void TearDown() override {
    HostInstallServices(nullptr);
    SymbolBaseTest::TearDown();
  }

  static int Run(CTBSymbOnLine& dialog, Script script) {
    testing_support::ScriptedDialogDriver driver(std::move(script));
    return static_cast<int>(dialog.DoModal());
  }
  int Open(UsAts* word, Script script, CWnd* parent) {
    CTBSymbOnLine dialog(word, parent);
    return Run(dialog, std::move(script));
  }
  int Open(const std::string& word, Script script) {
    UsAts analysed = Word(word);
    return Open(&analysed, std::move(script), &frame);
  }

  // The messages shown as letters ("?": another text).
  static std::string Messages() {
    std::string letters;
    for (const HostMessageRecord& record : HostMessageBoxes()) {
      char letter = '?';
      for (const auto& [key, text] : kMessages) letter = text == record.message ? key : letter;
      letters += letter;
    }
    HostClearMessageBoxes();
    return letters;
  }

  std::string Stored(const std::string& repere) {
    for (const testing_support::MainRow& row : MainRows()) {
      if (!row.deleted && row.repere == repere) {
        return row.symbole + "|" + (row.iscmt == "O" ? CommentOf(row.key) : "");
      }
    }
    return "<none>";
  }

  CFrameWnd frame;
  testing_support::TempDir config_;
};

// The word, steps, result, messages, what the dialog showed first, an
// address and what it holds after, the live row count after and, on OK, the
// address the frame is told of when not that one.
struct Case {
  const char* word;
  std::string steps;
  int result;
  const char* messages;
  const char* shown;
  std::string address;
  std::string stored;
  int rows = 3;
  std::string told = "";
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.word << " " << c.steps; }

class SymbOnLine : public SymbOnLineTest, public ::testing::WithParamInterface<Case> {};

TEST_P(SymbOnLine, ShowsChecksAndStores) {
  const Case& c = GetParam();
  std::string shown;
  EXPECT_EQ(Open(c.word,
                 [&](CDialog& d) {
                   shown = Look(d);
                   Steps(c.steps)(d);
                 }),
            c.result);
  EXPECT_EQ(shown, c.shown);
  EXPECT_EQ(Messages(), c.messages);
  EXPECT_EQ(Stored(c.address), c.stored);
  EXPECT_EQ(LiveRowCount(), c.rows);
  // Closing with OK tells the frame and the host.
  const bool ok = c.result == IDOK;
  std::string told;
  for (const HostFrameNotification& n : HostFrameNotifications()) {
    told += std::to_string(n.first) + " " + std::to_string(n.code) + " " + std::to_string(n.flag) +
            " " + n.text + (n.frame == &frame ? ";" : " elsewhere;");
  }
  EXPECT_EQ(told, ok ? "0 4025 1 " + (c.told.empty() ? c.address : c.told) + ";" : "");
  EXPECT_EQ(HostChangeNotifications().size(), ok ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Words, SymbOnLine,
    ::testing::Values(
        // An address without row: symbol and comment to type.
        Case{"%mw013", "", IDCANCEL, "", "|%MW13||SrC", "%MW13", "<none>"},
        // A symbol the base knows takes its address and comment.
        Case{"Vanne", "", IDCANCEL, "", "Vanne|%MW12|Vanne d'entr\351e|sRC", "%MW12",
             "Vanne|Vanne d'entr\351e"},
        // Other word classes leave everything to type; class 0 is refused.
        Case{"?Moteur", "", IDCANCEL, "", "|||SRC", "%MW13", "<none>"},
        Case{"%%%", "", IDCANCEL, "E", "", "%MW13", "<none>"},
        // Blanks alone count as empty; a symbol the base does not know shows alone.
        Case{"%MW13", "OK|S:   |OK", IDCANCEL, "EE", "|%MW13||SrC", "%MW13", "<none>"},
        Case{"Moteur", "R:  |OK", IDCANCEL, "E", "Moteur|||sRC", "%MW13", "<none>"},
        // A typed symbol must be a plain symbol; the comment is trimmed right.
        Case{"%MW13", "S=%MW3|OK|S=Pompe-1|OK|S=AND|OK|S=  Pompe_1  |C:Pompe \xE9lectrique  |OK",
             IDOK, "RRR", "|%MW13||SrC", "%MW13", "Pompe_1|Pompe \xE9lectrique", 4},
        // A typed address must be an object; byte arrays need an even index.
        Case{"Moteur", "R:%ZZ12|OK|C:x|OK", IDCANCEL, "SS", "Moteur|||sRC", "%ZZ12", "<none>"},
        Case{"Tableau", "R:%MB11|OK|R=%KB7|OK|R=%MB12|OK", IDOK, "OO", "Tableau|||sRC", "%MB12",
             "Tableau|", 4},
        Case{"Impair", "R:%MW15|OK", IDOK, "", "Impair|||sRC", "%MW15", "Impair|", 4},
        // An address already symbolized: "Valider" always refuses.
        Case{"%MW10", "C: modifi\xE9|OK|ENTER|ESC", IDCANCEL, "AA",
             "Pompe|%MW10|Pompe principale|srC", "%MW10", "Pompe|Pompe principale"},
        // A row with no symbol shows its comment and is modified in place.
        Case{"%MW11", "S:Niveau|C=nouveau|ENTER", IDOK, "", "|%MW11|Niveau cuve|SrC", "%MW11",
             "Niveau|nouveau"},
        // A symbol another address carries is written nowhere; it closes and
        // the frame is told of that address.
        Case{"%MW14", "S:Pompe|OK", IDOK, "", "|%MW14||SrC", "%MW14", "<none>", 3, "%MW10"},
        // The edits hold what the fields hold.
        Case{"%MW13", "S:" + std::string(40, 'S') + "|C:" + std::string(600, 'c') + "|OK", IDOK, "",
             "|%MW13||SrC", "%MW13", std::string(32, 'S') + "|" + std::string(508, 'c'), 4}));

// Centred on the editor at first; then where the user left it, closed either way.
TEST_F(SymbOnLineTest, ItOpensWhereItWasLastClosed) {
  CRect shown[3], left[2];
  // Shows it, moves it (by the button's number, from the editor's corner) and closes it.
  const auto moveAndClose = [&](int turn, int button) {
    return [&, turn, button](CDialog& d) {
      d.GetWindowRect(&shown[turn]);
      d.SetWindowPos(nullptr, 20 + button, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
      d.GetWindowRect(&left[turn]);
      if (button == IDOK) d.TypeText(kSymbolEdit, "Vue13");
      d.PressButton(button);
    };
  };
  EXPECT_EQ(Open("%MW13", moveAndClose(0, IDCANCEL)), IDCANCEL);
  EXPECT_EQ(Open("%MW13", moveAndClose(1, IDOK)), IDOK);
  Open("%MW14", [&](CDialog& d) { d.GetWindowRect(&shown[2]); });
  EXPECT_EQ((shown[0].left + shown[0].right) / 2, 500);
  EXPECT_EQ((shown[0].top + shown[0].bottom) / 2, 350);
  const auto corner = [](const CRect& r) { return std::make_pair(r.left, r.top); };
  EXPECT_NE(corner(left[0]), corner(left[1]));
  EXPECT_EQ(corner(shown[1]), corner(left[0]));
  EXPECT_EQ(corner(shown[2]), corner(left[1]));
}

// A host with its own name answers and declarations holding every symbol.
class OwnHost : public CHostServices {
 public:
  void CheckSymbolName(const char*, int* ok, int* reason) override {
    *ok = refusal == 0 ? 1 : 0;
    *reason = refusal;
  }
  void CheckAnalysedName(const HostContext* context, const UsAts* result, int* ok,
                         int* value) override {
    contextLive = context != nullptr && context->live == 1 && context->value != 0;
    CHostServices::CheckAnalysedName(context, result, ok, value);
    *ok = refuseWords ? 0 : *ok;
  }
  int PrepareSymbol(char* symbol) override {
    return unprepared ? 0 : CHostServices::PrepareSymbol(symbol);
  }
  int DeclFindSymbol(HostDeclarations*, int scope, const char* symbol,
                     HostDeclRecord* record) override {
    asked = std::string(symbol) + "/" + std::to_string(scope);
    std::snprintf(record->comment, sizeof record->comment, "%s", "D\351clar\xE9");
    return 0;
  }
  void DeclGetAddress(HostDeclarations*, int, const char*, CString& address) override {
    address = "%MD40";
  }
  int refusal = 0;
  bool refuseWords = false, contextLive = false, unprepared = false;
  std::string asked;
};

TEST_F(SymbOnLineTest, TheHostsAnswersDecide) {
  OwnHost host;
  HostInstallServices(&host);
  // Each refusal reason of the symbol shows its message.
  const int closed = Open("%MW13", [&](CDialog& d) {
    d.TypeText(kSymbolEdit, "Pompe");
    for (int reason : {1, 2, 3, 4, 5, 6, 7, 8, -1}) {
      host.refusal = reason;
      d.PressButton(IDOK);
    }
  });
  EXPECT_EQ(closed, IDCANCEL);
  EXPECT_EQ(Messages(), "RDTIFSR--");
  // A symbol the analyser cannot prepare counts as empty.
  host.refusal = 0;
  host.unprepared = true;
  EXPECT_EQ(Open("%MW13", Steps("S:Pompe_1|OK")), IDCANCEL);
  EXPECT_EQ(Messages(), "E");
  // An address word the host refuses closes the dialog at once.
  host.refuseWords = true;
  EXPECT_EQ(Open("%MW13", [](CDialog&) { ADD_FAILURE() << "the dialog stayed open"; }), IDCANCEL);
  EXPECT_TRUE(host.contextLive);
  EXPECT_EQ(Messages(), "R");
  // A symbol the declarations keep takes their address and comment.
  std::string seen;
  Open("Vanne", [&](CDialog& d) { seen = Look(d); });
  EXPECT_EQ(host.asked, "Vanne/0");
  EXPECT_EQ(seen, "Vanne|%MD40|D\351clar\xE9|sRC");
  EXPECT_EQ(LiveRowCount(), 3);
}

using Check = int (CTBTest::*)(CStringList&);
const Check kChecks[] = {&CTBTest::ListOfDoublonRepSymb, &CTBTest::ListOfDoublonCleSymb,
                         &CTBTest::ListOfDoublonCleCmt};

class DuplicateChecks : public testing_support::SymbolBaseTest {
 protected:
  // Creates each address with a comment; "-" before one deletes it.
  void Rows(const std::vector<std::string>& rows) {
    for (const std::string& row : rows) {
      row[0] == '-' ? Delete(row.substr(1)) : Create(row.c_str(), "", "c");
    }
  }

  // What each check appends ("R|text|", "K|...", "C|...") after "kept"; 1 when any.
  std::vector<std::string> Repeats(CTBData* handle) {
    std::vector<std::string> found;
    CTBTest test(handle);
    for (std::size_t c = 0; c < 3; ++c) {
      CStringList list;
      list.AddTail("kept");
      const int result = (test.*kChecks[c])(list);
      EXPECT_EQ(std::string(list.RemoveHead()), "kept") << "the list was emptied first";
      EXPECT_EQ(result, list.IsEmpty() ? 0 : 1);
      while (!list.IsEmpty())
        found.push_back(std::string(1, "RKC"[c]) + "|" + std::string(list.RemoveHead()) + "|");
    }
    return found;
  }
};

// The same checks by python-dbf: in record order, each text met before.
const char kPythonChecks[] = R"(
import dbf, sys
def repeated(path, make):
    table = dbf.Table(path)
    table.open(dbf.READ_ONLY)
    seen, out = set(), []
    for record in table:
        text = make(record)
        if text in seen: out.append(text)
        seen.add(text)
    table.close()
    return out
key = lambda r: ' '.join(r[f] for f in ('objet', 'ind1', 'ind2', 'ind3', 'ind4'))
for text in repeated(sys.argv[1] + 'KR9.DBF', lambda r: r['repere']): print('R|' + text + '|')
for text in repeated(sys.argv[1] + 'KR9.DBF', key): print('K|' + text + '|')
for text in repeated(sys.argv[1] + 'KR9CMT.DBF', key): print('C|' + text + '|')
)";

TEST_F(DuplicateChecks, PythonDbfFindsTheSameRepeats) {
  if (!testing_support::XBaseReadersAvailable()) GTEST_SKIP() << "xBase readers missing";
  Rows({"%MW10", "%IW3.1:X4", "%MW010", "%MW10", "%mw10", "%IW3.1:X5", "%X4.TMAX", "%MW10",
        "%IW3.1:X4", "%NW{1.2}5:X3", "%X4.TMAX", "%KD7", "-%KD7", "%KD7"});
  // Many texts: words repeating every 37 rows, half commented, and input bits.
  for (int i = 0; i < 400; ++i) {
    Create(("%MW" + std::to_string(1000 + i % 37)).c_str(), "", i % 2 != 0 ? "odd" : "");
    Create(("%IW2." + std::to_string(i % 5) + ":X" + std::to_string(i % 16)).c_str());
  }
  const std::vector<std::string> ours = Repeats(base);
  const std::string script = dir.file("checks.py");
  ASSERT_TRUE(testing_support::WriteFileBytes(script, kPythonChecks));
  EXPECT_EQ(testing_support::CommandLines("/usr/bin/python3 " + script + " " + dir.slash()), ours);
  // 5 repeats above, 400 - 37 words and 400 - 80 bits (5 words x 16 bits).
  EXPECT_EQ(
      std::count_if(ours.begin(), ours.end(), [](const std::string& t) { return t[0] == 'R'; }),
      5 + 363 + 320);
}

}  // namespace
