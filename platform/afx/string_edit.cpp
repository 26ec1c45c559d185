// CString searches, edits, case mapping, trimming and formatting.

#include <cstdio>
#include <cstring>

#include "symbase/afx.h"
#include "symbase/afxwin.h"
#include "symbase/cp1252.h"

namespace {

const char kBlanks[] = " \t\r\n\v\f";

LPCTSTR OrEmpty(LPCTSTR psz) { return psz == nullptr ? "" : psz; }

bool IsIn(char ch, LPCTSTR set) { return ch != '\0' && std::strchr(set, ch) != nullptr; }

// Length of the run at the start of [p, p + n) whose bytes are in set.
int LeadingRun(LPCTSTR p, int n, LPCTSTR set) {
  int i = 0;
  while (i < n && IsIn(p[i], set)) ++i;
  return i;
}

// Length of the string once the run at its end whose bytes are in set is cut.
int LengthWithoutTrailingRun(LPCTSTR p, int n, LPCTSTR set) {
  while (n > 0 && IsIn(p[n - 1], set)) --n;
  return n;
}

int Clamp(int value, int low, int high) {
  return value < low ? low : (value > high ? high : value);
}

}  // namespace

int CString::CompareNoCase(LPCTSTR psz) const {
  const auto* a = reinterpret_cast<const unsigned char*>(m_pchData);
  const auto* b = reinterpret_cast<const unsigned char*>(OrEmpty(psz));
  for (;; ++a, ++b) {
    int ca = symbase::Cp1252ToLower(*a);
    int cb = symbase::Cp1252ToLower(*b);
    if (ca != cb) return ca - cb;
    if (ca == 0) return 0;
  }
}

CString CString::Mid(int nFirst) const { return Mid(nFirst, m_nLength); }

CString CString::Mid(int nFirst, int nCount) const {
  nFirst = Clamp(nFirst, 0, m_nLength);
  nCount = Clamp(nCount, 0, m_nLength - nFirst);
  return CString(m_pchData + nFirst, nCount);
}

CString CString::Left(int nCount) const { return Mid(0, nCount); }

CString CString::Right(int nCount) const {
  nCount = Clamp(nCount, 0, m_nLength);
  return Mid(m_nLength - nCount, nCount);
}

CString CString::SpanIncluding(LPCTSTR lpszCharSet) const {
  return Left(LeadingRun(m_pchData, m_nLength, OrEmpty(lpszCharSet)));
}

CString CString::SpanExcluding(LPCTSTR lpszCharSet) const {
  return Left(static_cast<int>(std::strcspn(m_pchData, OrEmpty(lpszCharSet))));
}

void CString::MakeUpper() {
  for (int i = 0; i < m_nLength; ++i) {
    m_pchData[i] =
        static_cast<char>(symbase::Cp1252ToUpper(static_cast<unsigned char>(m_pchData[i])));
  }
}

void CString::MakeLower() {
  for (int i = 0; i < m_nLength; ++i) {
    m_pchData[i] =
        static_cast<char>(symbase::Cp1252ToLower(static_cast<unsigned char>(m_pchData[i])));
  }
}

void CString::MakeReverse() {
  for (int i = 0, j = m_nLength - 1; i < j; ++i, --j) {
    char t = m_pchData[i];
    m_pchData[i] = m_pchData[j];
    m_pchData[j] = t;
  }
}

int CString::Find(char ch, int nStart) const {
  if (nStart < 0) nStart = 0;
  if (nStart >= m_nLength) return -1;
  const void* hit = std::memchr(m_pchData + nStart, ch, static_cast<size_t>(m_nLength - nStart));
  return hit == nullptr ? -1 : static_cast<int>(static_cast<LPCTSTR>(hit) - m_pchData);
}

int CString::Find(LPCTSTR lpszSub, int nStart) const {
  if (nStart < 0) nStart = 0;
  if (nStart > m_nLength) return -1;
  LPCTSTR hit = std::strstr(m_pchData + nStart, OrEmpty(lpszSub));
  return hit == nullptr ? -1 : static_cast<int>(hit - m_pchData);
}

int CString::ReverseFind(char ch) const {
  if (ch == '\0') return -1;
  LPCTSTR hit = std::strrchr(m_pchData, ch);
  return hit == nullptr ? -1 : static_cast<int>(hit - m_pchData);
}

int CString::FindOneOf(LPCTSTR lpszCharSet) const {
  LPCTSTR hit = std::strpbrk(m_pchData, OrEmpty(lpszCharSet));
  return hit == nullptr ? -1 : static_cast<int>(hit - m_pchData);
}

