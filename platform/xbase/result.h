#ifndef SYMBASE_XBASE_RESULT_H
#define SYMBASE_XBASE_RESULT_H

// Result codes of the table engine. Non-negative codes are outcomes a caller
// acts on; negative codes are failures, each with one meaning.

namespace xbase {

// Outcomes.
constexpr int kOk = 0;
constexpr int kAfter = 2;         // seek: not found, positioned on the first greater key
constexpr int kEof = 3;           // end of the order reached (or nothing in it)
constexpr int kBof = 4;           // beginning of the order reached
constexpr int kLocked = 50;       // another process holds a lock this call needs
constexpr int kRelationEnd = 90;  // relation: the query could not be run to an answer

// Failures.
constexpr int kErrArgument = -1;      // null handle, closed handle or out-of-range argument
constexpr int kErrOpen = -10;         // a file could not be opened
constexpr int kErrCreate = -20;       // a file could not be created
constexpr int kErrRead = -30;         // a read failed or came back short
constexpr int kErrWrite = -40;        // a write, truncate or sync failed
constexpr int kErrReadOnly = -45;     // the file could only be opened for reading
constexpr int kErrLock = -50;         // a lock or unlock call failed (not a conflict)
constexpr int kErrBusy = -52;         // another process has the file open: it cannot be replaced
constexpr int kErrFormat = -60;       // a table file is damaged: its header or layout lies
constexpr int kErrIndexFormat = -61;  // an index file is damaged: header, tag, block or tree
constexpr int kErrJournal = -66;      // an interrupted write was found without a usable journal
constexpr int kErrExpression = -70;   // an expression does not parse or has the wrong type
constexpr int kErrField = -71;        // an expression names a field the table does not have
constexpr int kErrTag = -80;          // tag not found, or a tag list that cannot be stored
constexpr int kErrRecord = -90;       // record number outside the table
constexpr int kErrRename = -100;      // a rename or removal failed
constexpr int kErrMemory = -920;      // an allocation failed

// A short English description of a code, for logs and the command-line host.
// Never null.
const char* ResultMeaning(int code);

}  // namespace xbase

#endif
