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
// Details: an empty right-hand text is equal to any text; a right-hand text
// longer than the left one is never equal. `<`, `<=`, `>`, `>=` compare bytes
// unsigned under the same rule: a left text that begins with the whole right
// text is equal to it, and a left text that is a proper beginning of the right
// one is less. `$` is case-sensitive, and an empty left text is contained in
// any text. Comparisons take two texts and .AND./.OR./.NOT. take logical
// values; anything else is refused when parsing. Blanks, tabs and line ends
// may stand between tokens; bytes of 0x80 and above only inside quotes.
// Limits: 4096 bytes of text, 64 levels of nesting, 1024 bytes for any text
// value (a field, a literal, a concatenation).
//
// Parsed once; evaluation allocates nothing, keeps no state and reads only the
// record image, so one expression may be evaluated from several threads.

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
  // Width in bytes of a text result (fields and literals concatenated); 1
  // for a logical expression.
  std::size_t width() const;
  const std::string& text() const;

  // A logical expression's value on a record image, which must hold every
  // field of the layout given to Parse. A text expression is never true.
  bool IsTrue(const char* record) const;
  // A text expression's value: writes exactly width() bytes to out. A
  // logical expression writes 'T' or 'F'.
  void Evaluate(const char* record, char* out) const;

 private:
  class Impl;
  explicit Expression(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace xbase

#endif
