// export: the objects of a base as a CSV file.

#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>
#include <string_view>

#include "base.h"
#include "commands.h"
#include "common/csv.h"
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

std::string_view View(const CString& text) {
  return {static_cast<const char*>(text), static_cast<std::size_t>(text.GetLength())};
}

struct ExportArgs {
  std::string dir, prefix, output;
  bool excel = false;
};

// The table as CSV, written as it comes: for tools (",", LF) or for a
// spreadsheet (a byte-order mark so that it reads UTF-8, ";" as French
// spreadsheets expect, CRLF).
class CsvExport {
 public:
  CsvExport(const std::string& output, bool excel)
      : file_(output.empty() ? "-" : output),
        delimiter_(excel ? ';' : ','),
        end_(excel ? "\r\n" : "\n") {
    if (excel) buffer_ = "\xEF\xBB\xBF";
    csv::AppendLine(&buffer_, {"address", "symbol", "comment"}, delimiter_, end_);
  }

  void Add(std::string_view address, std::string_view symbol, std::string_view comment) {
    AddField(address);
    buffer_.push_back(delimiter_);
    AddField(symbol);
    buffer_.push_back(delimiter_);
    AddField(comment);
    buffer_.append(end_);
    if (buffer_.size() >= kFlushBytes) Flush();
  }

  void Finish() {
    Flush();
    file_.Finish();
  }

 private:
  static constexpr std::size_t kFlushBytes = 1 << 16;

  // A field in Windows-1252, quoted as needed: ASCII, as most are, reads the
  // same in UTF-8 and goes as it is; other text is converted first. The
  // bytes that call for quotes are ASCII, so the conversion keeps the answer.
  void AddField(std::string_view text) {
    const csv::FieldShape shape = csv::ShapeOf(text, delimiter_);
    if (shape.ascii) {
      csv::AppendField(&buffer_, text, shape.quoted);
      return;
    }
    field_.clear();
    AppendCp1252AsUtf8(text, &field_);
    csv::AppendField(&buffer_, field_, shape.quoted);
  }

  void Flush() {
    file_.Write(buffer_);
    buffer_.clear();
  }

  OutputFile file_;
  char delimiter_;
  const char* end_;
  std::string buffer_, field_;
};

int RunExport(const ExportArgs& args) {
  std::string prefix = args.prefix.empty() ? std::string() : LibraryPrefix(args.prefix);
  Base base(args.dir);
  base.Open(Base::Access::kRead);
  CsvExport csv(args.output, args.excel);
  std::size_t count = 0;
  {
    Progress progress("exporting", 0, "objects");
    if (prefix.empty()) {
      // The whole base comes in address order: each batch goes straight out.
      ExportBatches(base, prefix, &progress, [&](const CTBObjetAts& entry) {
        csv.Add(View(entry.m_repere), View(entry.m_symbole), View(entry.m_commentaire));
        ++count;
      });
    } else {
      std::vector<ObjectText> objects = ExportObjects(base, prefix, &progress);
      for (const ObjectText& object : objects) {
        csv.Add(object.address, object.symbol, object.comment);
      }
      count = objects.size();
    }
  }
  base.Close();
  csv.Finish();
  if (!args.output.empty() && args.output != "-") {
    Say("exported " + ObjectCount(count) + " to " + args.output);
  }
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
