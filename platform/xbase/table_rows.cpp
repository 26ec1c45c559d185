// Row changes: a write joins the session's transaction (transaction.h), a
// changed row reaches the file when the table moves off it (its old bytes
// in the journal first), and TableUnlock ends a transaction that a write
// began on its own.

#include <cstring>

#include "xbase/lock_offsets.h"
#include "xbase/lock_wait.h"
#include "xbase/table.h"

namespace xbase {
namespace {

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
  table->Edit()[0] = flag;
  table->changed = table->RowDiffers();
  return table->Fail(FlushRowUnlessKept(table));
}

}  // namespace

int EnsureWriteLock(Table* table) {
  if (table->write_locked && table->session->state->txn.writing) return kOk;
  if (table->read_only) return NoteWriteResult(table, kErrReadOnly);
  int r = StartWriting(table);
  if (r == kOk && !table->write_locked) {
    r = LockWaiting(table->dbf->file(), kTableWriteLockOffset, kTableWriteLockLength, true, 0);
  }
  if (r != kOk) return NoteWriteResult(table, r);
  table->write_locked = true;
  return kOk;
}

int FlushRow(Table* table) {
  if (!table->changed) return kOk;
  int r = EnsureWriteLock(table);
  if (r == kOk) r = JournalRow(table, table->recno);
  if (r == kOk) r = table->dbf->Write(table->recno, table->row());
  if (r != kOk) return NoteWriteResult(table, r);
  r = UpdateTags(table, table->recno, table->stored.data(), table->row());
  table->StoreRow();
  table->changed = false;
  return NoteWriteResult(table, r);
}

// While the transaction may still commit through the redo journal, a row
// written now would need the rollback journal instead: the commit writes it
// among the writes it keeps, and a move or a scan before then writes it as
// always.
int FlushRowUnlessKept(Table* table) {
  return table->session->state->txn.deferred ? kOk : FlushRow(table);
}

int UnlockTable(Table* table) {
  int r = FlushRowUnlessKept(table);
  const TransactionState& t = table->session->state->txn;
  if (t.mode == TransactionState::Mode::kWrite && !t.begun_explicitly) {
    const int committed = CommitTransaction(table->session);
    if (r == kOk) r = committed;
  }
  return r;
}

int SettleSession(Session* session) { return CommitTransaction(session); }

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
  table->Edit()[0] = kLiveFlag;
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
  std::memset(table->Edit() + 1, ' ', table->stored.size() - 1);
  if (!table->appending) table->changed = table->RowDiffers();
  table->Fail(kOk);
}

int RecordAppend(Table* table) {
  int r = RowTarget(table);
  if (r != kOk) return r;
  if (!table->appending) return table->Fail(kErrRecord);
  r = EnsureWriteLock(table);
  if (r == kOk) r = NoteWriteResult(table, table->dbf->Append(table->row()));
  if (r != kOk) return table->Fail(r);
  table->appending = false;
  table->header_dirty = true;
  std::uint32_t n = table->dbf->count();
  r = NoteWriteResult(table, UpdateTags(table, n, nullptr, table->row()));
  table->StoreRow();
  int landed = LandOnRecord(table, n, false);
  return table->Fail(r != kOk ? r : landed);
}

int RecordDelete(Table* table) { return MarkRow(table, kDeletedFlag); }
int RecordRecall(Table* table) { return MarkRow(table, kLiveFlag); }

int RecordIsDeleted(Table* table) {
  int r = RowTarget(table);
  if (r != kOk) return r;
  table->Fail(kOk);
  return table->row()[0] == kDeletedFlag ? 1 : 0;
}

}  // namespace xbase
