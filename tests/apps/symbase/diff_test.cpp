// diff: two bases, or a base and a CSV file, compared by address.

#include <gtest/gtest.h>

#include <string>

#include "apps/symbase/cli_fixture.h"
#include "support/temp_dir.h"

namespace {

using cli_testing::Example;
using cli_testing::RunCli;

class CliDiff : public cli_testing::PlantBase {};

TEST_F(CliDiff, TwoBases) {
  testing_support::TempDir other;
  cli_testing::RunSteps(other.path(), {{{"create", "@"}, 0},
                                       {{"import", "@", Example("plant.csv")}, 0},
                                       {{"diff", dir_.path(), "@"}, 0, {"=no difference\n"}},
                                       {{"add", "@", "%MW15", "Temps", "Heures"}, 0},
                                       {{"edit", "@", "%MW11", "-s", "Seuil_bas", "-c", "Bas"}, 0},
                                       {{"delete", "@", "%C0"}, 0}});
  Steps({{{"diff", "@", other.path()},
          1,
          {"=- %C0 Compteur_cycles \"Comptage des cycles complets\"\n"
           "~ %MW11  symbol Seuil_arr\xC3\xAAt -> Seuil_bas  comment \"Niveau d'arr\xC3\xAAt en "
           "cm\" -> "
           "\"Bas\"\n+ %MW15 Temps \"Heures\"\n1 added, 1 removed, 1 changed\n"}}});
  const char* reader =
      "import json, sys\n"
      "d = json.load(sys.stdin)\n"
      "print([o['address'] for o in d['added']], [o['address'] for o in d['removed']],\n"
      "      [(c['address'], c['before']['symbol'], c['after']['comment']) for c in "
      "d['changed']])\n";
  EXPECT_EQ(cli_testing::Python(reader, RunCli({"diff", dir_.path(), other.path(), "--json"}).out),
            "['%MW15'] ['%C0'] [('%MW11', 'Seuil_arr\xC3\xAAt', 'Bas')]\n");
}

TEST_F(CliDiff, ABaseAndAFile) {
  WriteFile(RunCli({"export", dir_.path(), "--excel"}).out, "same.csv");
  WriteFile("adresse;symbole\n%MW10;Seuil\n", "one.csv");
  WriteFile("address\n%MW1\nxx\n", "bad.csv");
  Steps({{{"diff", "@/same.csv", "@"}, 0},
         {{"diff", "@", "@/one.csv"},
          1,
          {"~ %MW10  symbol Seuil_d\xC3\xA9marrage -> Seuil  comment",
           "0 added, 27 removed, 1 changed\n"}},
         {{"diff", "@", "@/bad.csv"}, 3, {}, {"bad.csv:3:1: address \"xx\""}}});
}

}  // namespace
