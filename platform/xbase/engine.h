#ifndef SYMBASE_XBASE_ENGINE_H
#define SYMBASE_XBASE_ENGINE_H

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "xbase/file_system.h"
#include "xbase/result.h"

// The table engine's operations, as the symbol base calls them: sessions,
// dBASE IV tables, multiple-index files, fields, tags, positioning, rows,
// relations (filter + sort) and the integrity check.
//
// Handles are owned by their session: EngineCloseAll and EngineEnd free them
// (and every handle obtained from them). Every operation accepts a null
// handle and then returns kErrArgument (or null, or does nothing for the void
// ones) without touching anything. After each call that can fail,
// session.error holds its result: 0, a positive outcome, or a negative code.
//
// Order and visibility: with a tag selected, moves follow that tag, which
// lists only the rows its filter admits; with no tag selected they follow
// record numbers and show every row, deleted ones included. A relation shows
// only the rows its query admits and never a deleted one.
//
// Sharing between processes (and between sessions of one process). A
// session's tables are guarded together by locks on its lead, the first
// table it opened: open the tables that belong together in one session,
// lead first, in every process that uses them.
//
// Transactions. EngineBegin(session, write) takes the lead's lock, shared to
// read (write 0) or exclusive to write (1), waiting up to
// session.busy_timeout_ms for another process to let go (kLocked when the
// wait runs out). On entry the session rereads what it holds in memory when,
// and only when, another process committed a change since it last looked
// (a change counter in the lead's header), and rolls back a write that a
// process which died left half-done. Until EngineCommit, nobody else writes,
// and in a read transaction nothing is seen half-written. EngineCommit
// writes everything the transaction changed (rows, index blocks, headers)
// and frees the lock; EngineRollback undoes it. A process that dies, or a
// write that fails, inside a transaction leaves the files as they were at
// its start: its rows are put back from a journal ("<lead>.jnl") and the
// index files it touched are rebuilt from the tables, by itself at once or
// by the next session that begins or opens the lead.
//
// Writes outside a transaction begin one on their own, without waiting
// (kLocked when another holds the lead), and TableUnlock commits it; reads
// outside a transaction take no lock and may miss what other processes
// wrote. A changed row is written when the table moves off it, on
// TableUnlock and at commit; while a durable transaction may still commit
// through the redo journal (nothing it changed has reached the files), a
// row left by TableUnlock or RecordDelete waits for the commit instead.

namespace xbase {

class Table;
class Index;
class Field;
class Tag;
class Relation;
struct SessionState;

struct Session {
  Session();
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // The result of the last operation of this session.
  int error = 0;
  // Options, set after EngineInit. auto_open: open a production index with its
  // table (1) or not (0). safety: refuse to create over an existing file (1)
  // or replace it (0). lock_attempts: how often the write lock is tried when
  // a write outside a transaction needs it, a millisecond apart (1: once,
  // never waiting). exclusive: tables are opened for this session alone
  // (kLocked when another has one open, and nobody else may open it after).
  int auto_open = 1;
  char safety = 1;
  int lock_attempts = 1;
  int exclusive = 0;
  // How long EngineBegin waits for another process's transaction to end
  // (milliseconds; 0: never waits).
  int busy_timeout_ms = 0;
  // Power-loss durability: every commit is synced to the disk (the journal
  // before the files change, the files before the commit record). Without
  // it, a commit survives the death of its process but not of the machine.
  int durable = 0;
  // Where the files are reached; the POSIX file system unless set before
  // EngineInit.
  FileSystem* file_system = nullptr;

