#ifndef SYMBASE_AFX_H
#define SYMBASE_AFX_H

// The framework subset the library's interface is written in: the classes,
// types and macros its exported functions take and return, in the global
// namespace under the names the interface uses (CString, CObList, CDialog ...),
// so that a host passes them as they are, without wrappers.
//
// Caveats a host should know:
// - Texts are bytes in Windows-1252; nothing here converts them.
// - Framework exceptions are thrown as pointers (`throw new CFileException(...)`)
//   and released by the catcher with `Delete()`; `AfxThrowMemoryException`
//   throws one preallocated object whose `Delete()` does nothing.
// - A bad argument (index out of range, null position) never crashes: each
//   member gives its documented result for it, or throws
//   `CNotSupportedException`; nothing reads or writes outside its storage.

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <ctime>

#include "symbase/export.h"

// ---------------------------------------------------------------------------
// The usual types.

// The framework's names of integer, text and message types.
typedef int BOOL;
#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

typedef unsigned int UINT;
typedef std::intptr_t INT_PTR;
typedef std::uintptr_t UINT_PTR;
typedef std::int32_t LONG;
typedef std::uint32_t DWORD;
typedef std::uint16_t WORD;
typedef std::uint8_t BYTE;
typedef char TCHAR;
typedef const char* LPCSTR;
typedef char* LPSTR;
typedef const char* LPCTSTR;
typedef char* LPTSTR;
typedef UINT_PTR WPARAM;
typedef INT_PTR LPARAM;
typedef INT_PTR LRESULT;

#define LOWORD(l) (static_cast<WORD>(static_cast<UINT_PTR>(l) & 0xFFFF))
#define HIWORD(l) (static_cast<WORD>((static_cast<UINT_PTR>(l) >> 16) & 0xFFFF))
#define MAKELONG(lo, hi)                                         \
  (static_cast<LONG>(static_cast<DWORD>(static_cast<WORD>(lo)) | \
                     (static_cast<DWORD>(static_cast<WORD>(hi)) << 16)))
#define MAKEWPARAM(lo, hi) (static_cast<WPARAM>(static_cast<DWORD>(MAKELONG(lo, hi))))

// A point, a size and a rectangle in pixels or dialog units.
struct POINT {
  LONG x;
  LONG y;
};
typedef POINT* LPPOINT;

struct SIZE {
  LONG cx;
  LONG cy;
};

struct RECT {
  LONG left;
  LONG top;
  LONG right;
  LONG bottom;
};
typedef RECT* LPRECT;
typedef const RECT* LPCRECT;

// A RECT with the few helpers hosts use.
class CRect : public RECT {
 public:
  CRect() : RECT{0, 0, 0, 0} {}
  CRect(LONG l, LONG t, LONG r, LONG b) : RECT{l, t, r, b} {}
  CRect(const RECT& r) : RECT(r) {}  // NOLINT: implicit, a RECT passes as a CRect
  LONG Width() const { return right - left; }
  LONG Height() const { return bottom - top; }
  BOOL IsRectEmpty() const { return right <= left || bottom <= top; }
  void OffsetRect(LONG dx, LONG dy) {
    left += dx;
    right += dx;
    top += dy;
    bottom += dy;
  }
  operator LPRECT() { return this; }
  operator LPCRECT() const { return this; }
  bool operator==(const RECT& r) const {
    return left == r.left && top == r.top && right == r.right && bottom == r.bottom;
  }
  bool operator!=(const RECT& r) const { return !(*this == r); }
};

// Message box answers and styles.
#define IDOK 1
#define IDCANCEL 2
#define IDABORT 3
#define IDRETRY 4
#define IDIGNORE 5
#define IDYES 6
#define IDNO 7

#define MB_OK 0x00000000u
#define MB_OKCANCEL 0x00000001u
#define MB_ABORTRETRYIGNORE 0x00000002u
#define MB_YESNOCANCEL 0x00000003u
#define MB_YESNO 0x00000004u
#define MB_RETRYCANCEL 0x00000005u
#define MB_ICONHAND 0x00000010u
#define MB_ICONSTOP MB_ICONHAND
#define MB_ICONERROR MB_ICONHAND
#define MB_ICONQUESTION 0x00000020u
#define MB_ICONEXCLAMATION 0x00000030u
#define MB_ICONWARNING MB_ICONEXCLAMATION
#define MB_ICONINFORMATION 0x00000040u
#define MB_ICONASTERISK MB_ICONINFORMATION

