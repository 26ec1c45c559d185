// Expressions evaluated on records of the main table's layout: the rules a
// random check cannot state on its own (the prefix rule, Windows-1252 upper
// case, full-width keys).

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "support/expression_layout.h"
#include "xbase/expression.h"
#include "xbase/result.h"

namespace xbase {
namespace {

using testing_support::MainLayout;
using testing_support::MainRecord;
using testing_support::MainRow;

std::unique_ptr<Expression> ParseOrFail(const std::string& text) {
  std::unique_ptr<Expression> expression;
  EXPECT_EQ(Expression::Parse(text, MainLayout(), &expression), kOk) << text;
  return expression;
}

const MainRow kWord{"MW", "00010", "", "", "", "%MW10", "counter", ""};
const MainRow kWordBit{"MWX", "00010", "00003", "", "", "%MW10:X3", "", ""};
const MainRow kInput{"V", "00001", "00002", "", "", "%I1.2", "Motor_on", "O"};

TEST(ExpressionFilters, TheRightOperandDecidesHowFarComparisonsLook) {
  const struct {
    std::string expression;
    MainRow row;
    bool expected;
  } cases[] = {
      {"OBJET = 'M'", kWord, true},          // 'M' is a prefix of "MW   "
      {"OBJET = 'MW'", kWordBit, true},      // words and their bits together
      {"OBJET = 'MW   '", kWordBit, false},  // padded: the word rows only
      {"OBJET = ''", kWord, true},           // an empty right text is always equal
      {"OBJET = 'MW    '", kWord, false},    // longer than the field: never equal
      {"'MW' = OBJET", kWord, false},        // the field's blanks make it longer
      {"'MW   ' = OBJET", kWord, true},
      {"OBJET <> 'M'", kWord, false},  // the negation follows the same rule
      {"OBJET # 'MWX'", kWord, true},
      {"OBJET >= 'MW'", kWord, true},  // equal by prefix
      {"OBJET < 'MW'", kWord, false},
      {"OBJET < 'MW    Z'", kWord, true},  // a beginning first
      {"SYMBOLE > 'z'",
       {"MW", "00010", "", "", "", "%MW10", "\xC9t\xE9", ""},
       true},                                // bytes compare unsigned
      {"'on  ' $ SYMBOLE", kInput, true},    // padding counts
      {"'_1' $ 'Pump__1'", kWord, true},     // at the very end, after a near miss
      {"'motor' $ SYMBOLE", kInput, false},  // case-sensitive
      {"'' $ ''", kWord, true},
      // .NOT. binds tighter than .AND., .AND. tighter than .OR.
      {".NOT. OBJET = 'MW' .AND. IND1 = '00010'", kWord, false},
      {"OBJET = 'MO' .AND. IND1 = '00001' .OR. OBJET = 'MW'", kWord, true},
      // Names, operators and functions ignore case and blanks; texts do not.
      {".NoT. DeLeTeD ( )", {"MW", "00010", "", "", "", "%MW10", "counter", "", true}, false},
      {"\t OBJET\r\n=\n\"MW\"  ", kWord, true},
      {"OBJET = 'mw'", kWord, false},
      {"'a\"b' = \"a\"", kWord, true},
  };
  for (const auto& c : cases) {
    std::unique_ptr<Expression> expression = ParseOrFail(c.expression);
    if (!expression) continue;
    EXPECT_EQ(expression->type(), Expression::Type::kLogical) << c.expression;
    EXPECT_EQ(expression->IsTrue(MainRecord(c.row).data()), c.expected) << c.expression;
  }
}

// Each key written in full and nothing past its width; logical values
// write one letter.
TEST(ExpressionKeys, EvaluateWritesTheFullWidthValue) {
  const MainRow row{"MW", "00010", "", "", "", "%MW10", "\xE9t\xE9 pompe", "O"};
  const struct {
    const char* expression;
    std::string expected;  // also gives the width
  } cases[] = {
      {"OBJET+IND1+IND2+IND3+IND4", "MW   00010            "},
      {"REPERE", "%MW10" + std::string(31, ' ')},
      {"UPPER(SYMBOLE)", "\xC9T\xC9 POMPE" + std::string(23, ' ')},  // été: ÉTÉ
      {"upper(OBJET+'x')+''", "MW   X"},
      {"(IND1)+(IND4)", "00010  "},
      {"''+''", ""},
      {"\"it's\"", "it's"},
      // ß, µ and ÷ have no upper-case partner and stay; so do the non-letters.
      {"UPPER('abz\xE0\xE9\xFE\xFF\x9A\x9C\x9E\xDF\xB5\xF7{@')",
       "ABZ\xC0\xC9\xDE\x9F\x8A\x8C\x8E\xDF\xB5\xF7{@"},
      {".NOT. DELETED()", "T"},
      {"DELETED()", "F"},
  };
  const std::string record = MainRecord(row);
  for (const auto& c : cases) {
    std::unique_ptr<Expression> key = ParseOrFail(c.expression);
    if (!key) continue;
    const bool logical = c.expression[0] == '.' || c.expression[0] == 'D';
    EXPECT_EQ(key->type() == Expression::Type::kLogical, logical) << c.expression;
    EXPECT_EQ(key->text(), c.expression);
    ASSERT_EQ(key->width(), c.expected.size()) << c.expression;
    std::string out(c.expected.size() + 1, '\x7F');  // a guard byte after the value
    key->Evaluate(record.data(), &out[0]);
    EXPECT_EQ(out, c.expected + '\x7F') << c.expression;
    EXPECT_EQ(key->IsTrue(record.data()), c.expected == "T") << c.expression;
  }
}

}  // namespace
}  // namespace xbase
