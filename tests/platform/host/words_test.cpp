// Words that are no address: symbols, reserved words, malformed and hostile
// texts, each through the analyser, the symbol preparation and the name checks.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "support/analysis.h"
#include "support/host_reports.h"
#include "symbase/host.h"

namespace {

class WordsTest : public testing_support::HostTest {};

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
    "%Q1.MOD:X1", "%X3:X1", "%NW{1.2}5:X16",
    // module objects
    "%I1", "%IW3", "%I1.", "%I1.2.", "%I1.2.3.4", "%IW3.MOD.", "%IW3.MOD.2.1", "%IW3.MODX",
    "%MF1.2", "%MB1.2", "%SW1.2",
    // bus module addresses, cut short at each mark
    "%I\\1.0.5\\0", "%I\\1.0.5\\0.", "%I\\1.0\\0.2", "%I\\1.0.5.0.2", "%I\\\\0.2", "%I\\1.0.5\\",
    "%I\\1.0.5\\0.2\\", "%MF\\1.0.5\\0.2", "%I\\1.0.5\\100000.2",
    // steps and blocks
    "%X1.FOO", "%X1.2.3", "%X1.IN.2", "%X1.IN.OUT", "%X1.", "%X1.T.T", "%X1.3.ER", "%X1.3.",
    "%X1.IN.", "%XM3.T", "%XM3.4", "%T2.Q", "%TM1.D", "%TM1.QX", "%DR1.", "%DR1.X", "%C5.F.V",
    "%R1.V", "%MN1.D",
    // network words: unbalanced or misplaced braces
    "%NW{1.2.3}4", "%NW{1}", "%NW{}5", "%NW1", "%NW{1", "%NW{1.2", "%NW}1{2", "%NW{{1}2}3",
    "%NW{1}}2", "%MW10}", "%MW{1}2",
    // letters that are no object, bytes outside ASCII
    "%ZZ1", "%MWW10", "%MWXYZ1", "%\xE9", "%MW1\xE9", "%MW\x80", "%M\xFFW1", "%MW10\x7F",
    "%MW10\n%MW11",
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
    EXPECT_EQ(testing_support::Format(result), "");
  }
  int ok = -1, value = -1;
  CheckAnalysedName(nullptr, &result, &ok, &value);
  EXPECT_EQ(ok, kind == kAnalysisAddress ? 1 : 0);
  EXPECT_EQ(value, kind == kAnalysisAddress ? result.objectKind : 0);

  std::unique_ptr<char[]> buffer = Exact(text);
  EXPECT_EQ(PrepareSymbol(buffer.get()), symbol ? static_cast<int>(word.size()) : 0);
  EXPECT_EQ(std::string(buffer.get()), word) << "trimmed in place";
  EXPECT_EQ(PrepareSymbol(buffer.get()), symbol ? static_cast<int>(word.size()) : 0);

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

TEST_F(WordsTest, SymbolsReservedWordsAndLongTextsAreTold) {
  for (const char* word : kSymbols) ExpectWord(kAnalysisSymbol, word);
  ExpectWord(kAnalysisSymbol, std::string(32, 'a'));
  for (const char* word : kReserved) ExpectWord(kAnalysisReserved, word);
  for (const std::string& word :
       {std::string(33, 'a'), std::string(256, 'b'), std::string(100000, 'z')}) {
    ExpectWord(kAnalysisNothing, word);
  }
  ExpectWord(kAnalysisAddress, "%MW10");
}

TEST_F(WordsTest, MalformedTextsGiveNothing) {
  for (const char* text : kNothing) ExpectWord(kAnalysisNothing, text);
  HostAnalyser analyser;
  AnalyserCreate(&analyser);
  UsAts result;
  AnalyseText(&analyser, nullptr, &result);
  EXPECT_EQ(result.wordClass, kWordNothing);
  EXPECT_EQ(AnalysisKind(&analyser), kAnalysisNothing);
}

}  // namespace
