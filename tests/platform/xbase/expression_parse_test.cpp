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

TEST(ExpressionParse, BytesAboveAsciiAreFineInsideQuotes) {
  EXPECT_EQ(ParseCode("SYMBOLE = '\xE9t\xE9 \x80\xFF'"), kOk);
  EXPECT_EQ(ParseCode(std::string("'a\0b' $ SYMBOLE", 15)), kOk);
}

TEST(ExpressionParse, TextLengthIsCapped) {
  // DELETED() .OR. ... padded with blanks to exactly the limit parses.
  std::string longest = "DELETED()";
  while (longest.size() + 15 <= 4096) longest += " .OR. DELETED()";
  longest.resize(4096, ' ');
  EXPECT_EQ(ParseCode(longest), kOk);
  EXPECT_EQ(ParseCode(longest + " "), kErrExpression);
  EXPECT_EQ(ParseCode(std::string(100000, ' ') + "DELETED()"), kErrExpression);
}

TEST(ExpressionParse, LongFlatChainsParseAndRun) {
  std::string chain = "OBJET = 'A'";
  for (int i = 0; i < 200; ++i) chain += " .OR. OBJET = 'A'";
  chain += " .OR. OBJET = 'MW'";
  std::unique_ptr<Expression> expression;
  ASSERT_EQ(Expression::Parse(chain, MainLayout(), &expression), kOk);
  const MainRow word{"MW", "00010", "", "", "", "%MW10", "", ""};
  EXPECT_TRUE(expression->IsTrue(MainRecord(word).data()));
}

TEST(ExpressionParse, NestingIsCappedWithoutExhaustingTheStack) {
  const auto nested = [](int depth) {
    return std::string(depth, '(') + "DELETED()" + std::string(depth, ')');
  };
  EXPECT_EQ(ParseCode(nested(40)), kOk);
  EXPECT_EQ(ParseCode(nested(100)), kErrExpression);
  EXPECT_EQ(ParseCode(std::string(4096, '(')), kErrExpression);
  EXPECT_EQ(ParseCode(std::string(4000, '(') + std::string(4000, ')')), kErrExpression);

  std::string nots;
  for (int i = 0; i < 40; ++i) nots += ".NOT. ";
  EXPECT_EQ(ParseCode(nots + "DELETED()"), kOk);
  std::string many_nots;
  for (int i = 0; i < 600; ++i) many_nots += ".NOT.";
  EXPECT_EQ(ParseCode(many_nots + "DELETED()"), kErrExpression);

  std::string uppers;
  for (int i = 0; i < 500; ++i) uppers += "UPPER(";
  EXPECT_EQ(ParseCode(uppers + "OBJET" + std::string(500, ')')), kErrExpression);
}

TEST(ExpressionParse, TextWidthIsCapped) {
  // 32 x 32 = 1024 bytes: the limit itself is accepted.
  std::string widest = "SYMBOLE";
  for (int i = 1; i < 32; ++i) widest += "+SYMBOLE";
  std::unique_ptr<Expression> expression;
  ASSERT_EQ(Expression::Parse(widest, MainLayout(), &expression), kOk);
  EXPECT_EQ(expression->width(), 1024u);
  EXPECT_EQ(ParseCode(widest + "+ISCMT"), kErrExpression);
  EXPECT_EQ(ParseCode("UPPER(" + widest + ") = ''"), kOk);
  EXPECT_EQ(ParseCode("'" + std::string(1024, 'x') + "'"), kOk);
  EXPECT_EQ(ParseCode("'" + std::string(1025, 'x') + "'"), kErrExpression);
  EXPECT_EQ(ParseCode("(" + widest + ")+(" + widest + ")"), kErrExpression);
}

TEST(ExpressionParse, LayoutQuirks) {
  std::unique_ptr<Expression> expression;
  // Names compare without case, and the first of two equal names wins.
  const std::vector<ExpressionField> twice = {{"Name", 1, 2}, {"NAME", 3, 4}};
  ASSERT_EQ(Expression::Parse("name", twice, &expression), kOk);
  EXPECT_EQ(expression->width(), 2u);
  // A field too wide for any text value is refused, not truncated.
  const std::vector<ExpressionField> huge = {{"BIG", 1, 5000}};
  EXPECT_EQ(Expression::Parse("BIG", huge, &expression), kErrExpression);
  // Offsets near the top of the address range are refused before any sum can wrap.
  const std::vector<ExpressionField> far = {{"FAR", 0xFFFFFFFFu, 1}};
  EXPECT_EQ(Expression::Parse("FAR", far, &expression), kErrExpression);
  EXPECT_EQ(Expression::Parse("DELETED()", {}, &expression), kOk);
  EXPECT_EQ(Expression::Parse("OBJET", {}, &expression), kErrField);
}

}  // namespace
}  // namespace xbase
