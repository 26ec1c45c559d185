#include "xbase/expression.h"

#include <cstring>

#include "xbase/expression_parser.h"
#include "xbase/expression_program.h"
#include "xbase/result.h"

namespace xbase {

namespace {

// A stretch of the record copied as it is into a text value.
struct FieldRun {
  std::size_t offset;
  std::size_t width;
};

// The runs of record bytes that a text made of fields alone (a field, or
// fields joined by `+`) copies, fields that follow each other in the record
// joined into one run; false when the text holds anything else.
bool FieldRuns(const ExpressionProgram& program, std::uint32_t index, std::vector<FieldRun>* runs) {
  const ExpressionNode& node = program.nodes[index];
  if (node.op == ExpressionOp::kField) {
    if (!runs->empty() && runs->back().offset + runs->back().width == node.first) {
      runs->back().width += node.width;
    } else {
      runs->push_back({node.first, node.width});
    }
    return true;
  }
  if (node.op != ExpressionOp::kConcat) return false;
  for (std::uint32_t i = node.first; i < node.first + node.second; ++i) {
    if (!FieldRuns(program, program.operands[i], runs)) return false;
  }
  return true;
}

}  // namespace

class Expression::Impl {
 public:
  std::string text;
  ExpressionProgram program;
  Type type = Type::kText;
  std::size_t width = 0;
  // An index key is most often fields alone: it is then copied run by run
  // (once for fields side by side) rather than evaluated node by node.
  std::vector<FieldRun> runs;
};

int Expression::Parse(const std::string& text, const std::vector<ExpressionField>& fields,
                      std::unique_ptr<Expression>* out) {
  auto impl = std::make_unique<Impl>();
  const int result = ParseExpression(text, fields, &impl->program);
  if (result != kOk) return result;
  const ExpressionNode& root = impl->program.nodes[impl->program.root];
  impl->text = text;
  impl->type = IsTextNode(root) ? Type::kText : Type::kLogical;
  impl->width = impl->type == Type::kText ? root.width : 1;
  if (impl->type != Type::kText || !FieldRuns(impl->program, impl->program.root, &impl->runs)) {
    impl->runs.clear();
  }
  out->reset(new Expression(std::move(impl)));
  return kOk;
}

Expression::Expression(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

Expression::~Expression() = default;

Expression::Type Expression::type() const { return impl_->type; }

std::size_t Expression::width() const { return impl_->width; }

const std::string& Expression::text() const { return impl_->text; }

bool Expression::IsTrue(const char* record) const {
  if (impl_->type != Type::kLogical) return false;
  return xbase::IsTrue(impl_->program, impl_->program.root, record);
}

void Expression::Evaluate(const char* record, char* out) const {
  if (impl_->type == Type::kLogical) {
    *out = IsTrue(record) ? 'T' : 'F';
    return;
  }
  if (impl_->width == 0) return;  // nothing to write; out may even be null
  if (impl_->runs.empty()) {
    WriteText(impl_->program, impl_->program.root, record, out);
    return;
  }
  for (const FieldRun& run : impl_->runs) {
    std::memcpy(out, record + run.offset, run.width);
    out += run.width;
  }
}

}  // namespace xbase
