#ifndef SYMBASE_XBASE_TRANSACTION_H
#define SYMBASE_XBASE_TRANSACTION_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "xbase/file_system.h"

// A session's transaction: the lock on its lead table (its first open
// table), the change counter it last saw there, and the rollback journal of
// its writes (journal.h). Private to the engine; engine.h tells callers
// what EngineBegin and EngineCommit promise.
//
// Locks on the lead table's file, inside the write-lock range of
// lock_offsets.h: a read transaction holds its first byte shared, a write
// transaction the whole range exclusive, so that readers exclude writers
// and writers each other. A table other than the lead also takes its own
// write range when first written, for other programs that lock tables one
// by one.
//
// Commit, in this order: every changed row and every changed index block,
// the headers of the other tables, then the lead's header with its
// transaction flag cleared and its change counter moved on, in one write.
// That last write is the commit: until it lands, the flag says the files
// may be half-written and the journal says how to put them back.
//
// A durable commit (on a file system that names the machine's run) that
// wrote nothing to the files before its end goes to the redo journal
// instead (redo_journal.h): the lead's flag set, every write of the commit
// journaled and the journal synced, then the same writes made to the files.
// That is one sync where the rollback journal needs one per file changed
// and three more.

namespace xbase {

struct Session;
class Table;

struct TransactionState {
  // kOptimistic: reading without a lock, to be confirmed by the counter.
  enum class Mode { kNone, kRead, kWrite, kOptimistic };
  Mode mode = Mode::kNone;
  bool begun_explicitly = false;  // by EngineBegin; otherwise TableUnlock commits
  bool writing = false;           // the transaction changed something
  // Writing, and nothing has reached the files yet: the commit may go to
  // the redo journal, or the rollback journal is made ready before the
  // first write that reaches a file.
  bool deferred = false;
  // The redo journal was settled (or found empty) since the lock was taken.
  bool settled = false;
  // Where the redo journal's records ended after this session's last one,
  // in the round of `redo_salt`, the lead's counter being `redo_counter`.
  bool redo_known = false;
  std::uint32_t redo_salt = 0;
  std::uint64_t redo_end = 0;
  std::uint32_t redo_counter = 0;
  std::string boot;         // the machine's run as the lead's file system names it
  bool boot_known = false;  // ("" when unknown: commits never go to the redo journal)
  int failure = 0;          // first write failure: the commit rolls back instead
  bool counter_known = false;
  std::uint32_t counter = 0;  // the lead's change counter as this session last saw it
  std::unique_ptr<File> journal;
  bool journal_named = false;      // its name made durable in the folder by this session
  std::uint64_t journal_size = 0;  // a size it had (Reserve)
  std::uint64_t journal_end = 0;
  std::string buffer;                    // journal bytes, reused
  std::string image;                     // one record, reused
  int recovery = 0;                      // what the last recovery found (EngineTakeRecovery)
  std::uint32_t optimistic_counter = 0;  // the lead's counter when the optimistic read began
  bool optimistic_failed = false;        // a call failed during it: read again under the lock
  bool recovering = false;  // a session that repairs files for another: no locks of its own
  // The open gate was refused while a writer held it: the session's next
  // opens try it once instead of waiting again for the same writer.
  bool open_gate_refused = false;
};

// The session's lead table, or null when none is open.
Table* LeadTable(Session* session);

// Begins a transaction (write: exclusive). `timeout_ms` as LockWaiting.
int BeginTransaction(Session* session, bool write, int timeout_ms);
// Writes everything, then frees the locks. A transaction that met a write
// failure is rolled back instead and that failure returned.
int CommitTransaction(Session* session);
// Undoes the transaction's writes and frees the locks.
int RollbackTransaction(Session* session);

// Called before the first change of `table` in the transaction: begins a
// write transaction when none is active (without waiting), and on the
// session's first change writes the journal header and sets the lead flag,
// or, when the commit may go to the redo journal, leaves both until a write
// must reach a file (BeforeDirectWrite) or the commit.
int StartWriting(Table* table);
// Before record n is overwritten in place: its before-image into the journal
// (once per transaction, and only for rows that existed when it began).
int JournalRow(Table* table, std::uint32_t n);
// Records a write failure (negative results only) and returns `result`.
int NoteWriteResult(Table* table, int result);

// Called by the session's watched files (watched_files.h) before a write
// that would reach the disk: the rollback journal is made ready when the
// transaction deferred it, and the redo journal settled once per lock.
int BeforeDirectWrite(Session* session);

// Optimistic reads (EngineBeginOptimistic, EngineEndOptimistic).
int BeginOptimistic(Session* session);
int EndOptimistic(Session* session);

// Rereads what the session holds of its files: headers, counts, index
// headers, the current rows. `drop_changes`: pending changes are forgotten.
int RefreshSession(Session* session, bool drop_changes);

// Rolls back what a process that died (or failed) left half-written on the
// base whose lead table is at `lead_path`, from its journal: restores the
// tables' rows and counts, rebuilds from them the index files the commit had
// begun to write, then clears the lead's flag and moves its counter on
// (`durable`: each step synced). The caller holds the lead's exclusive
// lock. kOk (nothing was pending, or all was put back), kErrJournal (a flag
// without a usable journal: only the flag was cleared), or the failure met
// (the flag stays set, to be tried again). A redo journal is finished
// instead (RecoverRedo), flag or not.
int RecoverInterruptedWrite(FileSystem* fs, const std::string& lead_path, bool durable);

}  // namespace xbase

#endif
