#include "xbase/expression_parser.h"

#include <cstdint>

#include "xbase/expression_lexer.h"
#include "xbase/result.h"

// Recursive descent, one function per precedence level, lowest first:
//   or   := and { .OR. and }
//   and  := not { .AND. not }
//   not  := .NOT. not | relation
//   relation := concat [ (= <> # < <= > >= $) concat ]
//   concat   := primary { + primary }
//   primary  := text | .T. | .F. | field | UPPER( or ) | DELETED() | ( or )
// Types are checked as each node is made, so a program that parses runs
// without further checks.

namespace xbase {
namespace {

constexpr std::uint32_t kNoNode = UINT32_MAX;

bool SameName(const std::string& a, const char* b, std::size_t length) {
  if (a.size() != length) return false;
  for (std::size_t i = 0; i < length; ++i) {
    char x = a[i];
    char y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 0x20);
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 0x20);
    if (x != y) return false;
  }
  return true;
}

bool IsRelation(TokenKind kind) {
  switch (kind) {
    case TokenKind::kEqual:
    case TokenKind::kNotEqual:
    case TokenKind::kLess:
    case TokenKind::kLessEqual:
    case TokenKind::kGreater:
    case TokenKind::kGreaterEqual:
    case TokenKind::kContains:
      return true;
    default:
      return false;
  }
}

Comparison ComparisonOf(TokenKind kind) {
  switch (kind) {
    case TokenKind::kNotEqual:
      return Comparison::kNotEqual;
    case TokenKind::kLess:
      return Comparison::kLess;
    case TokenKind::kLessEqual:
      return Comparison::kLessEqual;
    case TokenKind::kGreater:
      return Comparison::kGreater;
    case TokenKind::kGreaterEqual:
      return Comparison::kGreaterEqual;
    default:
      return Comparison::kEqual;
  }
}

class Parser {
 public:
  Parser(const std::string& text, const std::vector<ExpressionField>& fields,
         ExpressionProgram* program)
      : text_(text), fields_(fields), program_(*program), lexer_(text) {
    Advance();
  }

  int Run() {
    const std::uint32_t root = ParseOr();
    if (root != kNoNode && token_.kind != TokenKind::kEnd) Fail(kErrExpression);
    if (error_ != 0) return error_;
    program_.root = root;
    return kOk;
  }

 private:
  void Advance() { token_ = lexer_.Next(); }

  std::uint32_t Fail(int code) {
    if (error_ == 0) error_ = code;
    return kNoNode;
  }

  bool IsText(std::uint32_t node) const { return IsTextNode(program_.nodes[node]); }

  std::uint32_t Add(const ExpressionNode& node) {
    program_.nodes.push_back(node);
    return static_cast<std::uint32_t>(program_.nodes.size() - 1);
  }

  // A node over a run of operands (concatenation, .AND., .OR.); a single
  // operand stands for itself.
  std::uint32_t AddList(ExpressionOp op, const std::vector<std::uint32_t>& parts,
                        std::size_t width) {
    if (parts.size() == 1) return parts[0];
    ExpressionNode node;
    node.op = op;
    node.width = static_cast<std::uint32_t>(width);
    node.first = static_cast<std::uint32_t>(program_.operands.size());
    node.second = static_cast<std::uint32_t>(parts.size());
    program_.operands.insert(program_.operands.end(), parts.begin(), parts.end());
    return Add(node);
  }

  // Guards the C++ stack against deeply nested input.
  bool Enter() {
    if (++depth_ <= kMaxExpressionNesting) return true;
    Fail(kErrExpression);
    return false;
  }
  void Leave() { --depth_; }

  // Every parenthesis and function argument comes through here: one level each.
  std::uint32_t ParseOr() {
    if (!Enter()) return kNoNode;
    const std::uint32_t node = ParseLogicalList(TokenKind::kOr, ExpressionOp::kOr);
    Leave();
    return node;
  }
  std::uint32_t ParseAnd() { return ParseLogicalList(TokenKind::kAnd, ExpressionOp::kAnd); }

  std::uint32_t ParseLogicalList(TokenKind separator, ExpressionOp op) {
    std::vector<std::uint32_t> parts;
    for (;;) {
      const std::uint32_t part = op == ExpressionOp::kOr ? ParseAnd() : ParseNot();
      if (part == kNoNode) break;
      const bool joined = !parts.empty() || token_.kind == separator;
      if (joined && IsText(part)) {
        Fail(kErrExpression);  // .AND. / .OR. of a text
        break;
      }
      parts.push_back(part);
      if (token_.kind != separator) break;
      Advance();
    }
    if (error_ != 0) return kNoNode;
    return AddList(op, parts, 0);
  }

  std::uint32_t ParseNot() {
    if (token_.kind != TokenKind::kNot) return ParseRelation();
    Advance();
    if (!Enter()) return kNoNode;
    const std::uint32_t operand = ParseNot();
    Leave();
    if (operand == kNoNode) return kNoNode;
    if (IsText(operand)) return Fail(kErrExpression);
    ExpressionNode node;
    node.op = ExpressionOp::kNot;
    node.first = operand;
    return Add(node);
  }

