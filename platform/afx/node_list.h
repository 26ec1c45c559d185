#ifndef SYMBASE_PLATFORM_AFX_NODE_LIST_H
#define SYMBASE_PLATFORM_AFX_NODE_LIST_H

// The doubly linked list behind CStringList and CObList. Nodes come from
// blocks of blockSize nodes and go back to a free chain when removed, so that
// a list that is filled and emptied again does not allocate per element.

#include <cstdint>
#include <new>
#include <utility>

#include "symbase/afxcoll.h"

namespace afx {

template <class T>
class NodeList {
 public:
  struct Node {
    Node* next;
    Node* prev;
    T data;
  };

  explicit NodeList(INT_PTR blockSize) : blockSize_(blockSize > 0 ? blockSize : 10) {}
  ~NodeList() { RemoveAll(); }
  NodeList(const NodeList&) = delete;
  NodeList& operator=(const NodeList&) = delete;

  Node* head() const { return head_; }
  Node* tail() const { return tail_; }
  INT_PTR count() const { return count_; }

  static POSITION ToPosition(Node* node) { return reinterpret_cast<POSITION>(node); }
  // A null position is a caller's error: refused with an exception.
  static Node* FromPosition(POSITION position) {
    if (position == nullptr) AfxThrowNotSupportedException();
    return reinterpret_cast<Node*>(position);
  }
  static Node* NodeOrThrow(Node* node) {
    if (node == nullptr) AfxThrowNotSupportedException();
    return node;
  }

  // Links a new node holding value between prev and next (either may be null
  // at an end). Nothing changes when an allocation fails.
  // The value is built in the node from what the caller passed.
  template <class Arg>
  Node* InsertBetween(Node* prev, Node* next, const Arg& value) {
    void* slot = TakeSlot();
    Node* node;
    try {
      node = new (slot) Node{next, prev, T(value)};
    } catch (...) {
      GiveSlot(slot);
      throw;
    }
    (prev != nullptr ? prev->next : head_) = node;
    (next != nullptr ? next->prev : tail_) = node;
    ++count_;
    return node;
  }

  template <class Arg>
  Node* InsertBefore(Node* next, const Arg& value) {
    return InsertBetween(next != nullptr ? next->prev : nullptr, next != nullptr ? next : head_,
                         value);
  }
  template <class Arg>
  Node* InsertAfter(Node* prev, const Arg& value) {
    return InsertBetween(prev != nullptr ? prev : tail_, prev != nullptr ? prev->next : nullptr,
                         value);
  }

  // Inserts before or after position, at the head or the tail when it is null.
  template <class Arg>
  POSITION InsertNextTo(POSITION position, const Arg& value, bool before) {
    Node* at = position == nullptr ? nullptr : FromPosition(position);
    return ToPosition(before ? InsertBefore(at, value) : InsertAfter(at, value));
  }

  // Unlinks the node and returns its value.
  T Remove(Node* node) {
    (node->prev != nullptr ? node->prev->next : head_) = node->next;
    (node->next != nullptr ? node->next->prev : tail_) = node->prev;
    --count_;
    T value(std::move(node->data));
    node->~Node();
    GiveSlot(node);
    return value;
  }

  void RemoveAll() {
    for (Node* node = head_; node != nullptr;) {
      Node* next = node->next;
      node->~Node();
      node = next;
    }
    while (blocks_ != nullptr) {
      Block* next = blocks_->next;
      ::operator delete(blocks_);
      blocks_ = next;
    }
    head_ = tail_ = nullptr;
    free_ = nullptr;
    count_ = 0;
  }

  // Adds every value of other (possibly this list) at the head or the tail,
  // keeping their order. Counted first, so that a list added to itself ends.
  void AddAll(const NodeList& other, bool atHead) {
    INT_PTR n = other.count_;
    if (atHead) {
      Node* node = other.tail_;
      for (INT_PTR i = 0; i < n; ++i, node = node->prev) InsertBefore(nullptr, node->data);
      return;
    }
    Node* node = other.head_;
    for (INT_PTR i = 0; i < n; ++i, node = node->next) InsertAfter(nullptr, node->data);
  }

