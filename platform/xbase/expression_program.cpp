#include "xbase/expression_program.h"

#include <cstring>

#include "symbase/cp1252.h"

namespace xbase {
namespace {

// A text value: where its bytes are and how many.
struct TextView {
  const char* data;
  std::size_t size;
};

// Fields and literals are read where they lie; other text nodes are built in
// `buffer`, which holds kMaxTextWidth bytes.
TextView TextOf(const ExpressionProgram& program, std::uint32_t index, const char* record,
                char* buffer) {
  const ExpressionNode& node = program.nodes[index];
  switch (node.op) {
    case ExpressionOp::kField:
      return {record + node.first, node.width};
    case ExpressionOp::kLiteral:
      return {program.literals.data() + node.first, node.width};
    default:
      WriteText(program, index, record, buffer);
      return {buffer, node.width};
  }
}

// Three-way comparison under the prefix rule: a left text that begins with
// the whole right text is equal to it; past the common length a shorter left
// text sorts first. Bytes compare unsigned.
int CompareTexts(TextView left, TextView right) {
  const std::size_t common = left.size < right.size ? left.size : right.size;
  const int order = common == 0 ? 0 : std::memcmp(left.data, right.data, common);
  if (order != 0) return order;
  return right.size <= left.size ? 0 : -1;
}

// An empty sought text is contained in any text, as xBase has it.
bool Contains(TextView sought, TextView text) {
  if (sought.size == 0) return true;
  if (sought.size > text.size) return false;
  const char* last = text.data + (text.size - sought.size);
  for (const char* at = text.data; at <= last; ++at) {
    at = static_cast<const char*>(std::memchr(at, sought.data[0], last - at + 1));
    if (at == nullptr) return false;
    if (std::memcmp(at, sought.data, sought.size) == 0) return true;
  }
  return false;
}

bool Holds(Comparison comparison, int order) {
  switch (comparison) {
    case Comparison::kEqual:
      return order == 0;
    case Comparison::kNotEqual:
      return order != 0;
    case Comparison::kLess:
      return order < 0;
    case Comparison::kLessEqual:
      return order <= 0;
    case Comparison::kGreater:
      return order > 0;
    case Comparison::kGreaterEqual:
      return order >= 0;
  }
  return false;
}

// Kept out of IsTrue so that the operand buffers take stack space only while
// one comparison runs, not on every level of a nested condition.
__attribute__((noinline)) bool Relate(const ExpressionProgram& program, const ExpressionNode& node,
                                      const char* record) {
  char left_buffer[kMaxTextWidth];
  char right_buffer[kMaxTextWidth];
  const TextView left = TextOf(program, node.first, record, left_buffer);
  const TextView right = TextOf(program, node.second, record, right_buffer);
  if (node.op == ExpressionOp::kContains) return Contains(left, right);
  return Holds(node.comparison, CompareTexts(left, right));
}

}  // namespace

void WriteText(const ExpressionProgram& program, std::uint32_t index, const char* record,
               char* out) {
  const ExpressionNode& node = program.nodes[index];
  switch (node.op) {
    case ExpressionOp::kField:
      std::memcpy(out, record + node.first, node.width);
      return;
    case ExpressionOp::kLiteral:
      std::memcpy(out, program.literals.data() + node.first, node.width);
      return;
    case ExpressionOp::kConcat:
      for (std::uint32_t i = node.first; i < node.first + node.second; ++i) {
        const std::uint32_t part = program.operands[i];
        WriteText(program, part, record, out);
        out += program.nodes[part].width;
      }
      return;
    case ExpressionOp::kUpper: {
      WriteText(program, node.first, record, out);
      const unsigned char* map = symbase::Cp1252UpperTable();
      for (std::uint32_t i = 0; i < node.width; ++i) {
        out[i] = static_cast<char>(map[static_cast<unsigned char>(out[i])]);
      }
      return;
    }
    default:
      return;  // a logical node has no text
  }
}

bool IsTrue(const ExpressionProgram& program, std::uint32_t index, const char* record) {
  const ExpressionNode& node = program.nodes[index];
  switch (node.op) {
    case ExpressionOp::kConstant:
      return node.flag;
    case ExpressionOp::kDeleted:
      return record[0] == '*';
    case ExpressionOp::kCompare:
    case ExpressionOp::kContains:
      return Relate(program, node, record);
    case ExpressionOp::kNot:
      return !IsTrue(program, node.first, record);
    case ExpressionOp::kAnd:
    case ExpressionOp::kOr: {
      // Stops at the first operand that decides the result.
      const bool decisive = node.op == ExpressionOp::kOr;
      for (std::uint32_t i = node.first; i < node.first + node.second; ++i) {
        if (IsTrue(program, program.operands[i], record) == decisive) return decisive;
      }
      return !decisive;
    }
    default:
      return false;  // a text is never true
  }
}

}  // namespace xbase
