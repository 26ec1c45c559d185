#ifndef SYMBASE_TESTS_SUPPORT_XBASE_READERS_H
#define SYMBASE_TESTS_SUPPORT_XBASE_READERS_H

// The files of a base as independent xBase readers see them, through the
// scripts of tests/interop: python's dbfread and dbf, Perl's XBase::Index.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace testing_support {

// True when python3-dbfread, python3-dbf and libdbd-xbase-perl are there.
inline bool XBaseReadersAvailable() {
  return std::system("/usr/bin/python3 -c 'import dbfread, dbf' 2>/dev/null") == 0 &&
         std::system("/usr/bin/perl -MXBase::Index -e 1 2>/dev/null") == 0;
}

// The lines a command prints, without their line ends.
inline std::vector<std::string> CommandLines(const std::string& command) {
  std::vector<std::string> lines;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return lines;
  // A line longer than the buffer comes in pieces, joined until its end.
  char piece[4096];
  std::string text;
  while (std::fgets(piece, sizeof piece, pipe) != nullptr) {
    text += piece;
    if (text.back() != '\n') continue;
    text.pop_back();
    lines.push_back(text);
    text.clear();
  }
  if (!text.empty()) lines.push_back(text);
  pclose(pipe);
  return lines;
}

// The entries of every tag of an index file as XBase::Index walks them:
// "TAG <name>", then "<key>|<record>" per entry in order.
inline std::vector<std::string> ReaderIndexEntries(const std::string& path) {
  std::vector<std::string> entries;
  for (const std::string& line : CommandLines(
           "/usr/bin/perl " SYMBASE_SOURCE_DIR "/tests/interop/mdx_dump.pl '" + path + "'")) {
    const std::size_t space = line.find(' ');
    if (line.compare(0, 4, "TAG ") == 0 || space == std::string::npos) {
      entries.push_back(line);
      continue;
    }
    std::string key;
    for (std::size_t i = 0; i + 1 < space; i += 2) {
      key += static_cast<char>(std::stoi(line.substr(i, 2), nullptr, 16));
    }
    entries.push_back(key + "|" + line.substr(space + 1));
  }
  return entries;
}

}  // namespace testing_support

#endif
