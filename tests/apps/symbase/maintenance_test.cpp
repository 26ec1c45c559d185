// compact, check and repair through the program: the library's findings
// printed and parsed, the index file to rebuild named by every command.

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "apps/symbase/cli_fixture.h"

namespace {

class CliMaintenance : public cli_testing::PlantBase {};

TEST_F(CliMaintenance, CompactSaysWhatItCompacted) {
  Steps({{{"delete", "@", "%MW10", "%Q2.0"}, 0},
         {{"compact", "@"}, 0, {"compacted @/"}},
         {{"count", "@"}, 0, {"=26\n"}}});
}

TEST_F(CliMaintenance, AnIndexFileMissingOrDamagedIsNamedAndRepaired) {
  struct Case {
    std::string file;
    const char* bytes;  // nullptr: the file is removed
    const char* state;
  } cases[] = {{"KR9CLER.MDX", nullptr, "missing"}, {"KR9R.MDX", "not an index", "damaged"}};
  for (const Case& test : cases) {
    SCOPED_TRACE(test.file);
    if (test.bytes == nullptr) {
      ASSERT_EQ(::unlink(dir_.file(test.file).c_str()), 0);
    } else {
      ASSERT_TRUE(testing_support::WriteFileBytes(dir_.file(test.file), test.bytes));
    }
    Steps({
        {{"add", "@", "%MW90", "Neuf"},
         3,
         {"="},
         {"=symbase: the base in @/ cannot be used: its index file " + test.file + " is " +
          test.state + "; 'symbase repair @/' rebuilds it from the tables\n"}},
        {{"check", "@"},
         3,
         {test.file + ": index: ",
          "the base in @/ is damaged: 1 fault in its index files or table headers; 'symbase "
          "repair @/' mends it\n"}},
        {{"check", "@", "--quiet"}, 3, {"="}},
        {{"check", "@", "--json"}, 3, {"\"sound\": false", "\"kind\": \"index\""}},
        {{"repair", "@"},
         0,
         {test.file + ": repaired: rebuilt from KR9.DBF",
          "KR9CMTR.MDX: repaired: rebuilt from KR9CMT.DBF", "\nthe base in @/ is sound\n"}},
    });
  }
  Steps({{{"repair", "@"}, 0, {"=the base in @/ is sound: nothing to repair\n"}}});
}

}  // namespace
