// Copies of a sound base, each with one file damaged (cut short, bytes
// flipped, a block zeroed), put through the check, lookups and the repair
// in a child process watched for crashes and hangs. Any copy whose lookups
// give a wrong answer without a report must have been flagged by the check;
// a damaged index file must be mended by the repair.

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>

#include "stress/stress_base.h"
#include "stress/stress_worker.h"

namespace stress {
namespace {

const char* const kFiles[] = {"KR9.DBF",  "KR9CMT.DBF", "KR9CLER.MDX",
                              "KR9R.MDX", "KR9S.MDX",   "KR9CMTR.MDX"};
constexpr int kHangSeconds = 60;

bool IsIndex(const std::string& file) { return file.find(".MDX") != std::string::npos; }

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream all;
  all << in.rdbuf();
  return all.str();
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// One random damage to `bytes`, described.
std::string Damage(std::string* bytes, std::mt19937& random) {
  if (bytes->empty()) return "empty";
  const std::size_t size = bytes->size();
  switch (random() % 3) {
    case 0: {
      const std::size_t keep = random() % size;
      bytes->resize(keep);
      return "cut to " + std::to_string(keep) + " bytes";
    }
    case 1: {
      const int flips = 1 + static_cast<int>(random() % 8);
      for (int i = 0; i < flips; ++i)
        (*bytes)[random() % size] ^= static_cast<char>(1 + random() % 255);
      return std::to_string(flips) + " bytes flipped";
    }
    default: {
      const std::size_t at = (random() % size) / 512 * 512;
      for (std::size_t i = at; i < at + 512 && i < size; ++i) (*bytes)[i] = 0;
      return "512 bytes zeroed at " + std::to_string(at);
    }
  }
}

// Lookups of every object by address and by symbol: how many answers were
// wrong without any report.
long Unreported(const std::string& directory, const State& truth) {
  std::string why;
  CTBData* base = OpenBase(directory, &why);
  if (base == nullptr) return 0;  // the open reported it
  long wrong = 0;
  for (const auto& [address, object] : truth) {
    HostClearErrorReports();
    Object found;
    std::string carrier;
    const int by_address = Lookup(base, address, &found);
    const int by_symbol = LookupSymbol(base, object.symbol, &carrier);
    const bool reported = !HostErrorReports().empty();
    const bool right = by_address == 0 && found == object && by_symbol == 0 && carrier == address;
    if (!right && !reported) ++wrong;
  }
  CloseBase(base);
  return wrong;
}

int Repair(const std::string& directory) {
  CTBData* handle = nullptr;
  TBInitTabisDll(&handle);
  CObList actions;
  const int result = TBRepairBaseSymbol(handle, directory.c_str(), &actions);
  while (!actions.IsEmpty()) delete actions.RemoveHead();
  TBFreeTabisDll(handle);
  return result;
}

// Exit status of the child that examines one copy: bit 0 a damaged index
// that gave wrong answers the check did not flag, bit 1 an index the repair
// did not mend, bit 2 the check flagged something. (A table's own bytes,
// a comment's letters say, carry no sum to check them by: only crashes and
// hangs count there.)
int Examine(const std::string& directory, const State& truth, bool index_damaged) {
  alarm(kHangSeconds);
  const bool flagged = !CheckFindings(directory).empty();
  const long wrong = Unreported(directory, truth);
  int status = flagged ? 4 : 0;
  if (index_damaged && wrong > 0 && !flagged) status |= 1;
  if (index_damaged && flagged) {
    const int repaired = Repair(directory);
    if (repaired != 0 || !CheckFindings(directory).empty() || Unreported(directory, truth) > 0) {
      status |= 2;
    }
  }
  return status;
}

}  // namespace

int RunDamage(const Options& options) {
  const long copies = options.Number("copies", 60);
  const long objects = options.Number("objects", 300);
  const unsigned seed = static_cast<unsigned>(options.Number("seed", 1));
  const std::string work = WorkFolder(options);
  const std::string sound = NewBase(work, "sound");
  const State truth = Fill(sound, objects, seed, Mix::kMixed);
  std::mt19937 random(seed);
  long crashes = 0, hangs = 0, undetected = 0, unmended = 0, flagged = 0, index_copies = 0;
  for (long c = 0; c < copies; ++c) {
    const std::string copy = work + "/copy" + std::to_string(c) + "/";
    CopyFolder(sound, copy);
    const std::string file = kFiles[random() % 6];
    std::string bytes = ReadBytes(copy + file);
    const std::string what = Damage(&bytes, random);
    WriteBytes(copy + file, bytes);
    index_copies += IsIndex(file);
    const int status = WaitFor(Spawn([&] { return Examine(copy, truth, IsIndex(file)); }));
    const bool hung = status == 128 + SIGALRM;
    const bool crashed = status >= 128 && !hung;
    hangs += hung;
    crashes += crashed;
    if (!crashed && !hung) {
      flagged += (status & 4) != 0;
      undetected += (status & 1) != 0;
      unmended += (status & 2) != 0;
    }
    if (crashed || hung || (status & 3) != 0) {
      std::printf("copy %ld: %s %s: status %d\n", c + 1, file.c_str(), what.c_str(), status);
    }
    if (options.Number("keep", 0) == 0) RemoveTree(copy);
  }
  std::printf(
      "damage: %ld copies (%ld with a damaged index file), %ld flagged by the check; %ld "
      "crashes, %ld hangs, %ld wrong answers the check missed, %ld damaged indexes the repair "
      "did not mend\n",
      copies, index_copies, flagged, crashes, hangs, undetected, unmended);
  return Finish(options, work, crashes == 0 && hangs == 0 && undetected == 0 && unmended == 0);
}

}  // namespace stress
