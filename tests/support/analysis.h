#ifndef SYMBASE_TESTS_SUPPORT_ANALYSIS_H
#define SYMBASE_TESTS_SUPPORT_ANALYSIS_H

// One text through the host's lexical analyser, and one analysis result
// through the address formatter, as the library calls them.

#include <cstring>
#include <string>

#include "symbase/host.h"

namespace testing_support {

// The analysis of `text`; *kind receives AnalysisKind when given.
inline UsAts Analyse(const std::string& text, int* kind = nullptr) {
  HostAnalyser analyser;
  AnalyserCreate(&analyser);
  UsAts result;
  std::memset(&result, 0xA5, sizeof result);  // stale content must not show through
  AnalyseText(&analyser, text.c_str(), &result);
  AnalyserFinish(&analyser);
  if (kind != nullptr) *kind = AnalysisKind(&analyser);
  AnalyserDestroy(&analyser);
  return result;
}

// The written form of an analysed address ("" for anything else).
inline std::string Format(const UsAts& result) {
  HostFormatter formatter;
  FormatterCreate(&formatter);
  FormatterLoad(&formatter, &result);
  return FormatterAddress(&formatter);
}

}  // namespace testing_support

#endif
