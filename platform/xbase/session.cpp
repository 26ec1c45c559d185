// Sessions: the owner of every table, index, field, tag and relation handle.

#include "xbase/journal.h"
#include "xbase/lock_offsets.h"
#include "xbase/redo_journal.h"
#include "xbase/relation.h"
#include "xbase/table.h"

namespace xbase {

Session::Session() = default;
Session::~Session() {
  if (state) EngineEnd(this);
}

namespace {

// The journal is of use only between the start of a write and its commit,
// and until the files hold durably what its redo records say: the last
// process to close a base whose last write was committed syncs those files
// and removes it, so that a base at rest is its tables and index files alone.
void RemoveJournalIfAlone(Session* session) {
  SessionState& st = *session->state;
  TransactionState& t = st.txn;
  std::unique_ptr<File> journal = std::move(t.journal);
  Table* lead = LeadTable(session);
  if (lead == nullptr || lead->read_only || t.recovering || lead->dbf->transaction_flag()) return;
  if (lead->dbf->file()->Lock(kTableOpenLockOffset, kTableOpenLockLength, true) != kOk) return;
  std::string head;
  if (lead->dbf->PeekHead(&head) != kOk || DbfFile::FlagOf(head)) return;
  const std::string path = JournalPath(lead->path);
  if (!journal && st.disk->Open(path, OpenMode::kReadWrite, &journal) != kOk) return;
  if (SettleRedo(st.disk, lead->path, journal.get()) == kOk) st.disk->Remove(path);
}

}  // namespace

int Table::Fail(int code) {
  if (session == nullptr) return code;
  session->error = code;
  TransactionState& t = session->state->txn;
  if (code < 0 && t.mode == TransactionState::Mode::kOptimistic) t.optimistic_failed = true;
  return code;
}

char* Table::Edit() {
  if (follows_stored_) {
    record_ = stored;  // same length after the first time: no allocation
    follows_stored_ = false;
  }
  return &record_[0];
}

void Table::StoreRow() {
  if (follows_stored_) return;
  stored.swap(record_);  // record_ keeps stale bytes, unused while the row follows
  follows_stored_ = true;
}

void EngineInit(Session* session, int /*flags*/, int /*tuning*/) {
  if (session == nullptr) return;
  if (session->state) EngineEnd(session);
  session->state.reset(new SessionState());
  if (session->file_system == nullptr) session->file_system = FileSystem::Posix();
  SessionState& st = *session->state;
  st.disk = session->file_system;
  st.watch.session = session;
  st.watched.reset(new WatchedFileSystem(st.disk, &st.watch));
  st.fs = st.watched.get();
  session->error = kOk;
}

int EngineCloseAll(Session* session) {
  if (session == nullptr) return kErrArgument;
  if (!session->state) return session->error = kOk;
  SessionState& st = *session->state;
  st.relations.clear();
  const int first = SettleSession(session);
  RemoveJournalIfAlone(session);
  for (auto& table : st.tables) {
    if (table->open()) CloseTable(table.get());
  }
  st.tables.clear();
  const bool recovering = st.txn.recovering;
  st.txn = TransactionState();
  st.txn.recovering = recovering;
  return session->error = first;
}

int EngineEnd(Session* session) {
  if (session == nullptr) return kErrArgument;
  int r = EngineCloseAll(session);
  session->state.reset();
  return session->error = r;
}

}  // namespace xbase
