// PrepareSymbol and the symbol-name check.

#include <gtest/gtest.h>

#include <string>

#include "support/host_reports.h"
#include "symbase/host.h"

namespace {

class PrepareSymbolTest : public testing_support::HostTest {};

struct Case {
  std::string text;
  int result;
  std::string after;
};

TEST_F(PrepareSymbolTest, TrimsInPlaceAndTellsWhetherASymbolRemains) {
  const Case cases[] = {
      {"Pump_1", 6, "Pump_1"},
      {"  Pump_1", 6, "Pump_1"},
      {"Pump_1   ", 6, "Pump_1"},
      {"\t Pump_1 \r\n", 6, "Pump_1"},
      {"\xC9tat", 4, "\xC9tat"},
      {std::string(32, 'a'), 32, std::string(32, 'a')},
      {"  " + std::string(32, 'a') + "  ", 32, std::string(32, 'a')},
      {"", 0, ""},
      {std::string(32, ' '), 0, ""},
      {" 1abc ", 0, "1abc"},
      {" Pump 1 ", 0, "Pump 1"},
      {std::string(33, 'a'), 0, std::string(33, 'a')},
      {"%MW10", 0, "%MW10"},
      {" AND ", 0, "AND"},
      {"x\xD7y", 0, "x\xD7y"},
      {"  " + std::string(5000, 'z') + "  ", 0, std::string(5000, 'z')},  // trimmed whole
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("[" + c.text + "]");
    std::string buffer = c.text;
    EXPECT_EQ(PrepareSymbol(buffer.data()), c.result);
    EXPECT_EQ(std::string(buffer.c_str()), c.after);
    EXPECT_EQ(PrepareSymbol(buffer.data()), c.result) << "preparing twice changes nothing more";
    EXPECT_EQ(std::string(buffer.c_str()), c.after);
  }
}

struct Verdict {
  const char* symbol;
  int ok;
  int reason;
};

TEST_F(PrepareSymbolTest, SymbolNameCheckGivesTheReason) {
  const Verdict verdicts[] = {
      {"Pump_1", 1, 0},
      {"\xE9tat", 1, 0},
      {"_x", 1, 0},
      {"", 0, kSymbolSyntax},
      {" Pump", 0, kSymbolSyntax},
      {"9lives", 0, kSymbolSyntax},
      {"%MW10", 0, kSymbolSyntax},
      {"a-b", 0, kSymbolSyntax},
      {"AND", 0, kSymbolReserved},
      {"end_while", 0, kSymbolReserved},
      {"ReSeT", 0, kSymbolReserved},
  };
  for (const Verdict& v : verdicts) {
    int ok = -1;
    int reason = -1;
    CheckSymbolName(v.symbol, &ok, &reason);
    EXPECT_EQ(ok, v.ok) << v.symbol;
    EXPECT_EQ(reason, v.reason) << v.symbol;
  }
  std::string overlong(100000, 'a');
  int ok = -1;
  int reason = -1;
  CheckSymbolName(overlong.c_str(), &ok, &reason);
  EXPECT_EQ(ok, 0);
  EXPECT_EQ(reason, kSymbolSyntax);
}

}  // namespace
