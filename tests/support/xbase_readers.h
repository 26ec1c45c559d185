#ifndef SYMBASE_TESTS_SUPPORT_XBASE_READERS_H
#define SYMBASE_TESTS_SUPPORT_XBASE_READERS_H

// Running the independent xBase readers of tests/interop (python's dbfread
// and dbf, Perl's XBase::Index) and reading what they print.

#include <cstdio>
#include <cstdlib>
#include <sstream>
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
  std::string text;
  char piece[4096];
  for (std::size_t n; (n = std::fread(piece, 1, sizeof piece, pipe)) > 0;) text.append(piece, n);
  pclose(pipe);
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

}  // namespace testing_support

#endif
