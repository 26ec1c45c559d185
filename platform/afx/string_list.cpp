// CStringList over the shared node list.

#include <cstring>

#include "afx/node_list.h"

struct CStringList::Impl : afx::NodeList<CString> {
  using NodeList::NodeList;
};

IMPLEMENT_DYNAMIC(CStringList, CObject)
SYMBASE_AFX_LIST_COMMON_MEMBERS(CStringList)

CString& CStringList::GetHead() { return Impl::NodeOrThrow(m_pImpl->head())->data; }
const CString& CStringList::GetHead() const { return Impl::NodeOrThrow(m_pImpl->head())->data; }
CString& CStringList::GetTail() { return Impl::NodeOrThrow(m_pImpl->tail())->data; }
const CString& CStringList::GetTail() const { return Impl::NodeOrThrow(m_pImpl->tail())->data; }

CString CStringList::RemoveHead() { return m_pImpl->Remove(Impl::NodeOrThrow(m_pImpl->head())); }
CString CStringList::RemoveTail() { return m_pImpl->Remove(Impl::NodeOrThrow(m_pImpl->tail())); }

POSITION CStringList::AddHead(LPCTSTR newElement) { return InsertBefore(nullptr, newElement); }
POSITION CStringList::AddHead(const CString& newElement) {
  return InsertBefore(nullptr, newElement);
}
POSITION CStringList::AddTail(LPCTSTR newElement) { return InsertAfter(nullptr, newElement); }
POSITION CStringList::AddTail(const CString& newElement) {
  return InsertAfter(nullptr, newElement);
}

CString& CStringList::GetNext(POSITION& rPosition) {
  Impl::Node* node = Impl::FromPosition(rPosition);
  rPosition = Impl::ToPosition(node->next);
  return node->data;
}
const CString& CStringList::GetNext(POSITION& rPosition) const {
  return const_cast<CStringList*>(this)->GetNext(rPosition);
}
CString& CStringList::GetPrev(POSITION& rPosition) {
  Impl::Node* node = Impl::FromPosition(rPosition);
  rPosition = Impl::ToPosition(node->prev);
  return node->data;
}
const CString& CStringList::GetPrev(POSITION& rPosition) const {
  return const_cast<CStringList*>(this)->GetPrev(rPosition);
}
CString& CStringList::GetAt(POSITION position) { return Impl::FromPosition(position)->data; }
const CString& CStringList::GetAt(POSITION position) const {
  return Impl::FromPosition(position)->data;
}

void CStringList::SetAt(POSITION pos, LPCTSTR newElement) {
  Impl::FromPosition(pos)->data = newElement;
}
void CStringList::SetAt(POSITION pos, const CString& newElement) {
  Impl::FromPosition(pos)->data = newElement;
}

POSITION CStringList::InsertBefore(POSITION position, LPCTSTR newElement) {
  return m_pImpl->InsertNextTo(position, newElement, true);
}
POSITION CStringList::InsertBefore(POSITION position, const CString& newElement) {
  return m_pImpl->InsertNextTo(position, newElement, true);
}
POSITION CStringList::InsertAfter(POSITION position, LPCTSTR newElement) {
  return m_pImpl->InsertNextTo(position, newElement, false);
}
POSITION CStringList::InsertAfter(POSITION position, const CString& newElement) {
  return m_pImpl->InsertNextTo(position, newElement, false);
}

POSITION CStringList::Find(LPCTSTR searchValue, POSITION startAfter) const {
  LPCTSTR sought = searchValue == nullptr ? "" : searchValue;
  return Impl::ToPosition(m_pImpl->Find(
      [sought](const CString& s) { return std::strcmp(s, sought) == 0; }, startAfter));
}
