// The default analyser over every address family and the words that are no
// address; the formatter writing each address back or refusing a damaged one.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "support/analysis.h"
#include "support/host_reports.h"
#include "symbase/host.h"

namespace {

using ::testing::ElementsAreArray;
using testing_support::Analyse;
using testing_support::Format;

struct Expected {
  std::string text;
  std::int32_t kind, form;
  std::uint32_t value;
  std::vector<std::uint32_t> components;
  std::int32_t bit = -1;
  std::string written = "";  // what the formatter writes; empty: the text itself
};

std::string N(std::uint32_t number) { return std::to_string(number); }

std::vector<std::uint32_t> Components(const UsAts& result) {
  std::vector<std::uint32_t> items;
  for (std::uint32_t at = 0; at < ComponentCount(&result.components); ++at) {
    items.push_back(ComponentAt(&result.components, at));
  }
  return items;
}

// Forms the generated families below do not reach.
std::vector<Expected> Examples() {
  return {
      {"%NW{0}63", 500, kFormNetwork, 63, {0}},
      {"%NW{31.0}5", 500, kFormNetwork, 5, {31, 0}},
      {"%NW{2}0:X15", 501, kFormNetwork, 0, {2}, 15},
      {"%IW3.MOD.2:X1", 434, kFormModuleStatus, 3, {2}, 1},
      {"%IW\\1023.3.255\\1.7.2:X15", 434, kFormBusModule, 1, {1023, 3, 255}, 15},
      {"%QW\\2.1.0\\0.MOD.1", 533, kFormBusModule, 0, {2, 1, 0}},
      {"%QW3.1.2:X4", 534, kFormModule, 3, {1, 2}, 4},
      {"%KW3.MOD:X0", 454, kFormModuleStatus, 3, {}, 0},
      {"%MW\\1.0.5\\1.2.3:X9", 474, kFormBusModule, 1, {1, 0, 5}, 9},
      // Module positions take the key's five base-32 characters.
      {"%I100000.2", 430, kFormModule, 100000, {2}},
      {"%IW33554431.1:X4", 434, kFormModule, 33554431, {1}, 4},
      {"%DR1.99996", 411, kFormSubField, 1, {99996}},
      // Written forms: upper case, no leading zeros, no blanks around.
      {"%MW" + std::string(200, '0') + "12", 342, kFormPlain, 12, {}, -1, "%MW12"},
      {"  %iw3.1:x4\t", 434, kFormModule, 3, {1}, 4, "%IW3.1:X4"},
      {"%nw{01.2}005", 500, kFormNetwork, 5, {1, 2}, -1, "%NW{1.2}5"},
      {"%i\\1.0.5\\0.02", 430, kFormBusModule, 0, {1, 0, 5}, -1, "%I\\1.0.5\\0.2"},
  };
}

struct Letters {
  const char* letters;
  std::int32_t kind;
};

// Plain objects and bits of words, every letter set at several indexes.
void AddPlainObjects(std::vector<Expected>& rows) {
  const Letters plain[] = {
      {"M", 464},  {"MB", 461}, {"MW", 342}, {"MD", 462}, {"MF", 463}, {"KB", 441}, {"KW", 444},
      {"KD", 442}, {"KF", 443}, {"S", 360},  {"SW", 361}, {"SD", 362}, {"XM", 603}, {"T", 581},
      {"TI", 581}, {"TM", 591}, {"MN", 481}, {"C", 401},  {"R", 541},  {"DR", 411}, {"X", 601}};
  const Letters bits[] = {{"MW", 474}, {"KW", 454}, {"SW", 371}};
  for (std::uint32_t i : {0, 1, 7, 10, 255, 4096, 99999}) {
    for (const Letters& o : plain)
      rows.push_back({"%" + std::string(o.letters) + N(i), o.kind, kFormPlain, i, {}});
    for (const Letters& w : bits) {
      for (std::int32_t bit : {0, 9, 15}) {
        const std::string text = "%" + std::string(w.letters) + N(i) + ":X" + N(bit);
        rows.push_back({text, w.kind, kFormPlain, i, {}, bit});
      }
    }
  }
}

// Module objects by position, module status and bus module addresses.
void AddModuleObjects(std::vector<Expected>& rows) {
  const Letters objects[] = {{"I", 430},  {"Q", 530},  {"IW", 433}, {"QW", 533}, {"ID", 432},
                             {"QD", 532}, {"MW", 342}, {"KW", 444}, {"MD", 462}, {"KD", 442}};
  for (const Letters& object : objects) {
    std::string l = "%" + std::string(object.letters);
    for (std::uint32_t i : {0u, 3u, 31u, 4058u}) {
      rows.push_back({l + N(i) + ".2", object.kind, kFormModule, i, {2}});
      rows.push_back({l + N(i) + ".0.15", object.kind, kFormModule, i, {0, 15}});
      rows.push_back({l + N(i) + ".MOD", object.kind, kFormModuleStatus, i, {}});
      rows.push_back({l + N(i) + ".MOD.3", object.kind, kFormModuleStatus, i, {3}});
    }
    rows.push_back({l + "\\1.0.5\\0.2", object.kind, kFormBusModule, 0, {1, 0, 5}});
    rows.push_back({l + "\\0.0.0\\1.0.7", object.kind, kFormBusModule, 1, {0, 0, 0}});
    rows.push_back({l + "\\12.2.200\\0.MOD", object.kind, kFormBusModule, 0, {12, 2, 200}});
  }
}

// Steps, macro-steps and their sub-fields; function blocks and their fields.
void AddStepsAndBlocks(std::vector<Expected>& rows) {
  for (std::uint32_t i : {0u, 2u, 63u, 250u}) {
    for (const char* field : {"T", "TMIN", "TMAX", "ERR"}) {
      rows.push_back({"%X" + N(i) + "." + field, 601, kFormSubField, i, {}});
      rows.push_back({"%X" + N(i) + ".7." + field, 611, kFormSubField, i, {7}});
      rows.push_back({"%X" + N(i) + ".IN." + field, 611, kFormSubField, i, {}});
      rows.push_back({"%X" + N(i) + ".OUT." + field, 611, kFormSubField, i, {}});
    }
    rows.push_back({"%X" + N(i) + ".9", 611, kFormSubField, i, {9}});
    rows.push_back({"%X" + N(i) + ".OUT", 611, kFormSubField, i, {}});
  }
  const struct {
    const char* letters;
    std::int32_t kind;
    std::vector<const char*> fields;
  } blocks[] = {{"T", 581, {"V", "P", "D", "R"}},      {"TI", 581, {"V", "P", "D", "R"}},
                {"TM", 591, {"V", "P", "Q"}},          {"MN", 481, {"V", "P", "R"}},
                {"C", 401, {"V", "P", "E", "D", "F"}}, {"R", 541, {"I", "O", "F", "E"}},
                {"DR", 411, {"F", "S", "V"}}};
  for (const auto& b : blocks) {
    for (const char* field : b.fields) {
      const std::string text = "%" + std::string(b.letters) + "5." + field;
      rows.push_back({text, b.kind, kFormSubField, 5, {}});
    }
  }
  for (std::uint32_t step : {0u, 6u, 4095u}) {
    rows.push_back({"%DR3." + N(step), 411, kFormSubField, 3, {step}});
  }
}

std::vector<Expected> AllAddresses() {
  std::vector<Expected> rows = Examples();
  for (auto add : {AddPlainObjects, AddModuleObjects, AddStepsAndBlocks}) {
    add(rows);
  }
  return rows;
}

class AnalyserTest : public testing_support::HostTest {};

// Each address analysed as expected, in either letter case; the formatter
// writes it and reads back the same.
// Decimal module numbering takes module positions of five digits only.
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
  }
  HostSetAddressingMode(1);
  EXPECT_EQ(Analyse("%I100000.2").wordClass, kWordNothing);
  EXPECT_EQ(Analyse("%I99999.2").wordClass, kWordAddress);
}

