// Creating and opening tables, closing them, and the field and tag lookups.

#include <cstring>

#include "xbase/compact.h"
#include "xbase/lock_offsets.h"
#include "xbase/lock_wait.h"
#include "xbase/redo_journal.h"
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

// The production index of a table: same name, extension .MDX, in lower case
// when the table's extension starts with a lower-case letter.
std::string ProductionIndexPath(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  std::size_t dot = path.find_last_of('.');
  if (slash != std::string::npos && dot < slash) dot = std::string::npos;  // a folder's dot
  const bool lower = dot != std::string::npos && dot + 1 < path.size() && path[dot + 1] >= 'a' &&
                     path[dot + 1] <= 'z';
  return path.substr(0, dot) + (lower ? ".mdx" : ".MDX");
}

// Builds the handle around an opened DbfFile and takes the shared open lock
// (waiting for a compaction to end). The first table of a session is its
// lead: the session starts from the change counter it reads there.
Table* Adopt(Session* session, const std::string& path, std::unique_ptr<DbfFile> dbf,
             bool read_only) {
  const bool alone = session->exclusive != 0;
  if (alone && read_only) {
    // A session that keeps the files to itself is one that rewrites them.
    session->error = kErrReadOnly;
    return nullptr;
  }
  int r = LockWaiting(dbf->file(), kTableOpenLockOffset, kTableOpenLockLength, alone,
                      alone ? 0 : kOpenWaitMilliseconds);
  if (r != kOk) {
    session->error = r;
    return nullptr;
  }
  TransactionState& t = session->state->txn;
  if (LeadTable(session) == nullptr) {
    t.counter = dbf->change_counter();
    t.counter_known = !dbf->transaction_flag();
  }
  std::unique_ptr<Table> table(new Table());
  table->session = session;
  table->path = path;
  table->read_only = read_only;
  for (const DbfField& f : dbf->fields()) {
    std::unique_ptr<Field> field(new Field());
    field->table = table.get();
    field->offset = f.offset;
    field->width = f.width;
    field->name = f.name;
    table->layout.push_back(ExpressionField{f.name, f.offset, f.width});
    table->fields.push_back(std::move(field));
  }
  table->stored.assign(dbf->record_length(), ' ');
  table->scratch = table->stored;
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

// The lead's flag is set while the gate is held, so nobody is writing: the
// process that wrote died. What it left is rolled back before anything is
// read. A writer that is alive after all (the exclusive lock refused) is
// left to finish.
int RecoverAtOpen(Session* session, DbfFile* dbf, const std::string& path, bool read_only) {
  if (read_only) return kErrReadOnly;
  File* file = dbf->file();
  int r =
      LockWaiting(file, kTableWriteLockOffset, kTableWriteLockLength, true, kOpenWaitMilliseconds);
  if (r == kLocked) return kOk;
  if (r != kOk) return r;
  r = RecoverInterruptedWrite(session->state->disk, path, session->durable != 0);
  if (r == kOk || r == kErrJournal) {
    session->state->txn.recovery = r == kOk ? 1 : r;
    r = dbf->RefreshCount();
  }
  file->Unlock(kTableWriteLockOffset, kTableWriteLockLength);
  return r;
}

// Whether a write was left half-done (the lead's flag), or the machine
// stopped before the files held what the redo journal says.
bool LeftToFinish(Session* session, DbfFile* dbf, const std::string& path) {
  if (dbf->transaction_flag()) return true;
  bool earlier = false;
  return RedoOfEarlierRun(session->state->disk, path, &earlier) != kOk || earlier;
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

Table* TableCreate(Session* session, const char* path, const FieldDefinition* fields,
                   const TagDefinition* tags) {
  if (!Ready(session, path)) return nullptr;
  int r = DbfFile::CheckFieldList(fields);
  if (r != kOk) {
    session->error = r;
    return nullptr;
  }
  FileSystem* fs = session->state->fs;
  std::unique_ptr<File> file;
  if (fs->Open(path, OpenMode::kReadWrite, &file) == kOk) {
    // An existing table is replaced only when allowed, and never under
    // another process that has it open.
    r = session->safety != 0 ? kErrCreate
                             : file->Lock(kTableOpenLockOffset, kTableOpenLockLength, true);
    if (r != kOk) {
      session->error = r == kLocked ? kErrBusy : r;
      return nullptr;
    }
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
  Table* table = Adopt(session, path, std::move(dbf), false);
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
  bool read_only = false;
  if (r == kOk) r = OpenExistingFile(fs, path, &file, &read_only);
  std::unique_ptr<DbfFile> dbf;
  if (r == kOk) {
    const bool lead = LeadTable(session) == nullptr;
    File* own = file.get();
    File* gate = EnterOpenGate(session, own);
    r = DbfFile::Open(std::move(file), &dbf);  // a failed open closes the file and its locks
    if (r != kOk && gate == own) gate = nullptr;
    if (r == kOk && lead && gate != nullptr && LeftToFinish(session, dbf.get(), path)) {
      r = RecoverAtOpen(session, dbf.get(), path, read_only);
    }
    LeaveOpenGate(gate);
  }
  if (r != kOk) {
    session->error = r;
    return nullptr;
  }
  bool production = dbf->header_bytes()[28] == 1;
  Table* table = Adopt(session, path, std::move(dbf), read_only);
  if (table == nullptr || !production || session->auto_open == 0) return table;
  if (IndexOpen(table, ProductionIndexPath(path).c_str()) == nullptr) {
    r = session->error;
    CloseTable(table);
    session->error = r;
    return nullptr;
  }
  return table;
}

File* EnterOpenGate(Session* session, File* own) {
  TransactionState& t = session->state->txn;
  if (t.recovering || t.mode != TransactionState::Mode::kNone) return nullptr;
  Table* lead = LeadTable(session);
  File* gate = lead != nullptr ? lead->dbf->file() : own;
  const int wait = lead != nullptr && t.open_gate_refused ? 0 : kOpenWaitMilliseconds;
  const int r = LockWaiting(gate, kTableWriteLockOffset, 1, false, wait);
  t.open_gate_refused = r != kOk;
  return r == kOk ? gate : nullptr;
}

void LeaveOpenGate(File* gate) {
  if (gate != nullptr) gate->Unlock(kTableWriteLockOffset, 1);
}

int OpenExistingFile(FileSystem* fs, const std::string& path, std::unique_ptr<File>* file,
                     bool* read_only) {
  *read_only = false;
  if (fs->Open(path, OpenMode::kReadWrite, file) == kOk) return kOk;
  if (fs->Open(path, OpenMode::kReadOnly, file) != kOk) return kErrOpen;
  *read_only = true;
  return kOk;
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

int TableReadOnly(Table* table) {
  if (table == nullptr || !table->open()) return kErrArgument;
  return table->read_only ? 1 : 0;
}

int TableRepairHeader(Table* table) {
  if (table == nullptr) return kErrArgument;
  if (!table->open()) return table->Fail(kErrArgument);
  if (table->read_only) return table->Fail(kErrReadOnly);
  int r = SettleSession(table->session);
  if (r == kOk) r = table->dbf->RepairHeader();
  return table->Fail(r);
}

int TableLanguageDriver(Table* table) {
  if (table == nullptr || !table->open()) return kErrArgument;
  return static_cast<unsigned char>(table->dbf->header_bytes()[29]);
}

const char* TablePath(Table* table) {
  return table == nullptr || !table->open() ? "" : table->path.c_str();
}

int FieldWidth(Field* field) {
  return field == nullptr ? kErrArgument : static_cast<int>(field->width);
}

int FieldOffset(Field* field) {
  return field == nullptr ? kErrArgument : static_cast<int>(field->offset);
}

const char* FieldName(Field* field) { return field == nullptr ? nullptr : field->name.c_str(); }

int FieldCopy(Field* field, char* buffer, int size) {
  if (field == nullptr) return kErrArgument;
  Table* table = field->table;
  if (!table->open() || buffer == nullptr || size <= 0) return table->Fail(kErrArgument);
  std::size_t n = field->width < static_cast<std::size_t>(size - 1)
                      ? field->width
                      : static_cast<std::size_t>(size - 1);
  std::memcpy(buffer, table->row() + field->offset, n);
  buffer[n] = '\0';
  table->Fail(kOk);
  return static_cast<int>(n);
}

std::string_view FieldBytes(Field* field) {
  if (field == nullptr || !field->table->open()) return {};
  return {field->table->row() + field->offset, field->width};
}

int FieldAssign(Field* field, const char* text) {
  if (field == nullptr) return kErrArgument;
  Table* table = field->table;
  if (!table->open() || text == nullptr) return table->Fail(kErrArgument);
  if (!table->appending && table->place != Place::kRow) return table->Fail(kErrRecord);
  int r = EnsureWriteLock(table);
  if (r != kOk) return table->Fail(r);
  char* out = table->Edit() + field->offset;
  std::size_t n = std::strlen(text);
  if (n > field->width) n = field->width;
  std::memcpy(out, text, n);
  std::memset(out + n, ' ', field->width - n);
  if (!table->appending) table->changed = table->RowDiffers();
  return table->Fail(kOk);
}

void FieldBlank(Field* field) { FieldAssign(field, ""); }

}  // namespace xbase