  std::unique_ptr<SessionState> state;
};

// A field of a table to create: name (at most 10 characters), type 'C',
// width 1..254, decimals 0. Lists end with an entry whose name is null.
struct FieldDefinition {
  const char* name;
  char type;
  int width;
  int decimals;
};

// A tag of an index file to create. Lists end with an entry whose name is null.
struct TagDefinition {
  const char* name;
  const char* key_expression;
  const char* filter_expression;  // null or "" for none
  int unique;                     // 0: not unique
  int descending;                 // 0: ascending
};

// Sessions. `flags` is ignored; `tuning` is a size hint (6300 by the symbol
// base). EngineEnd closes everything and ends the session; EngineCloseAll
// closes every file and keeps the session. Both flush first.
void EngineInit(Session* session, int flags, int tuning);
int EngineEnd(Session* session);
int EngineCloseAll(Session* session);

// Transactions (see the top of this file). EngineBegin inside a transaction
// that EngineBegin started gives kErrArgument; a transaction that a write
// began on its own is committed first. With no table open (or after
// EngineEnd) they do nothing and give kOk.
int EngineBegin(Session* session, int write);
int EngineCommit(Session* session);
int EngineRollback(Session* session);
// Optimistic reads: a read that takes no lock and makes no call to check
// that the base did not change (the lead's head is mapped in memory), for
// short reads. EngineBeginOptimistic gives kOk when the session's view of
// the base is current and no write is under way, kLocked otherwise (or
// where the file system gives no mapping): the caller then reads in a
// transaction. EngineEndOptimistic gives kOk when nothing was written and no
// call failed meanwhile: what was read stands; kLocked otherwise: what was
// read must be thrown away and read again in a transaction (the session has
// forgotten what it cached). Reads only: a write gives kErrArgument.
// TableReadOptimistic tells whether the table's session is in such a read,
// when a failure may be the sign of a concurrent write rather than a fault.
int EngineBeginOptimistic(Session* session);
int EngineEndOptimistic(Session* session);
int TableReadOptimistic(Table* table);
// What the last opening of the lead or EngineBegin repaired, then forgotten:
// 0 nothing; 1 a write that a dead process left half-done was rolled back
// and the index files rebuilt; kErrJournal such a write was found without a
// usable journal (only its flag was cleared: the index files may disagree
// with the tables).
int EngineTakeRecovery(Session* session);
// The lead's change counter as the session last saw it: it moves when a
// transaction of this session or, once seen by EngineBegin, of another
// process commits a change.
unsigned long EngineChangeCounter(Session* session);

// Tables. Create replaces an existing file when session.safety is 0, unless
// another process has it open (kErrBusy). Opening falls back to reading
// alone when the file may not be written (TableReadOnly then 1, and every
// write gives kErrReadOnly).
Table* TableCreate(Session* session, const char* path, const FieldDefinition* fields,
                   const TagDefinition* tags);
Table* TableOpen(Session* session, const char* path);
int TableReadOnly(Table* table);
// The language driver byte of the table's header (0x57: Windows-1252).
int TableLanguageDriver(Table* table);
// The path the table was opened with; "" for a null or closed handle.
const char* TablePath(Table* table);
// Removes the rows marked deleted, renumbers the rest and rebuilds every tag
// of the table's open index files. kLocked when another process uses the table.
int TableCompact(Table* table);

// Index files: opened or created explicitly after their table. Several can be
// open on one table; every write keeps all their tags up to date.
Index* IndexCreate(Table* table, const char* path, const TagDefinition* tags);
Index* IndexOpen(Table* table, const char* path);

// Lookups by name (case ignored; a tag name compares over at most its first
// 10 characters). Null when absent.
Field* FieldGet(Table* table, const char* name);
Tag* TagGet(Table* table, const char* name);
// Every row in record order, deleted ones included, as its bytes (the
// deletion flag, then the fields at their offsets), read in large chunks,
// until visit returns non-zero (returned) or the rows end (kOk). The table
// does not move.
int TableScan(Table* table, const std::function<int(long record, const char* image)>& visit);
// The rows of `records` (strictly ascending record numbers, each in
// 1..count, else kErrArgument) as TableScan gives them, without moving the
// table: read one by one when they are few, in one pass when many.
int TableVisitRows(Table* table, const std::vector<long>& records,
                   const std::function<int(long record, const char* image)>& visit);
// Keys alone, without reading a row or moving the table. TagScan visits the
// entries in order from the first whose key is at least `from` (compared
// over its length, capped at the key length; "" from the first entry) with
// the entry's key (TagKeyLength bytes, not NUL-ended, valid for the call
// only) and record number, until visit returns non-zero (that value is
// returned) or the tag ends (kOk); the callback must not use the tag's
// index file. TagCountPrefix counts the entries whose key begins with
// `prefix` ("": all of them) without visiting each.
int TagScan(Tag* tag, const char* from,
            const std::function<int(const char* key, long record)>& visit);
int TagCountPrefix(Tag* tag, const char* prefix, long* count);
int TagKeyLength(Tag* tag);
// A tag's expressions as its index file stores them ("" for a null tag).
const char* TagKeyExpression(Tag* tag);
const char* TagFilterExpression(Tag* tag);

// Positioning. TagSelect(table, nullptr) selects record-number order.
void TagSelect(Table* table, Tag* tag);
// Seeks `key` on the selected tag, compared over its own length capped at the
// key length: kOk on the first matching entry, kAfter on the first greater
// entry, kEof past the last entry. With no tag selected, kErrTag.
int TableSeek(Table* table, const char* key);
int TableTop(Table* table);               // kOk, or kEof on an empty order
int TableBottom(Table* table);            // kOk, or kEof on an empty order
int TableSkip(Table* table, long count);  // kOk, kEof past the end, kBof before the start
int TableGo(Table* table, long record);   // kOk, or kErrRecord outside 1..count
long TableRecordNumber(Table* table);     // 0 when not on a row
long TableRecordCount(Table* table);      // rows, deleted ones included; negative on error
int TableEof(Table* table);
int TableBof(Table* table);
// Where a table stands, to go back there: a read that must be made again
// (an optimistic read that met a write) returns to where it began. The row
// itself is not kept: TableSkip(table, 0) reads it again. For a table whose
// current row has no changes waiting.
struct TablePlace {
  long record = 0;  // 0: past the end
  bool bof = false;
};
TablePlace TablePlaceOf(Table* table);
void TableReturnTo(Table* table, const TablePlace& place);
// Writes what is pending and frees the locks this table holds.
int TableUnlock(Table* table);

// Rows. AppendStart begins a new row (the current row's fields as they are;
// RecordBlank blanks them); RecordAppend adds it and indexes it.
int AppendStart(Table* table, int reserved);
void RecordBlank(Table* table);
int RecordAppend(Table* table);
// Marks the current row deleted or recalls it, written at once (but see
// above); from then on, whatever reads through the table finds the row gone
// from (or back in) every tag whose filter no longer (or again) admits it.
int RecordDelete(Table* table);
int RecordRecall(Table* table);
int RecordIsDeleted(Table* table);  // 1 or 0

// Fields of the current row. Assign: left-aligned, blank-padded, cut to the
// width. Copy: the whole field, trailing blanks kept, NUL-ended, into a buffer
// of `size` bytes (at most size - 1 characters are copied); returns the count.
int FieldAssign(Field* field, const char* text);
void FieldBlank(Field* field);
int FieldCopy(Field* field, char* buffer, int size);
// The field's bytes in the current row, trailing blanks kept, without a copy:
// valid until the table moves or the row changes. Empty for a missing field or
// a closed table.
std::string_view FieldBytes(Field* field);
int FieldWidth(Field* field);
// Where the field begins in a row's bytes (the deletion flag is byte 0).
int FieldOffset(Field* field);
const char* FieldName(Field* field);

// Relations over one table: a query (filter) and an optional sort expression.
// Without a sort, rows come in the table's selected order when the relation is
// positioned. RelationTop and RelationSkip put the table on each matching row
// in turn: kOk, or kEof at the end (kBof before the start). A malformed
// expression gives kErrExpression or kErrField from QuerySet/SortSet, and
// RelationTop then returns kRelationEnd.
Relation* RelationCreate(Table* table);
int RelationQuerySet(Relation* relation, const char* expression);
int RelationSortSet(Relation* relation, const char* expression);
int RelationTop(Relation* relation);
int RelationSkip(Relation* relation, long count);
int RelationFree(Relation* relation, int close_files);

// Checks a table and every index file open on it: each tag entry points at a
// live row whose key is that entry's key and that the tag's filter admits,
// each such row is in the tag exactly once, keys are in order, blocks and free
// lists are sound, the table header matches the file. Calls `problem` once
// per fault; returns 0 when all is sound, a negative code otherwise.
int IntegrityCheck(Table* table, const std::function<void(const std::string&)>& problem);
// The same, each fault with its kind and the path of its file: the table's
// own (its header, or its rows), or the index file whose tag is at fault.
enum class IntegrityFault { kIndex, kHeader, kRows };
using IntegritySink =
    std::function<void(IntegrityFault kind, const std::string& file, const std::string& text)>;
int IntegrityCheckFiles(Table* table, const IntegritySink& problem);

// Builds an index file afresh from the table's rows, with these tags, and
// opens it on the table in place of its old handle (whose tags are then
// gone); an existing file is first renamed to `backup` (null: replaced).
// Null on failure (session.error), the old file then back in its place.
Index* IndexRebuild(Table* table, const char* path, const TagDefinition* tags, const char* backup);
// Writes into the table's header the record count the file holds (when the
// header claims more) and the end-of-file marker after the last record.
// 1 when something was corrected, 0 when nothing needed it, or a failure.
int TableRepairHeader(Table* table);

}  // namespace xbase

#endif
