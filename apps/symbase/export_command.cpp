// export: the objects of a base as a CSV file.

#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>

#include "base.h"
#include "commands.h"
#include "csv.h"
#include "errors.h"
#include "fields.h"
#include "object_print.h"
#include "objects.h"
#include "options.h"
#include "output_file.h"
#include "progress.h"
#include "system_errors.h"
#include "text.h"

namespace cli {

namespace {

struct ExportArgs {
  std::string dir, prefix, output;
  bool excel = false;
};

// The table as CSV: for tools (",", LF) or for a spreadsheet (a byte-order
// mark so that it reads UTF-8, ";" as French spreadsheets expect, CRLF).
std::string CsvText(const std::vector<ObjectText>& objects, bool excel) {
  char delimiter = excel ? ';' : ',';
  const char* end = excel ? "\r\n" : "\n";
  std::string out = excel ? "\xEF\xBB\xBF" : "";
  out += CsvLine({"address", "symbol", "comment"}, delimiter, end);
  for (const ObjectText& object : objects) {
    out += CsvLine(
        {Cp1252ToUtf8(object.address), Cp1252ToUtf8(object.symbol), Cp1252ToUtf8(object.comment)},
        delimiter, end);
  }
  return out;
}

int RunExport(const ExportArgs& args) {
  std::string prefix = args.prefix.empty() ? std::string() : LibraryPrefix(args.prefix);
  Base base(args.dir);
  base.Open(Base::Access::kRead);
  std::vector<ObjectText> objects;
  {
    Progress progress("exporting", 0, "objects");
    objects = ExportObjects(base, prefix, &progress);
  }
  base.Close();
  std::string text = CsvText(objects, args.excel);
  if (args.output.empty() || args.output == "-") {
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size()) {
      throw Failure("cannot write the export: " + SystemMessage(errno));
    }
    return kExitDone;
  }
  WriteWholeFile(args.output, text);
  Say("exported " + ObjectCount(objects.size()) + " to " + args.output);
  return kExitDone;
}

}  // namespace

void AddExportCommand(CommandSet& commands) {
  auto args = std::make_shared<ExportArgs>();
  CLI::App* c = commands.Add(
      "export", "write the objects as CSV",
      "Header address,symbol,comment, UTF-8, RFC 4180 quoting, lines ending in LF for\n"
      "tools; --excel writes what a spreadsheet opens right: a byte-order mark, ';'\n"
      "separators and CRLF line ends. Both forms import again as they are.",
      [args] { return RunExport(*args); });
  AddBaseArgument(c, &args->dir);
  c->add_option("PREFIX", args->prefix, "an object kind (%MW: the words and their bits ...)");
  c->add_option("-o,--output", args->output,
                "write to FILE instead of stdout (replaced whole, or left as it was on failure)")
      ->type_name("FILE");
  c->add_flag("--excel", args->excel, "a byte-order mark, ';' and CRLF, for spreadsheets");
}

}  // namespace cli
