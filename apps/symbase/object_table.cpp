#include "object_table.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>

#include "common/csv.h"
#include "errors.h"
#include "fields.h"
#include "options.h"
#include "row_index.h"
#include "system_errors.h"

namespace cli {

namespace {

constexpr std::size_t kShownProblems = 20;

enum Role { kAddress, kSymbol, kComment, kRoles };

std::string ReadInput(const std::string& path) {
  if (path == "-") {
    return std::string(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
  }
  std::ifstream file(path, std::ios::binary);
  if (!file) throw Failure("cannot read " + path + ": " + SystemMessage(errno));
  std::string text;
  // A file's size saves growing the text; a pipe or a device has none.
  if (file.seekg(0, std::ios::end)) {
    const std::streamoff size = file.tellg();
    if (size > 0) text.reserve(static_cast<std::size_t>(size));
    file.seekg(0);
  }
  file.clear();
  char chunk[1 << 16];
  while (file.read(chunk, sizeof chunk) || file.gcount() > 0) {
    text.append(chunk, static_cast<std::size_t>(file.gcount()));
  }
  if (file.bad()) throw Failure("cannot read " + path + ": " + SystemMessage(errno));
  return text;
}

// A header name in lower case, blanks around dropped; "REPÈRE" gives "repère".
std::string HeaderName(const std::string& text) {
  std::string name;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c == '\xC3' && i + 1 < text.size() && text[i + 1] == '\x88') {
      name += "\xC3\xA8";
      ++i;
      continue;
    }
    if (c != ' ' && c != '\t') name.push_back(c);
  }
  return name;
}

int RoleOf(const std::string& name) {
  if (name == "address" || name == "adresse" || name == "rep\xC3\xA8re" || name == "repere") {
    return kAddress;
  }
  if (name == "symbol" || name == "symbole") return kSymbol;
  if (name == "comment" || name == "commentaire") return kComment;
  return -1;
}

// Reads the file's records against its header, keeping every problem.
class TableReader {
 public:
  TableReader(const std::string& path, const TableOptions& options)
      : path_(path), options_(options) {
    table_.name = path == "-" ? "<stdin>" : path;
  }

  ObjectTable Read() {
    std::string text = DecodeFile(ReadInput(path_), options_.encoding, &undecodable_);
    char delimiter = options_.delimiter != '\0' ? options_.delimiter : csv::DetectDelimiter(text);
    csv::Reader reader(text, delimiter);
    csv::Record record;
    if (!reader.Next(&record)) throw Failure(table_.name + " is empty: " + HeaderHint());
    ReadHeader(record);
    // Every record starts on its own line: the rows never outnumber the lines.
    std::size_t lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
    table_.rows.reserve(lines);
    std::size_t problem = ProblemsBefore(0, record.line + 1);
    while (reader.Next(&record)) {
      std::size_t first = problem;
      problem = ProblemsBefore(problem, reader.NextLine());
      ReadRow(record, first, problem);
    }
    return std::move(table_);
  }

 private:
  std::string HeaderHint() const {
    std::string hint =
        "the first line must be the header address,symbol,comment (or adresse;symbole;commentaire)";
    if (!undecodable_.empty() && undecodable_[0].line == 1) {
      hint += "; on that line, " + Undecodable(undecodable_[0]);
    }
    return hint;
  }

  void ReadHeader(const csv::Record& header) {
    std::string where = table_.name + ":" + std::to_string(header.line) + ": ";
    if (header.error != csv::Error::kNone) {
      throw Failure(where + csv::Describe(header.error) + "; " + HeaderHint());
    }
    for (std::size_t i = 0; i < header.fields.size(); ++i) {
      int role = RoleOf(HeaderName(header.fields[i].text));
      if (role < 0 || column_[role] >= 0) {
        throw Failure(where + "\"" + Shown(header.fields[i].text) + "\" is not a column name; " +
                      HeaderHint());
      }
      column_[role] = static_cast<int>(i);
    }
    if (column_[kAddress] < 0) throw Failure(where + "no address column; " + HeaderHint());
    width_ = header.fields.size();
  }

  // The end of the undecodable bytes from `from` on that lie before `line`.
  std::size_t ProblemsBefore(std::size_t from, int line) const {
    while (from < undecodable_.size() && undecodable_[from].line < line) ++from;
    return from;
  }

  std::string Undecodable(const DecodeProblem& problem) const {
    char byte[8];
    std::snprintf(byte, sizeof byte, "\\x%02X", problem.byte);
    return std::string("byte ") + byte + " is not UTF-8; give --encoding cp1252 or latin1 if the " +
           "file is not UTF-8";
  }

  void Problem(int line, int column, const std::string& message) {
    table_.problems.push_back({line, table_.name + ":" + std::to_string(line) + ":" +
                                         std::to_string(column) + ": " + message});
  }

