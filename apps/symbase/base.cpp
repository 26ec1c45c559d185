#include "base.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>

#include "base_files.h"
#include "errors.h"
#include "findings.h"
#include "options.h"
#include "system_errors.h"
#include "terminal.h"
#include "text.h"

namespace cli {

namespace {

// The file and the system's reason that the library gave for a write or
// a transaction that failed (its reports under index 22 carry them).
std::string SystemCause(const std::vector<HostErrorReport>& reports, std::size_t from) {
  for (std::size_t i = from; i < reports.size(); ++i) {
    if (reports[i].operation == 22 && reports[i].code < 0 && !reports[i].text.empty()) {
      return Cp1252ToUtf8(reports[i].text);
    }
  }
  return "";
}

constexpr std::size_t kMaxDirectory = 72;

// Checked-call indexes of the library's reports: a table or an index file
// that did not open, a field or a tag that is not in its file.
constexpr int kTableOpening = 4;
constexpr int kIndexOpening = 5;
constexpr int kFieldLookUp = 6;
constexpr int kTagLookUp = 7;

const char kInUse[] = "the base is in use by another process; try again";

// A report of a call that met another process's hold on the base: the
// engine's lock conflict (50), the library's 104, or a file another process
// has open that a replacement needed to itself (-52).
bool Busy(const HostErrorReport& report) {
  return report.code == 50 || report.code == TB_LOCKED_BY_OTHER || report.code == -52;
}

void MakeDirectory(const std::string& directory) {
  for (std::size_t slash = directory.find('/', 1); slash != std::string::npos;
       slash = directory.find('/', slash + 1)) {
    std::string part = directory.substr(0, slash);
    if (::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) {
      throw Failure("cannot create the directory " + part + ": " + SystemMessage(errno));
    }
  }
}

}  // namespace

std::string BaseDirectory(const std::string& argument) {
  if (argument.empty()) throw UsageError("the base directory is empty");
  std::string directory = argument.back() == '/' ? argument : argument + "/";
  if (directory.size() > kMaxDirectory) {
    throw UsageError("the directory path " + directory +
                     " is too long: the library takes at most " + std::to_string(kMaxDirectory) +
                     " characters");
  }
  return directory;
}

Base::Base(const std::string& directory_argument) : directory_(BaseDirectory(directory_argument)) {
  reports_seen_ = Terminal().ReportCount();
  TBInitTabisDll(&handle_);
  if (handle_ == nullptr) throw Failure("the symbol base library could not start");
}

Base::~Base() {
  Close();
  TBFreeTabisDll(handle_);
}

void Base::Open(Access access) {
  write_ = access == Access::kWrite;
  if (write_ && !interrupt_) interrupt_ = std::make_unique<InterruptScope>();
  RequireEveryBaseFile(directory_);
  if (write_) {
    std::string cause = ProbeBaseFiles(directory_, true);
    if (!cause.empty()) throw Failure("cannot write to the base in " + directory_ + ": " + cause);
  }
  TBOpenBaseSymbol(handle_, directory_.c_str());
  open_ = true;
  NameFaultyFiles();
  CheckNoReport("cannot open the base in " + directory_);
}

// The library opens a base whose files are damaged, reporting each failed
// step by number alone; the check names the file. A table that did not open
// whole is named before an index file: it keeps the repair from helping.
void Base::NameFaultyFiles() {
  bool table = false, index = false;
  const std::vector<HostErrorReport>& reports = Terminal().Reports();
  for (std::size_t i = reports_seen_; i < reports.size(); ++i) {
    const int step = reports[i].operation;
    table = table || step == kTableOpening || step == kFieldLookUp;
    index = index || step == kIndexOpening || step == kTagLookUp;
  }
  if ((!table && !index) || !ProbeBaseFiles(directory_, false).empty()) return;
  const OpeningFaults faults = FindOpeningFaults(handle_, directory_);
  std::string said;
  if (table && !faults.tables.empty()) {
    said = TableFault(directory_, faults.tables.front().file, faults.tables.front().text);
  } else if (index && !faults.index_files.empty()) {
    said = IndexFault(directory_, faults.index_files, "damaged");
  }
  if (said.empty()) return;
  reports_seen_ = Terminal().ReportCount();
  throw Failure(said);
}

void Base::Create(bool replace) {
  MakeDirectory(directory_);
  write_ = true;
  if (!interrupt_) interrupt_ = std::make_unique<InterruptScope>();
  if (!replace && AnyBaseFile(directory_)) {
    throw NotFound("a symbol base is already in " + directory_ +
                   " (--replace empties it; its objects are then lost)");
  }
  TBCreateBaseSymbol(handle_, directory_.c_str(), 0);
  CheckNoReport("cannot create the base in " + directory_);
  Open(Access::kWrite);
}

void Base::Close() {
  if (!open_) return;
  open_ = false;
  TBCloseBaseSymbol(handle_);
}

bool Base::Reported() const { return Terminal().ReportCount() != reports_seen_; }

void Base::CheckNoReport(const std::string& doing) {
  std::size_t now = Terminal().ReportCount();
  if (now == reports_seen_) return;
  const std::vector<HostErrorReport>& reports = Terminal().Reports();
  auto fresh = reports.begin() + static_cast<std::ptrdiff_t>(reports_seen_);
  const HostErrorReport& first = *fresh;
  std::size_t count = now - reports_seen_;
  reports_seen_ = now;
  if (std::any_of(fresh, reports.end(), Busy)) throw InUse(doing + ": " + kInUse);
  std::string cause = ProbeBaseFiles(directory_, write_);
  if (cause.empty()) cause = SystemCause(reports, now - count);
  if (!cause.empty()) throw Failure(doing + ": " + cause);
  std::string said = std::to_string(count) + " error" + (count == 1 ? "" : "s");
  throw Failure(doing + ": the library reported " + said + " (the first: " + DescribeReport(first) +
                "); the base may be damaged ('symbase check " + directory_ + "' looks into it" +
                (Options().verbose ? ")" : "; --verbose shows every report)"));
}

void Base::ThrowResult(int result, const std::string& doing) {
  CheckNoReport(doing);
  switch (result) {
    case TB_ALREADY_LOCKED:
    case TB_LOCKED_BY_OTHER:
      throw InUse(doing + ": " + kInUse);
    case TB_SYMBOL_TAKEN:
      throw NotFound(doing + ": the symbol is already carried by another object");
    case TB_NO_ROW:
    case TB_KEY_NOT_FOUND:
      throw NotFound(doing + ": no such object");
    default:
      throw Failure(doing + ": the library answered " + std::to_string(result) + " (" +
                    TBResultMeaning(result) + ")");
  }
}

}  // namespace cli
