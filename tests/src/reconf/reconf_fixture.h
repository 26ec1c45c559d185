#ifndef SYMBASE_TESTS_SRC_RECONF_RECONF_FIXTURE_H
#define SYMBASE_TESTS_SRC_RECONF_RECONF_FIXTURE_H

// A fresh base for each reconfiguration test, with what the tests compare:
// the live addresses, the keys of the live comment rows, the modified flag.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/raw_rows.h"
#include "support/symbol_base.h"
#include "symbase/host.h"

namespace testing_support {

class ReconfTest : public SymbolBaseTest {
 protected:
  // Creates an object whose comment names its address ("c %MW10").
  void Commented(const char* repere) { Create(repere, "", ("c " + std::string(repere)).c_str()); }

  // The addresses of the live main rows, sorted.
  std::vector<std::string> LiveAddresses() {
    std::vector<std::string> addresses;
    for (const MainRow& row : MainRows()) {
      if (!row.deleted) addresses.push_back(row.repere);
    }
    std::sort(addresses.begin(), addresses.end());
    return addresses;
  }

  // The keys of the live comment rows, sorted.
  std::vector<std::string> CommentKeys() {
    std::vector<std::string> keys = LiveCommentKeys(base);
    std::sort(keys.begin(), keys.end());
    return keys;
  }

  // The comment of a live address, "<none>" when its row has none.
  std::string CommentOfAddress(const std::string& repere) {
    const MainRow row = LiveRow(repere);
    return row.iscmt == "O" ? CommentOf(row.key) : "<none>";
  }

  // Closes and reopens the base: the modified flag starts again at 0.
  void Reopen() {
    ASSERT_EQ(TBCloseBaseSymbol(base), 0);
    ASSERT_EQ(TBOpenBaseSymbol(base, dir.slash().c_str()), 0);
    ASSERT_TRUE(HostErrorReports().empty());
  }

  bool Modified() {
    long date = 0;
    return TBLastModificationDate(base, &date) == 0;
  }

  // The host's analysis of an address, as it hands a module to the move.
  static UsAts Analysed(const char* text) {
    HostAnalyser analyser;
    AnalyserCreate(&analyser);
    UsAts result{};
    AnalyseText(&analyser, text, &result);
    AnalyserFinish(&analyser);
    AnalyserDestroy(&analyser);
    return result;
  }
};

}  // namespace testing_support

#endif
