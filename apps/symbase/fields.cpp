#include "fields.h"

#include <vector>

#include "errors.h"
#include "symbase/symbase.h"
#include "text.h"

namespace cli {

namespace {

constexpr std::size_t kMaxIndexDigits = 5;

struct Analysis {
  UsAts result{};
  int kind = 0;
};

// One word through the library's lexical analyser.
Analysis Analyse(const std::string& word) {
  Analysis analysis;
  HostAnalyser analyser{};
  AnalyserCreate(&analyser);
  AnalyseText(&analyser, word.c_str(), &analysis.result);
  analysis.kind = AnalysisKind(&analyser);
  AnalyserFinish(&analyser);
  AnalyserDestroy(&analyser);
  return analysis;
}

bool HasControl(const std::string& text) {
  for (char c : text) {
    unsigned char byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) return true;
  }
  return false;
}

bool HasLongNumber(const std::string& text) {
  std::size_t run = 0;
  for (char c : text) {
    run = c >= '0' && c <= '9' ? run + 1 : 0;
    if (run > kMaxIndexDigits) return true;
  }
  return false;
}

std::string Trimmed(const std::string& text) {
  std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string NotAnAddress(const std::string& text) {
  if (text.empty()) return "no address given";
  if (text[0] != '%')
    return "not an address: an address begins with % (%MW10, %I1.2, %X2.TMAX ...)";
  if (HasLongNumber(text)) {
    return "not an address: its numbers go up to 99999 (module positions up to 33554431, bus "
           "addresses up to \\1023.3.255\\1)";
  }
  return "not an address of the controller language (%MW10, %I1.2, %IW3.1:X4, %X2.TMAX ...)";
}

}  // namespace

std::string LibraryText(const std::string& utf8, const char* what) {
  std::string text;
  std::string error;
  if (!Utf8ToCp1252(utf8, &text, &error)) throw FieldError(what, Shown(utf8), error);
  return text;
}

std::string LibraryAddress(const std::string& utf8) {
  std::string text = Trimmed(LibraryText(utf8, "address"));
  if (HasControl(text)) throw FieldError("address", Shown(utf8), "holds a control character");
  Analysis analysis = Analyse(text);
  if (analysis.result.wordClass != kWordAddress) {
    throw FieldError("address", Shown(utf8), NotAnAddress(text));
  }
  HostFormatter formatter{};
  FormatterCreate(&formatter);
  FormatterLoad(&formatter, &analysis.result);
  std::string written = FormatterAddress(&formatter);
  if (written.empty()) written = text;
  if (written.size() > kMaxAddress) {
    throw FieldError(
        "address", Shown(utf8),
        "longer than the " + std::to_string(kMaxAddress) + " characters the base keeps");
  }
  return written;
}

std::string LibrarySymbol(const std::string& utf8) {
  std::string text = Trimmed(LibraryText(utf8, "symbol"));
  if (text.empty()) return text;
  int ok = 0;
  int reason = 0;
  CheckSymbolName(text.c_str(), &ok, &reason);
  if (reason == kSymbolReserved) {
    throw FieldError("symbol", Shown(utf8),
                     "a reserved word of the controller language; choose another symbol");
  }
  std::vector<char> buffer(text.begin(), text.end());
  buffer.push_back('\0');
  int length = PrepareSymbol(buffer.data());
  if (length <= 0 || HasControl(text)) {
    throw FieldError("symbol", Shown(utf8),
                     "not a symbol: letters, digits and _, not starting with a digit, at most " +
                         std::to_string(kMaxSymbol) + " bytes");
  }
  return std::string(buffer.data(), static_cast<std::size_t>(length));
}

std::string LibraryComment(const std::string& utf8) {
  std::string text = LibraryText(utf8, "comment");
  if (HasControl(text)) {
    throw FieldError("comment", Shown(utf8), "holds a line break or a control character");
  }
  if (text.size() > kMaxComment) {
    throw FieldError("comment", Shown(utf8),
                     std::to_string(text.size()) + " characters: the base keeps at most " +
                         std::to_string(kMaxComment));
  }
  return text;
}

std::string LibraryPrefix(const std::string& utf8) {
  std::string prefix = LibraryText(utf8, "prefix");
  bool letters = prefix.size() >= 2 && prefix.size() <= 4 && prefix[0] == '%';
  for (std::size_t i = 1; letters && i < prefix.size(); ++i) {
    char c = prefix[i];
    if (c >= 'a' && c <= 'z') prefix[i] = static_cast<char>(c - 'a' + 'A');
    letters = prefix[i] >= 'A' && prefix[i] <= 'Z';
  }
  if (!letters) throw FieldError("prefix", Shown(utf8), "not an object prefix (%MW, %I, %M ...)");
  // Module inputs and outputs are stored under V: %I1.2 is a VIX row.
  if (prefix[1] == 'I' || prefix[1] == 'Q') prefix.insert(1, "V");
  return prefix;
}

}  // namespace cli
