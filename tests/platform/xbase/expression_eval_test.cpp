// Expressions evaluated on records of the main table's layout: the rules a
// random check cannot state on its own (the prefix rule, Windows-1252 upper
// case, full-width keys) and the filters the library writes.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

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

struct FilterCase {
  std::string expression;
  MainRow row;
  bool expected;
};

void ExpectFilters(const std::vector<FilterCase>& cases) {
  for (const FilterCase& c : cases) {
    std::unique_ptr<Expression> expression = ParseOrFail(c.expression);
    if (!expression) continue;
    EXPECT_EQ(expression->type(), Expression::Type::kLogical) << c.expression;
    EXPECT_EQ(expression->IsTrue(MainRecord(c.row).data()), c.expected)
        << c.expression << " on OBJET '" << c.row.objet << "' IND1 '" << c.row.ind1 << "' SYMBOLE '"
        << c.row.symbole << "'";
  }
}

const MainRow kWord{"MW", "00010", "", "", "", "%MW10", "counter", ""};
const MainRow kWordBit{"MWX", "00010", "00003", "", "", "%MW10:X3", "", ""};
const MainRow kInput{"V", "00001", "00002", "", "", "%I1.2", "Motor_on", "O"};

MainRow Deleted(MainRow row) {
  row.deleted = true;
  return row;
}

MainRow WithSymbol(MainRow row, const std::string& symbol) {
  row.symbole = symbol;
  return row;
}

TEST(ExpressionFilters, TheRightOperandDecidesHowFarComparisonsLook) {
  ExpectFilters({
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
      {"OBJET < 'MW    Z'", kWord, true},                       // a beginning first
      {"SYMBOLE > 'z'", WithSymbol(kWord, "\xC9t\xE9"), true},  // bytes compare unsigned
      {"'on  ' $ SYMBOLE", kInput, true},                       // padding counts
      {"'motor' $ SYMBOLE", kInput, false},                     // case-sensitive
      {"'' $ ''", kWord, true},
      // .NOT. binds tighter than .AND., .AND. tighter than .OR.
      {".NOT. OBJET = 'MW' .AND. IND1 = '00010'", kWord, false},
      {"OBJET = 'MO' .AND. IND1 = '00001' .OR. OBJET = 'MW'", kWord, true},
      // Names, operators and functions ignore case and blanks; texts do not.
      {".NoT. DeLeTeD ( )", Deleted(kWord), false},
      {"\t OBJET\r\n=\n\"MW\"  ", kWord, true},
      {"OBJET = 'mw'", kWord, false},
      {"'a\"b' = \"a\"", kWord, true},
  });
}

TEST(ExpressionFilters, TheLibrarysFilters) {
  const std::string live = " .AND. .NOT. DELETED()";
  const std::string module = "((OBJET = 'V' .OR. OBJET = 'MO') .AND. IND1 = '00001')" + live;
  const std::string conversion = "(OBJET = 'V' .OR. OBJET = 'MO') .AND. IND1 <> '     '";
  const std::string words = "OBJET = 'MW   '" + live, together = "OBJET = 'MW'" + live;
  const std::string unnamed = words + " .AND. SYMBOLE = '" + std::string(32, ' ') + "'";
  const std::string steps =
      "(OBJET = 'XX' .AND. IND2 <> '00000') .OR. (OBJET = 'XM' .AND. IND3 <> '00000' .AND. IND3 "
      "<> '     ')";
  const std::string search =
      "'mot' $ SYMBOLE .OR. 'mot' $ SYMBOLE .OR. 'MOT' $ UPPER(SYMBOLE) .AND. .NOT. DELETED()";
  const MainRow module_row{"MO", "00001", "00004", "", "05", "%CH1.4", "", ""};
  ExpectFilters({
      {module, kInput, true},
      {module, module_row, true},
      {module, {"V", "00011", "00002", "", "", "%I11.2", "", ""}, false},  // IND1: all 5 bytes
      {module, Deleted(kInput), false},
      {conversion, {"VW", "00001", "00000", "", "", "%IW1.0", "", ""}, true},  // 'V' a prefix
      {conversion, {"MO", "     ", "", "", "", "%CH", "", ""}, false},         // blank IND1
      {conversion, Deleted(kInput), true},  // no deletion test in this one
      {words, kWordBit, false},
      {together, kWordBit, true},
      {together, Deleted(kWordBit), false},
      {unnamed, kWord, false},
      {unnamed, WithSymbol(kWord, ""), true},
      {"(ISCMT = 'O')", kInput, true},
      {"(ISCMT = 'O')", kWord, false},
      {steps, {"XX", "00002", "00000", "", "", "%X2", "", ""}, false},
      {steps, {"XM", "00002", "00001", "00007", "", "%XM2.1.7", "", ""}, true},
      {steps, {"XM", "00002", "00001", "", "", "%XM2.1", "", ""}, false},
      {search, WithSymbol(kWord, "MOTEUR"), true},
      {search, WithSymbol(kWord, "Demotion"), true},
      {search, WithSymbol(kWord, "pompe"), false},
      // .AND. binds to the last test only: a deleted row containing 'mot' passes.
      {search, Deleted(WithSymbol(kWord, "mot_pompe")), true},
      {search, Deleted(WithSymbol(kWord, "MOTEUR")), false},
  });
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