// Segments of the widest number: eight (91 bytes) overflow the formatter, five fit.
void Widen(UsAts* r, std::uint32_t segments) {
  std::memcpy(r->letters, "MW\0", 4);
  r->segmentCount = segments;
  for (UsAtsSegment& segment : r->segment)
    segment = UsAtsSegment{kSepPoint, kNameNone, 0, 4294967295u};
}

TEST_F(AnalyserTest, DamagedRecordsAreRefusedOrReadWithinBounds) {
  const struct {
    void (*change)(UsAts*);
    const char* written;
  } rows[] = {
      {[](UsAts*) {}, "%NW{1.2}5:X3"},
      {[](UsAts* r) { std::memcpy(r->letters, "AZ\0", 4); }, "%AZ{1.2}5:X3"},  // any capitals
      {[](UsAts* r) { Widen(r, 5); }, "%MW.4294967295.4294967295.4294967295.4294967295.4294967295"},
      {[](UsAts* r) { Widen(r, kUsAtsSegments); }, ""},
      {[](UsAts* r) { r->wordClass = kWordSymbol; }, ""},
      {[](UsAts* r) { std::memcpy(r->letters, "NWXY", 4); }, ""},   // no NUL
      {[](UsAts* r) { std::memcpy(r->letters, "n\0\0", 4); }, ""},  // not an upper-case letter
      {[](UsAts* r) { std::memcpy(r->letters, "@\0\0", 4); }, ""},
      {[](UsAts* r) { std::memcpy(r->letters, "N[\0", 4); }, ""},
      {[](UsAts* r) { std::memcpy(r->letters, "\0\0\0", 4); }, ""},
      {[](UsAts* r) { r->segmentCount = kUsAtsSegments + 1; }, ""},
      {[](UsAts* r) { r->segmentCount = 0; }, ""},
      {[](UsAts* r) { r->segment[1].separator = kSepBit + 1; }, ""},
      {[](UsAts* r) { r->segment[1].name = kNameCount; }, ""},
  };
  for (const auto& row : rows) {
    UsAts record = Analyse("%NW{1.2}5:X3");
    row.change(&record);
    EXPECT_EQ(Format(record), row.written) << "row " << &row - rows;
  }
  // A record filled by a host may lack its NULs or overstate its counts.
  UsAts result;
  std::memset(&result, 'Q', sizeof result);
  EXPECT_STREQ(ResultText(&result.value), "");
  result.components.count = 1000;
  EXPECT_EQ(ComponentCount(&result.components), kUsAtsComponents);
  EXPECT_EQ(ComponentAt(&result.components, 3), 0u);
  EXPECT_EQ(ComponentAt(&result.components, 0xFFFFFFFFu), 0u);
  HostFormatter formatter;
  std::memset(&formatter, 'Q', sizeof formatter);
  EXPECT_STREQ(FormatterAddress(&formatter), "");
  // Made in storage that held anything, a formatter holds no address and an
  // analyser no analysis, nor does one destroyed; without storage, nothing.
  FormatterCreate(&formatter);
  EXPECT_EQ(formatter.text[0], '\0');
  HostAnalyser analyser;
  std::memset(&analyser, 'Q', sizeof analyser);
  AnalyserCreate(&analyser);
  EXPECT_EQ(analyser.kind, kAnalysisNothing);
  EXPECT_EQ(analyser.finished, 1);
  analyser.kind = kAnalysisSymbol;
  AnalyserDestroy(&analyser);
  EXPECT_EQ(analyser.kind, kAnalysisNothing);
  FormatterCreate(nullptr);
  AnalyserCreate(nullptr);
  AnalyserDestroy(nullptr);
}

