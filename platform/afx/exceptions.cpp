// The framework's exception classes, the AfxThrow helpers, the mapping of
// errno to file-exception causes, and the static file operations.

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "symbase/afx.h"

IMPLEMENT_DYNAMIC(CException, CObject)
IMPLEMENT_DYNAMIC(CMemoryException, CException)
IMPLEMENT_DYNAMIC(CNotSupportedException, CException)
IMPLEMENT_DYNAMIC(CUserException, CException)
IMPLEMENT_DYNAMIC(CResourceException, CException)
IMPLEMENT_DYNAMIC(CFileException, CException)
IMPLEMENT_DYNAMIC(CArchiveException, CException)

CException::CException() : m_bAutoDelete(TRUE) {}

CException::CException(BOOL bAutoDelete) : m_bAutoDelete(bAutoDelete) {}

CException::~CException() = default;

void CException::Delete() {
  if (m_bAutoDelete) delete this;
}

BOOL CException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext) {
  if (pnHelpContext != nullptr) *pnHelpContext = 0;
  if (lpszError != nullptr && nMaxError > 0) lpszError[0] = '\0';
  return FALSE;
}

CFileException::CFileException(int cause, LONG lOsError, LPCTSTR pstrFileName)
    : m_cause(cause), m_lOsError(lOsError), m_strFileName(pstrFileName) {}

BOOL CFileException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext) {
  if (pnHelpContext != nullptr) *pnHelpContext = 0;
  if (lpszError == nullptr || nMaxError == 0) return FALSE;
  CString text;
  if (m_lOsError > 0) {
    text.Format("%s: %s", LPCTSTR(m_strFileName), std::strerror(m_lOsError));
  } else {
    text.Format("%s: cause %d", LPCTSTR(m_strFileName), m_cause);
  }
  std::snprintf(lpszError, nMaxError, "%s", LPCTSTR(text));
  return TRUE;
}

int CFileException::OsErrorToException(LONG lOsError) {
  switch (lOsError) {
    case 0:
      return none;
    case ENOENT:
      return fileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
    case EXDEV:
    case ENODEV:
    case ENXIO:
      return badPath;
    case EMFILE:
    case ENFILE:
      return tooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case EEXIST:
    case EBUSY:
      return accessDenied;
    case EBADF:
      return invalidFile;
    case ENOTEMPTY:
      return removeCurrentDir;
    case EMLINK:
      return directoryFull;
    case ESPIPE:
    case EOVERFLOW:
      return badSeek;
    case EIO:
      return hardIO;
    case ETXTBSY:
      return sharingViolation;
    case EAGAIN:
    case EDEADLK:
    case ENOLCK:
      return lockViolation;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return diskFull;
    default:
      return generic;
  }
}

void CFileException::ThrowOsError(LONG lOsError, LPCTSTR lpszFileName) {
  AfxThrowFileException(OsErrorToException(lOsError), lOsError, lpszFileName);
}

void CFileException::ThrowErrno(int nErrno, LPCTSTR lpszFileName) {
  ThrowOsError(nErrno, lpszFileName);
}

CArchiveException::CArchiveException(int cause, LPCTSTR lpszArchiveName)
    : m_cause(cause), m_strFileName(lpszArchiveName) {}

void AfxThrowMemoryException() {
  // Preallocated: there may be no memory left to build a new one.
  static CMemoryException s_outOfMemory(FALSE);
  throw &s_outOfMemory;
}

void AfxThrowNotSupportedException() { throw new CNotSupportedException; }

void AfxThrowUserException() { throw new CUserException; }

void AfxThrowResourceException() { throw new CResourceException; }

void AfxThrowFileException(int cause, LONG lOsError, LPCTSTR lpszFileName) {
  throw new CFileException(cause, lOsError, lpszFileName);
}

void AfxThrowArchiveException(int cause, LPCTSTR lpszArchiveName) {
  throw new CArchiveException(cause, lpszArchiveName);
}

void CFile::Remove(LPCTSTR lpszFileName) {
  LPCTSTR name = lpszFileName == nullptr ? "" : lpszFileName;
  // unlink, not remove(): Remove deletes files only, so a directory is refused
  // (EISDIR) rather than removed when empty.
  if (unlink(name) == 0) return;
  CFileException::ThrowErrno(errno, name);
}

void CFile::Rename(LPCTSTR lpszOldName, LPCTSTR lpszNewName) {
  LPCTSTR from = lpszOldName == nullptr ? "" : lpszOldName;
  LPCTSTR to = lpszNewName == nullptr ? "" : lpszNewName;
  // Rename never replaces an existing file: a name already taken is an error
  // (EEXIST), so a caller cannot lose a file by renaming onto it.
  if (renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) return;
  if (errno == EINVAL || errno == ENOSYS) {
    // A file system without the no-replace flag: check, then rename.
    if (access(to, F_OK) == 0) CFileException::ThrowErrno(EEXIST, from);
    if (rename(from, to) == 0) return;
  }
  CFileException::ThrowErrno(errno, from);
}
