#include "frame/checked_calls.h"

#include "frame/guard.h"
#include "frame/report.h"
#include "symbase/afx.h"

namespace symbase {
namespace {

// Which engine outcomes a call turns into 102 and 103 (50 always gives 104).
enum Mapping : unsigned {
  kEofIsNoRow = 1u << 0,
  kAfterIsNotFound = 1u << 1,
  kAfterIsNoRow = 1u << 2,
  kBofIsNoRow = 1u << 3,
  kLockIsKept = 1u << 4,  // the call passes 50 through unchanged
};

void Report(int index, int code, int line) {
  ReportError(index, code, "", kCheckedCallSource, line);
}

int Map(int result, unsigned mapping) {
  if (result == xbase::kLocked && !(mapping & kLockIsKept)) return TB_LOCKED_BY_OTHER;
  if (result == xbase::kEof && (mapping & kEofIsNoRow)) return TB_NO_ROW;
  if (result == xbase::kAfter && (mapping & kAfterIsNotFound)) return TB_KEY_NOT_FOUND;
  if (result == xbase::kAfter && (mapping & kAfterIsNoRow)) return TB_NO_ROW;
  if (result == xbase::kBof && (mapping & kBofIsNoRow)) return TB_NO_ROW;
  return result;
}

// The common shape of a checked call with an integer result.
int Checked(int index, int result, unsigned mapping, int line) {
  if (result < 0) {
    Report(index, result, line);
    return result;
  }
  return Map(result, mapping);
}

// A positioning call on a table read optimistically (without a lock): a
// failure there may only mean that another process was writing, and the
// read is made again under the lock, where a real failure is reported.
int CheckedOn(xbase::Table* table, int index, int result, unsigned mapping, int line) {
  if (result < 0 && xbase::TableReadOptimistic(table) != 0) return result;
  return Checked(index, result, mapping, line);
}

template <typename Handle>
Handle* CheckSession(int index, xbase::Session* session, Handle* handle, int line) {
  if (session->error < 0) Report(index, session->error, line);
  return handle;
}

template <typename Handle>
Handle* CheckFound(int index, Handle* handle, int line) {
  if (handle == nullptr) Report(index, 0, line);
  return handle;
}

}  // namespace

void ReportReadFailure(xbase::Table* table, int index, int code, int line) {
  if (xbase::TableReadOptimistic(table) == 0) Report(index, code, line);
}

void CheckedEngineInit(xbase::Session* session) {
  xbase::EngineInit(session, 0, 6300);
  CheckSession(0, session, session, __LINE__);
}

void CheckedEngineEnd(xbase::Session* session) {
  xbase::EngineEnd(session);
  CheckSession(1, session, session, __LINE__);
}

xbase::Table* CheckedTableCreate(xbase::Session* session, const char* path,
                                 const xbase::FieldDefinition* fields,
                                 const xbase::TagDefinition* tags) {
  return CheckSession(2, session, xbase::TableCreate(session, path, fields, tags), __LINE__);
}

xbase::Index* CheckedIndexCreate(xbase::Session* session, xbase::Table* table, const char* path,
                                 const xbase::TagDefinition* tags) {
  return CheckSession(3, session, xbase::IndexCreate(table, path, tags), __LINE__);
}

xbase::Table* CheckedTableOpen(xbase::Session* session, const char* path) {
  return CheckSession(4, session, xbase::TableOpen(session, path), __LINE__);
}

xbase::Index* CheckedIndexOpen(xbase::Session* session, xbase::Table* table, const char* path) {
  return CheckSession(5, session, xbase::IndexOpen(table, path), __LINE__);
}

xbase::Field* CheckedFieldGet(xbase::Table* table, const char* name) {
  return CheckFound(6, xbase::FieldGet(table, name), __LINE__);
}

xbase::Tag* CheckedTagGet(xbase::Table* table, const char* name) {
  return CheckFound(7, xbase::TagGet(table, name), __LINE__);
}

int CheckedTableCompact(xbase::Table* table) {
  return Checked(8, xbase::TableCompact(table), 0, __LINE__);
}

int CheckedEngineCloseAll(xbase::Session* session) {
  const int result = xbase::EngineCloseAll(session);
  if (result != 0) Report(9, result, __LINE__);
  return result;
}

int CheckedAppendStart(xbase::Table* table) {
  return Checked(10, xbase::AppendStart(table, 0), 0, __LINE__);
}

int CheckedRecordAppend(xbase::Table* table) {
  return Checked(11, xbase::RecordAppend(table), 0, __LINE__);
}

int CheckedTableUnlock(xbase::Table* table) {
  return Checked(12, xbase::TableUnlock(table), kLockIsKept, __LINE__);
}

int CheckedTableSeek(xbase::Table* table, const char* key) {
  return CheckedOn(table, 13, xbase::TableSeek(table, key), kEofIsNoRow | kAfterIsNotFound,
                   __LINE__);
}

int CheckedTableTop(xbase::Table* table) {
  return CheckedOn(table, 14, xbase::TableTop(table), kEofIsNoRow | kAfterIsNoRow, __LINE__);
}

int CheckedTableSkip(xbase::Table* table, long count) {
  return CheckedOn(table, 15, xbase::TableSkip(table, count), kEofIsNoRow | kBofIsNoRow, __LINE__);
}

int CheckedTableGo(xbase::Table* table, long record) {
  return CheckedOn(table, 16, xbase::TableGo(table, record), 0, __LINE__);
}

long CheckedTableRecordCount(xbase::Table* table) {
  const long count = xbase::TableRecordCount(table);
  if (count < 0 && xbase::TableReadOptimistic(table) == 0) Report(17, 0, __LINE__);
  return count;
}

int CheckedRelationQuerySet(xbase::Relation* relation, const char* expression) {
  return Checked(18, xbase::RelationQuerySet(relation, expression), kLockIsKept, __LINE__);
}

int CheckedRelationSortSet(xbase::Relation* relation, const char* expression) {
  return Checked(19, xbase::RelationSortSet(relation, expression), kLockIsKept, __LINE__);
}

int CheckedRelationTop(xbase::Relation* relation) {
  const int result = xbase::RelationTop(relation);
  if (result == xbase::kRelationEnd) {
    Report(20, result, __LINE__);
    return result;
  }
  return Checked(20, result, kEofIsNoRow, __LINE__);
}

int CheckedRelationSkip(xbase::Relation* relation, long count) {
  return Checked(21, xbase::RelationSkip(relation, count), kEofIsNoRow | kBofIsNoRow | kLockIsKept,
                 __LINE__);
}

int CheckedRelationFree(xbase::Relation* relation) {
  return Checked(23, xbase::RelationFree(relation, 0), kLockIsKept, __LINE__);
}

void CheckedFileDelete(const char* path) {
  try {
    CFile::Remove(path);
  } catch (CFileException* e) {
    const int code = kFileExceptionBase + e->m_cause;
    e->Delete();
    ReportError(24, code, path, kCheckedCallSource, __LINE__);
  }
}

}  // namespace symbase
