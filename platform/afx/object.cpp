// The root class, its run-time class information and the dump context.

#include <cstdio>

#include "symbase/afx.h"

const CRuntimeClass CObject::classCObject = {"CObject", static_cast<int>(sizeof(CObject)), 0xFFFF,
                                             nullptr, nullptr};

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBaseClass) const {
  if (pBaseClass == nullptr) return FALSE;
  for (const CRuntimeClass* c = this; c != nullptr; c = c->m_pBaseClass) {
    if (c == pBaseClass) return TRUE;
  }
  return FALSE;
}

CRuntimeClass* CObject::GetRuntimeClass() const { return RUNTIME_CLASS(CObject); }

CObject::~CObject() = default;

void CObject::Serialize(CArchive&) {}

void CObject::AssertValid() const {}

void CObject::Dump(CDumpContext& dc) const {
  dc << "a " << GetRuntimeClass()->m_lpszClassName << " at " << static_cast<const void*>(this)
     << "\n";
}

BOOL CObject::IsKindOf(const CRuntimeClass* pClass) const {
  return GetRuntimeClass()->IsDerivedFrom(pClass);
}

BOOL CObject::IsSerializable() const { return GetRuntimeClass()->m_wSchema != 0xFFFF; }

CDumpContext& CDumpContext::operator<<(LPCTSTR psz) {
  m_strText += psz;
  return *this;
}

CDumpContext& CDumpContext::operator<<(int n) {
  char text[16];
  std::snprintf(text, sizeof text, "%d", n);
  return *this << text;
}

CDumpContext& CDumpContext::operator<<(UINT n) {
  char text[16];
  std::snprintf(text, sizeof text, "%u", n);
  return *this << text;
}

CDumpContext& CDumpContext::operator<<(long n) {
  char text[24];
  std::snprintf(text, sizeof text, "%ld", n);
  return *this << text;
}

CDumpContext& CDumpContext::operator<<(const void* p) {
  char text[24];
  std::snprintf(text, sizeof text, "%p", p);
  return *this << text;
}
