// Opens a fuzzed table and index file with the engine and reads them every
// way the library does: each tag walked both ways, seeks, every field of
// every row visited, a relation with a filter and a sort, the integrity check.
//
// Input: a 4-byte little-endian length L, then the .DBF image (L bytes, or
// what is left), then the .MDX image. The top bit of L asks for the index to
// be opened as the table's production index (auto_open) as well. A file the
// integrity check finds sound must read the same forward and backward.

#include <unistd.h>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
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

int OpenImage(const char* name, std::unique_ptr<xbase::File>* file) {
  return xbase::FileSystem::Posix()->Open(WorkDir() + name, xbase::OpenMode::kReadWrite, file);
}

// Leaves exactly the two images in the directory: no journal or temporary file
// of an earlier input may change how this one opens.
void WriteImages(const std::string& dbf, const std::string& mdx) {
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(WorkDir(), error)) {
    std::filesystem::remove_all(entry.path(), error);
  }
  if (!(std::ofstream(WorkDir() + "FUZZ.DBF", std::ios::binary) << dbf) ||
      !(std::ofstream(WorkDir() + "FUZZ.MDX", std::ios::binary) << mdx)) {
    abort();
  }
}

// The field and tag names the engine will be asked for, read with the file
// classes alone (the engine has no call that lists fields or tags).
void ReadCatalog(std::vector<std::string>* fields, std::vector<std::string>* tags) {
  std::unique_ptr<xbase::File> file;
  std::unique_ptr<xbase::DbfFile> dbf;
  if (OpenImage("FUZZ.DBF", &file) == xbase::kOk &&
      xbase::DbfFile::Open(std::move(file), &dbf) == xbase::kOk) {
    for (const xbase::DbfField& field : dbf->fields()) fields->push_back(field.name);
  }
  std::unique_ptr<xbase::MdxFile> mdx;
  if (OpenImage("FUZZ.MDX", &file) == xbase::kOk &&
      xbase::MdxFile::Open(std::move(file), &mdx) == xbase::kOk) {
    for (int t = 0; t < mdx->tag_count() && t < kMaxTags; ++t) {
      tags->push_back(mdx->tag(t).name);
    }
  }
}

// A failure code (negative) is an outcome a damaged file may give anywhere.
bool IsOutcome(int result, std::initializer_list<int> allowed) {
  return result < 0 || std::find(allowed.begin(), allowed.end(), result) != allowed.end();
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

// Walks the selected order from one end, `step` (1 or -1) at a time, putting
// the record numbers met in *records: true when it reached the other end.
bool Walk(xbase::Table* table, const std::vector<xbase::Field*>& fields, int step,
          std::vector<long>* records) {
  int result = step > 0 ? xbase::TableTop(table) : xbase::TableBottom(table);
  if (!IsOutcome(result, {xbase::kOk, xbase::kEof, xbase::kBof})) abort();
  while (result == xbase::kOk && static_cast<long>(records->size()) < kMaxSteps) {
    records->push_back(xbase::TableRecordNumber(table));
    CopyFields(table, fields);
    result = xbase::TableSkip(table, step);
    if (!IsOutcome(result, {xbase::kOk, xbase::kEof, xbase::kBof})) abort();
  }
  return result == (step > 0 ? xbase::kEof : xbase::kBof) ||
         (result == xbase::kEof && records->empty());
}

// Walks the tag both ways, then seeks a few texts on it: short, empty, high
// bytes, and the first field of the current row (an existing key, when the
// tag is on it).
void ReadTag(xbase::Table* table, xbase::Tag* tag, const std::vector<xbase::Field*>& fields,
             bool sound) {
  xbase::TagSelect(table, tag);
  std::vector<long> forward, backward;
  const bool forward_complete = Walk(table, fields, 1, &forward);
  const bool backward_complete = Walk(table, fields, -1, &backward);
  if (sound && forward_complete && backward_complete &&
      !std::equal(forward.begin(), forward.end(), backward.rbegin(), backward.rend())) {
    abort();
  }
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

void ReadTable(xbase::Table* table, const std::vector<std::string>& names,
               const std::vector<std::string>& tags) {
  std::vector<xbase::Field*> fields;
  for (const std::string& name : names) {
    if (xbase::Field* field = xbase::FieldGet(table, name.c_str())) fields.push_back(field);
  }
  long problems = 0;
  const int check = xbase::IntegrityCheck(table, [&problems](const std::string&) { ++problems; });
  const bool sound = check == xbase::kOk && problems == 0;

  xbase::TagSelect(table, nullptr);
  std::vector<long> records;
  Walk(table, fields, 1, &records);
  for (long record = 1; record <= 3; ++record) {
    if (xbase::TableGo(table, record) == xbase::kOk) CopyFields(table, fields);
  }
  for (const std::string& name : tags) {
    if (xbase::Tag* tag = xbase::TagGet(table, name.c_str())) ReadTag(table, tag, fields, sound);
  }
  ReadRelation(table, names);
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
  std::vector<std::string> fields, tags;
  ReadCatalog(&fields, &tags);

  xbase::Session session;
  xbase::EngineInit(&session, 0, 6300);
  session.auto_open = (prefix & kProductionBit) ? 1 : 0;
  session.safety = 0;
  session.lock_attempts = 1;
  if (xbase::Table* table = xbase::TableOpen(&session, (WorkDir() + "FUZZ.DBF").c_str())) {
    xbase::IndexOpen(table, (WorkDir() + "FUZZ.MDX").c_str());
    ReadTable(table, fields, tags);
  }
  xbase::EngineEnd(&session);
  return 0;
}
