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
                                       {{"import", "@", Example("changes.csv"), "--replace"}, 0},
                                       {{"delete", "@", "%C0"}, 0}});
  Steps({{{"diff", "@", other.path()},
          1,
          {"=- %C0 Compteur_cycles \"Comptage des cycles complets\"\n"
           "~ %MW10  comment \"Niveau de d\xC3\xA9marrage en cm\" -> \"Niveau de d\xC3\xA9marrage "
           "en cm (r\xC3\xA9glage usine : 120)\"\n"
           "~ %MW11  symbol Seuil_arr\xC3\xAAt -> Seuil_bas\n"
           "+ %MW15 Temps_marche_secours \"Heures de marche pompe de secours\"\n"
           "- %Q2.1 Pompe_2 \"Commande contacteur pompe 2\"\n"
           "+ %Q2.4 Pompe_secours \"Commande contacteur pompe de secours\"\n"
           "+ %Q2.5 Pompe_2 \"Commande contacteur pompe 2 (d\xC3\xA9plac\xC3\xA9"
           "e)\"\n"
           "3 added, 2 removed, 2 changed\n"}}});
  const char* reader =
      "import json, sys\n"
      "d = json.load(sys.stdin)\n"
      "print([o['address'] for o in d['added']], [o['address'] for o in d['removed']],\n"
      "      [(c['address'], c['before']['symbol'], c['after']['symbol']) for c in "
      "d['changed']])\n";
  EXPECT_EQ(cli_testing::Python(reader, RunCli({"diff", dir_.path(), other.path(), "--json"}).out),
            "['%MW15', '%Q2.4', '%Q2.5'] ['%C0', '%Q2.1'] [('%MW10', 'Seuil_d\xC3\xA9marrage', "
            "'Seuil_d\xC3\xA9marrage'), ('%MW11', 'Seuil_arr\xC3\xAAt', 'Seuil_bas')]\n");
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