// Symbols: letters, digits, "_" and the Windows-1252 letters, at most 32.
const char* const kSymbols[] = {
    "Pump_1",        "_start",      "a",
    "\xE9tat_vanne", "MW10",        "X",
    "Zz_09",         "END_REPEATS", "\x8A\x8C\x8E\x9A\x9C\x9E\x9F\xC0\xD6\xD8\xF6\xF8\xFF"};

// Reserved words in any letter case.
const char* const kReserved[] = {"AND",        "and", "End_If", "abs",  "XorR",
                                 "end_repeat", "R",   "s",      "ReSeT"};

// Malformed addresses and texts no word of the language: nothing at all.
const char* const kNothing[] = {
    "%", "%%", "%MW", "%MW-1", "%MW+1", "%MW 10", "%MW10 X", "%MW1 0",
    // numbers beyond five digits, and far beyond 32 bits
    "%MW100000", "%MW4294967296", "%MW99999999999999999999999", "%I1.100000",
    // what the base's key fields cannot hold
    "%I33554432.2", "%MW100000:X1", "%X100000", "%DR1.99997", "%I\\1024.0.0\\0.1", "%I\\1.4.0\\0.1",
    "%I\\1.0.256\\0.1", "%I\\1.0.0\\2.1",
    // bits: out of range, missing, on objects that have none
    "%MW10:X16", "%MW10:X", "%MW10:", "%MW10:Y3", "%MW10:X-1", "%MB10:X1", "%MD4:X0", "%I1.2:X3",
    "%Q1.MOD:X1", "%X3:X1", "%NW{1.2}5:X16", "%I1", "%IW3", "%I1.", "%I1.2.", "%I1.2.3.4",
    "%IW3.MOD.", "%IW3.MOD.2.1", "%IW3.MODX", "%MF1.2", "%MB1.2", "%SW1.2",
    // bus module addresses, cut short at each mark
    "%I\\1.0.5\\0", "%I\\1.0.5\\0.", "%I\\1.0\\0.2", "%I\\1.0.5.0.2", "%I\\\\0.2", "%I\\1.0.5\\",
    "%I\\1.0.5\\0.2\\", "%MF\\1.0.5\\0.2", "%I\\1.0.5\\100000.2", "%X1.FOO", "%X1.2.3", "%X1.IN.2",
    "%X1.IN.OUT", "%X1.", "%X1.T.T", "%X1.3.ER", "%X1.3.", "%X1.IN.", "%XM3.T", "%XM3.4", "%T2.Q",
    "%TM1.D", "%TM1.QX", "%DR1.", "%DR1.X", "%C5.F.V", "%R1.V", "%MN1.D",
    // network words: unbalanced or misplaced braces
    "%NW{1.2.3}4", "%NW{1}", "%NW{}5", "%NW1", "%NW{1", "%NW{1.2", "%NW}1{2", "%NW{{1}2}3",
    "%NW{1}}2", "%MW10}", "%MW{1}2", "%ZZ1", "%MWW10", "%MWXYZ1", "%\xE9", "%MW1\xE9", "%MW\x80",
    "%M\xFFW1", "%MW10\x7F", "%MW10\n%MW11",
    // symbols that are not: blanks or signs inside, odd bytes, blanks only
    "", "1abc", "Pump 1", "9lives", "Pump-1", "a.b", "x\xD7y", "\xF7x", "\x80uro", "\xA0nbsp",
    "abc\x01", "\x89", "\xBF"};

