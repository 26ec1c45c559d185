#ifndef SYMBASE_XBASE_EXPRESSION_H
#define SYMBASE_XBASE_EXPRESSION_H

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

// xBase expressions over one record: index keys ("OBJET+IND1+IND2+IND3+IND4")
// and filters (".NOT. DELETED()", "OBJET = 'V' .AND. IND1 <> '     '").
//
// Language: field names (case ignored), texts in single or double quotes, `+`
// (concatenation, trailing blanks kept), `=`, `<>`, `#`, `<`, `<=`, `>`, `>=`,
// `$` (left contained in right), UPPER(), DELETED(), .AND., .OR., .NOT.,
// .T., .F., parentheses. Precedence, highest first: parentheses and functions;
// `+`; comparisons and `$`; .NOT.; .AND.; .OR. String `=` (and so `<>`, `#`)
// compares only as many characters as the right-hand text has (SET EXACT OFF).
// UPPER() maps Windows-1252, accented letters included.
//
// Parsed once; evaluation allocates nothing and reads only the record image.

namespace xbase {

// A field of the record layout an expression may name. offset counts from the
// start of the record image, whose byte 0 is the deletion flag ('*' deleted).
struct ExpressionField {
  std::string name;
  std::size_t offset = 0;
  std::size_t width = 0;
};

class Expression {
 public:
  enum class Type { kText, kLogical };

  // Parses `text` for records of the given layout. Returns 0, kErrExpression
  // (syntax, type mismatch, empty text, over-long text or nesting) or kErrField
  // (unknown field name). *out is set only on success.
  static int Parse(const std::string& text, const std::vector<ExpressionField>& fields,
                   std::unique_ptr<Expression>* out);

  ~Expression();

  Type type() const;
  // Width in bytes of a text result (fields and literals concatenated).
  std::size_t width() const;
  const std::string& text() const;

  // A logical expression's value on a record image. A text expression is
  // never true.
  bool IsTrue(const char* record) const;
  // A text expression's value: writes exactly width() bytes to out.
  void Evaluate(const char* record, char* out) const;

 private:
  class Impl;
  explicit Expression(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace xbase

#endif
