#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>

#include "support/expression_layout.h"
#include "xbase/expression.h"
#include "xbase/result.h"

namespace xbase {
namespace {

using testing_support::MainLayout;
using testing_support::MainRecord;
using testing_support::MainRow;

// The parse result; *out must stay untouched on failure.
int ParseCode(const std::string& text) {
  std::unique_ptr<Expression> out;
  const int result = Expression::Parse(text, MainLayout(), &out);
  EXPECT_EQ(out != nullptr, result == kOk) << text;
  return result;
}

TEST(ExpressionParse, MalformedTextsGiveTheirCode) {
  // Names that are no field; the first fault from the left decides the code.
  for (const char* text :
       {"FOO = 'x'", "OBJE = 'x'", "OBJET_ = 'x'", "OBJET = 'x' .AND. NOPE <> ''", "UPPER",
        "A->OBJET", "NOPE = 'x' .AND. 'y"}) {
    EXPECT_EQ(ParseCode(text), kErrField) << text;
  }
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
  for (const std::string& text : syntax) {
    EXPECT_EQ(ParseCode(text), kErrExpression) << "[" << text << "]";
  }
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
  std::unique_ptr<Expression> expression;
  ASSERT_EQ(Expression::Parse(widest, MainLayout(), &expression), kOk);
  EXPECT_EQ(expression->width(), 1024u);
  const std::pair<std::string, int> texts[] = {
      {longest, kOk},
      {longest + " ", kErrExpression},
      {std::string(100000, ' ') + "DELETED()", kErrExpression},
      {repeat("(", 40) + "DELETED()" + repeat(")", 40), kOk},
      {repeat("(", 100) + "DELETED()" + repeat(")", 100), kErrExpression},
      {repeat("(", 4096), kErrExpression},
      {repeat("(", 4000) + repeat(")", 4000), kErrExpression},
      {repeat(".NOT. ", 40) + "DELETED()", kOk},
      {repeat(".NOT.", 600) + "DELETED()", kErrExpression},
      {repeat("UPPER(", 500) + "OBJET" + repeat(")", 500), kErrExpression},
      {widest + "+ISCMT", kErrExpression},
      {"UPPER(" + widest + ") = ''", kOk},
      {"'" + std::string(1024, 'x') + "'", kOk},
      {"'" + std::string(1025, 'x') + "'", kErrExpression},
      {"(" + widest + ")+(" + widest + ")", kErrExpression},
  };
  for (const auto& [text, code] : texts) EXPECT_EQ(ParseCode(text), code) << text.substr(0, 40);
  // A long flat chain parses and runs.
  ASSERT_EQ(Expression::Parse(repeat("OBJET = 'A' .OR. ", 200) + "OBJET = 'MW'", MainLayout(),
                              &expression),
            kOk);
  EXPECT_TRUE(expression->IsTrue(MainRecord({"MW", "00010", "", "", "", "%MW10", "", ""}).data()));
}

}  // namespace
}  // namespace xbase
