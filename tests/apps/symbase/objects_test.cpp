// create, add, find, search, list, count and delete on a base in a temp directory.

#include <gtest/gtest.h>

#include <string>

#include "apps/symbase/cli_process.h"
#include "support/temp_dir.h"

namespace {

using cli_testing::CliRun;
using cli_testing::Contains;
using cli_testing::RunCli;

class CliObjects : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(RunCli({"create", dir_.path()}).status, 0);
    Add({"%MW10", "Seuil_haut", "Seuil de d\xC3\xA9marrage"});
    Add({"%MW11", "Seuil_bas"});
    Add({"%I1.2", "Capteur_porte",
         "Porte ferm\xC3\xA9"
         "e"});
    Add({"%Q2.0", "Pompe_1", "Pompe de relevage"});
  }

  void Add(std::vector<std::string> object) {
    object.insert(object.begin(), {"add", dir_.path()});
    CliRun run = RunCli(object);
    ASSERT_EQ(run.status, 0) << run.err;
  }

  testing_support::TempDir dir_;
};

TEST_F(CliObjects, CreateMakesTheSixFilesAndKeepsAnExistingBase) {
  for (const char* name :
       {"KR9.DBF", "KR9CMT.DBF", "KR9CLER.MDX", "KR9R.MDX", "KR9S.MDX", "KR9CMTR.MDX"}) {
    EXPECT_FALSE(testing_support::ReadFileBytes(dir_.file(name)).empty()) << name;
  }
  CliRun again = RunCli({"create", dir_.path()});
  EXPECT_EQ(again.status, 1);
  EXPECT_TRUE(Contains(again.err, "already"));
  EXPECT_EQ(RunCli({"count", dir_.path()}).out, "4\n");

  EXPECT_EQ(RunCli({"create", dir_.path(), "--replace"}).status, 0);
  EXPECT_EQ(RunCli({"count", dir_.path()}).out, "0\n");
}

TEST_F(CliObjects, CreateMakesMissingDirectories) {
  std::string nested = dir_.file("a/b");
  EXPECT_EQ(RunCli({"create", nested}).status, 0);
  EXPECT_EQ(RunCli({"count", nested + "/"}).out, "0\n");
}

TEST_F(CliObjects, FindByAddressAndBySymbolKeepsAccents) {
  CliRun by_address = RunCli({"find", dir_.path(), "%MW10"});
  EXPECT_EQ(by_address.status, 0);
  EXPECT_EQ(by_address.out,
            "address: %MW10\nsymbol:  Seuil_haut\ncomment: Seuil de d\xC3\xA9marrage\n");

  CliRun by_symbol = RunCli({"find", dir_.path(), "--symbol", "Capteur_porte"});
  EXPECT_EQ(by_symbol.status, 0);
  EXPECT_TRUE(Contains(by_symbol.out, "address: %I1.2\n"));
  EXPECT_TRUE(Contains(by_symbol.out,
                       "comment: Porte ferm\xC3\xA9"
                       "e\n"));
}

TEST_F(CliObjects, AccentedSymbolRoundTrip) {
  Add({"%MW12",
       "D\xC3\xA9"
       "bit_\xC3\xA9t\xC3\xA9",
       "\xC5\x93uvre \xE2\x82\xAC \xC3\x89T\xC3\x89"});
  CliRun found = RunCli({"find", dir_.path(), "--symbol",
                         "D\xC3\xA9"
                         "bit_\xC3\xA9t\xC3\xA9"});
  ASSERT_EQ(found.status, 0) << found.err;
  EXPECT_TRUE(Contains(found.out,
                       "symbol:  D\xC3\xA9"
                       "bit_\xC3\xA9t\xC3\xA9\n"));
  EXPECT_TRUE(Contains(found.out, "comment: \xC5\x93uvre \xE2\x82\xAC \xC3\x89T\xC3\x89\n"));
  // The library stores Windows-1252: é is one byte, so 32 of them fit a symbol.
  std::string long_symbol;
  for (int i = 0; i < 32; ++i) long_symbol += "\xC3\xA9";
  Add({"%MW13", long_symbol});
  EXPECT_TRUE(Contains(RunCli({"find", dir_.path(), "%MW13"}).out, long_symbol));
}

