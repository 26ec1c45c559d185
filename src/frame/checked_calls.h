#ifndef SYMBASE_FRAME_CHECKED_CALLS_H
#define SYMBASE_FRAME_CHECKED_CALLS_H

#include "symbase/results.h"
#include "xbase/engine.h"

// Checked calls into the table engine ("Tabiserr"): each calls one engine
// operation, reports a failure to the host's error service under its own
// index (0 to 24; 22 is unused) and turns the engine's positioning results
// into the library's codes:
//   TB_NO_ROW           nothing there: end (or beginning) reached, or an
//                       empty order
//   TB_KEY_NOT_FOUND    key not found, positioned after where it would be
//   TB_LOCKED_BY_OTHER  locked by another user
// A negative engine result is reported and returned unchanged; other
// non-negative results pass through. They never throw and keep no state.

namespace symbase {

void CheckedEngineInit(xbase::Session* session);  // 0
void CheckedEngineEnd(xbase::Session* session);   // 1
xbase::Table* CheckedTableCreate(xbase::Session* session, const char* path,
                                 const xbase::FieldDefinition* fields,
                                 const xbase::TagDefinition* tags);  // 2
xbase::Index* CheckedIndexCreate(xbase::Session* session, xbase::Table* table, const char* path,
                                 const xbase::TagDefinition* tags);         // 3
xbase::Table* CheckedTableOpen(xbase::Session* session, const char* path);  // 4
xbase::Index* CheckedIndexOpen(xbase::Session* session, xbase::Table* table,
                               const char* path);                                // 5
xbase::Field* CheckedFieldGet(xbase::Table* table, const char* name);            // 6
xbase::Tag* CheckedTagGet(xbase::Table* table, const char* name);                // 7
int CheckedTableCompact(xbase::Table* table);                                    // 8
int CheckedEngineCloseAll(xbase::Session* session);                              // 9
int CheckedAppendStart(xbase::Table* table);                                     // 10
int CheckedRecordAppend(xbase::Table* table);                                    // 11
int CheckedTableUnlock(xbase::Table* table);                                     // 12
int CheckedTableSeek(xbase::Table* table, const char* key);                      // 13
int CheckedTableTop(xbase::Table* table);                                        // 14
int CheckedTableSkip(xbase::Table* table, long count);                           // 15
int CheckedTableGo(xbase::Table* table, long record);                            // 16
long CheckedTableRecordCount(xbase::Table* table);                               // 17
int CheckedRelationQuerySet(xbase::Relation* relation, const char* expression);  // 18
int CheckedRelationSortSet(xbase::Relation* relation, const char* expression);   // 19
int CheckedRelationTop(xbase::Relation* relation);                               // 20
int CheckedRelationSkip(xbase::Relation* relation, long count);                  // 21
int CheckedRelationFree(xbase::Relation* relation);                              // 23
// Removes a file through the framework; a framework file exception is
// reported with code 408 + its cause and the path as the text, never thrown.
void CheckedFileDelete(const char* path);  // 24

// A failure met while reading `table` outside a checked call: reported
// with the call's number `index`, unless the table is read optimistically
// (the read is then made again holding the base, where it is reported).
void ReportReadFailure(xbase::Table* table, int index, int code, int line);

}  // namespace symbase

#endif