  // The name of the column holding (line, column) in `record`.
  std::string FieldAt(const csv::Record& record, int line, int column) const {
    std::size_t index = 0;
    for (std::size_t i = 0; i < record.fields.size(); ++i) {
      const csv::Field& field = record.fields[i];
      if (field.line < line || (field.line == line && field.column <= column)) index = i;
    }
    static const char* const kNames[] = {"address", "symbol", "comment"};
    for (int role = 0; role < kRoles; ++role) {
      if (column_[role] == static_cast<int>(index)) return kNames[role];
    }
    return "column " + std::to_string(index + 1);
  }

  void ReadRow(const csv::Record& record, std::size_t first_undecodable,
               std::size_t end_undecodable) {
    ++table_.rows_read;
    std::size_t problems_before = table_.problems.size();
    for (std::size_t i = first_undecodable; i < end_undecodable; ++i) {
      const DecodeProblem& bad = undecodable_[i];
      Problem(bad.line, bad.column,
              FieldAt(record, bad.line, bad.column) + ": " + Undecodable(bad));
    }
    if (record.error != csv::Error::kNone) {
      Problem(record.error_line, record.error_column, csv::Describe(record.error));
    } else if (table_.problems.size() == problems_before) {
      CheckFields(record);
    }
    if (table_.problems.size() != problems_before) ++table_.bad_rows;
  }

  void CheckFields(const csv::Record& record) {
    for (std::size_t i = width_; i < record.fields.size(); ++i) {
      if (!record.fields[i].text.empty()) {
        Problem(record.fields[i].line, record.fields[i].column,
                "more fields than the header's " + std::to_string(width_));
        return;
      }
    }
    TableRow row{record.line, {}};
    std::size_t problems_before = table_.problems.size();
    Convert(record, kAddress, LibraryAddress, &row.object.address);
    if (!options_.addresses_only) {
      Convert(record, kSymbol, LibrarySymbol, &row.object.symbol);
      Convert(record, kComment, LibraryComment, &row.object.comment);
    }
    if (table_.problems.size() != problems_before) return;
    if (table_.rows.size() == RowIndex::kMaxRows) {
      throw Failure(table_.name + " has more rows than an import takes");
    }
    table_.rows.push_back(std::move(row));
    if (!options_.addresses_only && Repeated(record, table_.rows.back())) table_.rows.pop_back();
  }

  void Convert(const csv::Record& record, int role, std::string (*convert)(const std::string&),
               std::string* out) {
    int index = column_[role];
    if (index < 0) return;
    std::size_t at = static_cast<std::size_t>(index);
    const csv::Field* field = at < record.fields.size() ? &record.fields[at] : nullptr;
    try {
      *out = convert(field != nullptr ? field->text : "");
    } catch (const FieldError& error) {
      const csv::Field& place = field != nullptr ? *field : record.fields.back();
      Problem(place.line, place.column, error.what());
    }
  }

  // A second row for one address, or a symbol given to two addresses.
  bool Repeated(const csv::Record& record, const TableRow& row) {
    std::size_t at = table_.rows.size() - 1;
    std::size_t first = addresses_.Claim(at);
    if (first != RowIndex::kNone) {
      const csv::Field& place = record.fields[static_cast<std::size_t>(column_[kAddress])];
      Problem(place.line, place.column,
              "address " + Cp1252ToUtf8(row.object.address) + " is already on line " +
                  std::to_string(table_.rows[first].line));
      return true;
    }
    if (row.object.symbol.empty()) return false;
    std::size_t holder_at = symbols_.Claim(at);
    if (holder_at == RowIndex::kNone) return false;
    const csv::Field& place = record.fields[static_cast<std::size_t>(column_[kSymbol])];
    const TableRow& holder = table_.rows[holder_at];
    Problem(place.line, place.column,
            "symbol " + Cp1252ToUtf8(row.object.symbol) + " is already given to " +
                Cp1252ToUtf8(holder.object.address) + " on line " + std::to_string(holder.line));
    addresses_.Release(at);
    return true;
  }

  static const std::string& AddressOf(const TableRow& row) { return row.object.address; }
  static const std::string& SymbolOf(const TableRow& row) { return row.object.symbol; }

  const std::string& path_;
  const TableOptions& options_;
  ObjectTable table_;
  std::vector<DecodeProblem> undecodable_;
  int column_[kRoles] = {-1, -1, -1};
  std::size_t width_ = 0;
  RowIndex addresses_{table_.rows, AddressOf};
  RowIndex symbols_{table_.rows, SymbolOf};
};

}  // namespace

ObjectTable ReadObjectTable(const std::string& path, const TableOptions& options) {
  return TableReader(path, options).Read();
}

void PrintProblems(const ObjectTable& table) {
  std::fflush(stdout);
  std::size_t shown = Options().verbose ? table.problems.size() : kShownProblems;
  for (std::size_t i = 0; i < table.problems.size() && i < shown; ++i) {
    std::fprintf(stderr, "symbase: %s\n", table.problems[i].message.c_str());
  }
  if (table.problems.size() > shown) {
    std::fprintf(stderr, "symbase: ... and %zu more problems (--verbose shows them all)\n",
                 table.problems.size() - shown);
  }
}

}  // namespace cli
