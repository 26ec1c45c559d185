#ifndef SYMBASE_TABIS_H
#define SYMBASE_TABIS_H

// The symbol base's exported interface: the handle, the object record and the
// TB functions. Each function's comment gives its export ordinal and the
// operation number its error reports carry.
//
// Contract shared by every guarded function (all but TBFreeTabisDll): a
// framework exception thrown inside is reported once to the host's error
// service (module 146, the operation number, severity 4, the exception's
// code, an empty text, "Tabisfctex", a line) and the function returns 0.
// Since 0 is also success, a host tells failure by the error service.
// The handle is not tested for null by guarded functions.
//
// Caveats for hosts: one thread; a handle serves one base at a time; close
// the base (TBCloseBaseSymbol) before TBFreeTabisDll; never call a row
// operation while the base is locked (TBLockBaseSymbol).

#include "symbase/afx.h"
#include "symbase/afxcoll.h"
#include "symbase/export.h"
#include "symbase/host_analysis.h"

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

  CString m_repere;
  CString m_symbole;
  CString m_commentaire;
  DWORD m_type;
  short m_flag;
};

// The table engine's list link, exported for hosts that still use it.
struct SYMBASE_API l4linkSt {
  l4linkSt* n;
  l4linkSt* p;
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

#endif
