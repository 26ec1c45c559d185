#include "xbase/expression_lexer.h"

#include <cstring>

namespace xbase {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// ASCII only: bytes of 0x80 and above never belong to a name, whatever the
// locale says.
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsNameByte(char c) { return IsLetter(c) || (c >= '0' && c <= '9'); }

char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 0x20) : c; }

bool SameWord(const std::string& text, std::size_t begin, std::size_t length, const char* word) {
  if (std::strlen(word) != length) return false;
  for (std::size_t i = 0; i < length; ++i) {
    if (AsciiUpper(text[begin + i]) != word[i]) return false;
  }
  return true;
}

Token Make(TokenKind kind, std::size_t begin, std::size_t length) {
  Token token;
  token.kind = kind;
  token.begin = begin;
  token.length = length;
  return token;
}

}  // namespace

Token ExpressionLexer::Next() {
  SkipBlanks();
  if (pos_ >= text_.size()) return Make(TokenKind::kEnd, pos_, 0);
  const char c = text_[pos_];
  if (c == '\'' || c == '"') return Quoted(c);
  if (IsLetter(c)) return Name();
  if (c == '.') return Dotted();
  if (c == '<' || c == '>') return Relation();
  const std::size_t at = pos_++;
  switch (c) {
    case '(':
      return Make(TokenKind::kLeft, at, 1);
    case ')':
      return Make(TokenKind::kRight, at, 1);
    case '+':
      return Make(TokenKind::kPlus, at, 1);
    case '=':
      return Make(TokenKind::kEqual, at, 1);
    case '#':
      return Make(TokenKind::kNotEqual, at, 1);
    case '$':
      return Make(TokenKind::kContains, at, 1);
    default:
      return Make(TokenKind::kError, at, 1);
  }
}

void ExpressionLexer::SkipBlanks() {
  while (pos_ < text_.size() && IsBlank(text_[pos_])) ++pos_;
}

Token ExpressionLexer::Quoted(char quote) {
  const std::size_t begin = pos_ + 1;
  const std::size_t end = text_.find(quote, begin);
  if (end == std::string::npos) {
    pos_ = text_.size();
    return Make(TokenKind::kError, begin - 1, text_.size() - begin + 1);
  }
  pos_ = end + 1;
  return Make(TokenKind::kText, begin, end - begin);
}

Token ExpressionLexer::Name() {
  const std::size_t begin = pos_;
  while (pos_ < text_.size() && IsNameByte(text_[pos_])) ++pos_;
  return Make(TokenKind::kName, begin, pos_ - begin);
}

// .AND. .OR. .NOT. .T. .F., in any case.
Token ExpressionLexer::Dotted() {
  const std::size_t begin = pos_ + 1;
  std::size_t end = begin;
  while (end < text_.size() && IsLetter(text_[end])) ++end;
  if (end >= text_.size() || text_[end] != '.') {
    pos_ = end;
    return Make(TokenKind::kError, begin - 1, end - begin + 1);
  }
  pos_ = end + 1;
  const std::size_t length = end - begin;
  static const struct {
    const char* word;
    TokenKind kind;
  } kWords[] = {{"AND", TokenKind::kAnd},
                {"OR", TokenKind::kOr},
                {"NOT", TokenKind::kNot},
                {"T", TokenKind::kTrue},
                {"F", TokenKind::kFalse}};
  for (const auto& entry : kWords) {
    if (SameWord(text_, begin, length, entry.word)) return Make(entry.kind, begin - 1, length + 2);
  }
  return Make(TokenKind::kError, begin - 1, length + 2);
}

// < <= <> > >=
Token ExpressionLexer::Relation() {
  const std::size_t at = pos_;
  const char first = text_[pos_++];
  const char next = pos_ < text_.size() ? text_[pos_] : '\0';
  if (first == '<' && next == '>') {
    ++pos_;
    return Make(TokenKind::kNotEqual, at, 2);
  }
  if (next == '=') {
    ++pos_;
    return Make(first == '<' ? TokenKind::kLessEqual : TokenKind::kGreaterEqual, at, 2);
  }
  return Make(first == '<' ? TokenKind::kLess : TokenKind::kGreater, at, 1);
}

}  // namespace xbase
