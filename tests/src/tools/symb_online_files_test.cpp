// What the on-line dialog stores, read back from the files by independent
// dBASE readers (python dbfread and dbf).

#include <cstdio>
#include <string>
#include <vector>

#include "symb_online_fixture.h"

namespace {

using online_testing::kCommentEdit;
using online_testing::kSymbolEdit;
using ::testing::ElementsAre;

// The lines a command prints; empty when it cannot run.
std::vector<std::string> RunLines(const std::string& command) {
  std::vector<std::string> lines;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return lines;
  std::string line;
  for (int c = std::fgetc(pipe); c != EOF; c = std::fgetc(pipe)) {
    if (c != '\n') {
      line += static_cast<char>(c);
      continue;
    }
    lines.push_back(line);
    line.clear();
  }
  pclose(pipe);
  return lines;
}

class SymbOnLineFiles : public online_testing::SymbOnLineTest {
 protected:
  // The rows of a table as a reader sees them, fields and code page left out.
  std::vector<std::string> Rows(const char* reader, const char* table) {
    std::vector<std::string> rows;
    for (const std::string& line :
         RunLines(std::string("/usr/bin/python3 ") + SYMBASE_TESTS_DIR + "/interop/base_dump.py " +
                  reader + " '" + dir.file(table) + "' 2>&1")) {
      if (line.rfind("FIELD ", 0) != 0 && line.rfind("ENCODING ", 0) != 0) rows.push_back(line);
    }
    return rows;
  }
};

TEST_F(SymbOnLineFiles, CreatedAndModifiedObjectsReadBackWithBothReaders) {
  Create("%MW20", "", "vieux");
  UsAts fresh = Word("%MW10");
  ASSERT_EQ(Run(&fresh,
                [](CDialog& d) {
                  d.TypeText(kSymbolEdit, "\xC9tat_pompe");
                  d.TypeText(kCommentEdit, "Pompe \xE9lectrique");
                  d.PressButton(IDOK);
                }),
            IDOK);
  UsAts existing = Word("%MW20");
  ASSERT_EQ(Run(&existing,
                [](CDialog& d) {
                  d.TypeText(kSymbolEdit, "Niveau");
                  d.PressButton(IDOK);
                }),
            IDOK);
  for (const char* reader : {"dbfread", "dbf"}) {
    // UTF-8 of the Windows-1252 texts: "État_pompe", "Pompe électrique".
    EXPECT_THAT(Rows(reader, "KR9.DBF"), ElementsAre("L|MW|00020||||%MW20|Niveau|O",
                                                     "L|MW|00010||||%MW10|\xC3\x89tat_pompe|O"))
        << reader;
    EXPECT_THAT(Rows(reader, "KR9CMT.DBF"),
                ElementsAre("L|MW|00020||||vieux|", "L|MW|00010||||Pompe \xC3\xA9lectrique|"))
        << reader;
  }
}

}  // namespace
