// Opens a fuzzed table and index file with the engine and reads them every
// way the library does: each tag walked both ways, seeks, every field of
// every row visited, a relation with a filter and a sort, the integrity check.
//
// Input: a 4-byte little-endian length L, then the .DBF image (L bytes, or
// what is left), then the .MDX image. The top bit of L asks for the index to
// be opened as the table's production index (auto_open) as well.
//
// Besides "no crash, no leak, no hang", a file the integrity check finds sound
// must read the same forward and backward on every tag.

#include <unistd.h>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "xbase/dbf_file.h"
#include "xbase/engine.h"
#include "xbase/file_system.h"
#include "xbase/mdx_file.h"
#include "xbase/result.h"

namespace {

// Every loop is bounded so that a damaged order cannot hang the target.
constexpr long kMaxSteps = 400;
constexpr int kMaxTags = 48;
constexpr std::uint32_t kProductionBit = 0x80000000u;

// A directory of this process for the two files (tmpfs when there is one),
// removed at exit. Never destroyed itself: the exit handler still needs it.
const std::string& WorkDir() {
  static const std::string* const dir = [] {
    std::string pattern = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    pattern += "/table_fuzz-XXXXXX";
    if (mkdtemp(&pattern[0]) == nullptr) abort();
    std::atexit([] {
      std::error_code error;
      std::filesystem::remove_all(WorkDir(), error);
    });
    return new std::string(pattern + "/");
  }();
  return *dir;
}

// Leaves exactly the two images in the directory: no journal or temporary file
// of an earlier input may change how this one opens.
void WriteImages(const std::string& dbf, const std::string& mdx) {
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(WorkDir(), error)) {
    std::filesystem::remove_all(entry.path(), error);
  }
  const std::pair<const char*, const std::string*> files[] = {{"FUZZ.DBF", &dbf},
                                                              {"FUZZ.MDX", &mdx}};
  for (const auto& file : files) {
    std::unique_ptr<xbase::File> out;
    if (xbase::FileSystem::Posix()->Open(WorkDir() + file.first, xbase::OpenMode::kCreate, &out) !=
            xbase::kOk ||
        (!file.second->empty() &&
         out->WriteAt(0, file.second->data(), file.second->size()) != xbase::kOk)) {
      abort();
    }
  }
}

// The names the engine will be asked for, read with the file classes alone
// (the engine has no call that lists fields or tags).
struct Catalog {
  std::vector<std::string> fields;
  std::vector<std::string> tags;
};

Catalog ReadCatalog() {
  Catalog catalog;
  std::unique_ptr<xbase::File> file;
  std::unique_ptr<xbase::DbfFile> dbf;
  if (xbase::FileSystem::Posix()->Open(WorkDir() + "FUZZ.DBF", xbase::OpenMode::kReadWrite,
                                       &file) == xbase::kOk &&
      xbase::DbfFile::Open(std::move(file), &dbf) == xbase::kOk) {
    for (const xbase::DbfField& field : dbf->fields()) catalog.fields.push_back(field.name);
  }
  std::unique_ptr<xbase::MdxFile> mdx;
  if (xbase::FileSystem::Posix()->Open(WorkDir() + "FUZZ.MDX", xbase::OpenMode::kReadWrite,
                                       &file) == xbase::kOk &&
      xbase::MdxFile::Open(std::move(file), &mdx) == xbase::kOk) {
    for (int t = 0; t < mdx->tag_count() && t < kMaxTags; ++t) {
      catalog.tags.push_back(mdx->tag(t).name);
    }
  }
  return catalog;
}

bool IsOutcome(int result, std::initializer_list<int> allowed) {
  if (result < 0) return true;  // a failure code: a damaged file may give any
  for (int code : allowed) {
    if (result == code) return true;
  }
  return false;
}

// Copies every field of the current row, checking the documented result.
void CopyFields(xbase::Table* table, const std::vector<xbase::Field*>& fields) {
  char buffer[300];
  for (xbase::Field* field : fields) {
    const int width = xbase::FieldWidth(field);
    const int copied = xbase::FieldCopy(field, buffer, sizeof buffer);
    if (copied < 0 || copied >= static_cast<int>(sizeof buffer) || buffer[copied] != '\0' ||
        (width >= 0 && copied > width)) {
      abort();
    }
  }
  const long record = xbase::TableRecordNumber(table);
  const long count = xbase::TableRecordCount(table);
  if (record < 0 || (count >= 0 && record > count)) abort();
  xbase::RecordIsDeleted(table);
}

