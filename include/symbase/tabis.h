#ifndef SYMBASE_TABIS_H
#define SYMBASE_TABIS_H

// The symbol base's exported interface: the handle, the object record and the
// TB functions. Each function's comment gives its export ordinal and the
// operation number its error reports carry. The results they name by number
// are those of symbase/results.h, where TBResultMeaning gives each one's
// meaning.
//
// Contract shared by every guarded function (all but TBFreeTabisDll): a
// framework exception thrown inside is reported once to the host's error
// service (module 146, the operation number, severity 4, the exception's
// code, an empty text, "Tabisfctex", a line) and the function returns 0.
// Since 0 is also success, a host tells failure by the error service.
// The handle is not tested for null by guarded functions. A null pointer
// given for an object, a list, a directory or an out-parameter is refused:
// one report with the code 423, nothing touched, the result 0.
//
// Every call that reads or writes the base holds it for its whole length,
// so several processes may share one base: a base another process keeps
// busy past a short wait gives 104, and a write is all or nothing. The
// rules, and what they mean for a base on a file server, are in
// symbase/maintenance.h, with the integrity check and the repair.
//
// Caveats for hosts: one thread; a handle serves one base at a time; close
// the base (TBCloseBaseSymbol) before TBFreeTabisDll; never call a row
// operation while the base is locked (TBLockBaseSymbol).

#include "symbase/afx.h"
#include "symbase/afxcoll.h"
#include "symbase/afxwin.h"
#include "symbase/export.h"
#include "symbase/host_analysis.h"
#include "symbase/results.h"

// The storage object behind a handle; hosts use it only through pointers.
class CTBData;

// One object of the base: an address with its symbol and comment. Records
// handed out in lists belong to the caller's list.
class SYMBASE_API CTBObjetAts : public CObject {
 public:
  // Ordinal 3: empty texts, m_type all bits set, m_flag -1.
  CTBObjetAts();
  // Ordinal 4: address and symbol are cut at their first blank; the comment
  // is kept whole.
  CTBObjetAts(const char* repere, const char* symbole, const char* commentaire, DWORD type,
              short flag);
  // Ordinal 5.
  virtual ~CTBObjetAts();
  // Ordinal 6: assigns the five members as the constructor does.
  void Init(const char* repere, const char* symbole, const char* commentaire, DWORD type,
            short flag);

  CString m_repere;       // the address, as "%MW10"
  CString m_symbole;      // the symbol; empty when none
  CString m_commentaire;  // the free comment; empty when none
  DWORD m_type;           // a type word, as each call that fills it says
  short m_flag;           // a flag (a bit number in listings), as each call says
};

// The table engine's list link, exported for hosts that still use it.
struct SYMBASE_API l4linkSt {
  l4linkSt* n;  // the next link
  l4linkSt* p;  // the previous link
  // Ordinal 50: copies both links; returns the target.
  l4linkSt& operator=(const l4linkSt& other);
};

// Ordinal 1, operation 519: creates one storage object and stores its
// pointer in *handle (left unwritten after an exception).
SYMBASE_API void TBInitTabisDll(CTBData** handle);
// Ordinal 2, not guarded: destroys the object; null is accepted. Always 0.
SYMBASE_API int TBFreeTabisDll(CTBData* handle);