TEST_F(CliObjects, AddressesAreWrittenInTheWorkshopsForm) {
  Add({"%mw050", "Compteur"});
  EXPECT_TRUE(Contains(RunCli({"find", dir_.path(), "%MW50"}).out, "symbol:  Compteur"));
  EXPECT_TRUE(Contains(RunCli({"find", dir_.path(), "%mw50"}).out, "address: %MW50"));
}

TEST_F(CliObjects, AddRefusesWhatTheBaseCouldNotKeep) {
  CliRun taken = RunCli({"add", dir_.path(), "%MW20", "Pompe_1"});
  EXPECT_EQ(taken.status, 1);
  EXPECT_TRUE(Contains(taken.err, "Pompe_1 is already carried by %Q2.0"));

  CliRun present = RunCli({"add", dir_.path(), "%MW10", "Autre"});
  EXPECT_EQ(present.status, 1);
  EXPECT_TRUE(Contains(present.err, "%MW10 is already in the base"));

  EXPECT_TRUE(Contains(RunCli({"add", dir_.path(), "MW20"}).err, "not an address"));
  EXPECT_TRUE(Contains(RunCli({"add", dir_.path(), "%MW20", "2x"}).err, "not a symbol"));
  EXPECT_TRUE(
      Contains(RunCli({"add", dir_.path(), "%MW20", std::string(33, 'a')}).err, "not a symbol"));
  CliRun wide = RunCli({"add", dir_.path(), "%MW20", "Ok", "\xE6\x97\xA5"});
  EXPECT_EQ(wide.status, 1);
  EXPECT_TRUE(Contains(wide.err, "(U+65E5) has no place in Windows-1252"));
  EXPECT_TRUE(Contains(RunCli({"add", dir_.path(), "%MW20", "Ok", "\xC3"}).err, "not valid UTF-8"));
  EXPECT_TRUE(Contains(RunCli({"add", dir_.path(), "%MW20", "Ok", std::string(509, 'c')}).err,
                       "at most 508"));
  EXPECT_EQ(RunCli({"count", dir_.path()}).out, "4\n");

  Add({"%MW20", "Ok", std::string(508, 'c')});
  EXPECT_TRUE(Contains(RunCli({"find", dir_.path(), "%MW20"}).out, std::string(508, 'c') + "\n"));
}

TEST_F(CliObjects, SearchBySymbolOrCommentAndPosition) {
  CliRun seuil = RunCli({"search", dir_.path(), "seuil"});
  EXPECT_EQ(seuil.status, 0);
  EXPECT_TRUE(Contains(seuil.out, "%MW10"));
  EXPECT_TRUE(Contains(seuil.out, "%MW11"));
  EXPECT_FALSE(Contains(seuil.out, "%Q2.0"));

  CliRun by_comment = RunCli({"search", dir_.path(), "D\xC3\x89MARR", "--comments"});
  EXPECT_EQ(by_comment.status, 0) << by_comment.err;
  EXPECT_TRUE(Contains(by_comment.out, "%MW10"));

  CliRun ends = RunCli({"search", dir_.path(), "_bas", "--ends"});
  EXPECT_TRUE(Contains(ends.out, "%MW11"));
  EXPECT_FALSE(Contains(ends.out, "%MW10"));

  CliRun begins = RunCli({"search", dir_.path(), "bas", "--begins"});
  EXPECT_EQ(begins.status, 1);
  EXPECT_TRUE(Contains(begins.err, "no object matches \"bas\""));

  CliRun apostrophe = RunCli({"search", dir_.path(), "d'un"});
  EXPECT_EQ(apostrophe.status, 1);
  EXPECT_TRUE(apostrophe.err.find("error") == std::string::npos) << apostrophe.err;

  CliRun overlong = RunCli({"search", dir_.path(), std::string(5000, 'a')});
  EXPECT_EQ(overlong.status, 1);
  EXPECT_EQ(overlong.err, "symbase: no object matches \"" + std::string(40, 'a') + "...\"\n");
  EXPECT_EQ(RunCli({"search", dir_.path(), std::string(5000, 'a'), "--comments"}).status, 1);

  CliRun ordered = RunCli({"search", dir_.path(), "e", "--by-symbol"});
  std::size_t capteur = ordered.out.find("Capteur_porte");
  std::size_t pompe = ordered.out.find("Pompe_1");
  std::size_t seuil_bas = ordered.out.find("Seuil_bas");
  ASSERT_NE(seuil_bas, std::string::npos);
  EXPECT_LT(capteur, pompe);
  EXPECT_LT(pompe, seuil_bas);
}