// An exactly sized heap copy: a read past its NUL trips the address sanitizer.
std::unique_ptr<char[]> Exact(const std::string& text) {
  std::unique_ptr<char[]> copy(new char[text.size() + 1]);
  std::memcpy(copy.get(), text.c_str(), text.size() + 1);
  return copy;
}

// The text is the word with blanks around.
void ExpectText(int kind, const std::string& word, const std::string& text) {
  SCOPED_TRACE("[" + text.substr(0, 40) + "]");
  const bool symbol = kind == kAnalysisSymbol;
  HostAnalyser analyser;
  AnalyserCreate(&analyser);
  UsAts result;
  std::memset(&result, 0x5A, sizeof result);  // stale content must not show through
  AnalyseText(&analyser, Exact(text).get(), &result);
  EXPECT_EQ(AnalysisKind(&analyser), kind);
  if (kind != kAnalysisAddress) {
    EXPECT_EQ(result.wordClass, symbol ? kWordSymbol : kWordNothing);
    EXPECT_EQ(result.objectKind, 0);
    EXPECT_EQ(result.kindCode, 0);
    EXPECT_EQ(ResultValue(&result.value), 0u);
    EXPECT_EQ(ComponentCount(&result.components), 0u);
    EXPECT_EQ(result.bit, -1);
    EXPECT_STREQ(ResultText(&result.value), symbol ? word.c_str() : "");
  }
  int ok = -1, value = -1;
  CheckAnalysedName(nullptr, &result, &ok, &value);
  EXPECT_EQ(ok, kind == kAnalysisAddress ? 1 : 0);
  EXPECT_EQ(value, kind == kAnalysisAddress ? result.objectKind : 0);

  std::unique_ptr<char[]> buffer = Exact(text);
  EXPECT_EQ(PrepareSymbol(buffer.get()), symbol ? static_cast<int>(word.size()) : 0);
  EXPECT_EQ(std::string(buffer.get()), word) << "trimmed in place";

  int reason = -1;
  CheckSymbolName(Exact(word).get(), &ok, &reason);
  EXPECT_EQ(ok, symbol ? 1 : 0);
  EXPECT_EQ(reason, symbol ? 0 : kind == kAnalysisReserved ? kSymbolReserved : kSymbolSyntax);
}

// The word alone and between blanks, which are trimmed.
void ExpectWord(int kind, const std::string& word) {
  for (const auto& [before, after] : {std::pair<std::string, std::string>{"", ""},
                                      {std::string(32, ' '), " "},
                                      {"\t ", " \r\n"}}) {
    ExpectText(kind, word, before + word + after);
  }
}

TEST_F(AnalyserTest, SymbolsReservedWordsAddressesAndMalformedTextsAreTold) {
  for (const char* word : kSymbols) ExpectWord(kAnalysisSymbol, word);
  ExpectWord(kAnalysisSymbol, std::string(32, 'a'));
  for (const char* word : kReserved) ExpectWord(kAnalysisReserved, word);
  ExpectWord(kAnalysisAddress, "%MW10");
  for (const char* text : kNothing) ExpectWord(kAnalysisNothing, text);
  for (std::size_t n : {33, 256, 100000}) ExpectWord(kAnalysisNothing, std::string(n, 'z'));
  HostAnalyser analyser;
  AnalyserCreate(&analyser);
  UsAts result;
  AnalyseText(&analyser, nullptr, &result);
  EXPECT_EQ(result.wordClass, kWordNothing);
  EXPECT_EQ(AnalysisKind(&analyser), kAnalysisNothing);
  // The longest text analysed is 255 characters, blanks included.
  for (std::size_t blanks : {251, 252}) {
    AnalyseText(&analyser, ("Pump" + std::string(blanks, ' ')).c_str(), &result);
    EXPECT_EQ(AnalysisKind(&analyser), blanks == 251 ? kAnalysisSymbol : kAnalysisNothing);
  }
}

}  // namespace