// Base life cycle. `directory` ends with a path separator: each file's path
// is the directory text followed by its name ("KR9.DBF", "KR9CMT.DBF",
// "KR9CLER.MDX", "KR9R.MDX", "KR9S.MDX", "KR9CMTR.MDX"); a directory of more
// than 72 characters is refused with a report.
// Ordinal 7, operation 500: creates the six files (replacing them). 0.
SYMBASE_API int TBCreateBaseSymbol(CTBData* handle, const char* directory, int ignored);
// Ordinal 8, operation 501: removes the six files of a closed base; each one
// that cannot be removed is reported. 0.
SYMBASE_API int TBDeleteBaseSymbol(CTBData* handle, const char* directory);
// Ordinal 9, operation 502: opens the six files; failures are reported and
// leave null handles. 0.
SYMBASE_API int TBOpenBaseSymbol(CTBData* handle, const char* directory);
// Ordinal 10, operation 524: closes every file and ends the engine session. 0.
SYMBASE_API int TBCloseBaseSymbol(CTBData* handle);
// Ordinal 11, operation 503: compacts both tables and closes the files:
// 0, 100 when already locked, 104 when another process uses a table, or a
// negative engine code.
SYMBASE_API int TBLockBaseSymbol(CTBData* handle);
// Ordinal 12, operation 504: reopens the files after a lock. 0.
SYMBASE_API int TBUnlockBaseSymbol(CTBData* handle, const char* directory);
// Ordinal 49, operation 536: the time of the last change (seconds since
// 1970-01-01 UTC) and 0; or 0 and -1 when nothing changed since create/open.
SYMBASE_API int TBLastModificationDate(CTBData* handle, long* date);

// Single objects. The object is in and out: an address padded to 36
// characters, a symbol or comment emptied by the modify modes, or the address
// of the row that already carries the symbol, come back in it.
// Results: 0; 101 the symbol is carried by another row; 102 or 103 no row has
// this address; 104 locked by another user; 1 (create) the comment row could
// not be written; negative: an engine error, already reported.
// Ordinal 13, operation 505: a new row (the address is not looked up).
SYMBASE_API int TBCreateObject(CTBData* handle, CTBObjetAts* object);
// Ordinal 14, operation 506: mode 0 symbol only, 1 comment only, 2 both.
SYMBASE_API int TBModifyObject(CTBData* handle, CTBObjetAts* object, int mode);
// Ordinal 15, operation 507: marks the row and its comment row deleted.
SYMBASE_API int TBDelObject(CTBData* handle, CTBObjetAts* object);

// Ordinal 16, operation 508: inserts an object as an import does. Mode 0
// replaces what conflicts, 1 keeps the base, 2 asks in the confirmation
// dialog (or applies the remembered "Oui pour &Tous" / "Non pour Tou&s").
// 0 handled; 106 the user interrupted; 107 the user refused; otherwise the
// failure of the first lookup (104, negative).
SYMBASE_API int TBInsertObject(CTBData* handle, CTBObjetAts* object, int mode);
// Ordinal 41, operation 530: sets both remembered answers (0: ask again).
SYMBASE_API void TBSetButtonAllPressed(CTBData* handle, int value);

// Searches. 102 and 103 mean not found.
// Ordinal 17, operation 509: the symbol of m_repere (102 when it has none).
SYMBASE_API int TBSearchSymbol(CTBData* handle, CTBObjetAts* object);
// Ordinal 18, operation 510: the address of m_symbole.
SYMBASE_API int TBSearchRepere(CTBData* handle, CTBObjetAts* object);
// Ordinal 19, not guarded: the symbol of an address into symbole[size]
// (size at least 33); 102 for a small buffer, an address over 36 characters
// or no symbol; other engine results untranslated and unreported.
SYMBASE_API int TBSearchSymbolAnalex(CTBData* handle, const char* repere, char* symbole, int size);
// Ordinal 20, not guarded: the address of a symbol into repere[size] (size at
// least 37); 102 for a small buffer or a symbol over 32 characters.
SYMBASE_API int TBSearchRepereAnalex(CTBData* handle, char* symbole, char* repere, int size);
// Ordinal 21, operation 511: by address (bySymbol 0) or by symbol: the other
// text, m_type (IND1's leading digits), m_flag (the row's last index, -1
// blank) and the comment (left as given when the row has none).
SYMBASE_API int TBSearchAttrib(CTBData* handle, CTBObjetAts* object, int bySymbol);
// Ordinal 34, operation 527: *empty 1 when no live row exists. 0.
SYMBASE_API int TBIsObjectBase(CTBData* handle, int* empty);
// Ordinal 43, operation 531: appends to `list` the address of every row whose
// symbol (field 0) or comment (field 1) contains (match 0), ends with (1) or
// begins with (2) `text`, case ignored; in symbol order or address-key order.
// 0, or 108 when no row passes the filter.
SYMBASE_API int TBFindStringInBase(CTBData* handle, CStringList& list, int symbolOrder, int field,
                                   const CString& text, int match);

