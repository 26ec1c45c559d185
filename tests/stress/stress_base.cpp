#include "stress/stress_base.h"

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <regex>

#include "support/xbase_readers.h"
#include "symbase/results.h"

namespace stress {

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

namespace {

constexpr int kRetries = 100;

// TBCreateObject and TBDelObject in the shape of the calls that take a mode.
int CreateObject(CTBData* base, CTBObjetAts* row, int) { return TBCreateObject(base, row); }
int DelObject(CTBData* base, CTBObjetAts* row, int) { return TBDelObject(base, row); }

}  // namespace

Worker::Worker(CTBData* base, int log_fd, long first, unsigned seed, State model)
    : base_(base), log_fd_(log_fd), next_(first), random_(seed), model_(std::move(model)) {
  // New addresses come after every address of the model.
  for (const auto& entry : model_) {
    next_ = std::max(next_, std::strtol(entry.first.c_str() + 3, nullptr, 10) + 1);
  }
}

Object Worker::Fresh(bool comment, bool shared) {
  Object object{"S" + std::to_string(next_) + "_" + std::to_string(++generation_), ""};
  if (shared && shared_pool_ > 0 && random_() % 10 == 0) {
    object.symbol = "Shared_" + std::to_string(random_() % static_cast<unsigned>(shared_pool_));
  }
  if (comment) object.comment = "comment " + std::to_string(generation_) + " \xe9t\xe9";
  return object;
}

void Worker::Write(const std::string& address, const Object& sent, const Object* after,
                   int (*call)(CTBData*, CTBObjetAts*, int), int mode) {
  const Object state = after != nullptr ? *after : Object();
  AppendLine(log_fd_, LogLine{after != nullptr ? 'I' : 'K', address, state});
  Outcome outcome;
  for (int attempt = 0; attempt < kRetries; ++attempt) {
    outcome = Observed(address, sent, [&](CTBObjetAts* row) { return call(base_, row, mode); });
    if (outcome.result != TB_LOCKED_BY_OTHER) break;
  }
  if (outcome.result == TB_LOCKED_BY_OTHER) {
    ++counts_.busy;
  } else if (outcome.result == TB_SYMBOL_TAKEN && !outcome.reported) {
    ++counts_.refused;
  } else if (!outcome.confirmed()) {
    ++counts_.failed;
    if (first_failure_.empty()) {
      first_failure_ = address + " gave " + std::to_string(outcome.result) +
                       (outcome.reported ? " with a report" : "");
    }
  } else {
    ++counts_.confirmed;
    if (after != nullptr) model_[address] = state;
    if (after == nullptr) model_.erase(address);
    AppendLine(log_fd_, LogLine{after != nullptr ? 'S' : 'X', address, state});
  }
}

void Worker::Step(Mix mix) {
  const unsigned roll = random_() % 100;
  const bool create =
      model_.empty() || mix == Mix::kCreates || (mix == Mix::kInserts ? roll < 50 : roll < 30);
  // Only a creation may take a shared symbol: an insertion of a taken one
  // would move another worker's row to this worker's address.
  if (create) {
    const bool creation = mix == Mix::kCreates || (mix == Mix::kMixed && roll % 2 == 0);
    const Object object = Fresh(random_() % 2 == 0, creation);
    Write("%MW" + std::to_string(next_++), object, &object,
          creation ? CreateObject : TBInsertObject);
    return;
  }
  auto it = model_.begin();
  std::advance(it, static_cast<long>(random_() % model_.size()));
  const std::string address = it->first;
  const Object old = it->second;
  const Object object = Fresh(random_() % 3 != 0, mix != Mix::kInserts && roll < 80);
  const Object comment_only{old.symbol, object.comment}, symbol_only{object.symbol, old.comment};
  if (mix == Mix::kInserts || roll >= 80) {
    Write(address, object, &object, TBInsertObject);
  } else if (roll < 45) {
    Write(address, object, &object, TBModifyObject, 2);
  } else if (roll < 55) {
    Write(address, object, &comment_only, TBModifyObject, 1);
  } else if (roll < 60) {
    Write(address, object, &symbol_only, TBModifyObject, 0);
  } else {
    Write(address, Object(), nullptr, DelObject);
  }
}

std::optional<Worker> Work(const std::string& directory, int log_fd, long first, unsigned seed,
                           State model, const std::function<void(Worker&)>& steps) {
  std::string why;
  CTBData* base = OpenBase(directory, &why);
  if (base == nullptr) return std::nullopt;
  std::optional<Worker> worker(std::in_place, base, log_fd, first, seed, std::move(model));
  steps(*worker);
  CloseBase(base);
  return worker;
}

State Fill(const std::string& directory, long objects, unsigned seed, Mix rest) {
  const auto worker = Work(directory, -1, 1000, seed, State(), [&](Worker& w) {
    for (long i = 0; i < objects; ++i) w.Step(i < objects / 2 ? Mix::kCreates : rest);
  });
  return worker ? worker->model() : State();
}

}  // namespace stress
