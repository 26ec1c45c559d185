#ifndef SYMBASE_XBASE_TABLE_H
#define SYMBASE_XBASE_TABLE_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "xbase/dbf_file.h"
#include "xbase/engine.h"
#include "xbase/expression.h"
#include "xbase/mdx_file.h"
#include "xbase/transaction.h"
#include "xbase/watched_files.h"

// The engine's handle types and the session's bookkeeping. Private to the
// engine: callers see only the opaque names of engine.h.

namespace xbase {

class HeldRows;
class KeyRun;

class Field {
 public:
  Table* table = nullptr;
  std::size_t offset = 0;
  std::size_t width = 0;
  std::string name;
};

// One tag of an open index file, with its parsed key and filter and the key
// buffers reused for every row.
class Tag {
 public:
  Index* index = nullptr;
  int number = 0;  // in the MdxFile
  std::size_t key_length = 0;
  std::unique_ptr<Expression> key;
  std::unique_ptr<Expression> filter;  // null: every row
  std::string old_key;                 // scratch, key_length (or expression width) bytes
  std::string new_key;

  bool Admits(const char* image) const { return !filter || filter->IsTrue(image); }
  // The row's key, blank-padded or cut to the key length, into *out.
  void KeyOf(const char* image, std::string* out) const;
  MdxFile* mdx() const;
};

class Index {
 public:
  Table* table = nullptr;
  std::string path;
  std::unique_ptr<MdxFile> mdx;
  std::vector<std::unique_ptr<Tag>> tags;
};

// Where a table stands in its selected order.
enum class Place { kRow, kEof };

class Table {
 public:
  Session* session = nullptr;
  std::string path;
  std::unique_ptr<DbfFile> dbf;
  std::vector<std::unique_ptr<Field>> fields;
  std::vector<ExpressionField> layout;
  std::vector<std::unique_ptr<Index>> indexes;

  Tag* selected = nullptr;
  Place place = Place::kEof;
  std::uint32_t recno = 0;  // the row when place is kRow
  bool bof = false;
  std::string stored;      // the current row as the files (and tags) hold it
  bool changed = false;    // the caller changed the row: write when moving off
  bool appending = false;  // the row is a new one begun by AppendStart
  bool read_only = false;  // the file could only be opened for reading
  bool write_locked = false;
  bool header_dirty = false;  // rows were added: the count goes into the header at commit
  // The transaction's view of this table: rows when the session began
  // writing, and which of them already have their before-image in the
  // journal (a bitmap, and the words of it that were set, to clear them).
  std::uint32_t txn_count = 0;
  int txn_slot = -1;  // the table's place in the journal header, -1: not in it
  std::vector<std::uint64_t> journaled;
  std::vector<std::uint32_t> journaled_words;
  // The tag entry the table stands on: (key, record) as of generation.
  MdxCursor cursor;
  bool cursor_synced = false;  // cursor stands on the current row's entry
  std::string position_key;    // the current row's key in the selected tag
  std::string scratch;         // record-sized, for scans

  // False once closed (after a failed compaction, or RelationFree closing files).
  bool open() const { return dbf != nullptr; }
  int Fail(int code);  // sets session->error, returns code

  // The current row as the caller sees it. After a move it is the stored
  // row itself: the caller gets a copy of its own only when it first
  // changes the row (Edit), so a walk that only reads copies each row once.
  const char* row() const { return follows_stored_ ? stored.data() : record_.data(); }
  // The current row, the caller's own to change.
  char* Edit();
  // Whether the caller's row differs from the stored one.
  bool RowDiffers() const { return !follows_stored_ && record_ != stored; }
  // The current row is the stored one again: after a move, or a write.
  void FollowStored() { follows_stored_ = true; }
  // The caller's row was written: it is the stored row now.
  void StoreRow();

 private:
  std::string record_;  // the caller's row, while it does not follow the stored one
  bool follows_stored_ = true;
};

struct SessionState {
  FileSystem* disk = nullptr;  // the session's file system; the journal goes there directly
  WriteWatch watch;
  std::unique_ptr<WatchedFileSystem> watched;
  FileSystem* fs = nullptr;  // the tables and index files: watched
  std::vector<std::unique_ptr<Table>> tables;
  std::vector<std::unique_ptr<Relation>> relations;
  TransactionState txn;
};

// Shared steps of the operations (table_rows.cpp, table_move.cpp, index.cpp).
int EnsureWriteLock(Table* table);
int FlushRow(Table* table);  // writes a changed current row and updates its tags
// As FlushRow, but leaves the row to the commit while the transaction may
// still keep its writes for the redo journal.
int FlushRowUnlessKept(Table* table);
// Flushes the current row (FlushRowUnlessKept); a transaction the first
// write began on its own is then committed (TableUnlock).
int UnlockTable(Table* table);
// Commits whatever transaction is active, before files are closed or replaced.
int SettleSession(Session* session);
void CloseTable(Table* table);  // after SettleSession: drops files and handles
// Positions on record n (1..count) and loads it; the tag cursor is set from
// the row's key so the next tag move continues from there.
// With load false the row is already in `record` and `stored`.
int LandOnRecord(Table* table, std::uint32_t n, bool load = true);
void LandOnEof(Table* table);
// Keeps every tag of every index in step with a row going from `before` to
// `after` (either may be null: a new row, or none).
int UpdateTags(Table* table, std::uint32_t n, const char* before, const char* after);
// The index file's base name as its header keeps it: no folder, no
// extension, at most 16 characters.
std::string IndexBaseName(const std::string& path);
// While a file is read at open, the session's lead (or, for the lead, the
// file itself, `own`) has its first write-lock byte held shared, so that no
// write of another process is half-way through: the gate. Null when not
// taken (a transaction already guards the session, or the writer did not
// finish in time: the caller reads anyway and checks what it reads).
File* EnterOpenGate(Session* session, File* own);
void LeaveOpenGate(File* gate);
// Opens an existing file for reading and writing, or for reading alone when
// that is all this user may do (*read_only then true). kErrOpen otherwise.
int OpenExistingFile(FileSystem* fs, const std::string& path, std::unique_ptr<File>* file,
                     bool* read_only);
// Parses a tag's expressions against the table's layout.
int PrepareTag(Table* table, Index* index, int number, std::unique_ptr<Tag>* out);
// Builds every tag of `index` in `mdx` (the index's own file or a new one
// with the same tags) from the table's rows, one tag's keys in memory at a
// time; with `live_only`, deleted rows are left out and the others numbered
// from 1 as compaction writes them. `run`, when given, holds the keys, its
// memory kept for the next index file. `live_rows`, when given, holds every
// live row in its new order, read in place of the table.
int BuildTagsFromRows(Table* table, Index* index, MdxFile* mdx, bool live_only,
                      KeyRun* run = nullptr, const HeldRows* live_rows = nullptr);

}  // namespace xbase

#endif