// Addresses.
// Ordinal 48, operation 532: splits an address text into the object code
// (appended to objet), the first index (appended to ind1) and up to three
// more index texts (ind2..ind4 keep their value when the address has no such
// part). Every text gives some split; nothing is reported.
SYMBASE_API void TBDecodeRepere(CTBData* handle, CString& repere, CString& objet, CString& ind1,
                                CString& ind2, CString& ind3, CString& ind4);
// Ordinal 39, operation 528: the module address value of an analysed
// address: a bus module address \a.b.c\d packs to 2000 + a*2048 + b*512 +
// c*2 + d (and *position advances by 2); any other kind gives its plain
// value. 1 (value 0) when a > 1023, b > 3, c > 255 or d > 1; else 0.
SYMBASE_API int TBCodeChaineAdrModule(CTBData* handle, UsAts* result, unsigned int* value,
                                      int* position);
// Ordinal 38, operation 529: a module address value back to its text:
// "\a.b.c\d" above 2000, the plain number otherwise. 0.
SYMBASE_API int TBDecodeValeurAdrModule(CTBData* handle, unsigned int value, CString& text);

// Reconfiguration (TBReconfByType, TBReconfByMacroEtape, TBReconfDelObject,
// TBReconf, TBReconfMoveModule), step attributes (TBDelObjetDiagG7) and base
// conversion (TBTransformerBaseSymbolL1ToL2). Rows are marked deleted with
// their comments; the files keep them until TBLockBaseSymbol, and each call
// writes its changes, all or none, before it returns. Results: 0; 104 the
// base busy in another process (nothing changed); negative: an engine
// error, reported (a failed deletion mark or field write is only returned
// by the call, and the call's changes are then undone); 100, nothing
// touched, while the base is locked.
// None sets the modification date, except through a deleted comment row
// (TBReconfDelObject, TBDelObjetDiagG7). The move and TBDelObjetDiagG7 use
// the query that TBListSymbolByTypeObject keeps between its batches: do not
// call them while such a listing is unfinished.
// Ordinal 28, operation 522: deletes every object of the type (342 %MW, 401
// %C, 411 %DR, 441 %KB, 442 %KD, 443 %KF, 444 %KW, 461 %MB, 462 %MD, 463
// %MF, 464 %M, 481 %MN, 541 %R, 581 %TI, 591 %TM, 601 %X, 603 and 611 %XM)
// whose first index is at least `number`; for 342, 401, 411, 444, 481, 541,
// 581, 591 and 601 also their bits, fields or step attributes from that
// number on. Other types delete nothing.
SYMBASE_API int TBReconfByType(CTBData* handle, unsigned short typeCode, unsigned short number);
// Ordinal 35, operation 522: deletes the steps numbered `stepCount` and above
// of macro-step `macroStep` (counted from 1: macro-step 1 is %XM0), with
// their attributes; the IN and OUT steps stay. Macro-step 0 deletes nothing.
SYMBASE_API int TBReconfByMacroEtape(CTBData* handle, unsigned short typeCode,
                                     unsigned short macroStep, unsigned short stepCount);
// Ordinal 29, operation 522: deletes the object of the address and its
// comment; for the word types 434, 454, 474, 534 (module words, or module
// status words when the address has ".MOD") and 501 (network words) the bit
// rows of the word too. The address comes back padded to 36 characters.
// 102 or 103 when the row has a comment marker but no comment row (the row
// is deleted, its bits are kept). A null object does nothing: 0.
SYMBASE_API int TBReconfDelObject(CTBData* handle, CTBObjetAts* object, unsigned short typeCode,
                                  int ignored);
