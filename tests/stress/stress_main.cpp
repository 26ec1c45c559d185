// symbase_stress: trials with real processes on real files, through the
// exported interface alone. A short run of each is part of the test suite;
// long runs are made by hand (README, "Stress trials").
//
//   symbase_stress writers [--writers 4] [--readers 2] [--ops 3000] [--rounds 1]
//   symbase_stress kills   [--trials 40] [--objects 200]
//   symbase_stress damage  [--copies 60] [--objects 300]
//   symbase_stress disk    [--runs 4] [--tmpfs 0]
//   common: [--seed N] [--dir FOLDER] [--keep 1]
//
// Each prints what it counted and PASSED or FAILED; the exit status is 0
// when everything held.

#include <cstdio>
#include <string>

#include "stress/stress_base.h"

int main(int argc, char** argv) {
  const std::string trial = argc > 1 ? argv[1] : "";
  const stress::Options options(argc, argv);
  if (trial == "writers") return stress::RunWriters(options);
  if (trial == "kills") return stress::RunKills(options);
  if (trial == "damage") return stress::RunDamage(options);
  if (trial == "disk") return stress::RunDiskFull(options);
  std::fprintf(stderr, "usage: symbase_stress writers|kills|damage|disk [--option value]...\n");
  return 2;
}
