// import and export: CSV files in and out of a base.

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "base.h"
#include "commands.h"
#include "csv.h"
#include "errors.h"
#include "fields.h"
#include "objects.h"
#include "terminal.h"
#include "text.h"

namespace cli {

namespace {

// Insert modes of the library, and what it answers.
constexpr int kModeReplace = 0;
constexpr int kModeKeep = 1;
constexpr int kModeAsk = 2;
constexpr int kInterrupted = 106;
constexpr int kRefused = 107;

const char* const kHeader[] = {"address", "symbol", "comment"};

struct ImportRow {
  int line;
  ObjectText object;
};

struct ImportTally {
  int added = 0;
  int changed = 0;
  int unchanged = 0;
  int kept = 0;
  int refused = 0;
};

int InsertMode(const Args& args) {
  int given = args.Has("--replace") + args.Has("--keep") + args.Has("--ask");
  if (given > 1) throw UsageError("choose one of --replace, --keep and --ask");
  return args.Has("--replace") ? kModeReplace : args.Has("--ask") ? kModeAsk : kModeKeep;
}

std::string ReadInput(const std::string& path) {
  if (path == "-") {
    return std::string(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
  }
  std::ifstream file(path, std::ios::binary);
  if (!file) throw Failure("cannot read " + path);
  std::ostringstream text;
  text << file.rdbuf();
  if (file.bad()) throw Failure("cannot read " + path);
  return text.str();
}

bool IsHeader(std::vector<std::string> fields) {
  if (fields.size() != 3) return false;
  const std::string bom = "\xEF\xBB\xBF";
  if (fields[0].compare(0, bom.size(), bom) == 0) fields[0].erase(0, bom.size());
  for (std::size_t i = 0; i < 3; ++i) {
    std::string name;
    for (char c : fields[i])
      name.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    if (name != kHeader[i]) return false;
  }
  return true;
}

// The whole file, checked before anything is written.
std::vector<ImportRow> ReadImportFile(const std::string& path) {
  std::vector<CsvRecord> records;
  std::string error;
  if (!ParseCsv(ReadInput(path), &records, &error)) throw Failure(path + ": " + error);
  if (records.empty() || !IsHeader(records[0].fields)) {
    throw Failure(path + ": the first line must be the header address,symbol,comment");
  }
  std::vector<ImportRow> rows;
  for (std::size_t i = 1; i < records.size(); ++i) {
    const CsvRecord& record = records[i];
    std::string where = path + ":" + std::to_string(record.line) + ": ";
    if (record.fields.size() > 3) throw Failure(where + "more than three fields");
    try {
      std::vector<std::string> fields = record.fields;
      fields.resize(3);
      rows.push_back(
          {record.line,
           {LibraryAddress(fields[0]), LibrarySymbol(fields[1]), LibraryComment(fields[2])}});
    } catch (const Failure& failure) {
      throw Failure(where + failure.what());
    }
  }
  return rows;
}

std::string Trimmed(const std::string& text) {
  std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// What the insertion did to a row, from the object before and after.
void Tally(const ImportRow& row, bool existed, const ObjectText& before, bool exists,
           const ObjectText& after, ImportTally* tally) {
  bool same_as_before =
      existed == exists && before.symbol == after.symbol && before.comment == after.comment;
  if (!existed && exists) {
    ++tally->added;
  } else if (!same_as_before) {
    ++tally->changed;
  } else if ((row.object.symbol.empty() || row.object.symbol == after.symbol) &&
             (Trimmed(row.object.comment).empty() ||
              Trimmed(row.object.comment) == Trimmed(after.comment))) {
    ++tally->unchanged;
  } else {
    ++tally->kept;
    std::printf("kept %s (line %d): the base differs from the file\n",
                Cp1252ToUtf8(row.object.address).c_str(), row.line);
  }
}

// True when the insertion had a reason to write nothing for a new address:
// nothing to write, or its symbol kept by another address.
bool NothingToWrite(Base& base, const ObjectText& object) {
  if (object.symbol.empty()) return Trimmed(object.comment).empty();
  ObjectText holder;
  return LookUpObject(base, object.symbol, true, &holder) && holder.address != object.address;
}

// Installs the terminal's dialog driver for the length of an asking import.
class DriverScope {
 public:
  explicit DriverScope(bool install)
      : previous_(install ? AfxSetDialogDriver(&driver_) : nullptr), installed_(install) {}
  ~DriverScope() {
    if (installed_) AfxSetDialogDriver(previous_);
  }
  DriverScope(const DriverScope&) = delete;
  DriverScope& operator=(const DriverScope&) = delete;

 private:
  TerminalDialogDriver driver_;
  CDialogDriver* previous_;
  bool installed_;
};

}  // namespace

int RunImport(const Args& args) {
  int mode = InsertMode(args);
  std::string path = args.At(1);
  if (path == "-" && mode == kModeAsk) {
    throw UsageError("--ask reads its answers on stdin: give a file");
  }
  std::vector<ImportRow> rows = ReadImportFile(path);
  Base base(args.At(0));
  base.Open(Base::Access::kWrite);
  TBSetButtonAllPressed(base.Handle(), 0);
  DriverScope driver(mode == kModeAsk);
  ImportTally tally;
  for (const ImportRow& row : rows) {
    ObjectText before;
    ObjectText after;
    bool existed = LookUpObject(base, row.object.address, false, &before);
    CTBObjetAts object(row.object.address.c_str(), row.object.symbol.c_str(),
                       row.object.comment.c_str(), 0, -1);
    int result = TBInsertObject(base.Handle(), &object, mode);
    base.CheckNoReport("importing line " + std::to_string(row.line));
    if (result == kInterrupted) {
      throw Failure("import interrupted at line " + std::to_string(row.line) +
                    "; the rows before it stay in the base");
    }
    if (result == kRefused) {
      ++tally.refused;
      continue;
    }
    if (result != 0) {
      throw Failure(ResultMessage(result, "importing line " + std::to_string(row.line)));
    }
    bool exists = LookUpObject(base, row.object.address, false, &after);
    if (!existed && !exists && !NothingToWrite(base, row.object)) {
      throw Failure("line " + std::to_string(row.line) + ": " + Cp1252ToUtf8(row.object.address) +
                    " is not in the base although the library took it");
    }
    Tally(row, existed, before, exists, after, &tally);
  }
  std::printf("imported %zu row%s: %d added, %d changed, %d unchanged, %d kept, %d refused\n",
              rows.size(), rows.size() == 1 ? "" : "s", tally.added, tally.changed, tally.unchanged,
              tally.kept, tally.refused);
  return 0;
}

int RunExport(const Args& args) {
  std::string prefix = args.positional.size() > 1 ? LibraryPrefix(args.At(1)) : std::string();
  Base base(args.At(0));
  base.Open(Base::Access::kRead);
  std::vector<ObjectText> objects = ExportObjects(base, prefix);
  std::string out = CsvLine({kHeader[0], kHeader[1], kHeader[2]});
  for (const ObjectText& object : objects) {
    out += CsvLine(
        {Cp1252ToUtf8(object.address), Cp1252ToUtf8(object.symbol), Cp1252ToUtf8(object.comment)});
  }
  if (std::fwrite(out.data(), 1, out.size(), stdout) != out.size() || std::fflush(stdout) != 0) {
    throw Failure("cannot write the export");
  }
  return 0;
}

}  // namespace cli
