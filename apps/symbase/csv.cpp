#include "csv.h"

namespace cli {

namespace {

// Walks the text once, field by field; keeps the state of the record being read.
class CsvParser {
 public:
  explicit CsvParser(const std::string& text) : text_(text) {}

  bool Run(std::vector<CsvRecord>* records, std::string* error) {
    while (pos_ < text_.size()) {
      CsvRecord record{line_, {}};
      if (!ReadRecord(&record.fields)) {
        *error = "line " + std::to_string(error_line_) + ": " + error_;
        return false;
      }
      if (!(record.fields.size() == 1 && record.fields[0].empty() && !quoted_)) {
        records->push_back(std::move(record));
      }
    }
    return true;
  }

 private:
  bool ReadRecord(std::vector<std::string>* fields) {
    quoted_ = false;
    for (;;) {
      std::string field;
      if (!ReadField(&field)) return false;
      fields->push_back(std::move(field));
      if (pos_ >= text_.size()) return true;
      char c = text_[pos_++];
      if (c == ',') continue;
      if (c == '\r' && pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
      ++line_;
      return true;
    }
  }

  bool ReadField(std::string* field) {
    if (pos_ < text_.size() && text_[pos_] == '"') return ReadQuoted(field);
    std::size_t end = text_.find_first_of(",\r\n\"", pos_);
    if (end == std::string::npos) end = text_.size();
    if (end < text_.size() && text_[end] == '"') return Fail("a quote inside an unquoted field");
    field->assign(text_, pos_, end - pos_);
    pos_ = end;
    return true;
  }

  bool ReadQuoted(std::string* field) {
    int start_line = line_;
    quoted_ = true;
    ++pos_;
    for (;;) {
      std::size_t quote = text_.find('"', pos_);
      if (quote == std::string::npos) {
        line_ = start_line;
        return Fail("a quoted field is not closed");
      }
      for (std::size_t i = pos_; i < quote; ++i) line_ += text_[i] == '\n';
      field->append(text_, pos_, quote - pos_);
      pos_ = quote + 1;
      if (pos_ < text_.size() && text_[pos_] == '"') {
        field->push_back('"');
        ++pos_;
        continue;
      }
      if (pos_ < text_.size() && text_.find_first_of(",\r\n", pos_) != pos_) {
        return Fail("text after a closing quote");
      }
      return true;
    }
  }

  bool Fail(const char* what) {
    error_ = what;
    error_line_ = line_;
    return false;
  }

  const std::string& text_;
  std::size_t pos_ = 0;
  int line_ = 1;
  bool quoted_ = false;
  std::string error_;
  int error_line_ = 0;
};

bool NeedsQuotes(const std::string& field) {
  if (field.find_first_of(",\"\r\n") != std::string::npos) return true;
  return !field.empty() && (field.front() == ' ' || field.back() == ' ');
}

}  // namespace

bool ParseCsv(const std::string& text, std::vector<CsvRecord>* records, std::string* error) {
  return CsvParser(text).Run(records, error);
}

std::string CsvLine(const std::vector<std::string>& fields) {
  std::string line;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) line.push_back(',');
    if (!NeedsQuotes(fields[i])) {
      line += fields[i];
      continue;
    }
    line.push_back('"');
    for (char c : fields[i]) {
      if (c == '"') line.push_back('"');
      line.push_back(c);
    }
    line.push_back('"');
  }
  return line + "\r\n";
}

}  // namespace cli
