// Transactions: the lead table's lock, catching up with other processes'
// commits, the rollback journal of writes, commit and rollback
// (transaction.h).

#include "xbase/transaction.h"

#include "xbase/journal.h"
#include "xbase/lock_offsets.h"
#include "xbase/lock_wait.h"
#include "xbase/redo_journal.h"
#include "xbase/table.h"

#include <algorithm>

namespace xbase {
namespace {

using Mode = TransactionState::Mode;

TransactionState& Txn(Session* session) { return session->state->txn; }

// The lead's counter while the transaction writes: odd, one above the last
// commit (the journal carries it too).
std::uint32_t WritingCounter(const TransactionState& t) { return t.counter + 1; }

int LockLead(Table* lead, bool write, int timeout_ms) {
  if (write && lead->read_only) return kErrReadOnly;
  return LockWaiting(lead->dbf->file(), kTableWriteLockOffset, write ? kTableWriteLockLength : 1,
                     write, timeout_ms);
}

void ReleaseLocks(Session* session) {
  TransactionState& t = Txn(session);
  Table* lead = LeadTable(session);
  for (auto& table : session->state->tables) {
    if (table->open() && table.get() != lead && table->write_locked) {
      table->dbf->file()->Unlock(kTableWriteLockOffset, kTableWriteLockLength);
    }
    table->write_locked = false;
  }
  if (lead != nullptr && t.mode != Mode::kNone && !t.recovering) {
    lead->dbf->file()->Unlock(kTableWriteLockOffset, kTableWriteLockLength);
  }
  t.mode = Mode::kNone;
  t.begun_explicitly = false;
  t.settled = false;  // others may journal commits from now on
}

// The lead's counter and flag as its mapped head shows them now.
std::uint32_t MappedCounter(const unsigned char* head) {
  return __atomic_load_n(reinterpret_cast<const std::uint32_t*>(head + kDbfChangeCounter),
                         __ATOMIC_ACQUIRE);
}

bool MappedFlag(const unsigned char* head) {
  return __atomic_load_n(head + kDbfTransactionFlag, __ATOMIC_ACQUIRE) != 0;
}

// Brings the session up to the lead's header: a write that a dead process
// left half-done is rolled back, and what another process committed since
// the session last looked is read again.
int CatchUp(Session* session, Table* lead) {
  TransactionState& t = Txn(session);
  // Where the head is mapped, a base nobody changed costs no read.
  const unsigned char* mapped = lead->dbf->MappedHead();
  if (mapped != nullptr && t.counter_known && !MappedFlag(mapped) &&
      MappedCounter(mapped) == t.counter) {
    return kOk;
  }
  std::string head;
  int r = lead->dbf->PeekHead(&head);
  if (r != kOk) return r;
  if (DbfFile::FlagOf(head)) {
    // Nobody writes while this session holds the lead's lock: the writer died.
    if (t.mode == Mode::kRead) {
      r = LockLead(lead, true, session->busy_timeout_ms);
      if (r != kOk) return r;
    }
    r = RecoverInterruptedWrite(session->state->disk, lead->path, session->durable != 0);
    if (r != kOk && r != kErrJournal) return r;
    t.recovery = r == kOk ? 1 : r;
    t.counter_known = false;
    r = lead->dbf->PeekHead(&head);
    if (r != kOk) return r;
  }
  if (t.counter_known && DbfFile::CounterOf(head) == t.counter) return kOk;
  return RefreshSession(session, false);
}

int Begin(Session* session, bool write, int timeout_ms, bool explicitly) {
  TransactionState& t = Txn(session);
  if (t.mode != Mode::kNone) {
    // A transaction that a write began on its own is committed first.
    if (t.begun_explicitly) return kErrArgument;
    int r = CommitTransaction(session);
    if (r != kOk) return r;
  }
  Table* lead = LeadTable(session);
  t.begun_explicitly = explicitly;
  if (lead == nullptr || t.recovering) {
    t.mode = write ? Mode::kWrite : Mode::kRead;
    return kOk;
  }
  int r = LockLead(lead, write, timeout_ms);
  if (r != kOk) return r;
  t.mode = write ? Mode::kWrite : Mode::kRead;
  r = CatchUp(session, lead);
  if (r != kOk) {
    ReleaseLocks(session);
    return r;
  }
  lead->write_locked = write;
  return kOk;
}

// The journal file opened, or when it is not there, created with
// `create`, else none.
int OpenJournalFile(Session* session, Table* lead, bool create) {
  TransactionState& t = Txn(session);
  FileSystem* disk = session->state->disk;
  const std::string path = JournalPath(lead->path);
  if (disk->Open(path, OpenMode::kReadWrite, &t.journal) == kOk) return kOk;
  bool exists = false;
  if (disk->Exists(path, &exists) != kOk || exists) return kErrOpen;
  if (!create) return kOk;
  return disk->Open(path, OpenMode::kCreate, &t.journal) == kOk ? kOk : kErrCreate;
}

// The journal, kept open by the session (see OpenJournalFile). A durable
// session makes its name durable in the folder once, whoever created it:
// a journal that a power loss takes away protects nothing.
int OpenJournal(Session* session, Table* lead, bool create) {
  TransactionState& t = Txn(session);
  if (!t.journal) {
    const int r = OpenJournalFile(session, lead, create);
    if (r != kOk || !t.journal) return r;
    t.journal_named = false;
    t.journal_size = 0;
  }
  if (!session->durable || t.journal_named) return kOk;
  const int r = session->state->disk->SyncDirectory(JournalPath(lead->path));
  t.journal_named = r == kOk;
  return r;
}

// Before a write reaches the files other than through the redo journal:
// what its records say is made durable in the files, so that a replay
// after the machine stopped never writes over what came later.
int Settle(Session* session) {
  TransactionState& t = Txn(session);
  Table* lead = LeadTable(session);
  if (lead == nullptr) return kOk;
  int r = OpenJournal(session, lead, false);
  if (r == kOk && t.journal) r = SettleRedo(session->state->disk, lead->path, t.journal.get());
  t.settled = r == kOk;
  return r;
}

// Whether a commit may go to the redo journal: durable, on a file system
// that names the machine's run.
bool RedoCapable(Session* session, Table* lead) {
  if (!session->durable) return false;
  TransactionState& t = Txn(session);
  if (!t.boot_known) {
    t.boot = session->state->disk->BootId(lead->path);
    t.boot_known = true;
  }
  return !t.boot.empty();
}

JournalTable Describe(Table* table, const std::string& lead_path) {
  JournalTable described;
  described.path = JournalName(lead_path, table->path);
  described.count = table->txn_count;
  for (auto& index : table->indexes) {
    JournalIndex file;
    file.path = JournalName(lead_path, index->path);
    for (int i = 0; i < index->mdx->tag_count(); ++i) {
      const MdxTagInfo& info = index->mdx->tag(i);
      file.tags.push_back(JournalTag{info.name, info.key_expression, info.filter_expression,
                                     info.unique, info.descending});
    }
    described.indexes.push_back(std::move(file));
  }
  return described;
}

int PrepareRollback(Session* session);

// The session's first change: the tables in the transaction, with their
// counts. The journal waits for the commit when that may go to the redo
// journal, else it is made ready now.
int BeginWriting(Session* session) {
  TransactionState& t = Txn(session);
  int slot = 0;
  for (auto& table : session->state->tables) {
    if (!table->open()) continue;
    table->txn_count = table->dbf->count();
    table->txn_slot = slot++;
  }
  if (!RedoCapable(session, LeadTable(session))) return PrepareRollback(session);
  t.writing = t.deferred = true;
  return kOk;
}

// Before the first write that reaches a file: the redo journal settled,
// the rollback journal's header, then the lead's flag.
int PrepareRollback(Session* session) {
  TransactionState& t = Txn(session);
  Table* lead = LeadTable(session);
  t.writing = t.deferred = false;
  std::vector<JournalTable> tables;
  for (auto& table : session->state->tables) {
    if (table->open() && table->txn_slot >= 0) tables.push_back(Describe(table.get(), lead->path));
  }
  int r = OpenJournal(session, lead, true);
  if (r == kOk && !t.settled) r = Settle(session);
  EncodeJournalHeader(WritingCounter(t), tables, &t.buffer);
  if (r == kOk) r = t.journal->WriteAt(0, t.buffer.data(), t.buffer.size());
  if (r == kOk && session->durable) r = t.journal->Sync();
  if (r == kOk) r = lead->dbf->WriteTransactionStart(WritingCounter(t));
  if (r == kOk && session->durable) r = lead->dbf->file()->Sync();
  if (r != kOk) return r;
  t.journal_end = t.buffer.size();
  t.writing = true;
  return kOk;
}

void EndWriting(Session* session) {
  Txn(session).writing = Txn(session).deferred = false;
  for (auto& table : session->state->tables) {
    table->header_dirty = false;
    table->txn_slot = -1;
    for (std::uint32_t word : table->journaled_words) table->journaled[word] = 0;
    table->journaled_words.clear();
  }
}

int SyncFiles(Session* session) {
  for (auto& table : session->state->tables) {
    if (!table->open()) continue;
    int r = table->dbf->file()->Sync();
    for (auto& index : table->indexes) {
      if (r == kOk) r = index->mdx->file()->Sync();
    }
    if (r != kOk) return r;
  }
  return kOk;
}

// Undoes what reached the files and forgets what did not.
int RollbackWrites(Session* session) {
  TransactionState& t = Txn(session);
  int r = kOk;
  if (t.deferred) {
    EndWriting(session);  // nothing reached the files
  } else if (t.writing) {
    r = RecoverInterruptedWrite(session->state->disk, LeadTable(session)->path,
                                session->durable != 0);
    if (r == kErrJournal) r = kOk;  // our own journal: only the flag was set
    EndWriting(session);
    t.counter_known = false;
  }
  const int refreshed = RefreshSession(session, true);
  t.failure = kOk;
  return r != kOk ? r : refreshed;
}

// Before the first index block is written: the journal names the index
// files that a crash from here on leaves to be rebuilt.
int JournalIndexes(Session* session) {
  TransactionState& t = Txn(session);
  std::vector<JournalIndexRef> files;
  for (auto& table : session->state->tables) {
    if (!table->open() || table->txn_slot < 0) continue;
    for (std::size_t i = 0; i < table->indexes.size(); ++i) {
      if (table->indexes[i]->mdx->changed()) files.emplace_back(table->txn_slot, i);
    }
  }
  if (files.empty()) return kOk;
  EncodeJournalIndexes(WritingCounter(t), files, &t.buffer);
  int r = t.journal->WriteAt(t.journal_end, t.buffer.data(), t.buffer.size());
  if (r == kOk && session->durable) r = t.journal->Sync();
  if (r == kOk) t.journal_end += t.buffer.size();
  return r;
}

// Every changed row into the files.
int FlushRows(Session* session) {
  int r = Txn(session).failure;
  for (auto& table : session->state->tables) {
    if (r == kOk && table->open()) r = FlushRow(table.get());
    if (r == kOk && table->open()) r = table->dbf->FlushAppends();
  }
  return r;
}

// Every changed index block, and the headers of the tables but the lead.
int FlushIndexes(Session* session, Table* lead) {
  int r = kOk;
  for (auto& table : session->state->tables) {
    if (!table->open()) continue;
    for (auto& index : table->indexes) {
      if (r == kOk) r = index->mdx->Flush();
    }
    if (r == kOk && table.get() != lead && table->header_dirty) r = table->dbf->WriteHeader();
  }
  return r;
}

// A commit as large as this goes through the rollback journal: the redo
// journal would hold it all in memory, then write it twice.
constexpr std::size_t kRedoCommitLimit = std::size_t{1} << 20;

bool FitsRedo(Session* session) {
  std::size_t bytes = 0;
  for (auto& table : session->state->tables) {
    if (!table->open()) continue;
    bytes += table->dbf->pending_bytes() + (table->changed ? table->stored.size() : 0);
    for (auto& index : table->indexes) bytes += index->mdx->dirty_bytes();
  }
  return bytes <= kRedoCommitLimit;
}

// Where the records of the redo journal end, for the next to follow: where
// this session's last one ended, unless others were written since.
int RedoEnd(Session* session, File* journal, std::uint32_t salt, std::uint64_t* end) {
  TransactionState& t = Txn(session);
  const bool same_round = t.redo_known && t.redo_salt == salt;
  if (same_round && t.redo_counter == t.counter) {
    *end = t.redo_end;
    return kOk;
  }
  return ReadRedoRecords(journal, salt, same_round ? t.redo_end : kRedoHeaderSize, nullptr, end);
}

// The journal grown past `end` a megabyte at a time, with zeros, so that
// most commits sync bytes the file already has, without changing its size.
// `*known` is a size the file had: it never shrinks while a session has it
// open, so a commit that ends within it asks nothing of the file. Asking for
// the size on every commit would also cost a write of the file's inode at
// each sync: once its times were read, the next write changes them.
int Reserve(File* journal, std::uint64_t end, std::uint64_t* known) {
  if (end <= *known) return kOk;
  static const std::string zeros(std::size_t{64} << 10, '\0');
  constexpr std::uint64_t kStep = std::uint64_t{1} << 20;
  std::uint64_t size = 0;
  int r = journal->Size(&size);
  const std::uint64_t target = (end + kStep - 1) / kStep * kStep;
  for (; r == kOk && size < end && size < target; size += zeros.size()) {
    r = journal->WriteAt(size, zeros.data(), std::min<std::uint64_t>(zeros.size(), target - size));
  }
  if (r == kOk) *known = std::max(end, std::min(size, target));
  return r;
}

// Where the commit's record goes in the redo journal, before the lead's
// flag is set: the journal opened, settled (which begins a new round) when
// it is of another run or grown past its limit, and a new round begun when
// it holds none; at the start of a round the files synced first, since the
// round's first record stands on what was written to them unsynced since
// the last settling (a replay would otherwise write over a state the disk
// never had). A process stopped here has set no flag, and a flag set after
// it always finds a redo journal: the next open never meets a flag without
// a journal.
int PrepareRedo(Session* session, Table* lead, std::uint32_t* salt, std::uint64_t* end) {
  TransactionState& t = Txn(session);
  int r = OpenJournal(session, lead, true);
  if (r != kOk) return r;
  File* journal = t.journal.get();
  *salt = t.redo_salt;
  *end = 0;
  std::string boot;
  r = ReadRedoHeader(journal, salt, &boot);
  if (r == kOk && boot == t.boot) r = RedoEnd(session, journal, *salt, end);
  if (r == kOk && (boot != t.boot || *end > kRedoJournalLimit)) {
    // Settling begins a new round: its header is there to read.
    r = SettleRedo(session->state->disk, lead->path, journal);
    if (r == kOk) r = ReadRedoHeader(journal, salt, &boot);
    *end = kRedoHeaderSize;
  }
  if (r == kErrJournal) {  // none yet
    r = kOk;
    *end = 0;
  }
  if (r == kOk && *end <= kRedoHeaderSize) r = SyncFiles(session);
  if (r == kOk && *end < kRedoHeaderSize) {
    r = BeginRedoRound(journal, t.boot, salt);
    *end = kRedoHeaderSize;
  }
  return r;
}

// The kept writes of the commit, as one record at `end`, synced.
int JournalRedo(Session* session, Table* lead, std::uint32_t salt, std::uint64_t end) {
  TransactionState& t = Txn(session);
  const WriteWatch& watch = session->state->watch;
  File* journal = t.journal.get();
  std::vector<std::string> names;
  for (const WatchedFile* file : watch.files) {
    if (file == nullptr) return kErrWrite;  // closed while the commit was kept
    names.push_back(JournalName(lead->path, file->path()));
  }
  t.buffer.clear();
  EncodeRedoRecord(salt, t.counter, names, watch.writes, &t.buffer);
  t.redo_known = false;
  int r = Reserve(journal, end + t.buffer.size(), &t.journal_size);
  if (r == kOk) r = journal->WriteAt(end, t.buffer.data(), t.buffer.size());
  if (r == kOk) r = journal->Sync();
  if (r != kOk) {
    // No record left for a recovery to finish: its length no longer fits its sum.
    const char none[4] = {};
    journal->WriteAt(end, none, sizeof none);
    return r;
  }
  t.redo_known = true;
  t.redo_salt = salt;
  t.redo_end = end + t.buffer.size();
  t.redo_counter = t.counter + 2;
  return kOk;
}

int ApplyKept(const WriteWatch& watch) {
  for (const RedoWrite& write : watch.writes) {
    const int r = watch.files[write.file]->inner()->WriteAt(write.offset, write.bytes.data(),
                                                            write.bytes.size());
    if (r != kOk) return r;
  }
  return kOk;
}

// A commit's end: rolled back after a failure `r`, else counted.
int EndCommit(Session* session, int r) {
  if (r != kOk) {
    RollbackWrites(session);
    return r;
  }
  Txn(session).counter += 2;
  EndWriting(session);
  return kOk;
}

// A commit that wrote nothing to the files before: its place in the redo
// journal found, the lead's flag set, every write of the commit kept,
// journaled and synced, then made to the files, the lead's header last. A
// failure once the record is in the journal is finished by the recovery.
int CommitRedo(Session* session) {
  TransactionState& t = Txn(session);
  WriteWatch& watch = session->state->watch;
  Table* lead = LeadTable(session);
  std::uint32_t salt = 0;
  std::uint64_t end = 0;
  int r = PrepareRedo(session, lead, &salt, &end);
  watch.mode = WriteWatch::Mode::kPass;
  if (r == kOk) r = lead->dbf->WriteTransactionStart(WritingCounter(t));
  watch.mode = WriteWatch::Mode::kCapture;
  if (r == kOk) r = FlushRows(session);
  if (r == kOk) r = FlushIndexes(session, lead);
  if (r == kOk) {
    lead->dbf->SetCommitFields(t.counter + 2);
    r = lead->dbf->WriteHeader();
  }
  watch.mode = WriteWatch::Mode::kPass;
  if (r == kOk) r = JournalRedo(session, lead, salt, end);
  if (r == kOk) r = ApplyKept(watch);
  watch.mode = WriteWatch::Mode::kOpen;
  watch.Clear();
  t.deferred = false;
  t.settled = false;  // the journal holds this commit until settled
  t.failure = kOk;
  return EndCommit(session, r);
}

// Every change into the files, the lead's header last.
int CommitWrites(Session* session) {
  TransactionState& t = Txn(session);
  if (t.deferred && t.failure == kOk) {
    if (FitsRedo(session)) return CommitRedo(session);
    t.failure = PrepareRollback(session);
  }
  int r = FlushRows(session);
  if (!t.writing) {
    if (r != kOk) RefreshSession(session, true);
    t.failure = kOk;
    return r;
  }
  Table* lead = LeadTable(session);
  if (r == kOk) r = JournalIndexes(session);
  if (r == kOk) r = FlushIndexes(session, lead);
  if (r == kOk && session->durable) r = SyncFiles(session);
  if (r == kOk) {
    lead->dbf->SetCommitFields(t.counter + 2);
    r = lead->dbf->WriteHeader();
  }
  if (r == kOk && session->durable) r = lead->dbf->file()->Sync();
  return EndCommit(session, r);
}

// What the session read while a writer was at work may be torn: it is
// forgotten (nothing is read now, without the lock), to be read again by the
// next transaction.
void ForgetCaches(Session* session) {
  for (auto& table : session->state->tables) {
    if (!table->open()) continue;
    table->dbf->ForgetCache();
    for (auto& index : table->indexes) index->mdx->Forget();
  }
  Txn(session).counter_known = false;
}

int RefreshTable(Table* table, bool drop_changes) {
  int r = table->dbf->RefreshCount();
  for (auto& index : table->indexes) {
    const int reloaded = index->mdx->Reload();
    if (r == kOk) r = reloaded;
  }
  if (drop_changes) {
    table->changed = table->appending = false;
  } else if (table->appending || table->changed) {
    return r;  // a row being built stays as it is
  }
  if (table->place != Place::kRow || table->recno > table->dbf->count()) {
    LandOnEof(table);
    return r;
  }
  const int landed = LandOnRecord(table, table->recno);
  return r != kOk ? r : landed;
}

}  // namespace

Table* LeadTable(Session* session) {
  if (session == nullptr || !session->state) return nullptr;
  for (auto& table : session->state->tables) {
    if (table->open()) return table.get();
  }
  return nullptr;
}

int BeginTransaction(Session* session, bool write, int timeout_ms) {
  return Begin(session, write, timeout_ms, true);
}

int CommitTransaction(Session* session) {
  TransactionState& t = Txn(session);
  if (t.mode == Mode::kNone) return kOk;
  const int r = t.mode == Mode::kWrite ? CommitWrites(session) : kOk;
  ReleaseLocks(session);
  return r;
}

int RollbackTransaction(Session* session) {
  TransactionState& t = Txn(session);
  if (t.mode == Mode::kNone) return kOk;
  const int r = t.mode == Mode::kWrite ? RollbackWrites(session) : kOk;
  ReleaseLocks(session);
  return r;
}

int StartWriting(Table* table) {
  Session* session = table->session;
  TransactionState& t = Txn(session);
  if (t.recovering) return kOk;
  if (t.mode == Mode::kOptimistic) return kErrArgument;  // a read that would write
  if (t.mode == Mode::kNone) {
    int r = Begin(session, true, session->lock_attempts - 1, false);
    if (r != kOk) return r;
  } else if (t.mode == Mode::kRead) {
    // Never waits: two readers upgrading at once would wait for each other.
    Table* lead = LeadTable(session);
    int r = LockLead(lead, true, 0);
    if (r != kOk) return r;
    t.mode = Mode::kWrite;
    lead->write_locked = true;
  }
  if (t.writing) return kOk;
  if (t.failure != kOk) return t.failure;
  return BeginWriting(session);
}

int JournalRow(Table* table, std::uint32_t n) {
  Session* session = table->session;
  TransactionState& t = Txn(session);
  if (!t.writing || table->txn_slot < 0 || n == 0 || n > table->txn_count) return kOk;
  if (t.deferred) {
    // Kept for the redo journal, the row needs no image; else the rollback
    // journal is made ready for the row's write.
    if (session->state->watch.mode == WriteWatch::Mode::kCapture) return kOk;
    const int r = PrepareRollback(session);
    if (r != kOk) return r;
  }
  const std::uint32_t word = (n - 1) / 64;
  const std::uint64_t bit = std::uint64_t(1) << ((n - 1) % 64);
  if (table->journaled.size() <= word) table->journaled.resize((table->txn_count + 63) / 64, 0);
  if ((table->journaled[word] & bit) != 0) return kOk;
  t.image.resize(table->dbf->record_length());
  int r = table->dbf->Read(n, &t.image[0]);
  if (r != kOk) return r;
  EncodeJournalImage(WritingCounter(t), static_cast<std::uint32_t>(table->txn_slot), n,
                     t.image.data(), t.image.size(), &t.buffer);
  r = t.journal->WriteAt(t.journal_end, t.buffer.data(), t.buffer.size());
  if (r == kOk && session->durable) r = t.journal->Sync();
  if (r != kOk) return r;
  t.journal_end += t.buffer.size();
  if (table->journaled[word] == 0) table->journaled_words.push_back(word);
  table->journaled[word] |= bit;
  return kOk;
}

int BeforeDirectWrite(Session* session) {
  TransactionState& t = Txn(session);
  if (t.recovering) return kOk;
  if (t.deferred) return PrepareRollback(session);
  return t.settled ? kOk : Settle(session);
}

int NoteWriteResult(Table* table, int result) {
  TransactionState& t = Txn(table->session);
  if (result < 0 && t.mode == Mode::kWrite && t.failure == kOk) t.failure = result;
  return result;
}

int RefreshSession(Session* session, bool drop_changes) {
  TransactionState& t = Txn(session);
  int first = kOk;
  for (auto& table : session->state->tables) {
    if (!table->open()) continue;
    const int r = RefreshTable(table.get(), drop_changes);
    if (first == kOk) first = r;
  }
  Table* lead = LeadTable(session);
  t.counter_known = first == kOk && lead != nullptr && !lead->dbf->transaction_flag();
  if (t.counter_known) t.counter = lead->dbf->change_counter();
  return first;
}

int EngineBegin(Session* session, int write) {
  if (session == nullptr) return kErrArgument;
  if (!session->state) return session->error = kOk;
  return session->error = BeginTransaction(session, write != 0, session->busy_timeout_ms);
}

int EngineCommit(Session* session) {
  if (session == nullptr) return kErrArgument;
  if (!session->state) return session->error = kOk;
  return session->error = CommitTransaction(session);
}

int EngineRollback(Session* session) {
  if (session == nullptr) return kErrArgument;
  if (!session->state) return session->error = kOk;
  return session->error = RollbackTransaction(session);
}

int BeginOptimistic(Session* session) {
  TransactionState& t = Txn(session);
  if (t.mode != Mode::kNone || t.recovering) return kLocked;
  Table* lead = LeadTable(session);
  if (lead != nullptr) {
    const unsigned char* head = lead->dbf->MappedHead();
    if (head == nullptr || !t.counter_known || MappedFlag(head) ||
        MappedCounter(head) != t.counter) {
      return kLocked;
    }
  }
  t.mode = Mode::kOptimistic;
  t.optimistic_counter = t.counter;
  t.optimistic_failed = false;
  return kOk;
}

int EndOptimistic(Session* session) {
  TransactionState& t = Txn(session);
  if (t.mode != Mode::kOptimistic) return kErrArgument;
  t.mode = Mode::kNone;
  Table* lead = LeadTable(session);
  const unsigned char* head = lead != nullptr ? lead->dbf->MappedHead() : nullptr;
  const bool changed = lead != nullptr && (head == nullptr || MappedFlag(head) ||
                                           MappedCounter(head) != t.optimistic_counter);
  if (!changed && !t.optimistic_failed) return kOk;
  ForgetCaches(session);
  return kLocked;
}

int EngineBeginOptimistic(Session* session) {
  if (session == nullptr) return kErrArgument;
  if (!session->state) return kLocked;
  return BeginOptimistic(session);
}

int EngineEndOptimistic(Session* session) {
  if (session == nullptr) return kErrArgument;
  if (!session->state) return kLocked;
  return EndOptimistic(session);
}

int TableReadOptimistic(Table* table) {
  if (table == nullptr || !table->open()) return 0;
  return table->session->state->txn.mode == TransactionState::Mode::kOptimistic ? 1 : 0;
}

unsigned long EngineChangeCounter(Session* session) {
  if (session == nullptr || !session->state) return 0;
  return session->state->txn.counter;
}

int EngineTakeRecovery(Session* session) {
  if (session == nullptr || !session->state) return 0;
  const int found = session->state->txn.recovery;
  session->state->txn.recovery = 0;
  return found;
}

}  // namespace xbase