// Ordinal 30, not guarded, no handle: does nothing. 0.
SYMBASE_API int TBReconf();
// Ordinal 31, operation 523: the rows of the source module (a position, or
// a bus module address \a.b.c\d, as TBCodeChaineAdrModule codes them) move
// to the target: first index rewritten in both tables, the module part of
// each address rewritten ("%I1.2" to "%I3.2"). Rows already at the target
// stay and are joined. 102 or 103 when a commented row has no comment row
// (rows moved before stay moved). A null module, or a module number that no
// first index can hold, moves nothing: 0.
SYMBASE_API int TBReconfMoveModule(CTBData* handle, UsAts* source, UsAts* target);
// Ordinal 42, operation 530: deletes the rows of the time limits and errors
// of steps (%Xi.TMIN, .TMAX, .ERR, %Xj.i.TMIN ...) and of unknown step
// sub-fields, with their comments; steps, their T, IN and OUT stay. 102 or
// 103 when a commented row has no comment row (rows deleted before stay).
SYMBASE_API int TBDelObjetDiagG7(CTBData* handle);
// Ordinal 40, operation 500: converts an open base whose module numbers are
// written in decimal (level 1) to base 32 (level 2), in both tables, rows
// marked deleted excepted. Run it once: a second run damages the module
// keys. The result is 0 however the writes went (a failure is reported and
// the conversion undone), or 104 when another process keeps the base busy.
SYMBASE_API int TBTransformerBaseSymbolL1ToL2(CTBData* handle, int ignored);

// I/O lists (TBTriListeRepereES, TBFiltrerListeRepereES): a list of address
// texts of one module's inputs and outputs, changed in place. Neither needs
// an open base.
// Ordinal 44, operation 533: sorts the list in module order: first the
// module's own elements ("%CH..MOD", then "%I..MOD.ERR", then "%MW..MOD" by
// their IND2 and IND3), then by the number in IND2 and, for one number, by
// class: %C, %I with "ERR", %I, %IW, %ID, %IF, %Q, %QW, %QD, %QF, %MB, %MW,
// %MD, %MF, %KB, %KW, %KD, %KF (other %M and %K sizes before them), then by
// IND3 (absent: as 1) and IND4; other letters after every IND2 below 100.
// Equal keys are not kept in input order. After an exception the list may
// have lost elements.
SYMBASE_API void TBTriListeRepereES(CTBData* handle, CStringList* list);
// Ordinal 45, operation 534: keeps, in order, the elements whose first "I" or
// first "Q" within their first three characters is their second character
// (%I, %IW, %Q, %QD ...), unless they contain "ERR".
SYMBASE_API void TBFiltrerListeRepereES(CTBData* handle, CStringList* list);

// Listings, export and counting (TBListRepere ... TBListRepereAllBaseSymbol,
// TBExportSymbol, TBNumberObjectByType). `prefix` is an address prefix with
// its "%" ("%MW", "%I", "%M"). Entries are CTBObjetAts appended to the tail
// of `list` (never emptied) and belong to the caller, also those appended
// before a failure: delete each one. Each entry carries the address and the
// symbol (cut at their first blank), the comment when the row has one, and
// the type word and flag given below (else 0 and -1). The batch listings
// and the export hand out at most 50 entries per call: call again, passing
// back the resume value, until *finished is 1. While the base is locked every
// one returns 0 at once and writes nothing, *finished included: do not loop
// on it then. Results: 0; 104 locked by another user; a negative engine code,
// already reported.
// Ordinal 22, operation 512: rows of one object kind (OBJET exactly the
// prefix's letters) from IND1 firstInd1 up to lastInd1, at most `maximum`;
// type word IND1.
SYMBASE_API int TBListRepere(CTBData* handle, CString prefix, int firstInd1, int lastInd1,
                             unsigned int maximum, CObList* list);
// Ordinal 36, operation 512: for each position p from firstPosition to
// lastPosition, the row of the object itself (p 0), of its IN entry (p 1),
// of its OUT entry (p positionCount - 1) or of its entry p - 2, when it
// exists; at most `maximum` entries; type word p.
SYMBASE_API int TBListRepereModule(CTBData* handle, CString prefix, int ind1, int positionCount,
                                   unsigned int firstPosition, unsigned int lastPosition,
                                   unsigned int maximum, CObList* list);
