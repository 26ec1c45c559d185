#ifndef SYMBASE_XBASE_EXPRESSION_LEXER_H
#define SYMBASE_XBASE_EXPRESSION_LEXER_H

#include <cstddef>
#include <string>

// Splits an expression text into tokens. Blanks, tabs and line ends separate
// tokens; any other byte outside quotes that starts no token (digits, bytes of
// 0x80 and above, control bytes, unknown punctuation) is an error token.

namespace xbase {

enum class TokenKind {
  kEnd,
  kError,
  kName,   // field or function name: a letter or '_', then letters, digits, '_'
  kText,   // quoted text; the token's bytes are between the quotes
  kLeft,   // (
  kRight,  // )
  kPlus,
  kEqual,
  kNotEqual,  // <> or #
  kLess,
  kLessEqual,
  kGreater,
  kGreaterEqual,
  kContains,  // $
  kAnd,
  kOr,
  kNot,
  kTrue,
  kFalse,
};

struct Token {
  TokenKind kind = TokenKind::kEnd;
  std::size_t begin = 0;   // first byte of the name or of the quoted text
  std::size_t length = 0;  // its length (quotes excluded)
};

class ExpressionLexer {
 public:
  explicit ExpressionLexer(const std::string& text) : text_(text) {}

  // The next token; kEnd at the end of the text, and again on every later call.
  Token Next();

 private:
  void SkipBlanks();
  Token Quoted(char quote);
  Token Name();
  Token Dotted();
  Token Relation();

  const std::string& text_;
  std::size_t pos_ = 0;
};

}  // namespace xbase

#endif