#ifndef ASSERT
#include <cassert>
#define ASSERT(f) assert(f)
#endif
#ifndef VERIFY
#define VERIFY(f) ((void)(f))
#endif
#ifndef TRACE
#define TRACE(...) ((void)0)
#endif
#define ASSERT_VALID(p) ((void)(p))

// Declared ahead; each is described where it is defined (CDumpContext below,
// CString further on).
class CObject;
class CArchive;
class CDumpContext;
class CString;

// ---------------------------------------------------------------------------
// Run-time class information.

// What a class with DECLARE_DYNAMIC tells of itself at run time.
struct SYMBASE_API CRuntimeClass {
  LPCSTR m_lpszClassName;             // the class's name, as "CTBTest"
  int m_nObjectSize;                  // sizeof an object of the class
  UINT m_wSchema;                     // 0xFFFF for classes that are not serializable
  CObject* (*m_pfnCreateObject)();    // null: no class here is created by name
  const CRuntimeClass* m_pBaseClass;  // the base class's; null for CObject

  // True when this class is pClass or derives from it.
  BOOL IsDerivedFrom(const CRuntimeClass* pBaseClass) const;
};

#define RUNTIME_CLASS(class_name) (const_cast<CRuntimeClass*>(&class_name::class##class_name))

#define DECLARE_DYNAMIC(class_name)             \
 public:                                        \
  static const CRuntimeClass class##class_name; \
  CRuntimeClass* GetRuntimeClass() const override;

#define IMPLEMENT_DYNAMIC(class_name, base_class_name)                    \
  const CRuntimeClass class_name::class##class_name = {                   \
      #class_name, static_cast<int>(sizeof(class_name)), 0xFFFF, nullptr, \
      RUNTIME_CLASS(base_class_name)};                                    \
  CRuntimeClass* class_name::GetRuntimeClass() const { return RUNTIME_CLASS(class_name); }

// ---------------------------------------------------------------------------
// The root of the framework's classes. Virtual slots in this order:
// GetRuntimeClass, destructor, Serialize, AssertValid, Dump.

class SYMBASE_API CObject {
 public:
  // The object's class; CObject's own for a plain CObject.
  virtual CRuntimeClass* GetRuntimeClass() const;
  virtual ~CObject();
  // Nothing to store or load: a CObject writes nothing and reads nothing.
  virtual void Serialize(CArchive& ar);
  // Checks nothing: the framework's own checks are compiled out.
  virtual void AssertValid() const;
  // Writes "a <class name> at <address>" and a line end to `dc`.
  virtual void Dump(CDumpContext& dc) const;

  // True when the object's class is pClass or derives from it; false for null.
  BOOL IsKindOf(const CRuntimeClass* pClass) const;
  // True when the class has a schema (m_wSchema not 0xFFFF): never, for the
  // classes here.
  BOOL IsSerializable() const;

  // CObject's run-time class, the root of every other's chain.
  static const CRuntimeClass classCObject;

 protected:
  // Only derived objects exist.
  CObject() = default;
  // Copying is left to the derived classes that want it.
  CObject(const CObject&) = default;
  CObject& operator=(const CObject&) = default;
};

// Only declared: nothing in the library serializes through archives.
class SYMBASE_API CArchive {
 public:
  enum Mode { store = 0, load = 1 };
  // An archive that stores or loads, by `nMode`.
  explicit CArchive(UINT nMode) : m_nMode(nMode) {}
  // Whether the archive loads or stores.
  BOOL IsLoading() const { return (m_nMode & load) != 0; }
  BOOL IsStoring() const { return (m_nMode & load) == 0; }

 private:
  UINT m_nMode;  // a Mode
};

// ---------------------------------------------------------------------------
// CString: a byte string that owns its buffer. Indexes are 0-based ints; an
// index or count out of range is clamped as each member says.

