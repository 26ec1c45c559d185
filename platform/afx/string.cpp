// CString storage: construction, assignment, concatenation, comparison and the
// writable buffer. Searches and edits are in string_edit.cpp.

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "symbase/afx.h"

namespace {

// The shared "" of every string that holds nothing; never written.
char g_emptyString[1] = {'\0'};

int SafeLength(LPCTSTR psz) {
  if (psz == nullptr) return 0;
  size_t n = std::strlen(psz);
  if (n > static_cast<size_t>(INT_MAX - 1)) AfxThrowMemoryException();
  return static_cast<int>(n);
}

// Whether p points into [begin, end]; compared as addresses because p may
// belong to another object.
bool PointsInto(LPCTSTR p, LPCTSTR begin, LPCTSTR end) {
  auto at = reinterpret_cast<uintptr_t>(p);
  return at >= reinterpret_cast<uintptr_t>(begin) && at <= reinterpret_cast<uintptr_t>(end);
}

// How many of the first nLength bytes of pch a CString takes: a CString
// holds no NUL, so the text ends at the first NUL inside the count.
int CountUpToNul(LPCTSTR pch, int nLength) {
  if (pch == nullptr || nLength <= 0) return 0;
  const void* nul = std::memchr(pch, '\0', static_cast<size_t>(nLength));
  return nul == nullptr ? nLength : static_cast<int>(static_cast<LPCTSTR>(nul) - pch);
}

int CompareBytes(LPCTSTR a, LPCTSTR b) {
  return std::strcmp(a == nullptr ? "" : a, b == nullptr ? "" : b);
}

}  // namespace

CString::CString() noexcept : m_pchData(g_emptyString), m_nLength(0), m_nCapacity(0) {}

CString::CString(const CString& other) : CString() { Assign(other.m_pchData, other.m_nLength); }

CString::CString(CString&& other) noexcept : CString() { TakeFrom(other); }

bool CString::OnHeap() const { return m_pchData != g_emptyString && m_pchData != m_inline; }

void CString::TakeFrom(CString& other) noexcept {
  if (other.m_pchData == other.m_inline) {
    std::memcpy(m_inline, other.m_inline, static_cast<size_t>(other.m_nLength) + 1);
    m_pchData = m_inline;
  } else {
    m_pchData = other.m_pchData;
  }
  m_nLength = other.m_nLength;
  m_nCapacity = other.m_nCapacity;
  other.m_pchData = g_emptyString;
  other.m_nLength = 0;
  other.m_nCapacity = 0;
}

CString::CString(LPCTSTR psz) : CString() { Assign(psz, SafeLength(psz)); }

CString::CString(LPCTSTR pch, int nLength) : CString() { SetString(pch, nLength); }

CString::CString(char ch, int nRepeat) : CString() {
  if (nRepeat <= 0) return;
  Reserve(nRepeat);
  std::memset(m_pchData, ch, static_cast<size_t>(nRepeat));
  SetLength(nRepeat);
}

CString::~CString() {
  if (OnHeap()) std::free(m_pchData);
}

CString& CString::operator=(const CString& other) {
  if (this != &other) Assign(other.m_pchData, other.m_nLength);
  return *this;
}

CString& CString::operator=(CString&& other) noexcept {
  if (this == &other) return *this;
  if (OnHeap()) std::free(m_pchData);
  TakeFrom(other);
  return *this;
}

CString& CString::operator=(LPCTSTR psz) {
  Assign(psz, SafeLength(psz));
  return *this;
}

CString& CString::operator=(char ch) {
  Assign(&ch, 1);
  return *this;
}

void CString::Empty() {
  if (OnHeap()) std::free(m_pchData);
  m_pchData = g_emptyString;
  m_nLength = 0;
  m_nCapacity = 0;
}

char CString::GetAt(int nIndex) const {
  return nIndex >= 0 && nIndex < m_nLength ? m_pchData[nIndex] : '\0';
}

void CString::SetAt(int nIndex, char ch) {
  if (nIndex >= 0 && nIndex < m_nLength) m_pchData[nIndex] = ch;
}

// Makes room for nCapacity bytes plus the NUL, keeping the text. Appends grow
// by half again so that repeated += stays linear.
void CString::Reserve(int nCapacity) {
  if (nCapacity < 0 || nCapacity > INT_MAX - 1) AfxThrowMemoryException();
  if (m_pchData != g_emptyString && nCapacity <= m_nCapacity) return;
  if (m_pchData == g_emptyString && nCapacity <= kInlineCapacity) {
    m_inline[0] = '\0';
    m_pchData = m_inline;
    m_nCapacity = kInlineCapacity;
    return;
  }
  int grown = m_nCapacity + m_nCapacity / 2;
  if (m_pchData != g_emptyString && grown > nCapacity && grown < INT_MAX - 1) nCapacity = grown;
  char* old = OnHeap() ? m_pchData : nullptr;
  char* fresh = static_cast<char*>(std::realloc(old, static_cast<size_t>(nCapacity) + 1));
  if (fresh == nullptr) AfxThrowMemoryException();
  if (old == nullptr) std::memcpy(fresh, m_pchData, static_cast<size_t>(m_nLength) + 1);
  m_pchData = fresh;
  m_nCapacity = nCapacity;
}

void CString::SetLength(int nLength) {
  m_nLength = nLength;
  m_pchData[nLength] = '\0';
}

