#include "table_options.h"

#include <CLI/CLI.hpp>

namespace cli {

TableOptions TableOptionTexts::Get(bool addresses_only) const {
  TableOptions options;
  options.addresses_only = addresses_only;
  if (delimiter == "tab" || delimiter == "\\t" || delimiter == "\t") {
    options.delimiter = '\t';
  } else if (!delimiter.empty()) {
    options.delimiter = delimiter[0];
  }
  std::string name = CLI::detail::to_lower(encoding);
  if (name == "cp1252" || name == "windows-1252") options.encoding = Encoding::kCp1252;
  if (name == "latin1" || name == "iso-8859-1") options.encoding = Encoding::kLatin1;
  return options;
}

void AddTableOptions(CLI::App* command, TableOptionTexts* texts) {
  command
      ->add_option("-d,--delimiter", texts->delimiter,
                   "the separator of the file: , ; or tab (found from the header when not given)")
      ->type_name("SEP")
      ->check(CLI::IsMember({",", ";", "tab", "\\t", "\t"}).description(""));
  command
      ->add_option("-e,--encoding", texts->encoding,
                   "the file's encoding: utf-8 (the default; a byte-order mark is accepted), "
                   "cp1252 or latin1")
      ->type_name("NAME")
      ->check(CLI::IsMember({"utf-8", "utf8", "cp1252", "windows-1252", "latin1", "iso-8859-1"},
                            CLI::ignore_case)
                  .description(""));
}

}  // namespace cli
