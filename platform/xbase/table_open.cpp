// Creating and opening tables, closing them, and the field and tag lookups.

#include <cstring>

#include "xbase/compact.h"
#include "xbase/lock_offsets.h"
#include "xbase/read_gate.h"
#include "xbase/table.h"

namespace xbase {
namespace {

bool SameNameNoCase(const std::string& stored, const char* name) {
  std::size_t n = std::strlen(name);
  if (n != stored.size()) return false;
  for (std::size_t i = 0; i < n; ++i) {
    char a = stored[i], b = name[i];
    if (a >= 'a' && a <= 'z') a = static_cast<char>(a - 32);
    if (b >= 'a' && b <= 'z') b = static_cast<char>(b - 32);
    if (a != b) return false;
  }
  return true;
}

// The production index of a table: same name, extension .MDX (case kept).
std::string ProductionIndexPath(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  std::size_t dot = path.find_last_of('.');
  std::string base = (dot != std::string::npos && (slash == std::string::npos || dot > slash))
                         ? path.substr(0, dot)
                         : path;
  bool lower = dot != std::string::npos && dot + 1 < path.size() && path[dot + 1] >= 'a' &&
               path[dot + 1] <= 'z';
  return base + (lower ? ".mdx" : ".MDX");
}

// Builds the handle around an opened DbfFile and takes the shared open lock.
Table* Adopt(Session* session, const std::string& path, std::unique_ptr<DbfFile> dbf) {
  int r = dbf->file()->Lock(kTableOpenLockOffset, kTableOpenLockLength, false);
  if (r != kOk) {
    session->error = r;
    return nullptr;
  }
  std::unique_ptr<Table> table(new Table());
  table->session = session;
  table->path = path;
  for (const DbfField& f : dbf->fields()) {
    std::unique_ptr<Field> field(new Field());
    field->table = table.get();
    field->offset = f.offset;
    field->width = f.width;
    field->name = f.name;
    table->layout.push_back(ExpressionField{f.name, f.offset, f.width});
    table->fields.push_back(std::move(field));
  }
  table->record.assign(dbf->record_length(), ' ');
  table->stored = table->record;
  table->scratch = table->record;
  table->dbf = std::move(dbf);
  Table* raw = table.get();
  session->state->tables.push_back(std::move(table));
  if (raw->dbf->count() > 0) {
    LandOnRecord(raw, 1);
  } else {
    LandOnEof(raw);
  }
  session->error = kOk;
  return raw;
}

bool Ready(Session* session, const char* path) {
  if (session == nullptr) return false;
  if (!session->state || path == nullptr || *path == '\0') {
    session->error = kErrArgument;
    return false;
  }
  return true;
}

}  // namespace

Table* TableCreate(Session* session, const char* path, const FieldSpec* fields,
                   const TagSpec* tags) {
  if (!Ready(session, path)) return nullptr;
  int r = DbfFile::CheckFieldList(fields);
  if (r != kOk) {
    session->error = r;
    return nullptr;
  }
  FileSystem* fs = session->state->fs;
  std::unique_ptr<File> file;
  if (session->safety != 0 && fs->Open(path, OpenMode::kReadWrite, &file) == kOk) {
    session->error = kErrCreate;
    return nullptr;
  }
  file.reset();
  if (fs->Open(path, OpenMode::kCreate, &file) != kOk) {
    session->error = kErrCreate;
    return nullptr;
  }
  std::unique_ptr<DbfFile> dbf;
  r = DbfFile::Create(std::move(file), fields, &dbf);
  if (r != kOk) {
    session->error = r;
    return nullptr;
  }
  Table* table = Adopt(session, path, std::move(dbf));
  if (table == nullptr || tags == nullptr || tags[0].name == nullptr) return table;
  const char production = 1;
  r = table->dbf->file()->WriteAt(28, &production, 1);
  if (r == kOk && IndexCreate(table, ProductionIndexPath(path).c_str(), tags) == nullptr) {
    r = session->error;
  }
  if (r != kOk) {
    CloseTable(table);
    session->error = r;
    return nullptr;
  }
  return table;
}

Table* TableOpen(Session* session, const char* path) {
  if (!Ready(session, path)) return nullptr;
  FileSystem* fs = session->state->fs;
  int r = FinishPendingCompaction(fs, path);
  std::unique_ptr<File> file;
  if (r == kOk && fs->Open(path, OpenMode::kReadWrite, &file) != kOk) r = kErrOpen;
  std::unique_ptr<DbfFile> dbf;
  if (r == kOk) {
    // The header is read once no other process is writing the table.
    const bool gated = EnterReadGate(file.get(), kTableWriteLockOffset) == kOk;
    r = DbfFile::Open(std::move(file), &dbf);  // a failed open closes the file and its lock
    if (r == kOk && gated) LeaveReadGate(dbf->file(), kTableWriteLockOffset);
  }
  if (r != kOk) {
    session->error = r;
    return nullptr;
  }
  bool production = dbf->header_bytes()[28] == 1;
  Table* table = Adopt(session, path, std::move(dbf));
  if (table == nullptr || !production || session->auto_open == 0) return table;
  if (IndexOpen(table, ProductionIndexPath(path).c_str()) == nullptr) {
    r = session->error;
    CloseTable(table);
    session->error = r;
    return nullptr;
  }
  return table;
}

void CloseTable(Table* table) {
  table->selected = nullptr;
  table->indexes.clear();
  table->dbf.reset();  // closing the file frees its locks
  table->write_locked = false;
  table->changed = table->appending = false;
}

Field* FieldGet(Table* table, const char* name) {
  if (table == nullptr) return nullptr;
  if (!table->open() || name == nullptr) {
    table->Fail(kErrArgument);
    return nullptr;
  }
  for (auto& f : table->fields) {
    if (SameNameNoCase(f->name, name)) {
      table->Fail(kOk);
      return f.get();
    }
  }
  table->Fail(kErrField);
  return nullptr;
}

Tag* TagGet(Table* table, const char* name) {
  if (table == nullptr) return nullptr;
  if (!table->open() || name == nullptr) {
    table->Fail(kErrArgument);
    return nullptr;
  }
  for (auto& index : table->indexes) {
    int t = index->mdx->FindTag(name);
    if (t >= 0 && t < static_cast<int>(index->tags.size())) {
      table->Fail(kOk);
      return index->tags[t].get();
    }
  }
  table->Fail(kErrTag);
  return nullptr;
}

int FieldWidth(Field* field) {
  return field == nullptr ? kErrArgument : static_cast<int>(field->width);
}

const char* FieldName(Field* field) { return field == nullptr ? nullptr : field->name.c_str(); }

int FieldCopy(Field* field, char* buffer, int size) {
  if (field == nullptr) return kErrArgument;
  Table* table = field->table;
  if (!table->open() || buffer == nullptr || size <= 0) return table->Fail(kErrArgument);
  std::size_t n = field->width < static_cast<std::size_t>(size - 1)
                      ? field->width
                      : static_cast<std::size_t>(size - 1);
  std::memcpy(buffer, table->record.data() + field->offset, n);
  buffer[n] = '\0';
  table->Fail(kOk);
  return static_cast<int>(n);
}

int FieldAssign(Field* field, const char* text) {
  if (field == nullptr) return kErrArgument;
  Table* table = field->table;
  if (!table->open() || text == nullptr) return table->Fail(kErrArgument);
  if (!table->appending && table->place != Place::kRow) return table->Fail(kErrRecord);
  int r = EnsureWriteLock(table);
  if (r != kOk) return table->Fail(r);
  char* out = &table->record[field->offset];
  std::size_t n = std::strlen(text);
  if (n > field->width) n = field->width;
  std::memcpy(out, text, n);
  std::memset(out + n, ' ', field->width - n);
  if (!table->appending) table->changed = table->record != table->stored;
  return table->Fail(kOk);
}

void FieldBlank(Field* field) { FieldAssign(field, ""); }

}  // namespace xbase
