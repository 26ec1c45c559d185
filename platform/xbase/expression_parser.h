#ifndef SYMBASE_XBASE_EXPRESSION_PARSER_H
#define SYMBASE_XBASE_EXPRESSION_PARSER_H

#include <string>
#include <vector>

#include "xbase/expression.h"
#include "xbase/expression_program.h"

namespace xbase {

// Parses `text` into `program` for records of the given layout. Returns 0,
// kErrExpression or kErrField; on failure the code is that of the first fault
// met from the left, and `program` holds nothing useful.
int ParseExpression(const std::string& text, const std::vector<ExpressionField>& fields,
                    ExpressionProgram* program);

}  // namespace xbase

#endif