  Node* FindIndex(INT_PTR index) const {
    if (index < 0 || index >= count_) return nullptr;
    Node* node = head_;
    while (index-- > 0) node = node->next;
    return node;
  }

  template <class Equal>
  Node* Find(Equal equal, POSITION startAfter) const {
    Node* node = startAfter == nullptr ? head_ : FromPosition(startAfter)->next;
    while (node != nullptr && !equal(node->data)) node = node->next;
    return node;
  }

 private:
  struct Block {
    Block* next;
  };
  struct FreeSlot {
    FreeSlot* next;
  };
  static constexpr size_t kHeader =
      (sizeof(Block) + alignof(Node) - 1) / alignof(Node) * alignof(Node);

  void* TakeSlot() {
    if (free_ == nullptr) NewBlock();
    FreeSlot* slot = free_;
    free_ = slot->next;
    return slot;
  }

  void GiveSlot(void* slot) { free_ = new (slot) FreeSlot{free_}; }

  void NewBlock() {
    size_t n = static_cast<size_t>(blockSize_);
    if (n > (SIZE_MAX - kHeader) / sizeof(Node)) AfxThrowMemoryException();
    void* raw = ::operator new(kHeader + n * sizeof(Node), std::nothrow);
    if (raw == nullptr) AfxThrowMemoryException();
    blocks_ = new (raw) Block{blocks_};
    auto* first = static_cast<unsigned char*>(raw) + kHeader;
    for (size_t i = n; i-- > 0;) GiveSlot(first + i * sizeof(Node));
  }

  Node* head_ = nullptr;
  Node* tail_ = nullptr;
  INT_PTR count_ = 0;
  FreeSlot* free_ = nullptr;
  Block* blocks_ = nullptr;
  INT_PTR blockSize_;
};

// Allocates a list's implementation, a failure surfacing as CMemoryException.
template <class Impl>
Impl* NewListImpl(INT_PTR blockSize) {
  Impl* impl = new (std::nothrow) Impl(blockSize);
  if (impl == nullptr) AfxThrowMemoryException();
  return impl;
}

}  // namespace afx

// The members that do not depend on the element type, for both list classes.
#define SYMBASE_AFX_LIST_COMMON_MEMBERS(ClassName)                                               \
  ClassName::ClassName(INT_PTR nBlockSize) : m_pImpl(afx::NewListImpl<Impl>(nBlockSize)) {}      \
  ClassName::~ClassName() { delete m_pImpl; }                                                    \
  INT_PTR ClassName::GetCount() const { return m_pImpl->count(); }                               \
  BOOL ClassName::IsEmpty() const { return m_pImpl->count() == 0; }                              \
  void ClassName::RemoveAll() { m_pImpl->RemoveAll(); }                                          \
  POSITION ClassName::GetHeadPosition() const { return Impl::ToPosition(m_pImpl->head()); }      \
  POSITION ClassName::GetTailPosition() const { return Impl::ToPosition(m_pImpl->tail()); }      \
  void ClassName::RemoveAt(POSITION position) { m_pImpl->Remove(Impl::FromPosition(position)); } \
  void ClassName::AddHead(const ClassName* pNewList) {                                           \
    if (pNewList != nullptr) m_pImpl->AddAll(*pNewList->m_pImpl, true);                          \
  }                                                                                              \
  void ClassName::AddTail(const ClassName* pNewList) {                                           \
    if (pNewList != nullptr) m_pImpl->AddAll(*pNewList->m_pImpl, false);                         \
  }                                                                                              \
  POSITION ClassName::FindIndex(INT_PTR nIndex) const {                                          \
    return Impl::ToPosition(m_pImpl->FindIndex(nIndex));                                         \
  }

#endif
