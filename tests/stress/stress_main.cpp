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
#include <cstring>

#include "stress/stress_base.h"

int main(int argc, char** argv) {
  const char* trial = argc > 1 ? argv[1] : "";
  const stress::Options options(argc, argv);
  if (std::strcmp(trial, "writers") == 0) return stress::RunWriters(options);
  if (std::strcmp(trial, "kills") == 0) return stress::RunKills(options);
  if (std::strcmp(trial, "damage") == 0) return stress::RunDamage(options);
  if (std::strcmp(trial, "disk") == 0) return stress::RunDiskFull(options);
  std::fprintf(stderr, "usage: symbase_stress writers|kills|damage|disk [--option value]...\n");
  return 2;
}
