// Malformed and hostile texts: the analyser answers class 0 and reads
// nothing past the text; the formatter refuses damaged records.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "support/analysis.h"
#include "support/host_reports.h"
#include "symbase/host.h"

namespace {

class HostileTextTest : public testing_support::HostTest {};

// Null: no text at all.
void ExpectNothing(const char* text) {
  SCOPED_TRACE(text ? text : "(null)");
  HostAnalyser analyser;
  AnalyserCreate(&analyser);
  UsAts result;
  std::memset(&result, 0x5A, sizeof result);
  AnalyseText(&analyser, text, &result);
  AnalyserFinish(&analyser);
  EXPECT_EQ(result.wordClass, kWordNothing);
  EXPECT_EQ(result.objectKind, 0);
  EXPECT_EQ(result.kindCode, 0);
  EXPECT_EQ(ResultValue(&result.value), 0u);
  EXPECT_STREQ(ResultText(&result.value), "");
  EXPECT_EQ(ComponentCount(&result.components), 0u);
  EXPECT_NE(AnalysisKind(&analyser), kAnalysisSymbol);
  EXPECT_NE(AnalysisKind(&analyser), kAnalysisAddress);
  HostFormatter formatter;
  FormatterCreate(&formatter);
  FormatterLoad(&formatter, &result);
  EXPECT_STREQ(FormatterAddress(&formatter), "");
  AnalyserDestroy(&analyser);
}

TEST_F(HostileTextTest, MalformedAddressesGiveNothing) {
  const char* texts[] = {
      "", " ", "%", "%%", "%MW", "%MW-1", "%MW+1", "%MW 10", "%MW10 X", "%MW1 0",
      // numbers beyond five digits, and far beyond 32 bits
      "%MW100000", "%MW4294967296", "%MW99999999999999999999999", "%I1.100000",
      // what the base's key fields cannot hold
      "%I33554432.2", "%MW100000:X1", "%X100000", "%DR1.99997", "%I\\1024.0.0\\0.1",
      "%I\\1.4.0\\0.1", "%I\\1.0.256\\0.1", "%I\\1.0.0\\2.1",
      // bits: out of range, missing, on objects that have none
      "%MW10:X16", "%MW10:X", "%MW10:", "%MW10:Y3", "%MW10:X-1", "%MB10:X1", "%MD4:X0", "%I1.2:X3",
      "%Q1.MOD:X1", "%X3:X1", "%NW{1.2}5:X16",
      // module objects
      "%I1", "%IW3", "%I1.", "%I1.2.", "%I1.2.3.4", "%IW3.MOD.", "%IW3.MOD.2.1", "%IW3.MODX",
      "%MF1.2", "%MB1.2", "%SW1.2",
      // bus module addresses
      "%I\\1.0.5\\0", "%I\\1.0.5\\0.", "%I\\1.0\\0.2", "%I\\1.0.5.0.2", "%I\\\\0.2",
      "%I\\1.0.5\\0.2\\", "%MF\\1.0.5\\0.2", "%I\\1.0.5\\100000.2",
      // steps and blocks
      "%X1.FOO", "%X1.2.3", "%X1.IN.2", "%X1.IN.OUT", "%X1.", "%X1.T.T", "%XM3.T", "%XM3.4",
      "%T2.Q", "%TM1.D", "%TM1.QX", "%DR1.", "%DR1.X", "%C5.F.V", "%R1.V", "%MN1.D",
      // network words: unbalanced or misplaced braces
      "%NW{1.2.3}4", "%NW{1}", "%NW{}5", "%NW1", "%NW{1", "%NW{1.2", "%NW}1{2", "%NW{{1}2}3",
      "%NW{1}}2", "%MW10}", "%MW{1}2",
      // letters that are no object, bytes outside ASCII
      "%ZZ1", "%MWW10", "%MWXYZ1",
      "%\xE9"
      "1",
      "%MW1\xE9",
      "%MW\x80"
      "1",
      "%M\xFF"
      "W1",
      "%MW10\x7F", "%MW10\n%MW11",
      // symbols that are not: leading digit, blanks or signs inside, odd bytes
      "1abc", "Pump 1", "Pump-1", "a.b", "\xD7", "\xF7x", "\x80uro", "\xA0nbsp", "abc\x01",
      "abcdefghijklmnopqrstuvwxyz0123456"};
  for (const char* text : texts) ExpectNothing(text);
  ExpectNothing(nullptr);
}

TEST_F(HostileTextTest, DecimalModuleNumberingHoldsFiveDigitPositions) {
  HostSetAddressingMode(1);
  ExpectNothing("%I100000.2");
  int kind = 0;
  EXPECT_EQ(testing_support::Analyse("%I99999.2", &kind).wordClass, kWordAddress);
}

TEST_F(HostileTextTest, OverlongTextsGiveNothing) {
  for (const std::string& text :
       {std::string(256, 'a'), "%MW" + std::string(300, '0') + "1", std::string(100000, '%'),
        "%NW" + std::string(200, '{') + "1" + std::string(200, '}') + "2"}) {
    ExpectNothing(text.c_str());
  }
  // Leading zeros are no harm while the text stays short.
  HostAnalyser analyser;
  AnalyserCreate(&analyser);
  UsAts result;
  AnalyseText(&analyser, ("%MW" + std::string(200, '0') + "12").c_str(), &result);
  EXPECT_EQ(result.wordClass, kWordAddress);
  EXPECT_EQ(ResultValue(&result.value), 12u);
}

TEST_F(HostileTextTest, NothingIsReadPastTheTerminator) {
  // Exactly sized heap copies: a read past the NUL trips the address sanitizer.
  for (const std::string& text :
       {std::string("%MW10"), std::string("%NW{1.2"), std::string("%I\\1.0.5\\"),
        std::string("%X1.3.ER"), std::string("Pump_"), std::string("%"), std::string(255, 'b'),
        std::string(256, 'b'), std::string(400, '9')}) {
    std::unique_ptr<char[]> exact(new char[text.size() + 1]);
    std::memcpy(exact.get(), text.c_str(), text.size() + 1);
    HostAnalyser analyser;
    AnalyserCreate(&analyser);
    UsAts result;
    AnalyseText(&analyser, exact.get(), &result);
    EXPECT_LE(std::strlen(ResultText(&result.value)), kUsAtsTextSize - 1);
  }
}

TEST_F(HostileTextTest, ResultsFilledByAHostAreReadWithinBounds) {
  UsAts result;
  std::memset(&result, 'Q', sizeof result);  // no NUL anywhere
  EXPECT_STREQ(ResultText(&result.value), "");
  result.components.count = 1000;
  EXPECT_EQ(ComponentCount(&result.components), kUsAtsComponents);
  EXPECT_EQ(ComponentAt(&result.components, 3), 0u);
  EXPECT_EQ(ComponentAt(&result.components, 0xFFFFFFFFu), 0u);
}

// A sound address record to damage field by field.
UsAts SoundRecord() {
  HostAnalyser analyser;
  AnalyserCreate(&analyser);
  UsAts result;
  AnalyseText(&analyser, "%NW{1.2}5:X3", &result);
  return result;
}

using testing_support::Format;

TEST_F(HostileTextTest, FormatterRefusesDamagedRecords) {
  ASSERT_EQ(Format(SoundRecord()), "%NW{1.2}5:X3");
  void (*const damages[])(UsAts*) = {
      [](UsAts* r) { r->wordClass = kWordSymbol; },
      [](UsAts* r) { std::memcpy(r->letters, "NWXY", 4); },   // no NUL
      [](UsAts* r) { std::memcpy(r->letters, "n\0\0", 4); },  // not an upper-case letter
      [](UsAts* r) { r->segmentCount = kUsAtsSegments + 1; },
      [](UsAts* r) { r->segmentCount = 0; },
      [](UsAts* r) { r->segment[1].separator = 9; },
      [](UsAts* r) { r->segment[1].name = kNameCount; },
  };
  for (auto damage : damages) {
    UsAts damaged = SoundRecord();
    damage(&damaged);
    EXPECT_EQ(Format(damaged), "");
  }
}

TEST_F(HostileTextTest, FormatterRefusesWhatDoesNotFit) {
  UsAts wide = SoundRecord();
  std::memcpy(wide.letters, "MW\0", 4);
  wide.segmentCount = kUsAtsSegments;
  for (UsAtsSegment& segment : wide.segment) {
    segment = UsAtsSegment{kSepPoint, kNameNone, 0, 4294967295u};
  }
  // "%MW" + 8 x ".4294967295" = 91 bytes: more than the formatter holds.
  EXPECT_EQ(Format(wide), "");
  wide.segmentCount = 5;  // 58 bytes: fits
  EXPECT_EQ(Format(wide), "%MW.4294967295.4294967295.4294967295.4294967295.4294967295");
}

}  // namespace
