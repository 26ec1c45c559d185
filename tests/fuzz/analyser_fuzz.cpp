// Feeds arbitrary bytes to the default lexical analyser, then writes back
// whatever it analysed: nothing may crash, read out of bounds or disagree
// with itself.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "../support/analysis.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  const UsAts result = testing_support::Analyse(text);
  (void)ResultText(&result.value);
  for (std::uint32_t at = 0; at <= ComponentCount(&result.components); ++at) {
    (void)ComponentAt(&result.components, at);
  }
  const std::string written = testing_support::Format(result);
  if ((result.wordClass == kWordAddress) != !written.empty()) std::abort();

  // What the formatter writes is read back as the very same address.
  if (!written.empty()) {
    int again_kind = 0;
    const UsAts again = testing_support::Analyse(written, &again_kind);
    if (again_kind != kAnalysisAddress || std::memcmp(&again, &result, sizeof again) != 0) {
      std::abort();
    }
  }
  int prepared = PrepareSymbol(text.data());
  if (prepared < 0 || prepared > 32) std::abort();
  return 0;
}