class SYMBASE_API CString {
 public:
  // An empty string; a copy; a string that takes another's buffer, leaving
  // it empty.
  CString() noexcept;
  CString(const CString& other);
  CString(CString&& other) noexcept;
  CString(LPCTSTR psz);  // NOLINT: implicit, a C string passes as a CString; null gives ""
  CString(LPCTSTR pch, int nLength);  // the first nLength bytes (negative: none)
  CString(char ch, int nRepeat = 1);  // nRepeat <= 0 gives ""
  ~CString();

  // Assignments, as the constructors (null gives ""); each returns *this.
  CString& operator=(const CString& other);
  CString& operator=(CString&& other) noexcept;
  CString& operator=(LPCTSTR psz);
  CString& operator=(char ch);
  // The text becomes (SetString) or gains at its end (Append) the first
  // nLength bytes of pch, up to a NUL among them (negative: none).
  void SetString(LPCTSTR pch, int nLength);
  void Append(LPCTSTR pch, int nLength);

  // The length in bytes, whether it is 0, and emptying it.
  int GetLength() const { return m_nLength; }
  BOOL IsEmpty() const { return m_nLength == 0; }
  void Empty();
  // The byte at nIndex; '\0' when nIndex is outside [0, length).
  char GetAt(int nIndex) const;
  char operator[](int nIndex) const { return GetAt(nIndex); }
  // Replaces the byte at nIndex; an index outside [0, length) is ignored.
  void SetAt(int nIndex, char ch);
  operator LPCTSTR() const { return m_pchData; }
  LPCTSTR GetString() const { return m_pchData; }  // never null

  // Appending and joining; null counts as "".
  CString& operator+=(const CString& s);
  CString& operator+=(LPCTSTR psz);
  CString& operator+=(char ch);
  friend SYMBASE_API CString operator+(const CString& a, const CString& b);
  friend SYMBASE_API CString operator+(const CString& a, LPCTSTR b);
  friend SYMBASE_API CString operator+(LPCTSTR a, const CString& b);
  friend SYMBASE_API CString operator+(const CString& a, char b);
  friend SYMBASE_API CString operator+(char a, const CString& b);

  // Byte order (unsigned): negative, 0 or positive. Null compares as "".
  int Compare(LPCTSTR psz) const;
  // Same after lower-casing both sides in Windows-1252.
  int CompareNoCase(LPCTSTR psz) const;
  int Collate(LPCTSTR psz) const { return Compare(psz); }  // as Compare

  // Substrings; first and count are clamped to the string.
  CString Mid(int nFirst) const;
  CString Mid(int nFirst, int nCount) const;
  CString Left(int nCount) const;
  CString Right(int nCount) const;
  // The longest start made only of bytes in (not in) the set.
  CString SpanIncluding(LPCTSTR lpszCharSet) const;
  CString SpanExcluding(LPCTSTR lpszCharSet) const;

  // Windows-1252 case mapping (é <-> É, œ <-> Œ ...).
  void MakeUpper();
  void MakeLower();
  void MakeReverse();  // the bytes in reverse order

  // Searches give the 0-based index or -1. A start below 0 counts as 0, a start
  // beyond the end finds nothing; an empty text is found at the start.
  int Find(char ch) const { return Find(ch, 0); }
  int Find(char ch, int nStart) const;
  int Find(LPCTSTR lpszSub) const { return Find(lpszSub, 0); }
  int Find(LPCTSTR lpszSub, int nStart) const;
  int ReverseFind(char ch) const;            // the last `ch`
  int FindOneOf(LPCTSTR lpszCharSet) const;  // the first byte of the set

  // Number of replacements or removals made. An empty or null old text
  // replaces nothing.
  int Replace(char chOld, char chNew);
  int Replace(LPCTSTR lpszOld, LPCTSTR lpszNew);
  int Remove(char ch);
  // Insert at nIndex (clamped); result is the new length.
  int Insert(int nIndex, char ch);
  int Insert(int nIndex, LPCTSTR psz);
  // Deletes nCount bytes from nIndex (clamped); result is the new length.
  int Delete(int nIndex, int nCount = 1);

