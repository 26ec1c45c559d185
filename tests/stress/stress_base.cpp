#include "stress/stress_base.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>

#include "support/xbase_readers.h"

namespace stress {

void AppendLine(int fd, const LogLine& line) {
  const std::string text = std::string(1, line.kind) + "\t" + line.address + "\t" +
                           line.object.symbol + "\t" + line.object.comment + "\n";
  if (fd >= 0 && write(fd, text.data(), text.size()) != static_cast<ssize_t>(text.size())) {
    _exit(90);
  }
}

std::vector<LogLine> ReadLog(const std::string& path) {
  static const std::regex kLine("([ISKX])\t([^\t]*)\t([^\t]*)\t([^\t]*)");
  std::vector<LogLine> lines;
  std::ifstream in(path);
  std::smatch m;
  for (std::string text; std::getline(in, text);) {
    if (!std::regex_match(text, m, kLine)) continue;  // a line cut short by a kill
    lines.push_back(LogLine{m.str(1)[0], m[2], Object{m[3], m[4]}});
  }
  return lines;
}

State Replay(State state, const std::vector<LogLine>& lines, LogLine* in_flight) {
  *in_flight = LogLine();
  for (const LogLine& line : lines) {
    *in_flight = line.kind == 'I' || line.kind == 'K' ? line : LogLine();
    if (line.kind == 'S') state[line.address] = line.object;
    if (line.kind == 'X') state.erase(line.address);
  }
  return state;
}

Outcome Observed(const std::string& address, const Object& object,
                 const std::function<int(CTBObjetAts*)>& call) {
  CTBObjetAts row(address.c_str(), object.symbol.c_str(), object.comment.c_str(), 0, -1);
  HostClearErrorReports();
  Outcome outcome;
  outcome.result = call(&row);
  outcome.reported = !HostErrorReports().empty();
  return outcome;
}

Found Lookup(CTBData* base, const std::string& address, const std::string& symbol) {
  CTBObjetAts row(address.c_str(), symbol.c_str(), "", 0, -1);
  Found found;
  found.result = TBSearchAttrib(base, &row, address.empty() ? 1 : 0);
  if (found.result != 0) return found;
  found.address = std::string(row.m_repere);
  found.object = Object{std::string(row.m_symbole), std::string(row.m_commentaire)};
  return found;
}

CTBData* OpenBase(const std::string& directory, std::string* why) {
  CTBData* base = nullptr;
  TBInitTabisDll(&base);
  HostClearErrorReports();
  TBOpenBaseSymbol(base, directory.c_str());
  const std::vector<HostErrorReport> reports = HostErrorReports();
  // A repair made on the way (index 22, code 1) is what an open of a base
  // left by a killed process does; anything else is a failure.
  for (const HostErrorReport& report : reports) {
    if (report.operation == 22 && report.code == 1) continue;
    *why = "open reported index " + std::to_string(report.operation) + " code " +
           std::to_string(report.code);
    CloseBase(base);
    return nullptr;
  }
  return base;
}

void CloseBase(CTBData* base) {
  TBCloseBaseSymbol(base);
  TBFreeTabisDll(base);
}

std::string Maintain(int (*call)(CTBData*, const char*, CObList*), const std::string& directory) {
  CTBData* handle = nullptr;
  TBInitTabisDll(&handle);
  CObList list;
  const int result = call(handle, directory.c_str(), &list);
  std::string text = "result " + std::to_string(result) + ":";
  while (!list.IsEmpty()) {
    std::unique_ptr<CTBCheckFinding> finding(static_cast<CTBCheckFinding*>(list.RemoveHead()));
    text += " [" + std::string(finding->m_file) + ": " + std::string(finding->m_text) + "]";
  }
  TBFreeTabisDll(handle);
  return result == 0 ? "" : text + "; ";
}

namespace {

void RemoveTree(const std::string& path) {
  std::error_code ignored;
  std::filesystem::remove_all(path, ignored);
}

// Every live object of a base through the export; *why receives what went
// wrong (the export failed, repeated an address or made reports).
State ReadAll(CTBData* base, std::string* why) {
  State out;
  long counter = 1;
  int finished = 0;
  HostClearErrorReports();
  while (finished == 0) {
    CObList list;
    const int result = TBExportSymbol(base, "", 0, &counter, &list, &finished);
    while (!list.IsEmpty()) {
      std::unique_ptr<CTBObjetAts> row(static_cast<CTBObjetAts*>(list.RemoveHead()));
      const std::string address(row->m_repere);
      if (out.count(address) != 0) *why = "the export repeats " + address;
      out[address] = Object{std::string(row->m_symbole), std::string(row->m_commentaire)};
    }
    if (result == 105) break;  // an empty base
    if (result != 0) {
      *why = "the export gave " + std::to_string(result);
      return out;
    }
  }
  if (!HostErrorReports().empty()) *why = "the export made reports";
  return out;
}

// The independent readers' disagreement, "" when they agree.
std::string ReadersDisagree(const std::string& directory) {
  std::string output;
  for (const std::string& line : testing_support::CommandLines(
           "/usr/bin/python3 " SYMBASE_SOURCE_DIR "/tests/interop/base_consistency.py '" +
           directory + "' 2>&1")) {
    output += line + "\n";
  }
  return output == "consistent\n" ? "" : "readers: " + output;
}

// How `actual` differs from `expected`, "" when it does not. The operation
// in flight may have happened: its address may hold what it was writing, or
// be gone if it was deleting.
std::string Differences(const State& expected, const State& actual, const LogLine* tolerated) {
  auto allowed = [&](const std::string& address, const Object* present) {
    if (tolerated == nullptr || tolerated->address != address) return false;
    if (tolerated->kind == 'K') return present == nullptr;
    return present != nullptr && *present == tolerated->object;
  };
  long lost = 0, back = 0;
  std::string first;
  for (const auto& [address, object] : expected) {
    auto it = actual.find(address);
    const Object* present = it == actual.end() ? nullptr : &it->second;
    if ((present != nullptr && *present == object) || allowed(address, present)) continue;
    ++lost;
    if (first.empty()) first = address + (present ? " changed" : " lost");
  }
  for (const auto& [address, object] : actual) {
    if (expected.count(address) != 0 || allowed(address, &object)) continue;
    ++back;
    if (first.empty()) first = address + " present though not expected";
  }
  if (lost + back == 0) return "";
  return std::to_string(lost) + " confirmed lost or changed, " + std::to_string(back) +
         " deleted ones back (" + first + "); ";
}

}  // namespace

Verdict Audit(const std::string& directory, const State& expected, const LogLine* tolerated) {
  Verdict verdict;
  std::string why;
  CTBData* base = OpenBase(directory, &why);
  for (const HostErrorReport& report : HostErrorReports()) verdict.repairs += report.code == 1;
  State actual;
  if (base != nullptr) {
    actual = ReadAll(base, &why);
    CloseBase(base);
  }
  verdict.objects = actual.size();
  verdict.problems = (why.empty() ? "" : why + "; ") + Differences(expected, actual, tolerated) +
                     Maintain(TBCheckBaseSymbol, directory);
  verdict.readers = testing_support::XBaseReadersAvailable();
  if (verdict.readers) verdict.problems += ReadersDisagree(directory);
  return verdict;
}

std::string Verdict::Text() const {
  return std::to_string(objects) + " objects: " +
         (problems.empty() ? "none lost, the check and the independent readers agree" : problems) +
         (readers ? "" : " (readers unavailable)");
}

int Finish(const Options& options, bool passed) {
  if (options.Number("keep", 0) == 0) RemoveTree(options.work);
  std::printf("%s\n", passed ? "PASSED" : "FAILED");
  return passed ? 0 : 1;
}

std::string NewBase(const std::string& parent, const std::string& name) {
  const std::string path = parent + "/" + name + "/";
  RemoveTree(path);
  std::filesystem::create_directories(path);
  CTBData* base = nullptr;
  TBInitTabisDll(&base);
  TBCreateBaseSymbol(base, path.c_str(), 0);
  CloseBase(base);
  return path;
}

pid_t Spawn(const std::function<int()>& body) {
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    const int status = body();
    std::fflush(nullptr);  // what the child printed
    _exit(status);
  }
  return pid;
}

int WaitFor(pid_t pid) {
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return -1;
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

Options::Options(int argc, char** argv) {
  for (int i = 2; i + 1 < argc; ++i) {
    if (std::strncmp(argv[i], "--", 2) != 0) continue;
    values[argv[i] + 2] = argv[i + 1];
    ++i;
  }
  seed = static_cast<unsigned>(Number("seed", 1));
  char pattern[] = "/tmp/symbase-stress-XXXXXX";
  work = values.count("dir") != 0 ? values["dir"]
                                  : std::string(mkdtemp(pattern) != nullptr ? pattern : "/tmp");
  std::filesystem::create_directories(work);
}

long Options::Number(const std::string& name, long fallback) const {
  auto it = values.find(name);
  return it == values.end() ? fallback : std::strtol(it->second.c_str(), nullptr, 10);
}

}  // namespace stress
