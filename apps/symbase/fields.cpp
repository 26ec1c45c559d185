#include "fields.h"

#include <vector>

#include "errors.h"
#include "symbase/symbase.h"
#include "text.h"

namespace cli {

namespace {

// Analyses one word with the host's lexical analyser.
struct Analysis {
  UsAts result{};
  int kind = 0;
};

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

}  // namespace

std::string LibraryText(const std::string& utf8, const char* what) {
  std::string text;
  std::string error;
  if (!Utf8ToCp1252(utf8, &text, &error)) {
    throw Failure(std::string(what) + " \"" + utf8 + "\" refused: " + error);
  }
  return text;
}

std::string LibraryAddress(const std::string& utf8) {
  std::string text = LibraryText(utf8, "address");
  Analysis analysis = Analyse(text);
  if (text.empty() || HasControl(text) || analysis.result.wordClass != kWordAddress) {
    throw Failure("\"" + utf8 +
                  "\" is not an address of the controller language (%MW10, %I1.2...)");
  }
  HostFormatter formatter{};
  FormatterCreate(&formatter);
  FormatterLoad(&formatter, &analysis.result);
  std::string written = FormatterAddress(&formatter);
  if (written.empty()) written = text;
  if (written.size() > kMaxAddress) {
    throw Failure("address \"" + utf8 + "\" is longer than " + std::to_string(kMaxAddress) +
                  " characters");
  }
  return written;
}

std::string LibrarySymbol(const std::string& utf8) {
  std::string text = LibraryText(utf8, "symbol");
  if (text.empty()) return text;
  std::vector<char> buffer(text.begin(), text.end());
  buffer.push_back('\0');
  int length = PrepareSymbol(buffer.data());
  if (length <= 0 || HasControl(text)) {
    throw Failure("\"" + utf8 +
                  "\" is not a symbol: letters, digits and _, not starting with a digit, at most " +
                  std::to_string(kMaxSymbol) + " bytes");
  }
  std::string symbol(buffer.data(), static_cast<std::size_t>(length));
  if (Analyse(symbol).kind == kAnalysisReserved) {
    throw Failure("\"" + utf8 + "\" is a reserved word of the controller language");
  }
  return symbol;
}

std::string LibraryComment(const std::string& utf8) {
  std::string text = LibraryText(utf8, "comment");
  if (HasControl(text)) throw Failure("a comment may not hold line breaks or control characters");
  if (text.size() > kMaxComment) {
    throw Failure("comment of " + std::to_string(text.size()) +
                  " characters: the base keeps at most " + std::to_string(kMaxComment));
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
  if (!letters) throw Failure("\"" + utf8 + "\" is not an object prefix (%MW, %I, %M ...)");
  // Module inputs and outputs are stored under V: %I1.2 is a VIX row.
  if (prefix[1] == 'I' || prefix[1] == 'Q') prefix.insert(1, "V");
  return prefix;
}

}  // namespace cli
