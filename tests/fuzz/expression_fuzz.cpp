// Parses the fuzzed bytes as an expression over the main table's layout and,
// when they parse, evaluates the result on a few fixed rows.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "../support/expression_layout.h"
#include "xbase/expression.h"
#include "xbase/result.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using testing_support::MainRecord;
  static const std::vector<xbase::ExpressionField> layout = testing_support::MainLayout();
  static const std::string records[] = {
      MainRecord({"MW", "00010", "", "", "", "%MW10", "counter", "", false}),
      MainRecord({"V", "00001", "00002", "", "", "%I1.2", "mot_\xE9t\xE9", "O", true}),
      MainRecord({"XM", "00002", "00001", "00000", "05", "%XM2.1.0", "c\x9Cur", "", false}),
      std::string(testing_support::kMainRecordLength, '\xFF'),
  };
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::unique_ptr<xbase::Expression> expression;
  const int result = xbase::Expression::Parse(text, layout, &expression);
  if (result != xbase::kOk) {
    if (expression || (result != xbase::kErrExpression && result != xbase::kErrField)) abort();
    return 0;
  }
  if (expression->width() > 1024) abort();
  std::string out(expression->width() + 1, '\0');  // never empty: out[0] is always valid
  for (const std::string& record : records) {
    const bool truth = expression->IsTrue(record.data());
    expression->Evaluate(record.data(), &out[0]);
    if (expression->type() == xbase::Expression::Type::kLogical && out[0] != (truth ? 'T' : 'F')) {
      abort();
    }
  }
  return 0;
}
