#ifndef SYMBASE_APPS_TABLE_OPTIONS_H
#define SYMBASE_APPS_TABLE_OPTIONS_H

// --delimiter and --encoding, for the commands that read a table file.

#include <string>

#include "object_table.h"

namespace CLI {
class App;
}

namespace cli {

struct TableOptionTexts {
  std::string delimiter;  // "" (found from the header), ",", ";" or "tab"
  std::string encoding = "utf-8";

  TableOptions Get(bool addresses_only = false) const;
};

void AddTableOptions(CLI::App* command, TableOptionTexts* texts);

}  // namespace cli

#endif
