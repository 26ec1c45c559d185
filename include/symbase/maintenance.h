#ifndef SYMBASE_MAINTENANCE_H
#define SYMBASE_MAINTENANCE_H

// Keeping a symbol base sound, beside the workshop's interface: a full
// integrity check, a repair of what is derived from the tables, the
// power-loss durability setting and batches of calls written as one. Also
// the caveats of sharing a base.
//
// Sharing a base between processes (and handles):
// - Any number of processes may open one base. Each exported call holds the
//   base for its whole length: shared while it reads, exclusive while it
//   writes. A call meeting another process's call waits up to 2 seconds,
//   then gives 104 ("locked by another user") and does nothing. Writers
//   never lose each other's writes, readers never see a half-written row or
//   index, and a call that returns 0 has its rows and index entries in the
//   files, seen by the next call of every other process.
// - A process reads again what it keeps in memory only when another process
//   has changed the base (a change counter in the main table's header).
// - A write is all or nothing: if the process dies, or a write fails (disk
//   full, an input/output error, a file-size limit), the base is left as it
//   was before the call. The rows are put back from a journal
//   ("KR9.DBF.jnl", beside the tables while the base is open) and the index
//   files rebuilt from the tables, at once or by the next process to open
//   or use the base; that repair is reported once to the error service
//   (index 22, code 1, the main table's path as text). A call whose commit
//   fails reports it under index 22 (the text names the file and the
//   system's reason, as "/base/KR9S.MDX: No space left on device") and
//   returns the engine's negative code;
//   TBInsertObject and TBTransformerBaseSymbolL1ToL2, which return 0
//   however their writes went, only report it.
// - Inside a batch (TBBeginBatch ... TBEndBatch) the calls' writes reach
//   the files together when the batch ends, or not at all: a call there that
//   returns 0 is in the files only once TBEndBatch has returned 0. The batch
//   holds the base all along, other processes waiting for it as for one
//   call, and a conflict's dialog inside it keeps the base held.
// - TBInsertObject lets the base go while a person answers a conflict, and
//   looks at the base again if another process wrote meanwhile. Otherwise a
//   dialog never holds the base.
// - TBLockBaseSymbol (compaction) and TBRepairBaseSymbol need the base to
//   themselves: with any other handle or process having it open they give
//   104 (the repair only when there is something to mend). A compaction
//   interrupted anywhere leaves the old files or the new.
// - Without durability (the default) a call that returned 0 survives the
//   death of its process, not the loss of the machine's power: the
//   operating system writes the files back in its own time. With
//   TBSetDurability every commit is synced to the disk first, at a cost
//   measured in bench/.
// - The rules rest on POSIX open-file-description locks (fcntl F_OFD_SETLK)
//   on the base's files. A local file system carries them. On a file
//   server, NFS version 4 (and version 3 with its lock manager running)
//   carries byte-range locks to the server, so several machines may share
//   a base; SMB/CIFS mounts carry them only with the "nobrl" option off and
//   a server that supports POSIX locks; sshfs and other FUSE file systems
//   that keep locks local to one machine do not, and a base there must be
//   used by one machine at a time. Network file systems may also defer
//   writes: use durability there.
//
// Results of the check and the repair (symbase/results.h):
//   TB_OK (0)  sound (check), repaired or nothing to repair (repair)
//   TB_LOCKED_BY_OTHER (104)  the base is in use: held past the wait
//        (check), or open in this or another handle or process (repair of
//        a base that needs it)
//   TB_CHECK_REPAIRABLE (109)  the check found faults a repair mends (index
//        files, table headers)
//   TB_CHECK_DAMAGED (110)  the check found faults in the rows themselves,
//        or a file it could not read: the repair cannot mend them, a person
//        must look
//   negative  an engine failure, already reported

#include "symbase/afx.h"
#include "symbase/afxcoll.h"
#include "symbase/export.h"
#include "symbase/results.h"