  // Remove the blanks, or the given byte or bytes, at the start (TrimLeft),
  // the end (TrimRight) or both (Trim). Blanks are space, tab, CR, LF, VT
  // and FF.
  void TrimLeft();
  void TrimLeft(char chTarget);
  void TrimLeft(LPCTSTR lpszTargets);
  void TrimRight();
  void TrimRight(char chTarget);
  void TrimRight(LPCTSTR lpszTargets);
  void Trim();
  void Trim(char chTarget);
  void Trim(LPCTSTR lpszTargets);

  // printf-like, any length. A format error leaves the string empty.
  void Format(LPCTSTR lpszFormat, ...) __attribute__((format(printf, 2, 3)));
  // The format is the string resource nFormatID (empty when missing).
  void Format(UINT nFormatID, ...);
  void FormatV(LPCTSTR lpszFormat, va_list argList) __attribute__((format(printf, 2, 0)));

  // A writable buffer of at least nMinBufLength + 1 bytes holding the current
  // text; negative lengths count as 0. ReleaseBuffer(-1) takes the length up to
  // the first NUL (within the buffer); a given length is clamped to the buffer.
  LPTSTR GetBuffer(int nMinBufLength);
  LPTSTR GetBufferSetLength(int nNewLength);
  void ReleaseBuffer(int nNewLength = -1);
  // Returns the capacity beyond the length to the heap.
  void FreeExtra();
  // The buffer as GetBuffer(0) gives it; unlocking does nothing.
  LPTSTR LockBuffer() { return GetBuffer(0); }
  void UnlockBuffer() {}

  // Loads the string resource nID through the resource chain; FALSE and an
  // empty string when no registered module holds it.
  BOOL LoadString(UINT nID);

 private:
  void Reserve(int nCapacity);
  void Assign(LPCTSTR pch, int nLength);
  void AppendBytes(LPCTSTR pch, int nLength);
  void SetLength(int nLength);
  // Whether the text is in memory of its own from the heap.
  bool OnHeap() const;
  // Takes other's text (other's memory, or a copy of its inline bytes) and
  // leaves other empty; this string holds nothing of its own before.
  void TakeFrom(CString& other) noexcept;

  // Texts this short are kept in the object itself, without an allocation.
  static constexpr int kInlineCapacity = 23;

  char* m_pchData;  // never null; points at a shared "" while nothing is held
  int m_nLength;
  int m_nCapacity;  // bytes usable before the terminating NUL; 0 for the shared ""
  char m_inline[kInlineCapacity + 1];
};

// Comparisons in byte order (unsigned), as Compare; null counts as "".
SYMBASE_API bool operator==(const CString& a, const CString& b);
SYMBASE_API bool operator==(const CString& a, LPCTSTR b);
SYMBASE_API bool operator==(LPCTSTR a, const CString& b);
SYMBASE_API bool operator!=(const CString& a, const CString& b);
SYMBASE_API bool operator!=(const CString& a, LPCTSTR b);
SYMBASE_API bool operator!=(LPCTSTR a, const CString& b);
SYMBASE_API bool operator<(const CString& a, const CString& b);
SYMBASE_API bool operator<(const CString& a, LPCTSTR b);
SYMBASE_API bool operator<(LPCTSTR a, const CString& b);
SYMBASE_API bool operator>(const CString& a, const CString& b);
SYMBASE_API bool operator>(const CString& a, LPCTSTR b);
SYMBASE_API bool operator>(LPCTSTR a, const CString& b);
SYMBASE_API bool operator<=(const CString& a, const CString& b);
SYMBASE_API bool operator<=(const CString& a, LPCTSTR b);
SYMBASE_API bool operator<=(LPCTSTR a, const CString& b);
SYMBASE_API bool operator>=(const CString& a, const CString& b);
SYMBASE_API bool operator>=(const CString& a, LPCTSTR b);
SYMBASE_API bool operator>=(LPCTSTR a, const CString& b);

// Collects what objects dump, for diagnostics.
class SYMBASE_API CDumpContext {
 public:
  // Appends the text, the number in decimal or the pointer as printf's "%p"
  // writes it; returns *this.
  CDumpContext& operator<<(LPCTSTR psz);
  CDumpContext& operator<<(int n);
  CDumpContext& operator<<(UINT n);
  CDumpContext& operator<<(long n);
  CDumpContext& operator<<(const void* p);
  // All that was appended.
  const CString& GetText() const { return m_strText; }

