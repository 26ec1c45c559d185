// Expressions parsed and evaluated on records of the main table's layout: the
// codes of malformed texts, the limits, and the rules a random check cannot
// state on its own (the prefix rule, Windows-1252 upper case, full-width keys).

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>

#include "support/expression_layout.h"
#include "xbase/expression.h"
#include "xbase/result.h"

namespace xbase {
namespace {

using testing_support::MainFields;
using testing_support::MainLayout;
using testing_support::MainRecord;

// Parses `text`, expecting `code`; *out must stay untouched on failure.
std::unique_ptr<Expression> Parse(const std::string& text, int code = kOk) {
  std::unique_ptr<Expression> out;
  EXPECT_EQ(Expression::Parse(text, MainLayout(), &out), code) << "[" << text.substr(0, 40) << "]";
  EXPECT_EQ(out != nullptr, code == kOk) << text.substr(0, 40);
  return out;
}

TEST(ExpressionParse, MalformedTextsGiveTheirCode) {
  // Names that are no field; the first fault from the left decides the code.
  for (const char* text :
       {"FOO = 'x'", "OBJE = 'x'", "OBJET_ = 'x'", "OBJET = 'x' .AND. NOPE <> ''", "UPPER",
        "A->OBJET", "NOPE = 'x' .AND. 'y"})
    Parse(text, kErrField);
  const std::string syntax[] = {
      // Empty, quotes, unknown functions.
      "", "   \t\r\n", "'abc", "OBJET = 'V", "OBJET = \"V'", "'", "TRIM(OBJET)", "NOPE(",
      // Structure.
      "OBJET 'x'", "OBJET = 'V' )", "(OBJET = 'V'", "()", ")", "OBJET +", "+ OBJET",
      "OBJET = ", "= 'x'", "OBJET = 'x' = 'y'", "OBJET == 'x'", "OBJET = 'V' .AND.",
      ".AND. OBJET = 'V'", ".NOT.", "OBJET = 'V' .AND", "OBJET = 'V' .XOR. .T.",
      "OBJET = 'V' AND .T.", "..", ".", "UPPER(", "UPPER()", "UPPER(OBJET", "UPPER(OBJET, IND1)",
      "DELETED(", "DELETED(OBJET)", "DELETED() DELETED()", "'y' .AND. NOPE = 'x'",
      "OBJET = 'x' ) NOPE",
      // Bytes that start no token.
      "IND1 = 5", "OBJET = \xE9t\xE9", "\xC9T\xC9", std::string("OBJET\0= 'x'", 11),
      "OBJET = 'V' ;", "OBJET - IND1", "OBJET != 'x'",
      // Types.
      "OBJET .AND. IND1", "OBJET = 'V' .OR. SYMBOLE", "SYMBOLE .OR. OBJET = 'V'", ".NOT. OBJET",
      "OBJET = .T.", ".T. = OBJET", "DELETED() = .T.", "DELETED() + OBJET", "OBJET + DELETED()",
      "OBJET + (OBJET = 'x')", "UPPER(DELETED())", "'a' $ .T.", ".T. $ 'a'",
      // An apostrophe in a search text, put between apostrophes as it is.
      "'l'eau' $ SYMBOLE .OR. 'l'eau' $ UPPER(SYMBOLE) .AND. .NOT. DELETED()", "''' $ SYMBOLE"};
  for (const std::string& text : syntax) Parse(text, kErrExpression);
}

// Length 4096, nesting and width 1024 are capped without exhausting the stack.
TEST(ExpressionParse, LimitsOfLengthNestingAndWidth) {
  const auto repeat = [](const std::string& piece, int times) {
    std::string s;
    for (int i = 0; i < times; ++i) s += piece;
    return s;
  };
  std::string longest = "DELETED()" + repeat(" .OR. DELETED()", (4096 - 9) / 15);
  longest.resize(4096, ' ');  // padded with blanks to exactly the limit
  const std::string widest = "SYMBOLE" + repeat("+SYMBOLE", 31);  // 32 x 32 = 1024 bytes
  std::unique_ptr<Expression> expression = Parse(widest);
  ASSERT_NE(expression, nullptr);
  EXPECT_EQ(expression->width(), 1024u);
  const std::pair<std::string, int> texts[] = {
      {longest, kOk},
      {longest + " ", kErrExpression},
      {repeat("(", 40) + "DELETED()" + repeat(")", 40), kOk},
      {repeat("(", 100) + "DELETED()" + repeat(")", 100), kErrExpression},
      {repeat("(", 4096), kErrExpression},
      {repeat(".NOT. ", 40) + "DELETED()", kOk},
      {repeat(".NOT.", 600) + "DELETED()", kErrExpression},
      {repeat("UPPER(", 500) + "OBJET" + repeat(")", 500), kErrExpression},
      {widest + "+ISCMT", kErrExpression},
      {"UPPER(" + widest + ") = ''", kOk},
      {"'" + std::string(1024, 'x') + "'", kOk},
      {"'" + std::string(1025, 'x') + "'", kErrExpression},
  };
  for (const auto& [text, code] : texts) Parse(text, code);
  // A long flat chain parses and runs.
  expression = Parse(repeat("OBJET = 'A' .OR. ", 200) + "OBJET = 'MW'");
  ASSERT_NE(expression, nullptr);
  EXPECT_TRUE(expression->IsTrue(MainRecord({"MW", "00010", "", "", "", "%MW10", "", ""}).data()));
}

const MainFields kWord{"MW", "00010", "", "", "", "%MW10", "counter", ""};
const MainFields kWordBit{"MWX", "00010", "00003", "", "", "%MW10:X3", "", ""};
const MainFields kInput{"V", "00001", "00002", "", "", "%I1.2", "Motor_on", "O"};
const MainFields kAccented{"MW", "00010", "", "", "", "%MW10", "\xE9t\xE9 pompe", "O"};

TEST(ExpressionFilters, TheRightOperandDecidesHowFarComparisonsLook) {
  const struct {
    std::string expression;
    MainFields row;
    bool expected;
  } cases[] = {
      {"OBJET = 'M'", kWord, true},                             // 'M' is a prefix of "MW   "
      {"objet = 'MW' .and. symbole = 'counter'", kWord, true},  // names and words in any case
      {"OBJET = 'MW'", kWordBit, true},                         // words and their bits together
      {"OBJET = 'MW   '", kWordBit, false},                     // padded: the word rows only
      {"OBJET = ''", kWord, true},         // an empty right text is always equal
      {"OBJET = 'MW    '", kWord, false},  // longer than the field: never equal
      {"'MW' = OBJET", kWord, false},      // the field's blanks make it longer
      {"'MW   ' = OBJET", kWord, true},
      {"OBJET <> 'M'", kWord, false},  // the negation follows the same rule
      {"OBJET # 'MWX'", kWord, true},
      {"OBJET >= 'MW'", kWord, true},  // equal by prefix
      {"OBJET > 'MW'", kWord, false},
      {"OBJET < 'MW'", kWord, false},
      {"OBJET < 'A'", kWord, false},         // a lone "<" is no "<>"
      {"OBJET < 'MW    Z'", kWord, true},    // a beginning first
      {"SYMBOLE > 'z'", kAccented, true},    // bytes compare unsigned
      {"'on  ' $ SYMBOLE", kInput, true},    // padding counts
      {"'_1' $ 'Pump__1'", kWord, true},     // at the very end, after a near miss
      {"'Pump' $ 'Pump'", kWord, true},      // the whole text
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
    std::unique_ptr<Expression> expression = Parse(c.expression);
    if (!expression) continue;
    EXPECT_EQ(expression->type(), Expression::Type::kLogical) << c.expression;
    EXPECT_EQ(expression->IsTrue(MainRecord(c.row).data()), c.expected) << c.expression;
  }
}

// Each key written in full and nothing past its width; logical values
// write one letter.
TEST(ExpressionKeys, EvaluateWritesTheFullWidthValue) {
  const struct {
    const char* expression;
    std::string expected;  // also gives the width
  } cases[] = {
      {"OBJET+IND1+IND2+IND3+IND4", "MW   00010            "},
      {"REPERE", "%MW10" + std::string(31, ' ')},
      {"UPPER(SYMBOLE)", "\xC9T\xC9 POMPE" + std::string(23, ' ')},  // été: ÉTÉ
      {"upper(OBJET+'x')+''", "MW   X"},
      {"(IND1)+(IND4)", "00010  "},
      {"IND1+UPPER(OBJET)", "00010MW   "},  // a field, then what no field gives
      {"''+''", ""},
      {"\"it's\"", "it's"},
      // ß, µ and ÷ have no upper-case partner and stay; so do the non-letters.
      {"UPPER('abz\xE0\xE9\xFE\xFF\x9A\x9C\x9E\xDF\xB5\xF7{@')",
       "ABZ\xC0\xC9\xDE\x9F\x8A\x8C\x8E\xDF\xB5\xF7{@"},
      {".NOT. DELETED()", "T"},
      {"DELETED()", "F"},
  };
  const std::string record = MainRecord(kAccented);
  for (const auto& c : cases) {
    std::unique_ptr<Expression> key = Parse(c.expression);
    if (!key) continue;
    const bool logical = c.expression[0] == '.' || c.expression[0] == 'D';
    EXPECT_EQ(key->type() == Expression::Type::kLogical, logical) << c.expression;
    ASSERT_EQ(key->width(), c.expected.size()) << c.expression;
    std::string out(c.expected.size() + 1, '\x7F');  // a guard byte after the value
    key->Evaluate(record.data(), &out[0]);
    EXPECT_EQ(out, c.expected + '\x7F') << c.expression;
    EXPECT_EQ(key->IsTrue(record.data()), c.expected == "T") << c.expression;
  }
}

}  // namespace
}  // namespace xbase
