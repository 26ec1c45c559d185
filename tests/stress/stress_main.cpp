// symbase_stress writers|kills|damage|disk [--name value]...: trials with real
// processes on real files, through the exported interface alone, each ended
// by PASSED (exit status 0) or FAILED. The suite runs each briefly; long runs
// are made by hand (README, "Stress trials"). Every trial takes --seed N,
// --dir FOLDER and --keep 1; its other options are read at its start.

#include <cstdio>
#include <map>
#include <string>

#include "stress/stress_base.h"

int main(int argc, char** argv) {
  const std::map<std::string, int (*)(const stress::Options&)> trials = {
      {"writers", stress::RunWriters},
      {"kills", stress::RunKills},
      {"damage", stress::RunDamage},
      {"disk", stress::RunDiskFull}};
  const auto trial = trials.find(argc > 1 ? argv[1] : "");
  if (trial != trials.end()) return trial->second(stress::Options(argc, argv));
  std::fprintf(stderr, "usage: symbase_stress writers|kills|damage|disk [--name value]...\n");
  return 2;
}
