#include "maintenance/own_base.h"

#include <cstdio>
#include <cstring>

#include "frame/checked_calls.h"
#include "frame/report.h"
#include "storage/base_access.h"
#include "storage/base_files.h"
#include "symbase/maintenance.h"
#include "xbase/result.h"

namespace symbase {
namespace {

constexpr int kWindows1252Driver = 0x57;
constexpr int kTableOpeningIndex = 4;

std::string Meaning(int code) {
  return std::string(xbase::ResultMeaning(code)) + " (" + std::to_string(code) + ")";
}

std::string Hex(int value) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", static_cast<unsigned>(value) & 0xFFu);
  return text;
}

// The table's fields against the base's layout.
void CheckLayout(xbase::Table* table, const xbase::FieldDefinition* fields, Findings* findings) {
  const std::string path = xbase::TablePath(table);
  for (const xbase::FieldDefinition* f = fields; f->name != nullptr; ++f) {
    xbase::Field* field = xbase::FieldGet(table, f->name);
    if (field == nullptr) {
      findings->Add(CTBCheckFinding::kRows, path, std::string("has no field ") + f->name);
    } else if (xbase::FieldWidth(field) != f->width) {
      findings->Add(CTBCheckFinding::kRows, path,
                    std::string("field ") + f->name + " is " +
                        std::to_string(xbase::FieldWidth(field)) + " wide, the base needs " +
                        std::to_string(f->width));
    }
  }
  const int driver = xbase::TableLanguageDriver(table);
  if (driver != kWindows1252Driver) {
    findings->Add(
        CTBCheckFinding::kRows, path,
        "declares the language driver " + Hex(driver) + ", but its texts are Windows-1252 (0x57)");
  }
}

// The index file's one tag against the base's definition of it.
void CheckTag(xbase::Table* table, const std::string& path, const xbase::TagDefinition& definition,
              Findings* findings) {
  xbase::Tag* tag = xbase::TagGet(table, definition.name);
  if (tag == nullptr) {
    findings->Add(CTBCheckFinding::kIndex, path, std::string("has no tag ") + definition.name);
    return;
  }
  if (std::strcmp(xbase::TagKeyExpression(tag), definition.key_expression) != 0 ||
      std::strcmp(xbase::TagFilterExpression(tag), definition.filter_expression) != 0) {
    findings->Add(CTBCheckFinding::kIndex, path,
                  std::string("tag ") + definition.name + " indexes '" +
                      xbase::TagKeyExpression(tag) + "' for '" + xbase::TagFilterExpression(tag) +
                      "', the base needs '" + definition.key_expression + "' for '" +
                      definition.filter_expression + "'");
  }
}

}  // namespace

OwnBase::OwnBase(const char* directory, bool alone) : directory_(directory) {
  xbase::EngineInit(&session_, 0, 6300);
  session_.auto_open = 0;
  session_.safety = 1;
  session_.busy_timeout_ms = kBusyTimeoutMilliseconds;
  session_.exclusive = alone ? 1 : 0;
}

OwnBase::~OwnBase() { xbase::EngineEnd(&session_); }

int OwnBase::OpenTables(Findings* findings) {
  if (directory_.size() > kMaxDirectoryLength) {
    // The path buffer cannot hold it: refused as the opening of a base
    // refuses it, reported as a table opening (index 4).
    ReportError(kTableOpeningIndex, xbase::kErrArgument, directory_.c_str(), kCheckedCallSource,
                __LINE__);
    return xbase::kErrArgument;
  }
  const xbase::FieldDefinition* layouts[2] = {kMainFields, kCommentFields};
  const char* files[2] = {kMainTableFile, kCommentTableFile};
  for (int i = 0; i < 2; ++i) {
    xbase::Table* table = xbase::TableOpen(&session_, Path(files[i]).c_str());
    const int recovered = xbase::EngineTakeRecovery(&session_);
    if (recovered != 0) {
      ReportError(kTransactionIndex, recovered, Path(kMainTableFile).c_str(), kCheckedCallSource,
                  __LINE__);
    }
    if (table == nullptr && session_.error == xbase::kLocked) return TB_LOCKED_BY_OTHER;
    if (table == nullptr) {
      findings->Add(CTBCheckFinding::kRows, Path(files[i]),
                    "cannot be opened: " + Meaning(session_.error));
      continue;
    }
    CheckLayout(table, layouts[i], findings);
    (i == 0 ? main_ : comment_) = table;
  }
  return 0;
}

void OwnBase::OpenIndexes(Findings* findings) {
  for (const IndexFileDefinition& definition : kIndexFiles) {
    xbase::Table* on = table(definition.on_comment_table);
    if (on == nullptr) continue;
    const std::string path = Path(definition.file);
    if (xbase::IndexOpen(on, path.c_str()) == nullptr) {
      const int code = session_.error;
      findings->Add(CTBCheckFinding::kIndex, path,
                    code == xbase::kErrOpen ? std::string("is missing or cannot be opened")
                                            : "is damaged: " + Meaning(code));
      continue;
    }
    CheckTag(on, path, definition.tags[0], findings);
  }
}

}  // namespace symbase
