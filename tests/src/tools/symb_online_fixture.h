#ifndef SYMBASE_TESTS_SRC_TOOLS_SYMB_ONLINE_FIXTURE_H
#define SYMBASE_TESTS_SRC_TOOLS_SYMB_ONLINE_FIXTURE_H

// The on-line dialog opened on a fresh base that the object server hands
// out, inside an editor frame, with the host's settings in a folder of its
// own. Scripts act on the open dialog as a user would.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "support/scripted_dialog_driver.h"
#include "support/symbol_base.h"
#include "support/temp_dir.h"
#include "symbase/host.h"
#include "symbase/tabis.h"

namespace online_testing {

using Script = testing_support::ScriptedDialogDriver::Script;

constexpr int kSymbolEdit = 1002, kCommentEdit = 1003, kRepereEdit = 1004;

const char kEmpty[] = "Vous devez saisir un symbole et un rep\xE8re.";
const char kAlreadySymbolized[] = "Le rep\xE8re est d\xE9j\xE0 symbolis\xE9.";
const char kReserved[] = "Le symbole est un mot r\xE9serv\xE9";
const char kSyntax[] = "Erreur de syntaxe";
const char kOddIndex[] = "L'indice du tableau doit \xEAtre pair.";

inline std::string TextOf(CDialog& dialog, int id) {
  CString text;
  dialog.GetDlgItemText(id, text);
  return std::string(text);
}

// What the open dialog shows: "symbol|address|comment|" then S, R and C for
// the edits, upper case when enabled.
inline std::string Look(CDialog& dialog) {
  std::string seen = TextOf(dialog, kSymbolEdit) + "|" + TextOf(dialog, kRepereEdit) + "|" +
                     TextOf(dialog, kCommentEdit) + "|";
  const std::pair<int, char> edits[] = {
      {kSymbolEdit, 'S'}, {kRepereEdit, 'R'}, {kCommentEdit, 'C'}};
  for (const auto& [id, letter] : edits) {
    const bool enabled = dialog.GetDlgItem(id)->IsWindowEnabled() != FALSE;
    seen += enabled ? letter : static_cast<char>(letter - 'A' + 'a');
  }
  return seen;
}

// A script of steps: "S:text" types into the symbol edit, "S=text" replaces
// what it holds (C and R likewise for the comment and the address); "OK",
// "CANCEL", "ENTER" and "ESC" press.
inline Script Steps(std::vector<std::string> steps) {
  return [steps](CDialog& d) {
    for (const std::string& step : steps) {
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

class SymbOnLineTest : public testing_support::SymbolBaseTest {
 protected:
  void SetUp() override {
    SymbolBaseTest::SetUp();
    const char* previous = std::getenv("XDG_CONFIG_HOME");
    had_config_ = previous != nullptr;
    if (had_config_) previous_config_ = previous;
    setenv("XDG_CONFIG_HOME", config_.path().c_str(), 1);
    HostRegisterServerObject(3, base);
    ASSERT_TRUE(frame.Create(nullptr, "Editeur", WS_POPUP | WS_VISIBLE, CRect(100, 50, 900, 650),
                             nullptr, 0));
  }

  void TearDown() override {
    if (had_config_) {
      setenv("XDG_CONFIG_HOME", previous_config_.c_str(), 1);
    } else {
      unsetenv("XDG_CONFIG_HOME");
    }
    SymbolBaseTest::TearDown();
  }

  // The default analyser's result for a word of the program text.
  static UsAts Word(const char* text) {
    HostAnalyser analyser{};
    UsAts word{};
    AnalyserCreate(&analyser);
    AnalyseText(&analyser, text, &word);
    AnalyserFinish(&analyser);
    AnalyserDestroy(&analyser);
    return word;
  }

  // Runs a dialog with the script and gives DoModal's result.
  static int Run(CTBSymbOnLine& dialog, Script script) {
    testing_support::ScriptedDialogDriver driver(std::move(script));
    return static_cast<int>(dialog.DoModal());
  }
  // Opens the dialog on a word inside `parent`.
  int Run(UsAts* word, Script script, CWnd* parent) {
    CTBSymbOnLine dialog(word, parent);
    return Run(dialog, std::move(script));
  }
  int Run(UsAts* word, Script script) { return Run(word, std::move(script), &frame); }
  // What the dialog shows when opened on `word`.
  std::string Shown(UsAts word) {
    std::string seen;
    Run(&word, [&](CDialog& d) { seen = Look(d); });
    return seen;
  }

  // The messages shown, in order; every one a warning with a single button.
  static std::vector<std::string> Messages() {
    std::vector<std::string> messages;
    for (const HostMessageRecord& record : HostMessageBoxes()) {
      EXPECT_EQ(record.text, "");
      EXPECT_EQ(record.kind, 2);
      EXPECT_EQ(record.buttons, 0);
      messages.push_back(record.message);
    }
    HostClearMessageBoxes();
    return messages;
  }

  static int Setting(const char* key) { return HostReadSetting(HostGetObject(1), 12, key, -1); }

  CFrameWnd frame;

 private:
  testing_support::TempDir config_;
  bool had_config_ = false;
  std::string previous_config_;
};

}  // namespace online_testing

#endif
