// Copies of a sound base, each with one file damaged (cut short, bytes
// flipped, a block zeroed), put through the check, lookups and the repair
// in a child process watched for crashes and hangs. Any copy whose lookups
// give a wrong answer without a report must have been flagged by the check;
// a damaged index file must be mended by the repair.

#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "stress/stress_base.h"

namespace stress {
namespace {

const char* const kFiles[] = {"KR9.DBF",  "KR9CMT.DBF", "KR9CLER.MDX",
                              "KR9R.MDX", "KR9S.MDX",   "KR9CMTR.MDX"};
constexpr int kHangSeconds = 60;

bool IsIndex(const std::string& file) { return file.find(".MDX") != std::string::npos; }

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
    const Found a = Lookup(base, address, ""), s = Lookup(base, "", object.symbol);
    const bool right = a.result == 0 && a.object == object && s.result == 0 && s.address == address;
    if (!right && HostErrorReports().empty()) ++wrong;
  }
  CloseBase(base);
  return wrong;
}

// The child's exit status for one copy: 4 the check flagged it (and the
// repair mended a damaged index), 1 a damaged index gave wrong answers the
// check missed, 6 the repair did not mend it. A table's own bytes (a
// comment's letters) carry no sum to check them by: only crashes count there.
int Examine(const std::string& directory, const State& truth, bool index_damaged) {
  alarm(kHangSeconds);
  const bool flagged = !Maintain(TBCheckBaseSymbol, directory).empty();
  const long wrong = Unreported(directory, truth);
  if (!index_damaged) return flagged ? 4 : 0;
  if (!flagged) return wrong > 0 ? 1 : 0;
  const bool mended = Maintain(TBRepairBaseSymbol, directory).empty() &&
                      Maintain(TBCheckBaseSymbol, directory).empty() &&
                      Unreported(directory, truth) == 0;
  return mended ? 4 : 6;
}

}  // namespace

int RunDamage(const Options& options) {
  const long copies = options.Number("copies", 60);
  const long objects = options.Number("objects", 300);
  const std::string sound = NewBase(options.work, "sound");
  const State truth = Fill(sound, objects, options.seed, Mix::kMixed);
  std::mt19937 random(options.seed);
  long failed = 0, flagged = 0, index_copies = 0;
  for (long c = 0; c < copies; ++c) {
    const std::string copy = options.work + "/copy" + std::to_string(c) + "/";
    std::filesystem::copy(sound, copy);
    const std::string file = kFiles[random() % 6];
    std::ifstream in(copy + file, std::ios::binary);
    std::string bytes(std::istreambuf_iterator<char>(in), {});
    const std::string what = Damage(&bytes, random);
    std::ofstream(copy + file, std::ios::binary | std::ios::trunc) << bytes;
    index_copies += IsIndex(file);
    const int status = WaitFor(Spawn([&] { return Examine(copy, truth, IsIndex(file)); }));
    flagged += status == 4;
    if (status != 0 && status != 4) {
      ++failed;
      std::printf("copy %ld: %s %s: %s %d\n", c + 1, file.c_str(), what.c_str(),
                  status == 128 + SIGALRM ? "hung, status" : "status", status);
    }
  }
  std::printf(
      "damage: %ld copies (%ld with a damaged index file), %ld flagged by the check; %ld "
      "crashes, hangs, wrong answers the check missed or indexes the repair did not mend\n",
      copies, index_copies, flagged, failed);
  return Finish(options, failed == 0);
}

}  // namespace stress
