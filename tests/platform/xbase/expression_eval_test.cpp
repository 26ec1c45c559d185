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
  const int result = Expression::Parse(text, MainLayout(), &expression);
  EXPECT_EQ(result, kOk) << text;
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
    const std::string record = MainRecord(c.row);
    EXPECT_EQ(expression->IsTrue(record.data()), c.expected)
        << c.expression << " on OBJET '" << c.row.objet << "' IND1 '" << c.row.ind1 << "' SYMBOLE '"
        << c.row.symbole << "'";
  }
}

const MainRow kWord{"MW", "00010", "", "", "", "%MW10", "counter", ""};
const MainRow kWordBit{"MWX", "00010", "00003", "", "", "%MW10:X3", "", ""};
const MainRow kInput{"V", "00001", "00002", "", "", "%I1.2", "Motor_on", "O"};
const MainRow kInputWord{"VW", "00001", "00000", "", "", "%IW1.0", "", ""};
const MainRow kModule{"MO", "00001", "00004", "", "05", "%CH1.4", "", ""};
const MainRow kModuleEmpty{"MO", "     ", "", "", "", "%CH", "", ""};
const MainRow kOther{"M", "00001", "", "", "", "%M1", "mot_pompe", ""};

MainRow Deleted(MainRow row) {
  row.deleted = true;
  return row;
}

MainRow WithSymbol(MainRow row, const std::string& symbol) {
  row.symbole = symbol;
  return row;
}

TEST(ExpressionPrefixRule, RightOperandDecidesHowFarEqualLooks) {
  ExpectFilters({
      {"OBJET = 'M'", kWord, true},          // 'M' is a prefix of "MW   "
      {"OBJET = 'MW'", kWordBit, true},      // words and their bits together
      {"OBJET = 'MW   '", kWordBit, false},  // padded: the word rows only
      {"OBJET = 'MW   '", kWord, true},
      {"OBJET = 'MWX  '", kWord, false},
      {"OBJET = ''", kWord, true},         // an empty right text is always equal
      {"OBJET = 'MW    '", kWord, false},  // longer than the field: never equal
      {"'MW' = OBJET", kWord, false},      // the field's blanks make it longer
      {"'MW   ' = OBJET", kWord, true},
      {"'MWX  ' = OBJET", kWord, false},
      {"'' = OBJET", kWord, false},
      {"OBJET <> 'M'", kWord, false},  // the negation follows the same rule
      {"OBJET # 'M'", kWord, false},
      {"OBJET <> 'MWX'", kWord, true},
      {"OBJET <> 'MW    '", kWord, true},
      {"OBJET+IND1 = 'MW   0001'", kWord, true},
      {"OBJET+IND1 = 'MW   0002'", kWord, false},
  });
}

TEST(ExpressionOrdering, ComparesBytesUnsignedAndSearchesSubstrings) {
  const MainRow accented = WithSymbol(kWord, "\xC9t\xE9");
  const MainRow motor = WithSymbol(kWord, "Motor_on");
  ExpectFilters({
      {"OBJET < 'MX'", kWord, true},
      {"OBJET >= 'MW'", kWord, true},  // equal by prefix
      {"OBJET <= 'MW'", kWord, true},
      {"OBJET < 'MW'", kWord, false},
      {"OBJET > 'MW'", kWord, false},
      {"OBJET < 'MW    Z'", kWord, true},  // a beginning first
      {"SYMBOLE > 'z'", accented, true},   // 0xC9 is above every ASCII byte
      {"IND1 > '00009'", kWord, true},
      {"IND1 <= '00009'", kWord, false},
      {"'_on' $ SYMBOLE", motor, true},
      {"'on  ' $ SYMBOLE", motor, true},    // padding counts
      {"'motor' $ SYMBOLE", motor, false},  // case-sensitive
      {"'' $ ''", motor, true},
      {"'a' $ ''", motor, false},
      {"SYMBOLE $ 'Motor_on'", motor, false},  // 32 bytes cannot fit in 8
      {"'oo' $ 'Motor_on'", motor, false},
      {"'nn' $ 'n'", motor, false},
  });
}