void CString::Assign(LPCTSTR pch, int nLength) {
  if (nLength == 0) {
    if (m_pchData != g_emptyString) SetLength(0);
    return;
  }
  if (PointsInto(pch, m_pchData, m_pchData + m_nLength)) {
    // A part of this very string: move it down, no reallocation needed.
    std::memmove(m_pchData, pch, static_cast<size_t>(nLength));
    SetLength(nLength);
    return;
  }
  if (nLength > m_nCapacity || m_pchData == g_emptyString) {
    Empty();
    Reserve(nLength);
  }
  std::memcpy(m_pchData, pch, static_cast<size_t>(nLength));
  SetLength(nLength);
}

void CString::SetString(LPCTSTR pch, int nLength) { Assign(pch, CountUpToNul(pch, nLength)); }

void CString::Append(LPCTSTR pch, int nLength) { AppendBytes(pch, CountUpToNul(pch, nLength)); }

void CString::AppendBytes(LPCTSTR pch, int nLength) {
  if (nLength <= 0) return;
  if (nLength > INT_MAX - 1 - m_nLength) AfxThrowMemoryException();
  // pch may point into this string; keep its offset across a reallocation.
  bool inside = PointsInto(pch, m_pchData, m_pchData + m_nLength);
  ptrdiff_t offset = pch - m_pchData;
  Reserve(m_nLength + nLength);
  if (inside) pch = m_pchData + offset;
  std::memmove(m_pchData + m_nLength, pch, static_cast<size_t>(nLength));
  SetLength(m_nLength + nLength);
}

CString& CString::operator+=(const CString& s) {
  AppendBytes(s.m_pchData, s.m_nLength);
  return *this;
}

CString& CString::operator+=(LPCTSTR psz) {
  AppendBytes(psz, SafeLength(psz));
  return *this;
}

CString& CString::operator+=(char ch) {
  AppendBytes(&ch, 1);
  return *this;
}

CString operator+(const CString& a, const CString& b) {
  CString r;
  if (b.m_nLength <= INT_MAX - 1 - a.m_nLength) r.Reserve(a.m_nLength + b.m_nLength);
  r.AppendBytes(a.m_pchData, a.m_nLength);
  r.AppendBytes(b.m_pchData, b.m_nLength);
  return r;
}

CString operator+(const CString& a, LPCTSTR b) {
  CString r(a);
  r += b;
  return r;
}

CString operator+(LPCTSTR a, const CString& b) {
  CString r(a);
  r += b;
  return r;
}

CString operator+(const CString& a, char b) {
  CString r(a);
  r += b;
  return r;
}

CString operator+(char a, const CString& b) {
  CString r(a);
  r += b;
  return r;
}

int CString::Compare(LPCTSTR psz) const { return CompareBytes(m_pchData, psz); }

LPTSTR CString::GetBuffer(int nMinBufLength) {
  Reserve(nMinBufLength > m_nLength ? nMinBufLength : m_nLength);
  return m_pchData;
}

LPTSTR CString::GetBufferSetLength(int nNewLength) {
  if (nNewLength < 0) nNewLength = 0;
  GetBuffer(nNewLength);
  SetLength(nNewLength);
  return m_pchData;
}

void CString::ReleaseBuffer(int nNewLength) {
  if (m_pchData == g_emptyString) return;
  if (nNewLength < 0) {
    nNewLength = static_cast<int>(strnlen(m_pchData, static_cast<size_t>(m_nCapacity)));
  }
  SetLength(nNewLength > m_nCapacity ? m_nCapacity : nNewLength);
}

void CString::FreeExtra() {
  if (!OnHeap() || m_nCapacity == m_nLength) return;
  if (m_nLength == 0) {
    Empty();
    return;
  }
  char* fresh = static_cast<char*>(std::realloc(m_pchData, static_cast<size_t>(m_nLength) + 1));
  if (fresh == nullptr) return;  // keeping the larger buffer is harmless
  m_pchData = fresh;
  m_nCapacity = m_nLength;
}

bool operator==(const CString& a, const CString& b) {
  return a.GetLength() == b.GetLength() && a.Compare(b) == 0;
}
bool operator==(const CString& a, LPCTSTR b) { return a.Compare(b) == 0; }
bool operator==(LPCTSTR a, const CString& b) { return b.Compare(a) == 0; }
bool operator!=(const CString& a, const CString& b) { return !(a == b); }
bool operator!=(const CString& a, LPCTSTR b) { return a.Compare(b) != 0; }
bool operator!=(LPCTSTR a, const CString& b) { return b.Compare(a) != 0; }
bool operator<(const CString& a, const CString& b) { return a.Compare(b) < 0; }
bool operator<(const CString& a, LPCTSTR b) { return a.Compare(b) < 0; }
bool operator<(LPCTSTR a, const CString& b) { return b.Compare(a) > 0; }
bool operator>(const CString& a, const CString& b) { return a.Compare(b) > 0; }
bool operator>(const CString& a, LPCTSTR b) { return a.Compare(b) > 0; }
bool operator>(LPCTSTR a, const CString& b) { return b.Compare(a) < 0; }
bool operator<=(const CString& a, const CString& b) { return a.Compare(b) <= 0; }
bool operator<=(const CString& a, LPCTSTR b) { return a.Compare(b) <= 0; }
bool operator<=(LPCTSTR a, const CString& b) { return b.Compare(a) >= 0; }
bool operator>=(const CString& a, const CString& b) { return a.Compare(b) >= 0; }
bool operator>=(const CString& a, LPCTSTR b) { return a.Compare(b) >= 0; }
bool operator>=(LPCTSTR a, const CString& b) { return b.Compare(a) <= 0; }
