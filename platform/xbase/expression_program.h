#ifndef SYMBASE_XBASE_EXPRESSION_PROGRAM_H
#define SYMBASE_XBASE_EXPRESSION_PROGRAM_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The parsed form of an expression: a flat array of nodes, children before
// their parents, with every text width known. Evaluating it reads the record
// image and the program only; text results are written straight into the
// caller's buffer, and comparison operands that are not plain fields or
// literals are built in a fixed stack buffer, so nothing is allocated.

namespace xbase {

// Limits on what a parse accepts; beyond them the text is refused.
constexpr std::size_t kMaxExpressionLength = 4096;  // bytes of expression text
constexpr int kMaxExpressionNesting = 64;           // parentheses, functions and .NOT.
constexpr std::size_t kMaxTextWidth = 1024;         // bytes of any text value

enum class ExpressionOp : std::uint8_t {
  // Text nodes.
  kField,    // first: offset in the record
  kLiteral,  // first: offset in `literals`
  kConcat,   // first, second: range of `operands`
  kUpper,    // first: operand node
  // Logical nodes.
  kConstant,  // flag: the value
  kDeleted,
  kCompare,   // first, second: left and right nodes; comparison: which
  kContains,  // first, second: left (sought) and right nodes
  kNot,       // first: operand node
  kAnd,       // first, second: range of `operands`
  kOr,        // first, second: range of `operands`
};

enum class Comparison : std::uint8_t {
  kEqual,
  kNotEqual,
  kLess,
  kLessEqual,
  kGreater,
  kGreaterEqual,
};

struct ExpressionNode {
  ExpressionOp op = ExpressionOp::kConstant;
  Comparison comparison = Comparison::kEqual;
  bool flag = false;
  std::uint32_t width = 0;  // text nodes: bytes of the value
  std::uint32_t first = 0;
  std::uint32_t second = 0;
};

inline bool IsTextNode(const ExpressionNode& node) { return node.op <= ExpressionOp::kUpper; }

struct ExpressionProgram {
  std::vector<ExpressionNode> nodes;
  std::vector<std::uint32_t> operands;  // operand lists of kConcat, kAnd, kOr
  std::string literals;                 // bytes of every quoted text, back to back
  std::uint32_t root = 0;
};

// Writes the value of text node `node` (exactly its width) to out.
void WriteText(const ExpressionProgram& program, std::uint32_t node, const char* record, char* out);
// The value of logical node `node`.
bool IsTrue(const ExpressionProgram& program, std::uint32_t node, const char* record);

}  // namespace xbase

#endif
