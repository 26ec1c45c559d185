// Every named result has a meaning of its own; others are said to be unknown.

#include <gtest/gtest.h>

#include <iterator>
#include <set>
#include <string>

#include "symbase/results.h"

namespace {

TEST(ResultMeaning, EachNamedCodeHasItsOwnTextOthersAreUnknown) {
  const int named[] = {TB_OK,           TB_NOT_DONE,      TB_ALREADY_LOCKED,  TB_SYMBOL_TAKEN,
                       TB_NO_ROW,       TB_KEY_NOT_FOUND, TB_LOCKED_BY_OTHER, TB_OUT_OF_RANGE,
                       TB_INTERRUPTED,  TB_REFUSED,       TB_NO_MATCH,        TB_CHECK_REPAIRABLE,
                       TB_CHECK_DAMAGED};
  const std::string unknown = "unknown result code";
  std::set<std::string> texts;
  for (int code : named) {
    const std::string text = TBResultMeaning(code);
    EXPECT_FALSE(text.empty()) << code;
    EXPECT_NE(text, unknown) << code;
    texts.insert(text);
  }
  EXPECT_EQ(texts.size(), std::size(named));
  EXPECT_EQ(TBResultMeaning(12345), unknown);
  EXPECT_EQ(TBResultMeaning(99), unknown);
  // An engine failure is not unknown: it has the engine's meaning.
  EXPECT_STRNE(TBResultMeaning(-40), "unknown result code");
}

}  // namespace
