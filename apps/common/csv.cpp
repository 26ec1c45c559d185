#include "common/csv.h"

#include <climits>

namespace csv {

const char* Describe(Error error) {
  switch (error) {
    case Error::kNone:
      break;
    case Error::kQuoteInField:
      return "a quote inside an unquoted field (quote the whole field and double it)";
    case Error::kTextAfterQuote:
      return "text after a closing quote";
    case Error::kUnclosedQuote:
      return "a quoted field is not closed";
  }
  return "";
}

bool Reader::Next(Record* record) {
  while (pos_ < text_.size()) {
    record->line = line_;
    record->fields.clear();
    record->error = Error::kNone;
    record->error_line = 0;
    record->error_column = 0;
    quoted_ = false;
    if (!ReadRecord(record)) SkipLine();
    bool blank = record->error == Error::kNone && record->fields.size() == 1 &&
                 record->fields[0].text.empty() && !quoted_;
    if (!blank) return true;
  }
  return false;
}

int Reader::NextLine() const { return pos_ < text_.size() ? line_ : INT_MAX; }

bool Reader::ReadRecord(Record* record) {
  for (;;) {
    Field field{"", line_, Column()};
    if (!ReadField(&field.text, record)) return false;
    record->fields.push_back(std::move(field));
    if (pos_ >= text_.size()) return true;
    char c = text_[pos_++];
    if (c == delimiter_) continue;
    if (c == '\r' && pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
    NewLine();
    return true;
  }
}

bool Reader::ReadField(std::string* field, Record* record) {
  if (pos_ < text_.size() && text_[pos_] == '"') return ReadQuoted(field, record);
  std::size_t end = pos_;
  while (end < text_.size() && !IsStop(text_[end])) ++end;
  field->assign(text_, pos_, end - pos_);
  pos_ = end;
  if (end < text_.size() && text_[end] == '"') {
    return Fail(record, Error::kQuoteInField);
  }
  return true;
}

bool Reader::ReadQuoted(std::string* field, Record* record) {
  int start_line = line_;
  int start_column = Column();
  std::size_t start = pos_;
  std::size_t start_line_start = line_start_;
  quoted_ = true;
  ++pos_;
  for (;;) {
    std::size_t quote = text_.find('"', pos_);
    if (quote == std::string::npos) {
      // Reading goes on after the line of the opening quote, so that the
      // rows after it are still checked.
      std::size_t end = text_.find('\n', start);
      pos_ = end == std::string::npos ? text_.size() : end;
      line_ = start_line;
      line_start_ = start_line_start;
      record->error = Error::kUnclosedQuote;
      record->error_line = start_line;
      record->error_column = start_column;
      return false;
    }
    for (std::size_t i = pos_; i < quote; ++i) {
      if (text_[i] == '\n') {
        ++line_;
        line_start_ = i + 1;
      }
    }
    field->append(text_, pos_, quote - pos_);
    pos_ = quote + 1;
    if (pos_ < text_.size() && text_[pos_] == '"') {
      field->push_back('"');
      ++pos_;
      continue;
    }
    if (pos_ < text_.size() && text_[pos_] != delimiter_ && text_[pos_] != '\r' &&
        text_[pos_] != '\n') {
      return Fail(record, Error::kTextAfterQuote);
    }
    return true;
  }
}

bool Reader::Fail(Record* record, Error error) {
  record->error = error;
  record->error_line = line_;
  record->error_column = Column();
  return false;
}

// Leaves a malformed record: reading goes on at the next line.
void Reader::SkipLine() {
  std::size_t end = text_.find('\n', pos_);
  pos_ = end == std::string::npos ? text_.size() : end + 1;
  if (end != std::string::npos) NewLine();
}

void Reader::NewLine() {
  ++line_;
  line_start_ = pos_;
}

// Counted on from the last column asked, so that a long line costs once.
int Reader::Column() {
  if (counted_to_ < line_start_ || counted_to_ > pos_) {
    counted_to_ = line_start_;
    column_ = 1;
  }
  for (; counted_to_ < pos_; ++counted_to_) {
    if ((static_cast<unsigned char>(text_[counted_to_]) & 0xC0) != 0x80) ++column_;
  }
  return column_;
}

bool Reader::IsStop(char c) const { return c == delimiter_ || c == '\r' || c == '\n' || c == '"'; }

namespace {

// The kinds of byte that matter to writing a field, as bits.
enum ByteKind : unsigned char { kQuoteOrBreak = 1, kHighByte = 2 };

struct ByteKinds {
  ByteKinds() {
    for (int b = 0x80; b < 0x100; ++b) of[b] = kHighByte;
    of[static_cast<unsigned char>('"')] = of['\r'] = of['\n'] = kQuoteOrBreak;
  }
  unsigned char of[256] = {};
};

// Fields of the first line for a delimiter, counted outside quotes.
std::size_t FirstLineFields(const std::string& text, char delimiter) {
  std::size_t fields = 1;
  bool quoted = false;
  for (char c : text) {
    if (c == '"') quoted = !quoted;
    if (!quoted && (c == '\n' || c == '\r')) break;
    if (!quoted && c == delimiter) ++fields;
  }
  return fields;
}

}  // namespace

char DetectDelimiter(const std::string& text) {
  char best = ',';
  std::size_t most = 1;
  for (char candidate : {',', ';', '\t'}) {
    std::size_t fields = FirstLineFields(text, candidate);
    if (fields > most) {
      best = candidate;
      most = fields;
    }
  }
  return best;
}

FieldShape ShapeOf(std::string_view field, char delimiter) {
  static const ByteKinds kinds;
  unsigned found = 0;
  for (char c : field) found |= kinds.of[static_cast<unsigned char>(c)];
  const bool quoted = (found & kQuoteOrBreak) != 0 ||
                      field.find(delimiter) != std::string_view::npos ||
                      (!field.empty() && (field.front() == ' ' || field.back() == ' '));
  return {quoted, (found & kHighByte) == 0};
}

void AppendField(std::string* out, std::string_view field, bool quoted) {
  if (!quoted) {
    out->append(field);
    return;
  }
  out->push_back('"');
  for (char c : field) {
    if (c == '"') out->push_back('"');
    out->push_back(c);
  }
  out->push_back('"');
}

void AppendField(std::string* out, std::string_view field, char delimiter) {
  AppendField(out, field, ShapeOf(field, delimiter).quoted);
}

void AppendLine(std::string* out, std::initializer_list<std::string_view> fields, char delimiter,
                const char* line_end) {
  bool first = true;
  for (std::string_view field : fields) {
    if (!first) out->push_back(delimiter);
    first = false;
    AppendField(out, field, delimiter);
  }
  out->append(line_end);
}

}  // namespace csv
