#ifndef SYMBASE_XBASE_JOURNAL_H
#define SYMBASE_XBASE_JOURNAL_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "xbase/file_system.h"

// The rollback journal of a session's write transaction, "<lead table>.jnl"
// (durable commits that wrote nothing before their end use the same file as
// a redo journal instead: redo_journal.h).
//
// Before the first change of a transaction reaches any file, the journal
// receives a header naming every table of the session with its record count
// and every index file with its tags; before a row that existed at that
// moment is overwritten for the first time, the journal receives the row's
// bytes as they were (its before-image). Rows added by the transaction need
// no image: the record count says where they begin. Only then is the lead
// table's transaction flag set. A journal is consulted only while that flag
// is set, and only when it belongs to the lead's current change counter.
//
// Layout (little-endian):
//   header   "SYMJRNL1", u32 counter, u32 body length, body, u32 checksum
//   body     u16 tables, each: text path, u32 count, u16 indexes, each:
//            text path, u16 tags, each: text name, text key, text filter,
//            u8 unique, u8 descending          (text = u16 length + bytes)
//   image    u32 table, u32 record, u32 length, bytes, u32 checksum
// The index files are written last, at commit; just before, an entry with
// the table number kIndexMarker lists them (u16 table, u16 index file, per
// file): a recovery rebuilds those files, and only when that entry is there.
// Checksums are FNV-1a over everything before them, seeded with the
// counter, so that a torn or stale image ends the list.

namespace xbase {

struct JournalTag {
  std::string name;
  std::string key;
  std::string filter;
  bool unique = false;
  bool descending = false;
};

struct JournalIndex {
  std::string path;
  std::vector<JournalTag> tags;
};

struct JournalTable {
  std::string path;
  std::uint32_t count = 0;
  std::vector<JournalIndex> indexes;
};

struct JournalImage {
  std::uint32_t table = 0;
  std::uint32_t record = 0;
  std::string bytes;
};

constexpr std::uint32_t kIndexMarker = 0xFFFFFFFFu;

// An index file the commit was about to write: table and file numbers.
using JournalIndexRef = std::pair<std::uint32_t, std::uint32_t>;

struct JournalContents {
  std::uint32_t counter = 0;
  std::vector<JournalTable> tables;
  std::vector<JournalImage> images;
  std::vector<JournalIndexRef> written_indexes;
};

// The journal of the session whose lead table is at `lead_path`.
std::string JournalPath(const std::string& lead_path);
// A file's path as the journal keeps it: relative to the lead's folder when
// it lies there, so that a base moved elsewhere is still recovered, else as
// given ("./" before a bare name of the working folder, which would otherwise
// read as one of the lead's); and back.
std::string JournalName(const std::string& lead_path, const std::string& path);
std::string JournalResolve(const std::string& lead_path, const std::string& name);

// The header's bytes, into *out.
void EncodeJournalHeader(std::uint32_t counter, const std::vector<JournalTable>& tables,
                         std::string* out);
// The entry listing the index files a commit is about to write, into *out.
void EncodeJournalIndexes(std::uint32_t counter, const std::vector<JournalIndexRef>& files,
                          std::string* out);
// One before-image's bytes, into *out (its capacity is reused).
void EncodeJournalImage(std::uint32_t counter, std::uint32_t table, std::uint32_t record,
                        const char* bytes, std::size_t length, std::string* out);

// Reads a journal written for `counter`: kOk with its tables and the images
// up to the first one that is torn or stale; kErrJournal when the header is
// missing, damaged or belongs to another counter; kErrRead when the file
// could not be read.
int ReadJournal(File* file, std::uint32_t counter, JournalContents* out);

}  // namespace xbase

#endif
