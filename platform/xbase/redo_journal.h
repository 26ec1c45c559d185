#ifndef SYMBASE_XBASE_REDO_JOURNAL_H
#define SYMBASE_XBASE_REDO_JOURNAL_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "xbase/file_system.h"

// The redo journal of durable commits. It takes turns with the rollback
// journal (journal.h) in the same file, "<lead table>.jnl".
//
// A durable commit that changed nothing in the files before its end keeps
// every write it would make, to every file, and puts them into the journal
// as one record. One sync of the journal makes the commit durable; the
// writes then go to the files, unsynced, the lead's header last. Records
// pile up behind one another. They matter only if the machine stops before
// the system has written the files back: the header names the machine's run
// (its boot), and the journal of an earlier run is replayed whole. A process
// that dies half-way leaves the lead's transaction flag set, and the next
// session finishes its record (or forgets a record that is not whole).
// Before anything else writes to the files, and before the journal grows
// past kRedoJournalLimit, the files the records name are synced and a new
// round of records begins at the start: the journal is settled. The commit
// that begins a round syncs its files first (its record stands on what was
// written to them unsynced since) and writes the round's header, all before
// it sets the flag: a flag always finds a redo journal. The file keeps its
// length, grown a megabyte at a time, so that a commit's sync writes over
// bytes the disk already holds, without changing its size.
//
// Layout (little-endian):
//   header  "SYMREDO1", u32 salt, text boot, zeros up to byte 124,
//           u32 checksum                                     (128 bytes)
//   record  u32 body length, u32 counter, body, u32 checksum
//   body    u16 files, each: text path (as JournalName keeps it);
//           u32 writes, each: u16 file, u64 offset, u32 length, bytes
// The counter is the lead's change counter before the commit. Checksums
// are FNV-1a seeded with the salt, new each time the journal starts again,
// so that a torn record, or one of an earlier round, ends the list.

namespace xbase {

constexpr std::size_t kRedoHeaderSize = 128;
constexpr std::uint64_t kRedoJournalLimit = std::uint64_t{4} << 20;

struct RedoWrite {
  std::uint32_t file = 0;  // into the record's files
  std::uint64_t offset = 0;
  std::string bytes;
};

struct RedoRecord {
  std::uint32_t counter = 0;
  std::vector<std::string> files;
  std::vector<RedoWrite> writes;
};

// Begins a new round of records: a header with a new salt, into *out.
void EncodeRedoHeader(const std::string& boot, std::uint32_t* salt, std::string* out);
// The same header written at the start of `journal` and synced: the
// records there before are done with.
int BeginRedoRound(File* journal, const std::string& boot, std::uint32_t* salt);
// One record's bytes, appended to *out.
void EncodeRedoRecord(std::uint32_t salt, std::uint32_t counter,
                      const std::vector<std::string>& files, const std::vector<RedoWrite>& writes,
                      std::string* out);
// kOk with the header's salt and boot; kErrJournal when the file is not a
// whole redo journal header (a rollback journal, an empty or torn one);
// kErrRead when it could not be read.
int ReadRedoHeader(File* journal, std::uint32_t* salt, std::string* boot);
// The records from `from` on, up to the first torn or stale one (into *out
// unless null), and where they end.
int ReadRedoRecords(File* journal, std::uint32_t salt, std::uint64_t from,
                    std::vector<RedoRecord>* out, std::uint64_t* end);

// Finishes what the redo journal of the lead at `lead_path` leaves to do:
// the journal of an earlier run of the machine is replayed whole, the files
// synced and the journal emptied; a commit whose process died while the
// lead's flag was set is finished when its record is whole, else forgotten,
// and the flag cleared. kErrJournal when the journal is no redo journal.
int RecoverRedo(FileSystem* fs, const std::string& lead_path, File* journal);
// Makes what the records say durable in the files themselves (syncs them)
// and begins a new round, synced; kOk at once when it is no redo journal.
int SettleRedo(FileSystem* fs, const std::string& lead_path, File* journal);
// Whether the journal at `lead_path` is a redo journal of an earlier run of
// the machine, which a session must replay before it reads anything.
int RedoOfEarlierRun(FileSystem* fs, const std::string& lead_path, bool* earlier);

// The lead's first bytes, and the end of a transaction written there: the
// flag cleared, the counter moved on to the next even value so that every
// process rereads what it holds (shared by both recoveries).
int ReadLeadHead(File* lead, std::string* head);
int CloseLeadTransaction(File* lead, std::string* head, bool durable);

}  // namespace xbase

#endif
