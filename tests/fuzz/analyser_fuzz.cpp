// Feeds arbitrary bytes to the default lexical analyser, then writes back
// whatever it analysed: nothing may crash, read out of bounds or disagree
// with itself.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "symbase/host.h"

namespace {

UsAts Analyse(const char* text, int* kind) {
  HostAnalyser analyser;
  AnalyserCreate(&analyser);
  UsAts result;
  AnalyseText(&analyser, text, &result);
  AnalyserFinish(&analyser);
  *kind = AnalysisKind(&analyser);
  AnalyserDestroy(&analyser);
  return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  int kind = 0;
  UsAts result = Analyse(text.c_str(), &kind);
  (void)ResultText(&result.value);
  for (std::uint32_t at = 0; at <= ComponentCount(&result.components); ++at) {
    (void)ComponentAt(&result.components, at);
  }

  HostFormatter formatter;
  FormatterCreate(&formatter);
  FormatterLoad(&formatter, &result);
  std::string written = FormatterAddress(&formatter);
  if ((result.wordClass == kWordAddress) != !written.empty()) std::abort();

  // What the formatter writes is read back as the very same address.
  if (!written.empty()) {
    int again_kind = 0;
    UsAts again = Analyse(written.c_str(), &again_kind);
    if (again_kind != kAnalysisAddress || std::memcmp(&again, &result, sizeof again) != 0) {
      std::abort();
    }
  }

  // The same bytes as a symbol to prepare.
  std::string symbol = text;
  int prepared = PrepareSymbol(symbol.data());
  if (prepared < 0 || prepared > 32) std::abort();
  return 0;
}
