#ifndef SYMBASE_APPS_COMMON_CSV_H
#define SYMBASE_APPS_COMMON_CSV_H

// Delimiter-separated values as RFC 4180 writes them, with the separator
// given (",", ";" or tab): fields in double quotes may hold separators, line
// breaks and doubled quotes; lines end with CRLF or LF. Both hosts read and
// write their tables through it.

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace csv {

struct Field {
  std::string text;
  int line;    // where the field starts, from 1
  int column;  // in characters, from 1
};

// Why a record is malformed.
enum class Error { kNone, kQuoteInField, kTextAfterQuote, kUnclosedQuote };

// The error in English, for messages.
const char* Describe(Error error);

struct Record {
  int line;  // where the record starts
  std::vector<Field> fields;
  Error error = Error::kNone;
  int error_line = 0;
  int error_column = 0;
};

// Reads `text` (UTF-8) record by record; blank lines are skipped. A
// malformed record (a quote inside an unquoted field, text after a closing
// quote, a quoted field left open at the end) carries its error, and reading
// goes on at the next line. The text must outlive the reader.
class Reader {
 public:
  Reader(const std::string& text, char delimiter) : text_(text), delimiter_(delimiter) {}

  // Fills `record` with the next record, reusing its storage; false at the end.
  bool Next(Record* record);

  // The line where the next record starts or blank lines do; INT_MAX at the end.
  int NextLine() const;

 private:
  bool ReadRecord(Record* record);
  bool ReadField(std::string* field, Record* record);
  bool ReadQuoted(std::string* field, Record* record);
  bool Fail(Record* record, Error error);
  void SkipLine();
  void NewLine();
  int Column();
  // Whether an unquoted field ends before c.
  bool IsStop(char c) const;

  const std::string& text_;
  char delimiter_;
  std::size_t pos_ = 0;
  std::size_t line_start_ = 0;
  int line_ = 1;
  bool quoted_ = false;
  std::size_t counted_to_ = 0;
  int column_ = 1;
};

// The separator of a file from its first line: the one of ",", ";" and tab
// that splits it into the most fields outside quotes; "," when none does.
char DetectDelimiter(const std::string& text);

// What one pass over a field tells: whether it must be quoted (it holds a
// quote, a line break or the delimiter, or begins or ends with a blank) and
// whether all its bytes are ASCII.
struct FieldShape {
  bool quoted;
  bool ascii;
};
FieldShape ShapeOf(std::string_view field, char delimiter);

// Appends one field to `out`, quoted when it needs it.
void AppendField(std::string* out, std::string_view field, char delimiter);

// Appends one field to `out`, in quotes (inner quotes doubled) when `quoted`.
void AppendField(std::string* out, std::string_view field, bool quoted);

// Appends one record to `out`, fields quoted when they need it, ended by
// `line_end`.
void AppendLine(std::string* out, std::initializer_list<std::string_view> fields, char delimiter,
                const char* line_end);

}  // namespace csv

#endif