// Ordinal 23, operation 513: the bits of word ind1 (prefix + "X"), at most
// `maximum`; type word IND1, flag the bit number.
SYMBASE_API int TBListRepereSousObjet(CTBData* handle, CString prefix, int ind1,
                                      unsigned int maximum, CObList* list);
// Ordinal 37, operation 513: the sub-entries 0 .. subEntryCount - 1 (IND3) of
// one position (as TBListRepereModule numbers them, position 0 excepted)
// that exist; type word the position, flag the bit number.
SYMBASE_API int TBListRepereModuleSousObjet(CTBData* handle, CString prefix, int ind1,
                                            int positionCount, int position,
                                            unsigned int subEntryCount, CObList* list);
// Ordinal 24, operation 514: the bits of the three-index object (prefix +
// "X", ind1, ind2, ind3), at most `maximum`; flag the bit number.
SYMBASE_API int TBListRepereTroisIndicesSousObjet(CTBData* handle, CString prefix, int ind1,
                                                  int ind2, int ind3, unsigned int maximum,
                                                  CObList* list);
// Ordinal 25, operation 515: every row of one object kind (its bits when
// subObject is non-zero) in key order from IND1 *ind1 on; type word IND1,
// flag the bit number. Unfinished, *ind1 is where the next call starts: rows
// of an IND1 cut by the batch come again in the next one (a batch that
// started on an IND1 takes all of its rows).
SYMBASE_API int TBListRepereByTypeObject(CTBData* handle, CString prefix, int subObject, int* ind1,
                                         CObList* list, int* finished);
// Ordinal 26, operation 516: the rows of one object kind in symbol order,
// those with a symbol (withSymbol non-zero) or those without; subObjectMode 0
// the object, 1 its bits, other values both (%M and %S: always the bits);
// prefix "%ES" with moduleNumber: that module's inputs and outputs. The
// first call of a listing passes firstCall non-zero, the next ones 0; the
// listing lives in the base's one query, which the export, the counting and
// the module move also use (a later call with no listing left in it
// finishes with nothing). Type word IND1, flag the bit number when
// subObjectMode is non-zero. A commented row without its comment row ends the
// call with 103 or 102.
SYMBASE_API int TBListSymbolByTypeObject(CTBData* handle, CString prefix, int subObjectMode,
                                         int firstCall, int withSymbol, CObList* list,
                                         int* finished, int moduleNumber);
// Ordinal 27, operation 517: every live address of the base in record order
// from record *record (1 = the first) on, without symbol or comment;
// unfinished, *record is where the next call starts. 105 when *record is
// below 1 or above the record count (an empty table always).
SYMBASE_API int TBListRepereAllBaseSymbol(CTBData* handle, long* record, CObList* list,
                                          int* finished);
// Ordinal 32, operation 525: exports the whole base in key order (empty
// prefix) or the rows of one object kind with its bits (%ES: a module's
// inputs and outputs) in record order, with symbols and comments. Set
// *counter to 1 for the first call; the export raises it to 2. 105 when
// *counter is below 1 or above the record count. Nothing else may use the
// base between the calls of one export.
SYMBASE_API int TBExportSymbol(CTBData* handle, CString prefix, int moduleNumber, long* counter,
                               CObList* list, int* finished);
// Ordinal 33, operation 526: *count receives the number of live rows of the
// base (empty prefix) or of one object kind with its bits (%ES: a module's
// inputs and outputs). 0 (a failure is reported and leaves the count so
// far). Ends a sorted listing or an export in progress.
SYMBASE_API int TBNumberObjectByType(CTBData* handle, CString prefix, int moduleNumber,
                                     long* count);

// Duplicate checks on an open base: rows that should be unique but are not.
// Not guarded: a framework exception reaches the caller. Each check walks one
// table in record order, deleted rows included, compares texts exactly as
// stored (case and blanks count), appends to `list` (never emptied first)
// each repeated text once for every occurrence after its first, in record
// order, and returns 1 when it appended something, else 0. A locked base
// (TBLockBaseSymbol) or a null handle gives 0 and reads nothing.
class SYMBASE_API CTBTest : public CObject {
  DECLARE_DYNAMIC(CTBTest)

