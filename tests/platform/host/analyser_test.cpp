// The default lexical analyser over every address family, and the formatter
// writing each address back.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "support/analysis.h"
#include "support/host_reports.h"
#include "symbase/host.h"

namespace {

using ::testing::ElementsAreArray;

struct Expected {
  std::string text;
  std::int32_t kind;
  std::int32_t form;
  std::uint32_t value;
  std::vector<std::uint32_t> components;
  std::int32_t bit;
  std::string written;  // what the formatter writes; empty: the text itself
};

std::string N(std::uint32_t number) { return std::to_string(number); }

using testing_support::Analyse;
using testing_support::Format;

std::vector<std::uint32_t> Components(const UsAts& result) {
  std::vector<std::uint32_t> items;
  for (std::uint32_t at = 0; at < ComponentCount(&result.components); ++at) {
    items.push_back(ComponentAt(&result.components, at));
  }
  return items;
}

// The addresses of the workshop's own examples.
std::vector<Expected> Examples() {
  return {
      {"%MW10", 342, kFormPlain, 10, {}, -1, ""},
      {"%MW10:X5", 474, kFormPlain, 10, {}, 5, ""},
      {"%M7", 464, kFormPlain, 7, {}, -1, ""},
      {"%KB3", 441, kFormPlain, 3, {}, -1, ""},
      {"%MB12", 461, kFormPlain, 12, {}, -1, ""},
      {"%I1.2", 430, kFormModule, 1, {2}, -1, ""},
      {"%IW3.1.2", 433, kFormModule, 3, {1, 2}, -1, ""},
      {"%IW3.1:X4", 434, kFormModule, 3, {1}, 4, ""},
      {"%IW3.MOD.2:X1", 434, kFormModuleStatus, 3, {2}, 1, ""},
      {"%IW3.MOD", 433, kFormModuleStatus, 3, {}, -1, ""},
      {"%X4", 601, kFormPlain, 4, {}, -1, ""},
      {"%X2.TMAX", 601, kFormSubField, 2, {}, -1, ""},
      {"%X1.IN", 611, kFormSubField, 1, {}, -1, ""},
      {"%X1.OUT", 611, kFormSubField, 1, {}, -1, ""},
      {"%X1.3.ERR", 611, kFormSubField, 1, {3}, -1, ""},
      {"%X2.5", 611, kFormSubField, 2, {5}, -1, ""},
      {"%X1.IN.T", 611, kFormSubField, 1, {}, -1, ""},
      {"%XM3", 603, kFormPlain, 3, {}, -1, ""},
      {"%T2.D", 581, kFormSubField, 2, {}, -1, ""},
      {"%C5.F", 401, kFormSubField, 5, {}, -1, ""},
      {"%DR1.6", 411, kFormSubField, 1, {6}, -1, ""},
      {"%NW{2}5", 500, kFormNetwork, 5, {2}, -1, ""},
      {"%NW{1.2}5:X3", 501, kFormNetwork, 5, {1, 2}, 3, ""},
      {"%NW{4}2:X1", 501, kFormNetwork, 2, {4}, 1, ""},
      {"%I\\1.0.5\\0.2", 430, kFormBusModule, 0, {1, 0, 5}, -1, ""},
      {"%IW\\1023.3.255\\1.7.2:X15", 434, kFormBusModule, 1, {1023, 3, 255}, 15, ""},
      {"%QW\\2.1.0\\0.MOD.1", 533, kFormBusModule, 0, {2, 1, 0}, -1, ""},
      // Module positions take the key's five base-32 characters.
      {"%I100000.2", 430, kFormModule, 100000, {2}, -1, ""},
      {"%IW33554431.1:X4", 434, kFormModule, 33554431, {1}, 4, ""},
      {"%DR1.99996", 411, kFormSubField, 1, {99996}, -1, ""},
      // Written forms: upper case, no leading zeros, no blanks around.
      {"%mw0010", 342, kFormPlain, 10, {}, -1, "%MW10"},
      {"  %iw3.1:x4\t", 434, kFormModule, 3, {1}, 4, "%IW3.1:X4"},
      {"%x1.3.err", 611, kFormSubField, 1, {3}, -1, "%X1.3.ERR"},
      {"%nw{01.2}005", 500, kFormNetwork, 5, {1, 2}, -1, "%NW{1.2}5"},
      {"%i\\1.0.5\\0.02", 430, kFormBusModule, 0, {1, 0, 5}, -1, "%I\\1.0.5\\0.2"},
      {"%Tm1.q", 591, kFormSubField, 1, {}, -1, "%TM1.Q"},
  };
}

const std::uint32_t kIndexes[] = {0, 1, 7, 10, 255, 4096, 99999};

struct Letters {
  const char* letters;
  std::int32_t kind;
};

// Plain objects and bits of words, every letter set at several indexes.
std::vector<Expected> PlainObjects() {
  const Letters plain[] = {
      {"M", 464},  {"MB", 461}, {"MW", 342}, {"MD", 462}, {"MF", 463}, {"KB", 441}, {"KW", 444},
      {"KD", 442}, {"KF", 443}, {"S", 360},  {"SW", 361}, {"SD", 362}, {"XM", 603}, {"T", 581},
      {"TI", 581}, {"TM", 591}, {"MN", 481}, {"C", 401},  {"R", 541},  {"DR", 411}, {"X", 601}};
  const Letters bits[] = {{"MW", 474}, {"KW", 454}, {"SW", 371}};
  std::vector<Expected> rows;
  for (std::uint32_t i : kIndexes) {
    for (const Letters& o : plain)
      rows.push_back({"%" + std::string(o.letters) + N(i), o.kind, kFormPlain, i, {}, -1, ""});
    for (const Letters& w : bits) {
      for (std::int32_t bit : {0, 9, 15}) {
        const std::string text = "%" + std::string(w.letters) + N(i) + ":X" + N(bit);
        rows.push_back({text, w.kind, kFormPlain, i, {}, bit, ""});
      }
    }
  }
  return rows;
}

// Module objects by position, module status and bus module addresses.
std::vector<Expected> ModuleObjects() {
  const Letters objects[] = {{"I", 430},  {"Q", 530},  {"IW", 433}, {"QW", 533}, {"ID", 432},
                             {"QD", 532}, {"MW", 342}, {"KW", 444}, {"MD", 462}, {"KD", 442}};
  const Letters word_bits[] = {{"IW", 434}, {"QW", 534}, {"MW", 474}, {"KW", 454}};
  std::vector<Expected> rows;
  for (const Letters& object : objects) {
    std::string l = "%" + std::string(object.letters);
    for (std::uint32_t i : {0u, 3u, 31u, 4058u}) {
      rows.push_back({l + N(i) + ".2", object.kind, kFormModule, i, {2}, -1, ""});
      rows.push_back({l + N(i) + ".0.15", object.kind, kFormModule, i, {0, 15}, -1, ""});
      rows.push_back({l + N(i) + ".MOD", object.kind, kFormModuleStatus, i, {}, -1, ""});
      rows.push_back({l + N(i) + ".MOD.3", object.kind, kFormModuleStatus, i, {3}, -1, ""});
    }
    rows.push_back({l + "\\1.0.5\\0.2", object.kind, kFormBusModule, 0, {1, 0, 5}, -1, ""});
    rows.push_back({l + "\\0.0.0\\1.0.7", object.kind, kFormBusModule, 1, {0, 0, 0}, -1, ""});
    rows.push_back({l + "\\12.2.200\\0.MOD", object.kind, kFormBusModule, 0, {12, 2, 200}, -1, ""});
  }
  for (const Letters& word : word_bits) {
    std::string l = "%" + std::string(word.letters);
    for (std::uint32_t bit : {0u, 4u, 15u}) {
      std::string x = ":X" + N(bit);
      auto b = static_cast<std::int32_t>(bit);
      rows.push_back({l + "3.1" + x, word.kind, kFormModule, 3, {1}, b, ""});
      rows.push_back({l + "3.1.2" + x, word.kind, kFormModule, 3, {1, 2}, b, ""});
      rows.push_back({l + "3.MOD" + x, word.kind, kFormModuleStatus, 3, {}, b, ""});
      rows.push_back({l + "3.MOD.2" + x, word.kind, kFormModuleStatus, 3, {2}, b, ""});
      rows.push_back({l + "\\1.0.5\\0.2" + x, word.kind, kFormBusModule, 0, {1, 0, 5}, b, ""});
      rows.push_back({l + "\\1.0.5\\1.2.3" + x, word.kind, kFormBusModule, 1, {1, 0, 5}, b, ""});
    }
  }
  return rows;
}

// Steps, macro-steps and their sub-fields; function blocks and their fields.
std::vector<Expected> StepsAndBlocks() {
  std::vector<Expected> rows;
  const char* step_fields[] = {"T", "TMIN", "TMAX", "ERR"};
  for (std::uint32_t i : {0u, 2u, 63u, 250u}) {
    rows.push_back({"%X" + N(i), 601, kFormPlain, i, {}, -1, ""});
    rows.push_back({"%XM" + N(i), 603, kFormPlain, i, {}, -1, ""});
    for (const char* field : step_fields) {
      rows.push_back({"%X" + N(i) + "." + field, 601, kFormSubField, i, {}, -1, ""});
      rows.push_back({"%X" + N(i) + ".7." + field, 611, kFormSubField, i, {7}, -1, ""});
      rows.push_back({"%X" + N(i) + ".IN." + field, 611, kFormSubField, i, {}, -1, ""});
      rows.push_back({"%X" + N(i) + ".OUT." + field, 611, kFormSubField, i, {}, -1, ""});
    }
    rows.push_back({"%X" + N(i) + ".9", 611, kFormSubField, i, {9}, -1, ""});
  }
  struct Block {
    const char* letters;
    std::int32_t kind;
    std::vector<const char*> fields;
  };
  const Block blocks[] = {{"T", 581, {"V", "P", "D", "R"}},      {"TI", 581, {"V", "P", "D", "R"}},
                          {"TM", 591, {"V", "P", "Q"}},          {"MN", 481, {"V", "P", "R"}},
                          {"C", 401, {"V", "P", "E", "D", "F"}}, {"R", 541, {"I", "O", "F", "E"}},
                          {"DR", 411, {"F", "S", "V"}}};
  for (const Block& b : blocks) {
    for (const char* field : b.fields) {
      for (std::uint32_t i : {0u, 5u, 127u}) {
        const std::string text = "%" + std::string(b.letters) + N(i) + "." + field;
        rows.push_back({text, b.kind, kFormSubField, i, {}, -1, ""});
      }
    }
  }
  for (std::uint32_t step : {0u, 1u, 6u, 4095u}) {
    rows.push_back({"%DR3." + N(step), 411, kFormSubField, 3, {step}, -1, ""});
  }
  return rows;
}

std::vector<Expected> NetworkWords() {
  std::vector<Expected> rows;
  for (std::uint32_t k : {0u, 5u, 63u}) {
    for (std::uint32_t j : {0u, 2u, 31u}) {
      rows.push_back({"%NW{" + N(j) + "}" + N(k), 500, kFormNetwork, k, {j}, -1, ""});
      rows.push_back({"%NW{1." + N(j) + "}" + N(k), 500, kFormNetwork, k, {1, j}, -1, ""});
      rows.push_back({"%NW{" + N(j) + "}" + N(k) + ":X15", 501, kFormNetwork, k, {j}, 15, ""});
      rows.push_back({"%NW{7." + N(j) + "}" + N(k) + ":X0", 501, kFormNetwork, k, {7, j}, 0, ""});
    }
  }
  return rows;
}

std::vector<Expected> AllAddresses() {
  std::vector<Expected> rows = Examples();
  for (auto part : {PlainObjects(), ModuleObjects(), StepsAndBlocks(), NetworkWords()}) {
    rows.insert(rows.end(), part.begin(), part.end());
  }
  return rows;
}

class AnalyserTest : public testing_support::HostTest {};

// Each address analysed as expected, in either letter case; the formatter
// writes it and reads back the same.
TEST_F(AnalyserTest, EveryAddressIsAnalysedWrittenAndReadBack) {
  ASSERT_GT(AllAddresses().size(), 500u) << "a table large enough to cover every family";
  for (const Expected& row : AllAddresses()) {
    SCOPED_TRACE(row.text);
    int kind = -1;
    UsAts result = Analyse(row.text, &kind);
    EXPECT_EQ(kind, kAnalysisAddress);
    EXPECT_EQ(result.wordClass, kWordAddress);
    EXPECT_EQ(result.objectKind, row.kind);
    EXPECT_EQ(result.kindCode, row.form);
    EXPECT_EQ(ResultValue(&result.value), row.value);
    EXPECT_THAT(Components(result), ElementsAreArray(row.components));
    EXPECT_EQ(result.bit, row.bit);
    const std::string& written = row.written.empty() ? row.text : row.written;
    EXPECT_STREQ(ResultText(&result.value), written.c_str());
    std::string lower = row.text;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    UsAts lower_result = Analyse(lower);
    EXPECT_EQ(std::memcmp(&result, &lower_result, sizeof result), 0) << lower;
    EXPECT_EQ(Format(result), written);
    UsAts again = Analyse(written);
    EXPECT_EQ(std::memcmp(&result, &again, sizeof result), 0);
    EXPECT_EQ(Format(again), written);
  }
}

TEST_F(AnalyserTest, AddressesPassTheObjectNameCheck) {
  HostContextSource source;
  ContextSourceCreate(&source);
  ContextSourceSetup(&source, 1, 0, 0);
  HostContext context;
  ContextCreate(&context, ContextSourceGet(&source, 0, 0));
  for (const char* text : {"%MW10", "%KB3", "%IW3.1:X4"}) {
    UsAts result = Analyse(text);
    int ok = -1;
    int value = -1;
    CheckAnalysedName(&context, &result, &ok, &value);
    EXPECT_EQ(ok, 1) << text;
    EXPECT_EQ(value, result.objectKind) << text;
  }
  for (const char* text : {"Pump_1", "%MW", ""}) {
    UsAts result = Analyse(text);
    int ok = -1;
    int value = -1;
    CheckAnalysedName(&context, &result, &ok, &value);
    EXPECT_EQ(ok, 0) << text;
  }
  ContextDestroy(&context);
  ContextSourceDestroy(&source);
}

TEST_F(AnalyserTest, SymbolsAreAnalysedAsSymbols) {
  for (const char* text : {"Pump_1", "_start", "a", "\xE9tat_vanne", "C\x9Cur", "MW10", "X",
                           "abcdefghijklmnopqrstuvwxyz012345"}) {
    SCOPED_TRACE(text);
    int kind = -1;
    UsAts result = Analyse(text, &kind);
    EXPECT_EQ(kind, kAnalysisSymbol);
    EXPECT_EQ(result.wordClass, kWordSymbol);
    EXPECT_EQ(result.objectKind, 0);
    EXPECT_STREQ(ResultText(&result.value), text);
    EXPECT_EQ(Format(result), "") << "a symbol has no address to write";
  }
  int kind = -1;
  UsAts padded = Analyse("  Pump_1 ", &kind);
  EXPECT_STREQ(ResultText(&padded.value), "Pump_1");
  EXPECT_EQ(kind, kAnalysisSymbol);
}

TEST_F(AnalyserTest, ReservedWordsAreNotSymbols) {
  for (const char* text : {"AND", "and", "End_If", "TRUE", "R", "s", "LDN", "WHILE"}) {
    SCOPED_TRACE(text);
    int kind = -1;
    UsAts result = Analyse(text, &kind);
    EXPECT_EQ(kind, kAnalysisReserved);
    EXPECT_EQ(result.wordClass, kWordNothing);
  }
}

}  // namespace