  std::uint32_t ParseRelation() {
    const std::uint32_t left = ParseConcat();
    if (left == kNoNode || !IsRelation(token_.kind)) return left;
    const TokenKind relation = token_.kind;
    Advance();
    const std::uint32_t right = ParseConcat();
    if (right == kNoNode) return kNoNode;
    if (!IsText(left) || !IsText(right)) return Fail(kErrExpression);
    ExpressionNode node;
    node.op = relation == TokenKind::kContains ? ExpressionOp::kContains : ExpressionOp::kCompare;
    node.comparison = ComparisonOf(relation);
    node.first = left;
    node.second = right;
    return Add(node);
  }

  std::uint32_t ParseConcat() {
    std::vector<std::uint32_t> parts;
    std::size_t width = 0;
    for (;;) {
      const std::uint32_t part = ParsePrimary();
      if (part == kNoNode) return kNoNode;
      parts.push_back(part);
      if (token_.kind != TokenKind::kPlus) break;
      if (!IsText(part)) return Fail(kErrExpression);
      width += program_.nodes[part].width;
      Advance();
    }
    if (parts.size() > 1) {
      if (!IsText(parts.back())) return Fail(kErrExpression);
      width += program_.nodes[parts.back()].width;
      if (width > kMaxTextWidth) return Fail(kErrExpression);
    }
    return AddList(ExpressionOp::kConcat, parts, width);
  }

  std::uint32_t ParsePrimary() {
    const Token token = token_;
    switch (token.kind) {
      case TokenKind::kText:
        Advance();
        return AddLiteral(token);
      case TokenKind::kTrue:
      case TokenKind::kFalse: {
        Advance();
        ExpressionNode node;
        node.op = ExpressionOp::kConstant;
        node.flag = token.kind == TokenKind::kTrue;
        return Add(node);
      }
      case TokenKind::kName:
        Advance();
        if (token_.kind == TokenKind::kLeft) return ParseFunction(token);
        return AddField(token);
      case TokenKind::kLeft: {
        Advance();
        const std::uint32_t inner = ParseOr();
        if (inner == kNoNode) return kNoNode;
        return ExpectRight(inner);
      }
      default:
        return Fail(kErrExpression);
    }
  }

  std::uint32_t ExpectRight(std::uint32_t node) {
    if (token_.kind != TokenKind::kRight) return Fail(kErrExpression);
    Advance();
    return node;
  }

  std::uint32_t AddLiteral(const Token& token) {
    if (token.length > kMaxTextWidth) return Fail(kErrExpression);
    ExpressionNode node;
    node.op = ExpressionOp::kLiteral;
    node.width = static_cast<std::uint32_t>(token.length);
    node.first = static_cast<std::uint32_t>(program_.literals.size());
    program_.literals.append(text_, token.begin, token.length);
    return Add(node);
  }

  // The first field of the layout with that name, case ignored.
  std::uint32_t AddField(const Token& token) {
    for (const ExpressionField& field : fields_) {
      if (!SameName(field.name, text_.data() + token.begin, token.length)) continue;
      if (field.width > kMaxTextWidth || field.offset > UINT32_MAX - kMaxTextWidth) {
        return Fail(kErrExpression);
      }
      ExpressionNode node;
      node.op = ExpressionOp::kField;
      node.width = static_cast<std::uint32_t>(field.width);
      node.first = static_cast<std::uint32_t>(field.offset);
      return Add(node);
    }
    return Fail(kErrField);
  }

  // UPPER(text) and DELETED(); the current token is the opening parenthesis.
  std::uint32_t ParseFunction(const Token& name) {
    Advance();
    const char* spelled = text_.data() + name.begin;
    ExpressionNode node;
    if (SameName("DELETED", spelled, name.length)) {
      node.op = ExpressionOp::kDeleted;
      return ExpectRight(Add(node));
    }
    if (!SameName("UPPER", spelled, name.length)) return Fail(kErrExpression);
    const std::uint32_t operand = ParseOr();
    if (operand == kNoNode) return kNoNode;
    if (!IsText(operand)) return Fail(kErrExpression);
    node.op = ExpressionOp::kUpper;
    node.width = program_.nodes[operand].width;
    node.first = operand;
    return ExpectRight(Add(node));
  }

  const std::string& text_;
  const std::vector<ExpressionField>& fields_;
  ExpressionProgram& program_;
  ExpressionLexer lexer_;
  Token token_;
  int depth_ = 0;
  int error_ = 0;
};

}  // namespace

int ParseExpression(const std::string& text, const std::vector<ExpressionField>& fields,
                    ExpressionProgram* program) {
  if (text.size() > kMaxExpressionLength) return kErrExpression;
  *program = ExpressionProgram();
  return Parser(text, fields, program).Run();
}

}  // namespace xbase
