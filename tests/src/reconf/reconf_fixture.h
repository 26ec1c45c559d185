#ifndef SYMBASE_TESTS_SRC_RECONF_RECONF_FIXTURE_H
#define SYMBASE_TESTS_SRC_RECONF_RECONF_FIXTURE_H

// A fresh base for each reconfiguration test, the reconfiguration calls as
// values, and the live rows with their comments as the tests compare them.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "support/analysis.h"
#include "support/symbol_base.h"
#include "symbase/host.h"

namespace testing_support {

using Call = std::function<int(CTBData*)>;
using Calls = std::vector<Call>;  // made in turn on the same handle

inline Calls ByType(unsigned short type, int number) {
  return {[=](CTBData* b) { return TBReconfByType(b, type, number); }};
}
inline Calls ByMacroStep(unsigned short type, int macroStep, int steps) {
  return {[=](CTBData* b) { return TBReconfByMacroEtape(b, type, macroStep, steps); }};
}
inline Calls DelObject(const char* repere, unsigned short type) {
  return {[=](CTBData* b) {
    CTBObjetAts object(repere, "", "", 0, -1);
    return TBReconfDelObject(b, &object, type, 0);
  }};
}
inline Calls Move(const char* from, const char* to) {
  return {[=](CTBData* b) {
    UsAts source = Analyse(from);
    UsAts target = Analyse(to);
    return TBReconfMoveModule(b, &source, &target);
  }};
}
inline Calls DiagG7(int times = 1) { return Calls(times, TBDelObjetDiagG7); }

// One call of each kind, as a configuration change makes them.
inline Calls EveryCall() {
  Calls every;
  for (const Calls& one : {Move("%I1.0", "%I3.0"), ByType(342, 10), DelObject("%IW3.0", 434),
                           DiagG7(), ByMacroStep(603, 1, 4)}) {
    every.push_back(one[0]);
  }
  return every;
}

class ReconfTest : public SymbolBaseTest {
 protected:
  // Creates an object whose comment names its address ("c %MW10").
  void Commented(const std::string& repere) { Create(repere.c_str(), "", ("c " + repere).c_str()); }

  // The live addresses, sorted; "%I3.2<%I1.2" when the comment of %I3.2
  // names %I1.2, "%I3.2<<none>" when its comment row is missing.
  std::vector<std::string> Live() {
    std::vector<std::string> live;
    for (const MainRow& row : MainRows()) {
      if (row.deleted) continue;
      const std::string comment = row.iscmt == "O" ? CommentOf(row.key) : "c " + row.repere;
      const std::string named = comment.rfind("c ", 0) == 0 ? comment.substr(2) : comment;
      live.push_back(named == row.repere ? named : row.repere + "<" + named);
    }
    std::sort(live.begin(), live.end());
    return live;
  }

  // Closes and reopens the base: the modified flag starts again at 0.
  void Reopen() {
    ASSERT_EQ(TBCloseBaseSymbol(base), 0);
    ASSERT_EQ(TBOpenBaseSymbol(base, dir.slash().c_str()), 0);
  }
};

}  // namespace testing_support

#endif