TEST_F(CliObjects, ListAndCountEveryObjectOrOneKind) {
  CliRun all = RunCli({"list", dir_.path()});
  EXPECT_EQ(all.status, 0);
  EXPECT_TRUE(Contains(all.out, "4 objects\n"));
  for (const char* address : {"%MW10", "%MW11", "%I1.2", "%Q2.0"}) {
    EXPECT_TRUE(Contains(all.out, address)) << address;
  }
  CliRun words = RunCli({"list", dir_.path(), "%mw"});
  EXPECT_TRUE(Contains(words.out, "2 objects\n"));
  EXPECT_FALSE(Contains(words.out, "%I1.2"));
  EXPECT_EQ(RunCli({"count", dir_.path(), "%MW"}).out, "2\n");
  EXPECT_EQ(RunCli({"count", dir_.path(), "%I"}).out, "1\n");
  EXPECT_EQ(RunCli({"count", dir_.path(), "%Q"}).out, "1\n");
  EXPECT_EQ(RunCli({"count", dir_.path(), "%C"}).out, "0\n");
  EXPECT_EQ(RunCli({"count", dir_.path(), "MW"}).status, 1);
}

TEST_F(CliObjects, ListGoesPastOneBatchOfFifty) {
  for (int i = 100; i < 175; ++i) Add({"%MW" + std::to_string(i), "S" + std::to_string(i)});
  CliRun all = RunCli({"list", dir_.path()});
  EXPECT_TRUE(Contains(all.out, "79 objects\n"));
  EXPECT_TRUE(Contains(all.out, "S174"));
  EXPECT_TRUE(Contains(RunCli({"list", dir_.path(), "%MW"}).out, "77 objects\n"));
  EXPECT_EQ(RunCli({"count", dir_.path()}).out, "79\n");
}

TEST_F(CliObjects, ListOnATerminalPausesEveryFiftyRows) {
  if (std::system("test -x /usr/bin/script") != 0) GTEST_SKIP() << "util-linux script is missing";
  for (int i = 100; i < 175; ++i) Add({"%MW" + std::to_string(i), "S" + std::to_string(i)});
  // script gives the tool a terminal; Enter shows the next 50 rows, q stops.
  std::string command =
      "/usr/bin/script -qec " +
      cli_testing::ShellQuoted(std::string(SYMBASE_CLI_PATH) + " list " + dir_.path()) +
      " /dev/null";
  testing_support::TempDir io;
  testing_support::WriteFileBytes(io.file("keys"), "q\n");
  std::string out;
  FILE* pipe = popen(("timeout 20 " + command + " <" + io.file("keys")).c_str(), "r");
  char buffer[512];
  while (pipe != nullptr && std::fgets(buffer, sizeof buffer, pipe) != nullptr) out += buffer;
  if (pipe != nullptr) pclose(pipe);
  EXPECT_TRUE(Contains(out, "-- more: Enter, q to stop --")) << out;
  // %MW10, %MW11, then %MW100 to %MW147 make the first 50 rows in key order.
  EXPECT_TRUE(Contains(out, "S147"));
  EXPECT_FALSE(Contains(out, "S148"));
  // Without a terminal nothing waits.
  EXPECT_FALSE(Contains(RunCli({"list", dir_.path()}).out, "more"));
}

TEST_F(CliObjects, DeleteRemovesTheObjectAndItsComment) {
  CliRun deleted = RunCli({"delete", dir_.path(), "%MW10"});
  EXPECT_EQ(deleted.status, 0);
  EXPECT_EQ(deleted.out, "deleted %MW10\n");
  CliRun gone = RunCli({"find", dir_.path(), "%MW10"});
  EXPECT_EQ(gone.status, 1);
  EXPECT_TRUE(Contains(gone.err, "no object at %MW10"));
  EXPECT_EQ(RunCli({"find", dir_.path(), "--symbol", "Seuil_haut"}).status, 1);
  EXPECT_EQ(RunCli({"count", dir_.path()}).out, "3\n");
  CliRun again = RunCli({"delete", dir_.path(), "%MW10"});
  EXPECT_EQ(again.status, 1);
  EXPECT_TRUE(Contains(again.err, "no object at %MW10"));
  // The freed symbol can be given again.
  Add({"%MW30", "Seuil_haut"});
}

}  // namespace
