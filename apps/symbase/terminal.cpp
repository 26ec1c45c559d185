#include "terminal.h"

#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <iostream>

#include "text.h"

namespace cli {

namespace {

// Control ids of the confirmation dialog: the message and its five buttons.
constexpr int kMessageControl = 19307;
struct Button {
  char key;
  int id;
  const char* label;
};
constexpr Button kButtons[] = {{'o', 6, "oui"},
                               {'t', 19305, "oui pour tous"},
                               {'n', 7, "non"},
                               {'s', 24511, "non pour tous"},
                               {'a', 2, "annuler"}};

char FirstLetter(const std::string& answer) {
  for (char c : answer) {
    if (!std::isspace(static_cast<unsigned char>(c))) {
      return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
  }
  return '\0';
}

}  // namespace

bool AskLine(const std::string& prompt, std::string* answer) {
  std::fputs(prompt.c_str(), stdout);
  std::fflush(stdout);
  if (!std::getline(std::cin, *answer)) {
    std::fputs("\n", stdout);
    return false;
  }
  // Answers piped in are echoed so that a transcript reads as a dialogue.
  if (::isatty(STDIN_FILENO) == 0) std::printf("%s\n", answer->c_str());
  return true;
}

void TerminalServices::HostReportError(const HostErrorReport& report) {
  ++reports_;
  std::string line = "symbase: error " + std::to_string(report.module) + "/" +
                     std::to_string(report.operation) + " code " + std::to_string(report.code) +
                     " (" + Cp1252ToUtf8(report.source) + " line " + std::to_string(report.line) +
                     ")";
  if (!report.text.empty()) line += ": " + Cp1252ToUtf8(report.text);
  std::fprintf(stderr, "%s\n", line.c_str());
}

int TerminalServices::HostMessageBox(const char* text, const char* message, int, int) {
  std::string shown = Cp1252ToUtf8(text != nullptr ? text : "");
  if (message != nullptr && *message != '\0') {
    shown += (shown.empty() ? "" : "\n") + Cp1252ToUtf8(message);
  }
  std::printf("%s\n", shown.c_str());
  for (;;) {
    std::string answer;
    if (!AskLine("[o]ui / [n]on ? ", &answer)) return kHostIdYes;
    char key = FirstLetter(answer);
    if (key == 'o' || key == 'y') return kHostIdYes;
    if (key == 'n') return kHostIdNo;
  }
}

void TerminalDialogDriver::Run(CDialog& dialog) {
  if (!dialog.RunInitDialog()) return;
  CString message;
  dialog.GetDlgItemText(kMessageControl, message);
  std::printf("%s\n", Cp1252ToUtf8(static_cast<const char*>(message)).c_str());
  std::string prompt;
  for (const Button& button : kButtons) {
    prompt += std::string(prompt.empty() ? "" : ", ") + button.key + " = " + button.label;
  }
  prompt = "(" + prompt + ") ? ";
  while (!dialog.IsDialogEnded()) {
    std::string answer;
    if (!AskLine(prompt, &answer)) {
      dialog.PressButton(IDCANCEL);
      return;
    }
    char key = FirstLetter(answer);
    for (const Button& button : kButtons) {
      if (button.key == key) dialog.PressButton(button.id);
    }
  }
}

TerminalServices& Terminal() {
  static TerminalServices services;
  return services;
}

}  // namespace cli
