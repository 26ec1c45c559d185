#include "xbase/expression.h"

#include <cstring>

#include "xbase/expression_parser.h"
#include "xbase/expression_program.h"
#include "xbase/result.h"

namespace xbase {

class Expression::Impl {
 public:
  std::string text;
  ExpressionProgram program;
  Type type = Type::kText;
  std::size_t width = 0;
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
  WriteText(impl_->program, impl_->program.root, record, out);
}

}  // namespace xbase