TEST(ExpressionPrecedence, AndBindsTighterThanOrAndNotTighterThanAnd) {
  // A = 'X' .OR. (B = 'Y' .AND. C <> 'Z')
  const char* mixed = "OBJET = 'MW' .OR. IND1 = '00001' .AND. SYMBOLE <> 'Motor'";
  // (.NOT. A = 'X') .AND. B = 'Y'
  const char* negated = ".NOT. OBJET = 'MW' .AND. IND1 = '00001'";
  ExpectFilters({
      {mixed, kWord, true},     // left of .OR. alone decides
      {mixed, kInput, false},   // IND1 matches but SYMBOLE begins with Motor
      {mixed, kOther, true},    // IND1 matches and SYMBOLE does not begin with Motor
      {negated, kInput, true},  // not a word, IND1 1
      {negated, kWord, false},  // a word: the .NOT. applies to the comparison only
      {negated, kOther, true},
      {".NOT. OBJET = 'MW' .AND. IND1 = '00010'", kWord, false},  // would be true if .NOT. took all
      {".NOT. (OBJET = 'MW' .AND. IND1 = '00001')", kWord, true},
      {".NOT. .NOT. OBJET = 'MW'", kWord, true},
      {"OBJET = 'MO' .AND. IND1 = '00001' .OR. OBJET = 'MW'", kWord, true},
      {"OBJET = 'MO' .AND. (IND1 = '00001' .OR. OBJET = 'MW')", kWord, false},
      {"OBJET+IND1 = 'MW   00010'", kWord, true},  // + before =
      {".T. .OR. .F. .AND. .F.", kWord, true},
      {"(.T. .OR. .F.) .AND. .F.", kWord, false},
  });
}

// Filters as the library writes them.
TEST(ExpressionFilters, TheLibrarysFilters) {
  const std::string blanks(32, ' ');
  const std::string live = " .AND. .NOT. DELETED()";
  const std::string module = "((OBJET = 'V' .OR. OBJET = 'MO') .AND. IND1 = '00001')" + live;
  const std::string conversion = "(OBJET = 'V' .OR. OBJET = 'MO') .AND. IND1 <> '     '";
  const std::string words = "OBJET = 'MW   '" + live, together = "OBJET = 'MW'" + live;
  const std::string unnamed = words + " .AND. SYMBOLE = '" + blanks + "'";
  const std::string steps =
      "(OBJET = 'XX' .AND. IND2 <> '00000') .OR. (OBJET = 'XM' .AND. IND3 <> '00000' .AND. IND3 "
      "<> '     ')";
  const std::string search =
      "'mot' $ SYMBOLE .OR. 'mot' $ SYMBOLE .OR. 'MOT' $ UPPER(SYMBOLE) .AND. .NOT. DELETED()";
  const MainRow other_module{"V", "00011", "00002", "", "", "%I11.2", "", ""};
  const MainRow xx_zero{"XX", "00002", "00000", "", "", "%X2", "", ""};
  const MainRow xm_set{"XM", "00002", "00001", "00007", "", "%XM2.1.7", "", ""};
  const MainRow xm_blank{"XM", "00002", "00001", "", "", "%XM2.1", "", ""};
  ExpectFilters({
      {module, kInput, true},
      {module, kModule, true},
      {module, other_module, false},  // IND1 compared over all 5 bytes
      {module, Deleted(kInput), false},
      {conversion, kInputWord, true},       // 'V' is a prefix of "VW"
      {conversion, kModuleEmpty, false},    // blank IND1
      {conversion, Deleted(kInput), true},  // no deletion test in this one
      {words, kWordBit, false},
      {together, kWordBit, true},
      {together, Deleted(kWordBit), false},
      {unnamed, kWord, false},
      {unnamed, WithSymbol(kWord, ""), true},
      {"(ISCMT = 'O')", kInput, true},
      {"(ISCMT = 'O')", kWord, false},
      {steps, xx_zero, false},
      {steps, xm_set, true},
      {steps, xm_blank, false},
      {search, WithSymbol(kWord, "MOTEUR"), true},
      {search, WithSymbol(kWord, "Demotion"), true},
      {search, WithSymbol(kWord, "pompe"), false},
      // .AND. binds to the last test only: a deleted row containing 'mot' passes.
      {search, Deleted(WithSymbol(kWord, "mot_pompe")), true},
      {search, Deleted(WithSymbol(kWord, "MOTEUR")), false},
  });
}