 private:
  CString m_strText;  // what was appended
};

// ---------------------------------------------------------------------------
// Time values: seconds since 1 January 1970 UTC.

// A length of time in seconds.
class SYMBASE_API CTimeSpan {
 public:
  // No time; `seconds`; or days, hours, minutes and seconds added up.
  CTimeSpan() : m_timeSpan(0) {}
  explicit CTimeSpan(time_t seconds) : m_timeSpan(seconds) {}
  CTimeSpan(LONG lDays, int nHours, int nMins, int nSecs);
  // The whole span in seconds; the whole days in it.
  time_t GetTotalSeconds() const { return m_timeSpan; }
  LONG GetDays() const { return static_cast<LONG>(m_timeSpan / 86400); }
  bool operator==(CTimeSpan o) const { return m_timeSpan == o.m_timeSpan; }
  bool operator!=(CTimeSpan o) const { return m_timeSpan != o.m_timeSpan; }
  bool operator<(CTimeSpan o) const { return m_timeSpan < o.m_timeSpan; }
  bool operator>(CTimeSpan o) const { return m_timeSpan > o.m_timeSpan; }

 private:
  time_t m_timeSpan;  // seconds
};

// A point in time.
class SYMBASE_API CTime {
 public:
  // 1970-01-01 00:00:00 UTC; the time `time`.
  CTime() : m_time(0) {}
  CTime(time_t time) : m_time(time) {}  // NOLINT: implicit, a time_t passes as a CTime
  // Local time; fields out of range are normalised as mktime does; a time that
  // cannot be represented gives 0.
  CTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec, int nDST = -1);

  // Now.
  static CTime GetCurrentTime();
  // The time in seconds since 1970-01-01 UTC.
  time_t GetTime() const { return m_time; }

  // Local-time fields.
  int GetYear() const;
  int GetMonth() const;
  int GetDay() const;
  int GetHour() const;
  int GetMinute() const;
  int GetSecond() const;
  int GetDayOfWeek() const;  // 1 = Sunday

  // strftime formats, in local time and in UTC.
  CString Format(LPCTSTR pFormat) const;
  CString FormatGmt(LPCTSTR pFormat) const;

  // Differences, shifts and comparisons in seconds.
  CTimeSpan operator-(CTime other) const { return CTimeSpan(m_time - other.m_time); }
  CTime operator+(CTimeSpan span) const { return CTime(m_time + span.GetTotalSeconds()); }
  CTime operator-(CTimeSpan span) const { return CTime(m_time - span.GetTotalSeconds()); }
  bool operator==(CTime o) const { return m_time == o.m_time; }
  bool operator!=(CTime o) const { return m_time != o.m_time; }
  bool operator<(CTime o) const { return m_time < o.m_time; }
  bool operator>(CTime o) const { return m_time > o.m_time; }
  bool operator<=(CTime o) const { return m_time <= o.m_time; }
  bool operator>=(CTime o) const { return m_time >= o.m_time; }

 private:
  // The local-time fields into *out; false when they cannot be had.
  bool LocalFields(struct tm* out) const;
  time_t m_time;  // seconds since 1970-01-01 UTC
};

// ---------------------------------------------------------------------------
// Exceptions, thrown as pointers and released by the catcher with Delete().

class SYMBASE_API CException : public CObject {
  DECLARE_DYNAMIC(CException)
 public:
  // An exception that Delete() frees; with bAutoDelete FALSE, a preallocated
  // one that Delete() leaves alone.
  CException();
  explicit CException(BOOL bAutoDelete);
  ~CException() override;
  // Deletes the exception unless it is a preallocated one.
  void Delete();
  // A text for the failure; FALSE and an empty buffer when there is none.
  virtual BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = NULL);

 protected:
  BOOL m_bAutoDelete;  // TRUE when Delete() frees the exception
};

// An allocation failed.
class SYMBASE_API CMemoryException : public CException {
  DECLARE_DYNAMIC(CMemoryException)
 public:
  // As CException's constructors.
  CMemoryException() = default;
  explicit CMemoryException(BOOL bAutoDelete) : CException(bAutoDelete) {}
};