// The storage object behind a handle (symbase/tabis.h).
class CTBData;

// What the check found, or what the repair did, in one file of the base.
class SYMBASE_API CTBCheckFinding : public CObject {
  DECLARE_DYNAMIC(CTBCheckFinding)

 public:
  enum Kind {
    kIndex = 1,     // an index file is missing, damaged or disagrees with its table
    kHeader = 2,    // a table's header disagrees with the file (record count, end mark)
    kRows = 3,      // the rows break a rule of the base: a repair does not mend it
    kRepaired = 4,  // what the repair did (in its list only)
  };
  // A finding of `kind` (a Kind) in `file` (the file's name), saying `text`;
  // null texts are taken as "".
  CTBCheckFinding(int kind, const char* file, const char* text);
  // Releases the texts.
  ~CTBCheckFinding() override;

  int m_kind;      // a Kind
  CString m_file;  // the file's name, as "KR9S.MDX"
  CString m_text;  // what is wrong, or what was done, in English
};

// Checks the base in `directory` (ending with a path separator, as for
// TBOpenBaseSymbol), whether or not this handle or another process has it
// open: every tag of the four index files against the live rows of its
// table (key, record number, order, filter) and the trees themselves; the
// key fields of each row derived again from its address text (with the
// host's addressing mode); comment rows against ISCMT, one per commented
// address; repeated addresses, keys and symbols; record counts against file
// sizes; the header fields and the layout of both tables. Every finding is
// appended to `findings` (CTBCheckFinding, owned by the caller's list from
// then on). Result: 0, 104, 109, 110 or a negative code (see above).
SYMBASE_API int TBCheckBaseSymbol(CTBData* handle, const char* directory, CObList* findings);

// Mends what the check finds in the files derived from the tables: rebuilds
// the four index files from the tables (each replaced file kept beside it as
// "<name>.bak"), corrects table headers that claim more rows than the file
// holds, and rolls back an interrupted write. It begins with a check: a
// sound base is left as it is (0), whoever has it open. Otherwise it needs
// the base to itself: not open in this handle nor anywhere else (104), and
// files this user may write (else kRows findings say which table stopped
// it, nothing is changed and the check's result is returned). Appends what
// it did (kRepaired) and what it could not mend (kRows) to `actions`.
// Another base open in the handle is no hindrance.
// Result: 0 when the base is sound afterwards, 109 or 110 when faults
// remain, 104, or a negative code (the files then as they were).
SYMBASE_API int TBRepairBaseSymbol(CTBData* handle, const char* directory, CObList* actions);

// Power-loss durability for the bases this handle creates or opens from now
// on: 1 syncs every commit to the disk, 0 (the default) leaves it to the
// operating system.
SYMBASE_API void TBSetDurability(CTBData* handle, int on);

// A batch: the calls made on the open base of `handle` between TBBeginBatch
// and TBEndBatch are written as one, with one commit instead of one per
// call (see the caveats above). TBBeginBatch takes the base for writing,
// waiting as a call does: 0, 104 when another process kept it past the
// wait, 100 while the base is locked, or a negative code. Inside a batch
// TBBeginBatch only counts: the batch ends at the TBEndBatch that matches
// the first. TBEndBatch writes the batch: 0, or the commit's negative code
// (reported; nothing of the batch is in the files); 111 (TB_BATCH_UNDONE)
// when a call inside the batch was interrupted by a failure the guard
// caught, in which case the whole batch is undone; 0 with no batch open.
// TBCloseBaseSymbol, TBOpenBaseSymbol and TBCreateBaseSymbol end an open
// batch first; TBLockBaseSymbol refuses to compact inside one (104); a
// handle freed inside one undoes it. Keep batches short: a few thousand
// calls, a fraction of a second, so that other processes do not wait.
SYMBASE_API int TBBeginBatch(CTBData* handle);
SYMBASE_API int TBEndBatch(CTBData* handle);

#endif
