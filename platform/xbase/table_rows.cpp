// Row changes and the write lock: a write takes the lock at once, a changed
// row reaches the file when the table moves off it, and TableUnlock writes
// what is pending and frees the lock.

#include <cstring>

#include "xbase/lock_offsets.h"
#include "xbase/table.h"

namespace xbase {
namespace {

void ReleaseIndexLocks(Table* table, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    table->indexes[i]->mdx->file()->Unlock(kIndexWriteLockOffset, kIndexWriteLockLength);
  }
}

// Another process may have written since we last held the lock: reread what
// we keep of the files.
int Refresh(Table* table) {
  int r = table->dbf->RefreshCount();
  for (auto& index : table->indexes) {
    if (r == kOk) r = index->mdx->Reload();
  }
  if (r != kOk || table->appending || table->changed || table->place != Place::kRow) return r;
  if (table->recno > table->dbf->count()) return kErrFormat;
  r = table->dbf->Read(table->recno, &table->stored[0]);
  if (r == kOk) table->record = table->stored;
  return r;
}

// Checks the table handle of a row operation.
int RowTarget(Table* table) {
  if (table == nullptr) return kErrArgument;
  if (!table->open()) return table->Fail(kErrArgument);
  return kOk;
}

int MarkRow(Table* table, char flag) {
  int r = RowTarget(table);
  if (r != kOk) return r;
  if (table->appending || table->place != Place::kRow) return table->Fail(kErrRecord);
  r = EnsureWriteLock(table);
  if (r != kOk) return table->Fail(r);
  table->record[0] = flag;
  table->changed = table->record != table->stored;
  return table->Fail(FlushRow(table));
}

}  // namespace

int EnsureWriteLock(Table* table) {
  if (table->write_locked) return kOk;
  File* file = table->dbf->file();
  int r = file->Lock(kTableWriteLockOffset, kTableWriteLockLength, true);
  if (r != kOk) return r;
  std::size_t locked = 0;
  for (; locked < table->indexes.size() && r == kOk; ++locked) {
    r = table->indexes[locked]->mdx->file()->Lock(kIndexWriteLockOffset, kIndexWriteLockLength,
                                                  true);
    if (r != kOk) break;
  }
  if (r == kOk) r = Refresh(table);
  if (r != kOk) {
    ReleaseIndexLocks(table, locked);
    file->Unlock(kTableWriteLockOffset, kTableWriteLockLength);
    return r;
  }
  table->write_locked = true;
  return kOk;
}

int FlushRow(Table* table) {
  if (!table->changed) return kOk;
  int r = EnsureWriteLock(table);
  if (r == kOk) r = table->dbf->Write(table->recno, table->record.data());
  if (r != kOk) return r;
  r = UpdateTags(table, table->recno, table->stored.data(), table->record.data());
  table->stored = table->record;
  table->changed = false;
  return r;
}

int ReleaseLocks(Table* table) {
  if (!table->write_locked) return kOk;
  ReleaseIndexLocks(table, table->indexes.size());
  table->write_locked = false;
  return table->dbf->file()->Unlock(kTableWriteLockOffset, kTableWriteLockLength);
}

int UnlockTable(Table* table) {
  if (!table->write_locked) return kOk;
  int r = FlushRow(table);
  // Index files first, then the record count: a failure in between leaves a
  // header that does not yet show the rows the indexes may lack.
  for (auto& index : table->indexes) {
    if (r == kOk) r = index->mdx->Flush();
  }
  if (r == kOk && table->header_dirty) {
    r = table->dbf->WriteHeader();
    if (r == kOk) table->header_dirty = false;
  }
  if (r != kOk) return r;
  return ReleaseLocks(table);
}

int TableUnlock(Table* table) {
  int r = RowTarget(table);
  if (r != kOk) return r;
  return table->Fail(UnlockTable(table));
}

int AppendStart(Table* table, int /*reserved*/) {
  int r = RowTarget(table);
  if (r != kOk) return r;
  r = FlushRow(table);
  if (r == kOk) r = EnsureWriteLock(table);
  if (r != kOk) return table->Fail(r);
  table->appending = true;
  table->record[0] = kLiveFlag;
  return table->Fail(kOk);
}

void RecordBlank(Table* table) {
  if (RowTarget(table) != kOk) return;
  if (!table->appending) {
    if (table->place != Place::kRow) {
      table->Fail(kErrRecord);
      return;
    }
    int r = EnsureWriteLock(table);
    if (r != kOk) {
      table->Fail(r);
      return;
    }
  }
  std::memset(&table->record[1], ' ', table->record.size() - 1);
  if (!table->appending) table->changed = table->record != table->stored;
  table->Fail(kOk);
}

int RecordAppend(Table* table) {
  int r = RowTarget(table);
  if (r != kOk) return r;
  if (!table->appending) return table->Fail(kErrRecord);
  r = EnsureWriteLock(table);
  if (r == kOk) r = table->dbf->Append(table->record.data());
  if (r != kOk) return table->Fail(r);
  table->appending = false;
  table->header_dirty = true;
  std::uint32_t n = table->dbf->count();
  r = UpdateTags(table, n, nullptr, table->record.data());
  table->stored = table->record;
  int landed = LandOnRecord(table, n, false);
  return table->Fail(r != kOk ? r : landed);
}

int RecordDelete(Table* table) { return MarkRow(table, kDeletedFlag); }
int RecordRecall(Table* table) { return MarkRow(table, kLiveFlag); }

int RecordIsDeleted(Table* table) {
  int r = RowTarget(table);
  if (r != kOk) return r;
  table->Fail(kOk);
  return table->record[0] == kDeletedFlag ? 1 : 0;
}

}  // namespace xbase
