#include "ask_dialog.h"

#include <algorithm>
#include <cstdio>

#include "interrupt.h"
#include "terminal.h"
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

std::string Row(const char* where, const ObjectText& object, std::size_t address_width) {
  std::string address = Cp1252ToUtf8(object.address);
  std::string line =
      std::string("  ") + where + "  " + address +
      std::string(address_width - std::min(address_width, Utf8Length(address)), ' ') + "  " +
      (object.symbol.empty() ? "(no symbol)" : Cp1252ToUtf8(object.symbol));
  if (!object.comment.empty()) line += "  \"" + Cp1252ToUtf8(object.comment) + "\"";
  return line + "\n";
}

// What "oui" would do to the base, in words.
std::string Consequence(const ConflictView& view) {
  const std::string address = Cp1252ToUtf8(view.file.address);
  if (view.held) {
    std::string text = "Replacing moves the symbol " + Cp1252ToUtf8(view.file.symbol) + " from " +
                       Cp1252ToUtf8(view.holder.address) + " to " + address + ": " +
                       Cp1252ToUtf8(view.holder.address) + " will no longer be in the base";
    if (view.in_base && !view.base.symbol.empty()) {
      text += ", nor the symbol " + Cp1252ToUtf8(view.base.symbol);
    }
    return text + ".\n";
  }
  if (view.in_base && view.base.symbol != view.file.symbol && !view.file.symbol.empty()) {
    return "Replacing renames " + Cp1252ToUtf8(view.base.symbol) + " to " +
           Cp1252ToUtf8(view.file.symbol) + ".\n";
  }
  return "Replacing takes the file's comment.\n";
}

std::string ViewText(const ConflictView& view) {
  std::size_t width = Utf8Length(Cp1252ToUtf8(view.file.address));
  if (view.in_base) width = std::max(width, Utf8Length(Cp1252ToUtf8(view.base.address)));
  if (view.held) width = std::max(width, Utf8Length(Cp1252ToUtf8(view.holder.address)));
  std::string text = "line " + std::to_string(view.line) + ":\n";
  if (view.in_base) text += Row("base", view.base, width);
  if (view.held) text += Row("base", view.holder, width);
  return text + Row("file", view.file, width);
}

}  // namespace

void TerminalDialogDriver::Run(CDialog& dialog) {
  if (!dialog.RunInitDialog()) return;
  CString message;
  dialog.GetDlgItemText(kMessageControl, message);
  std::printf("\n%s%s\n%s", ViewText(view_).c_str(),
              Cp1252ToUtf8(static_cast<const char*>(message)).c_str(), Consequence(view_).c_str());
  std::string prompt;
  for (const Button& button : kButtons) {
    prompt += std::string(prompt.empty() ? "" : ", ") + button.key + " = " + button.label;
  }
  prompt = "(" + prompt + ") ? ";
  while (!dialog.IsDialogEnded()) {
    char key = AskKey(prompt);
    if (key == kKeyInterrupt) RequestInterrupt();
    if (key == kKeyEnd || key == kKeyInterrupt) {
      dialog.PressButton(IDCANCEL);
      return;
    }
    for (const Button& button : kButtons) {
      if (button.key == key) dialog.PressButton(button.id);
    }
  }
}

DialogScope::DialogScope(bool install) : installed_(install) {
  if (install) previous_ = AfxSetDialogDriver(&driver_);
}

DialogScope::~DialogScope() {
  if (installed_) AfxSetDialogDriver(previous_);
}

}  // namespace cli