 public:
  // Ordinal 100: keeps the handle, which stays the host's; touches no file.
  explicit CTBTest(CTBData* data);
  // Ordinal 101: releases nothing.
  ~CTBTest() override;

  // Ordinal 102: addresses (REPERE, 36 characters) of the main table.
  int ListOfDoublonRepSymb(CStringList& list);
  // Ordinal 103: keys of the main table: OBJET, IND1, IND2, IND3 and IND4
  // joined by single blanks (26 characters).
  int ListOfDoublonCleSymb(CStringList& list);
  // Ordinal 104: keys of the comment table, written the same way.
  int ListOfDoublonCleCmt(CStringList& list);

 private:
  CTBData* m_data;  // the handle, the host's
};

// On-line symbolization: the modal dialog "Associer Rep\xE8re & Symbole"
// (template 19308) that gives the word under the editor's caret a symbol and a
// comment, or a symbol an address, in the base the object server hands out
// (object 3). DoModal gives 1 once an object was stored, 2 when cancelled;
// the dialog closes at once with 2 when the word is unusable or the server
// has no open symbol base. Its screen position is kept in the host's
// settings (section 12, "SymbOnLinePosX" and "SymbOnLinePosY").
class SYMBASE_API CTBSymbOnLine : public CDialog {
 public:
  // Ordinal 46: `word` is the host's analysis of the word, kept but not
  // owned; it may be null (an unusable word). Nothing is read before DoModal.
  CTBSymbOnLine(UsAts* word, CWnd* parent);
  // Ordinal 47.
  ~CTBSymbOnLine() override;

  // Shows the tooltips of the controls the mouse is over, then lets the
  // dialog handle `pMsg`. TRUE when the message was handled.
  BOOL PreTranslateMessage(MSG* pMsg) override;

  // "Valider" runs CheckAndStore: CheckInput, then StoreInput when the entry
  // passed. Each gives 1 to go on and 0 to stay open, a message shown.
  // CheckInput reads the three texts (the address upper-cased, trailing
  // blanks dropped) and refuses an empty address or symbol, a symbol the
  // analyser cannot prepare (address from the word) or an address the host
  // does not accept as an object (address typed).
  virtual int CheckInput();
  virtual int CheckAndStore();
  // StoreInput refuses a symbol the object-name library refuses or an
  // address that already has a symbol; otherwise gives the address its
  // symbol and comment (modifying its row, or creating one), tells the
  // frame and the host, and gives 1. A base another process keeps busy
  // gives 0, for another try.
  virtual int StoreInput();

  CEdit m_editSymbole;      // control 1002
  CEdit m_editRepere;       // control 1004
  CEdit m_editCommentaire;  // control 1003
  CStatic m_labelRepere;    // control 1007
  CStatic m_labelSymbole;   // control 1008
  CString m_symbole;        // the symbol text exchanged with control 1002
  CString m_repere;         // the address text exchanged with control 1004
  CString m_commentaire;    // the comment text exchanged with control 1003
  UsAts* m_word;            // the host's analysis of the word, not owned
  CToolTipCtrl m_toolTip;   // the tooltips of the edit controls
  CTBObjetAts m_objet;      // the object looked up and written
  CTBData* m_base;          // from the object server, while the dialog is open
  int m_repereTyped;        // 1: the address is typed and must be analysed

 protected:
  // Binds the five controls and exchanges the three texts with them.
  void DoDataExchange(CDataExchange* pDX) override;
  // Starts afresh: takes the base from the object server, fills the texts
  // from the word (from the base, or from the declarations for a symbol they
  // declare), places the dialog at its saved position and closes it at once
  // (OnCancel) when the word is unusable. TRUE.
  BOOL OnInitDialog() override;
  // "Valider": CheckAndStore; when it gave 1, saves the position and ends
  // the dialog with 1 (IDOK), else stays open.
  void OnOK() override;
  // Saves the position and ends the dialog with 2 (IDCANCEL).
  void OnCancel() override;

  DECLARE_MESSAGE_MAP()
};

#endif