TEST(ExpressionUpper, MapsWindows1252AccentedLetters) {
  const MainRow ete = WithSymbol(kWord, "\xE9t\xE9");  // été
  const MainRow coeur = WithSymbol(kWord, "c\x9Cur");  // cœur
  ExpectFilters({
      {"UPPER(SYMBOLE) = '\xC9T\xC9'", ete, true},  // ÉTÉ
      {"SYMBOLE = '\xC9T\xC9'", ete, false},
      {"'\xC9T\xC9' $ UPPER(SYMBOLE)", ete, true},
      {"UPPER(SYMBOLE) = 'C\x8CUR'", coeur, true},  // CŒUR
      {"upper(symbole) = 'C\x8CUR'", coeur, true},
      {"UPPER(UPPER(SYMBOLE)) = 'C\x8CUR'", coeur, true},
  });

  std::unique_ptr<Expression> upper =
      ParseOrFail("UPPER('abz\xE0\xE9\xFE\xFF\x9A\x9C\x9E\xDF\xB5\xF7{@')");
  ASSERT_TRUE(upper);
  ASSERT_EQ(upper->width(), 15u);
  char out[15];
  upper->Evaluate(MainRecord(kWord).data(), out);
  // ß, µ and ÷ have no upper-case partner and stay; so do the non-letters.
  EXPECT_EQ(std::string(out, 15), "ABZ\xC0\xC9\xDE\x9F\x8A\x8C\x8E\xDF\xB5\xF7{@");
}

struct KeyCase {
  const char* expression;
  std::string expected;  // also gives the width
};

TEST(ExpressionKeys, EvaluateWritesTheFullWidthKey) {
  const MainRow row{"MW", "00010", "", "", "", "%MW10", "\xE9t\xE9 pompe", "O"};
  const std::vector<KeyCase> cases = {
      {"OBJET+IND1+IND2+IND3+IND4", "MW   00010            "},
      {"REPERE", "%MW10" + std::string(31, ' ')},
      {"SYMBOLE", "\xE9t\xE9 pompe" + std::string(23, ' ')},
      {"UPPER(SYMBOLE)", "\xC9T\xC9 POMPE" + std::string(23, ' ')},
      {"ISCMT", "O"},
      {"'<'+OBJET+'>'", "<MW   >"},
      {"UPPER(OBJET+'x')+''", "MW   X"},
      {"(IND1)+(IND4)", "00010  "},
      {"''", ""},
      {"\"it's\"", "it's"},
  };
  const std::string record = MainRecord(row);
  for (const KeyCase& c : cases) {
    std::unique_ptr<Expression> key = ParseOrFail(c.expression);
    if (!key) continue;
    EXPECT_EQ(key->type(), Expression::Type::kText) << c.expression;
    EXPECT_EQ(key->text(), c.expression);
    ASSERT_EQ(key->width(), c.expected.size()) << c.expression;
    // A guard byte after the key proves nothing is written past width().
    std::string out(c.expected.size() + 1, '\x7F');
    key->Evaluate(record.data(), &out[0]);
    EXPECT_EQ(out, c.expected + '\x7F') << c.expression;
    EXPECT_FALSE(key->IsTrue(record.data())) << "a text is never true: " << c.expression;
  }
}

TEST(ExpressionKeys, EmptyTextWritesNothing) {
  std::unique_ptr<Expression> empty = ParseOrFail("''+''");
  ASSERT_TRUE(empty);
  EXPECT_EQ(empty->width(), 0u);
  empty->Evaluate(MainRecord(kWord).data(), nullptr);
}

TEST(ExpressionKeys, LogicalValueWritesOneLetter) {
  std::unique_ptr<Expression> live = ParseOrFail(".NOT. DELETED()");
  ASSERT_TRUE(live);
  EXPECT_EQ(live->width(), 1u);
  char out = 0;
  live->Evaluate(MainRecord(kWord).data(), &out);
  EXPECT_EQ(out, 'T');
  live->Evaluate(MainRecord(Deleted(kWord)).data(), &out);
  EXPECT_EQ(out, 'F');
}

TEST(ExpressionSyntax, CaseBlanksAndQuotesDoNotMatter) {
  ExpectFilters({
      {".not. deleted()", kWord, true},
      {".NoT. DeLeTeD ( )", Deleted(kWord), false},
      {"objet = 'MW' .and. Ind1 = '00010' .Or. .f.", kWord, true},
      {"OBJET='MW'.AND.IND1<>'     '", kWord, true},
      {"\t OBJET\r\n=\n\"MW\"  ", kWord, true},
      {"OBJET = 'mw'", kWord, false},  // texts themselves keep their case
      {"(((.T.)))", kWord, true},
      {".F.", kWord, false},
      {".t. .AND. .T.", kWord, true},
      {"'a\"b' = \"a\"", kWord, true},
  });
}

}  // namespace
}  // namespace xbase
