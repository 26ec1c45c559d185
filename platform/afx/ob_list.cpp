// CObList over the shared node list: pointers only, never deleted here.

#include "afx/node_list.h"

struct CObList::Impl : afx::NodeList<CObject*> {
  using NodeList::NodeList;
};

IMPLEMENT_DYNAMIC(CObList, CObject)
SYMBASE_AFX_LIST_COMMON_MEMBERS(CObList)

CObject*& CObList::GetHead() { return Impl::NodeOrThrow(m_pImpl->head())->data; }
CObject* CObList::GetHead() const { return Impl::NodeOrThrow(m_pImpl->head())->data; }
CObject*& CObList::GetTail() { return Impl::NodeOrThrow(m_pImpl->tail())->data; }
CObject* CObList::GetTail() const { return Impl::NodeOrThrow(m_pImpl->tail())->data; }

CObject* CObList::RemoveHead() { return m_pImpl->Remove(Impl::NodeOrThrow(m_pImpl->head())); }
CObject* CObList::RemoveTail() { return m_pImpl->Remove(Impl::NodeOrThrow(m_pImpl->tail())); }

POSITION CObList::AddHead(CObject* newElement) { return InsertBefore(nullptr, newElement); }
POSITION CObList::AddTail(CObject* newElement) { return InsertAfter(nullptr, newElement); }

CObject*& CObList::GetNext(POSITION& rPosition) {
  Impl::Node* node = Impl::FromPosition(rPosition);
  rPosition = Impl::ToPosition(node->next);
  return node->data;
}
CObject* CObList::GetNext(POSITION& rPosition) const {
  return const_cast<CObList*>(this)->GetNext(rPosition);
}
CObject*& CObList::GetPrev(POSITION& rPosition) {
  Impl::Node* node = Impl::FromPosition(rPosition);
  rPosition = Impl::ToPosition(node->prev);
  return node->data;
}
CObject* CObList::GetPrev(POSITION& rPosition) const {
  return const_cast<CObList*>(this)->GetPrev(rPosition);
}
CObject*& CObList::GetAt(POSITION position) { return Impl::FromPosition(position)->data; }
CObject* CObList::GetAt(POSITION position) const { return Impl::FromPosition(position)->data; }

void CObList::SetAt(POSITION pos, CObject* newElement) {
  Impl::FromPosition(pos)->data = newElement;
}

POSITION CObList::InsertBefore(POSITION position, CObject* newElement) {
  return m_pImpl->InsertNextTo(position, newElement, true);
}
POSITION CObList::InsertAfter(POSITION position, CObject* newElement) {
  return m_pImpl->InsertNextTo(position, newElement, false);
}

POSITION CObList::Find(CObject* searchValue, POSITION startAfter) const {
  return Impl::ToPosition(
      m_pImpl->Find([searchValue](CObject* p) { return p == searchValue; }, startAfter));
}