// Walks the selected order from one end, `step` (1 or -1) at a time. Returns
// the record numbers met; *complete is set when the walk reached the other end.
std::vector<long> Walk(xbase::Table* table, const std::vector<xbase::Field*>& fields, int step,
                       bool* complete) {
  std::vector<long> records;
  int result = step > 0 ? xbase::TableTop(table) : xbase::TableBottom(table);
  if (!IsOutcome(result, {xbase::kOk, xbase::kEof, xbase::kBof})) abort();
  while (result == xbase::kOk && static_cast<long>(records.size()) < kMaxSteps) {
    records.push_back(xbase::TableRecordNumber(table));
    CopyFields(table, fields);
    result = xbase::TableSkip(table, step);
    if (!IsOutcome(result, {xbase::kOk, xbase::kEof, xbase::kBof})) abort();
  }
  *complete = result == (step > 0 ? xbase::kEof : xbase::kBof) ||
              (result == xbase::kEof && records.empty());
  return records;
}

// Seeks a few texts on the selected tag: short, empty, high bytes, and the
// first field of the current row (an existing key, when the tag is on it).
void Seeks(xbase::Table* table, const std::vector<xbase::Field*>& fields) {
  char current[300] = "";
  if (!fields.empty() && xbase::TableRecordNumber(table) > 0) {
    xbase::FieldCopy(fields[0], current, sizeof current);
  }
  for (const char* key : {"", "%", "%MW1", "Lamp", "SYM_1", "\xC9t\xE9", "\xFF\xFF\xFF",
                          static_cast<const char*>(current)}) {
    const int result = xbase::TableSeek(table, key);
    if (!IsOutcome(result, {xbase::kOk, xbase::kAfter, xbase::kEof})) abort();
    if (result == xbase::kOk) CopyFields(table, fields);
  }
}

void ReadTag(xbase::Table* table, xbase::Tag* tag, const std::vector<xbase::Field*>& fields,
             bool sound) {
  xbase::TagSelect(table, tag);
  bool forward_complete = false;
  bool backward_complete = false;
  const std::vector<long> forward = Walk(table, fields, 1, &forward_complete);
  std::vector<long> backward = Walk(table, fields, -1, &backward_complete);
  if (sound && forward_complete && backward_complete &&
      !std::equal(forward.begin(), forward.end(), backward.rbegin(), backward.rend())) {
    abort();
  }
  Seeks(table, fields);
}

void ReadRelation(xbase::Table* table, const std::vector<std::string>& names) {
  xbase::Relation* relation = xbase::RelationCreate(table);
  if (relation == nullptr) return;
  const std::string first = names.empty() ? "X" : names.front();
  xbase::RelationQuerySet(relation,
                          ("UPPER(" + first + ") <> 'ZZZ' .AND. .NOT. DELETED()").c_str());
  if (names.size() > 1) xbase::RelationSortSet(relation, names[1].c_str());
  const long count = xbase::TableRecordCount(table);
  int result = xbase::RelationTop(relation);
  for (long steps = 0; result == xbase::kOk && steps < kMaxSteps; ++steps) {
    if (count >= 0 && xbase::TableRecordNumber(table) > count) abort();
    if (xbase::RecordIsDeleted(table) == 1) abort();  // a relation never shows a deleted row
    result = xbase::RelationSkip(relation, 1);
  }
  xbase::RelationFree(relation, 0);
}

void ReadTable(xbase::Table* table, const Catalog& catalog) {
  std::vector<xbase::Field*> fields;
  for (const std::string& name : catalog.fields) {
    if (xbase::Field* field = xbase::FieldGet(table, name.c_str())) fields.push_back(field);
  }
  long problems = 0;
  const int check = xbase::IntegrityCheck(table, [&problems](const std::string&) { ++problems; });
  const bool sound = check == xbase::kOk && problems == 0;

  xbase::TagSelect(table, nullptr);
  bool complete = false;
  Walk(table, fields, 1, &complete);
  for (long record = 1; record <= 3; ++record) {
    if (xbase::TableGo(table, record) == xbase::kOk) CopyFields(table, fields);
  }
  for (const std::string& name : catalog.tags) {
    if (xbase::Tag* tag = xbase::TagGet(table, name.c_str())) ReadTag(table, tag, fields, sound);
  }
  ReadRelation(table, catalog.fields);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  const std::uint32_t prefix =
      static_cast<std::uint32_t>(data[0]) | static_cast<std::uint32_t>(data[1]) << 8 |
      static_cast<std::uint32_t>(data[2]) << 16 | static_cast<std::uint32_t>(data[3]) << 24;
  const std::size_t dbf_length = std::min<std::size_t>(prefix & ~kProductionBit, size - 4);
  const char* bytes = reinterpret_cast<const char*>(data) + 4;
  WriteImages(std::string(bytes, dbf_length),
              std::string(bytes + dbf_length, size - 4 - dbf_length));
  const Catalog catalog = ReadCatalog();

  xbase::Session session;
  xbase::EngineInit(&session, 0, 6300);
  session.auto_open = (prefix & kProductionBit) ? 1 : 0;
  session.safety = 0;
  session.lock_attempts = 1;
  if (xbase::Table* table = xbase::TableOpen(&session, (WorkDir() + "FUZZ.DBF").c_str())) {
    xbase::IndexOpen(table, (WorkDir() + "FUZZ.MDX").c_str());
    ReadTable(table, catalog);
  }
  xbase::EngineEnd(&session);
  return 0;
}