// An operation this framework subset does not support, or an argument it
// refuses.
class SYMBASE_API CNotSupportedException : public CException {
  DECLARE_DYNAMIC(CNotSupportedException)
};

// An operation the user stopped, already told of.
class SYMBASE_API CUserException : public CException {
  DECLARE_DYNAMIC(CUserException)
};

// A resource (string, dialog template) could not be loaded.
class SYMBASE_API CResourceException : public CException {
  DECLARE_DYNAMIC(CResourceException)
};

// A file operation failed, for the cause given.
class SYMBASE_API CFileException : public CException {
  DECLARE_DYNAMIC(CFileException)
 public:
  // Causes.
  enum {
    none = 0,
    generic = 1,
    fileNotFound = 2,
    badPath = 3,
    tooManyOpenFiles = 4,
    accessDenied = 5,
    invalidFile = 6,
    removeCurrentDir = 7,
    directoryFull = 8,
    badSeek = 9,
    hardIO = 10,
    sharingViolation = 11,
    lockViolation = 12,
    diskFull = 13,
    endOfFile = 14
  };

  // A failure of `cause` (the enumeration above), with the system's error
  // number and the file's name when known.
  explicit CFileException(int cause = none, LONG lOsError = -1, LPCTSTR pstrFileName = NULL);
  // "<file>: <system's reason>", or "<file>: cause <n>" without an error
  // number, cut to nMaxError bytes with its NUL: TRUE; FALSE and nothing
  // written for a null or empty buffer.
  BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = NULL) override;

  // The cause for an operating-system error number (errno); generic for an
  // unknown number, none for 0.
  static int OsErrorToException(LONG lOsError);
  static int ErrnoToException(int nErrno) { return OsErrorToException(nErrno); }  // the same
  // Throw a CFileException for errno-style error numbers; none for 0 still throws.
  [[noreturn]] static void ThrowOsError(LONG lOsError, LPCTSTR lpszFileName = NULL);
  [[noreturn]] static void ThrowErrno(int nErrno, LPCTSTR lpszFileName = NULL);

  int m_cause;            // one of the causes above
  LONG m_lOsError;        // the errno, or -1 when none applies
  CString m_strFileName;  // the file concerned; empty when unknown
};

// An archive operation failed, for the cause given.
class SYMBASE_API CArchiveException : public CException {
  DECLARE_DYNAMIC(CArchiveException)
 public:
  // Causes.
  enum {
    none = 0,
    generic = 1,
    readOnly = 2,
    endOfFile = 3,
    writeOnly = 4,
    badIndex = 5,
    badClass = 6,
    badSchema = 7
  };
  // A failure of `cause`, with the archive's name when known.
  explicit CArchiveException(int cause = none, LPCTSTR lpszArchiveName = NULL);

  int m_cause;            // one of the causes above
  CString m_strFileName;  // the archive concerned; empty when unknown
};

// Throw a new exception of the class named (the memory exception: the one
// preallocated object), with the cause, error number and name given.
[[noreturn]] SYMBASE_API void AfxThrowMemoryException();
[[noreturn]] SYMBASE_API void AfxThrowNotSupportedException();
[[noreturn]] SYMBASE_API void AfxThrowUserException();
[[noreturn]] SYMBASE_API void AfxThrowResourceException();
[[noreturn]] SYMBASE_API void AfxThrowFileException(int cause, LONG lOsError = -1,
                                                    LPCTSTR lpszFileName = NULL);
[[noreturn]] SYMBASE_API void AfxThrowArchiveException(int cause, LPCTSTR lpszArchiveName = NULL);

// ---------------------------------------------------------------------------
// Files: only the static operations on names.

class SYMBASE_API CFile {
 public:
  // Removes a file; throws a CFileException whose cause matches errno (a
  // missing file gives fileNotFound, a directory accessDenied). Null counts as "".
  static void Remove(LPCTSTR lpszFileName);
  // Renames a file; throws a CFileException as Remove does.
  static void Rename(LPCTSTR lpszOldName, LPCTSTR lpszNewName);
};

#endif
