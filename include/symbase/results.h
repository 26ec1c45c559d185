#ifndef SYMBASE_RESULTS_H
#define SYMBASE_RESULTS_H

// The results the symbol base's functions return, named once. Each function's
// comment (symbase/tabis.h, symbase/maintenance.h) says which of them it
// gives. A negative result is a failure of the table engine, already reported
// to the host's error service; any other non-negative engine result is passed
// through unchanged.

#include "symbase/export.h"

// Success. Also what a guarded function returns after a framework exception,
// which it reports: a host tells that failure by the error service.
constexpr int TB_OK = 0;
// Not done: a new object's comment row could not be written
// (TBCreateObject), or a bus module address is out of range
// (TBCodeChaineAdrModule).
constexpr int TB_NOT_DONE = 1;
// The base is already locked (TBLockBaseSymbol), or locked while a call
// needs its rows.
constexpr int TB_ALREADY_LOCKED = 100;
// The symbol is already carried by another row.
constexpr int TB_SYMBOL_TAKEN = 101;
// No row there: the end or the beginning was reached, or the order is empty.
constexpr int TB_NO_ROW = 102;
// Key not found: positioned after where it would be.
constexpr int TB_KEY_NOT_FOUND = 103;
// Locked by another user: another process kept the base busy past the wait.
constexpr int TB_LOCKED_BY_OTHER = 104;
// A start record or a call counter out of range (an empty table always).
constexpr int TB_OUT_OF_RANGE = 105;
// The user interrupted the insertion.
constexpr int TB_INTERRUPTED = 106;
// The user refused the replacement.
constexpr int TB_REFUSED = 107;
// No row passes the text search.
constexpr int TB_NO_MATCH = 108;
// The check found faults that a repair mends (index files, table headers).
constexpr int TB_CHECK_REPAIRABLE = 109;
// The check found faults in the rows themselves, or a file it could not
// read: a repair cannot mend them, a person must look.
constexpr int TB_CHECK_DAMAGED = 110;
// A batch was undone: a call inside it failed midway (TBEndBatch).
constexpr int TB_BATCH_UNDONE = 111;

// A short English text saying what `code` means: the meaning of each code
// above; for a negative code, the engine failure it stands for; for any other
// code, "unknown result code". Never null; the text is static.
SYMBASE_API const char* TBResultMeaning(int code);

#endif