int CString::Replace(char chOld, char chNew) {
  int count = 0;
  for (int i = 0; i < m_nLength; ++i) {
    if (m_pchData[i] == chOld) {
      m_pchData[i] = chNew;
      ++count;
    }
  }
  return count;
}

int CString::Replace(LPCTSTR lpszOld, LPCTSTR lpszNew) {
  int oldLength = static_cast<int>(std::strlen(OrEmpty(lpszOld)));
  if (oldLength == 0 || m_nLength == 0) return 0;
  // Built aside so that lpszOld and lpszNew may point into this string.
  CString result;
  int count = 0;
  int from = 0;
  for (int hit = Find(lpszOld, 0); hit >= 0; hit = Find(lpszOld, from)) {
    result.AppendBytes(m_pchData + from, hit - from);
    result += OrEmpty(lpszNew);
    from = hit + oldLength;
    ++count;
  }
  if (count == 0) return 0;
  result.AppendBytes(m_pchData + from, m_nLength - from);
  *this = static_cast<CString&&>(result);
  return count;
}

int CString::Remove(char ch) {
  int kept = 0;
  for (int i = 0; i < m_nLength; ++i) {
    if (m_pchData[i] != ch) m_pchData[kept++] = m_pchData[i];
  }
  int removed = m_nLength - kept;
  if (removed > 0) SetLength(kept);
  return removed;
}

int CString::Insert(int nIndex, char ch) {
  char text[2] = {ch, '\0'};
  return ch == '\0' ? m_nLength : Insert(nIndex, text);
}

int CString::Insert(int nIndex, LPCTSTR psz) {
  CString inserted(psz);  // a copy: psz may point into this string
  if (inserted.IsEmpty()) return m_nLength;
  nIndex = Clamp(nIndex, 0, m_nLength);
  CString tail = Mid(nIndex);
  GetBufferSetLength(nIndex);
  *this += inserted;
  *this += tail;
  return m_nLength;
}

int CString::Delete(int nIndex, int nCount) {
  nIndex = Clamp(nIndex, 0, m_nLength);
  nCount = Clamp(nCount, 0, m_nLength - nIndex);
  if (nCount == 0) return m_nLength;
  std::memmove(m_pchData + nIndex, m_pchData + nIndex + nCount,
               static_cast<size_t>(m_nLength - nIndex - nCount));
  SetLength(m_nLength - nCount);
  return m_nLength;
}

void CString::TrimLeft(LPCTSTR lpszTargets) {
  Delete(0, LeadingRun(m_pchData, m_nLength, OrEmpty(lpszTargets)));
}

void CString::TrimRight(LPCTSTR lpszTargets) {
  int kept = LengthWithoutTrailingRun(m_pchData, m_nLength, OrEmpty(lpszTargets));
  Delete(kept, m_nLength - kept);
}

void CString::Trim(LPCTSTR lpszTargets) {
  TrimRight(lpszTargets);
  TrimLeft(lpszTargets);
}

void CString::TrimLeft() { TrimLeft(kBlanks); }
void CString::TrimRight() { TrimRight(kBlanks); }
void CString::Trim() { Trim(kBlanks); }

void CString::TrimLeft(char chTarget) {
  char set[2] = {chTarget, '\0'};
  TrimLeft(set);
}

void CString::TrimRight(char chTarget) {
  char set[2] = {chTarget, '\0'};
  TrimRight(set);
}

void CString::Trim(char chTarget) {
  char set[2] = {chTarget, '\0'};
  Trim(set);
}

void CString::Format(LPCTSTR lpszFormat, ...) {
  va_list args;
  va_start(args, lpszFormat);
  FormatV(lpszFormat, args);
  va_end(args);
}

void CString::Format(UINT nFormatID, ...) {
  CString format;
  format.LoadString(nFormatID);
  va_list args;
  va_start(args, nFormatID);
  FormatV(format, args);
  va_end(args);
}

void CString::FormatV(LPCTSTR lpszFormat, va_list argList) {
  // Measured first, then written once: any length fits.
  va_list measure;
  va_copy(measure, argList);
  int length = std::vsnprintf(nullptr, 0, OrEmpty(lpszFormat), measure);
  va_end(measure);
  if (length <= 0) {
    Empty();
    return;
  }
  CString result;
  result.Reserve(length);
  std::vsnprintf(result.m_pchData, static_cast<size_t>(length) + 1, OrEmpty(lpszFormat), argList);
  result.SetLength(length);
  *this = static_cast<CString&&>(result);
}

BOOL CString::LoadString(UINT nID) {
  LPCTSTR text = AfxFindStringResource(nID);
  *this = text;
  return text != nullptr;
}
