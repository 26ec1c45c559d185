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

struct Malformed {
  std::string text;
  int code;
};

TEST(ExpressionParse, MalformedTextsGiveTheirCode) {
  const std::vector<Malformed> cases = {
      // Empty.
      {"", kErrExpression},
      {"   \t\r\n", kErrExpression},
      // Quotes.
      {"'abc", kErrExpression},
      {"OBJET = 'V", kErrExpression},
      {"OBJET = \"V'", kErrExpression},
      {"'", kErrExpression},
      // Names.
      {"FOO = 'x'", kErrField},
      {"OBJE = 'x'", kErrField},
      {"OBJET_ = 'x'", kErrField},
      {"OBJET = 'x' .AND. NOPE <> ''", kErrField},
      {"TRIM(OBJET)", kErrExpression},  // unknown function
      {"UPPER", kErrField},             // without parentheses it names a field
      {"NOPE(", kErrExpression},
      // Structure.
      {"OBJET 'x'", kErrExpression},
      {"OBJET = 'V' )", kErrExpression},
      {"(OBJET = 'V'", kErrExpression},
      {"()", kErrExpression},
      {")", kErrExpression},
      {"OBJET +", kErrExpression},
      {"+ OBJET", kErrExpression},
      {"OBJET = ", kErrExpression},
      {"= 'x'", kErrExpression},
      {"OBJET = 'x' = 'y'", kErrExpression},
      {"OBJET == 'x'", kErrExpression},
      {"OBJET = 'V' .AND.", kErrExpression},
      {".AND. OBJET = 'V'", kErrExpression},
      {".NOT.", kErrExpression},
      {"OBJET = 'V' .AND", kErrExpression},
      {"OBJET = 'V' .XOR. .T.", kErrExpression},
      {"OBJET = 'V' AND .T.", kErrExpression},
      {"..", kErrExpression},
      {".", kErrExpression},
      {"UPPER(", kErrExpression},
      {"UPPER()", kErrExpression},
      {"UPPER(OBJET", kErrExpression},
      {"UPPER(OBJET, IND1)", kErrExpression},
      {"DELETED(", kErrExpression},
      {"DELETED(OBJET)", kErrExpression},
      {"DELETED() DELETED()", kErrExpression},
      // Bytes that start no token.
      {"IND1 = 5", kErrExpression},
      {"OBJET = \xE9t\xE9", kErrExpression},
      {"\xC9T\xC9", kErrExpression},
      {std::string("OBJET\0= 'x'", 11), kErrExpression},
      {"OBJET = 'V' ;", kErrExpression},
      {"OBJET - IND1", kErrExpression},
      {"OBJET != 'x'", kErrExpression},
      {"A->OBJET", kErrField},
      // Types.
      {"OBJET .AND. IND1", kErrExpression},
      {"OBJET = 'V' .OR. SYMBOLE", kErrExpression},
      {"SYMBOLE .OR. OBJET = 'V'", kErrExpression},
      {".NOT. OBJET", kErrExpression},
      {"OBJET = .T.", kErrExpression},
      {".T. = OBJET", kErrExpression},
      {"DELETED() = .T.", kErrExpression},
      {"DELETED() + OBJET", kErrExpression},
      {"OBJET + DELETED()", kErrExpression},
      {"OBJET + (OBJET = 'x')", kErrExpression},
      {"UPPER(DELETED())", kErrExpression},
      {"'a' $ .T.", kErrExpression},
      {".T. $ 'a'", kErrExpression},
  };
  for (const Malformed& c : cases) EXPECT_EQ(ParseCode(c.text), c.code) << "[" << c.text << "]";
}

TEST(ExpressionParse, FirstFaultFromTheLeftDecidesTheCode) {
  EXPECT_EQ(ParseCode("NOPE = 'x' .AND. 'y"), kErrField);
  EXPECT_EQ(ParseCode("'y' .AND. NOPE = 'x'"), kErrExpression);
  EXPECT_EQ(ParseCode("OBJET = 'x' ) NOPE"), kErrExpression);
}

TEST(ExpressionParse, ApostropheInASearchTextIsASyntaxError) {
  // The symbol search puts the user's text between apostrophes as it is.
  const std::string text = "l'eau";
  EXPECT_EQ(ParseCode("'" + text + "' $ SYMBOLE .OR. '" + text + "' $ SYMBOLE .OR. '" + text +
                      "' $ UPPER(SYMBOLE) .AND. .NOT. DELETED()"),
            kErrExpression);
  EXPECT_EQ(ParseCode("''' $ SYMBOLE"), kErrExpression);
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
