// The default lexical analyser and address formatter.

#include <cstring>
#include <string_view>

#include "host/address_parser.h"
#include "host/address_writer.h"
#include "host/symbol_rules.h"
#include "symbase/host.h"

namespace {

// Longer texts are not words of the language; nothing past this is read.
constexpr std::size_t kMaxAnalysedText = 255;

void ClearResult(UsAts* result) {
  std::memset(result, 0, sizeof *result);
  result->bit = -1;
}

int AnalyseWord(std::string_view word, UsAts* result) {
  if (!word.empty() && word.front() == '%') {
    if (host::ParseAddress(word, result)) return kAnalysisAddress;
    ClearResult(result);
    return kAnalysisNothing;
  }
  ClearResult(result);
  switch (host::ClassifySymbol(word)) {
    case host::SymbolVerdict::kSymbol:
      result->wordClass = kWordSymbol;
      std::memcpy(result->value.text, word.data(), word.size());
      return kAnalysisSymbol;
    case host::SymbolVerdict::kReserved:
      return kAnalysisReserved;
    case host::SymbolVerdict::kNotSymbol:
      break;
  }
  return kAnalysisNothing;
}

}  // namespace

void CHostServices::AnalyserCreate(HostAnalyser* analyser) {
  if (analyser != nullptr) *analyser = HostAnalyser{kAnalysisNothing, 1, nullptr};
}

void CHostServices::AnalyserDestroy(HostAnalyser* analyser) {
  if (analyser != nullptr) analyser->kind = kAnalysisNothing;
}

void CHostServices::AnalyseText(HostAnalyser* analyser, const char* text, UsAts* result) {
  if (result == nullptr) return;
  int kind = kAnalysisNothing;
  std::size_t length = text != nullptr ? strnlen(text, kMaxAnalysedText + 1) : 0;
  if (text == nullptr || length > kMaxAnalysedText) {
    ClearResult(result);
  } else {
    kind = AnalyseWord(host::TrimBlanks(std::string_view(text, length)), result);
  }
  if (analyser != nullptr) {
    analyser->kind = kind;
    analyser->finished = 0;
  }
}

void CHostServices::AnalyserFinish(HostAnalyser* analyser) {
  if (analyser != nullptr) analyser->finished = 1;
}

int CHostServices::AnalysisKind(const HostAnalyser* analyser) {
  return analyser != nullptr ? analyser->kind : kAnalysisNothing;
}

std::uint32_t CHostServices::ResultValue(const UsAtsValue* value) {
  return value != nullptr ? value->number : 0;
}

const char* CHostServices::ResultText(const UsAtsValue* value) {
  // A record filled by a host may lack its NUL: never read past the field.
  if (value == nullptr || strnlen(value->text, sizeof value->text) == sizeof value->text) {
    return "";
  }
  return value->text;
}

std::uint32_t CHostServices::ComponentCount(const UsAtsComponents* list) {
  if (list == nullptr) return 0;
  return list->count < kUsAtsComponents ? list->count : kUsAtsComponents;
}

std::uint32_t CHostServices::ComponentAt(const UsAtsComponents* list, std::uint32_t index) {
  return index < ComponentCount(list) ? list->item[index] : 0;
}

void CHostServices::FormatterCreate(HostFormatter* formatter) {
  if (formatter == nullptr) return;
  formatter->text[0] = '\0';
  formatter->hostData = nullptr;
}

void CHostServices::FormatterLoad(HostFormatter* formatter, const UsAts* result) {
  if (formatter == nullptr) return;
  if (result == nullptr) {
    formatter->text[0] = '\0';
    return;
  }
  host::WriteAddress(*result, formatter->text, sizeof formatter->text);
}

const char* CHostServices::FormatterAddress(const HostFormatter* formatter) {
  if (formatter == nullptr ||
      strnlen(formatter->text, sizeof formatter->text) == sizeof formatter->text) {
    return "";
  }
  return formatter->text;
}
