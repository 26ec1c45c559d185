#ifndef SYMBASE_PLATFORM_AFX_ARRAY_CORE_H
#define SYMBASE_PLATFORM_AFX_ARRAY_CORE_H

// The growable array behind CStringArray, CDWordArray and CUIntArray: elements
// in one block of raw storage, constructed in place, moved when it grows.

#include <algorithm>
#include <cstdint>
#include <new>
#include <utility>

#include "symbase/afxcoll.h"

namespace afx {

template <class T>
class ArrayCore {
 public:
  ArrayCore(T*& data, INT_PTR& size, INT_PTR& maxSize, INT_PTR& growBy)
      : data_(data), size_(size), maxSize_(maxSize), growBy_(growBy) {}

  static void CheckIndex(INT_PTR index, INT_PTR size) {
    if (index < 0 || index >= size) AfxThrowNotSupportedException();
  }

  void SetSize(INT_PTR newSize, INT_PTR growBy) {
    if (newSize < 0) AfxThrowNotSupportedException();
    if (growBy >= 0) growBy_ = growBy;
    if (newSize > maxSize_) Grow(newSize);
    for (INT_PTR i = size_; i < newSize; ++i) new (data_ + i) T();
    for (INT_PTR i = newSize; i < size_; ++i) data_[i].~T();
    size_ = newSize;
    if (newSize == 0) Release();
  }

  void FreeExtra() {
    if (size_ == maxSize_) return;
    if (size_ == 0) {
      Release();
      return;
    }
    Reallocate(size_);
  }

  // Opens count default elements at index (growing first when index is
  // beyond the end); value is copied before anything moves, since it may be
  // an element of this array.
  void InsertCopies(INT_PTR index, const T& value, INT_PTR count) {
    if (index < 0 || count < 0) AfxThrowNotSupportedException();
    if (count == 0) return;
    T copy(value);
    OpenGap(index, count);
    for (INT_PTR i = index; i < index + count; ++i) data_[i] = copy;
  }

  void InsertRange(INT_PTR index, const T* source, INT_PTR count) {
    if (index < 0) AfxThrowNotSupportedException();
    if (count <= 0) return;
    ArrayCopy copy(source, count);  // the source may be this array
    OpenGap(index, count);
    for (INT_PTR i = 0; i < count; ++i) data_[index + i] = std::move(copy.items[i]);
  }

  void RemoveRange(INT_PTR index, INT_PTR count) {
    if (index < 0 || count < 0 || count > size_ - index) AfxThrowNotSupportedException();
    std::move(data_ + index + count, data_ + size_, data_ + index);
    SetSize(size_ - count, -1);
  }

  void SetAtGrow(INT_PTR index, const T& value) {
    if (index < 0) AfxThrowNotSupportedException();
    T copy(value);
    if (index >= size_) SetSize(index + 1, -1);
    data_[index] = std::move(copy);
  }

  INT_PTR Append(const T* source, INT_PTR count) {
    INT_PTR at = size_;
    InsertRange(at, source, count);
    return at;
  }

  void Copy(const T* source, INT_PTR count) {
    if (source == data_) return;
    SetSize(count, -1);
    std::copy(source, source + count, data_);
  }

 private:
  // A temporary copy of a range; the elements are destroyed with it.
  struct ArrayCopy {
    ArrayCopy(const T* source, INT_PTR n) : items(Allocate(n)), count(0) {
      try {
        for (; count < n; ++count) new (items + count) T(source[count]);
      } catch (...) {
        Destroy();
        throw;
      }
    }
    ~ArrayCopy() { Destroy(); }
    void Destroy() {
      for (INT_PTR i = 0; i < count; ++i) items[i].~T();
      ::operator delete(items);
      items = nullptr;
      count = 0;
    }
    T* items;
    INT_PTR count;
  };

  static T* Allocate(INT_PTR n) {
    if (n <= 0) return nullptr;
    if (static_cast<uintmax_t>(n) > SIZE_MAX / sizeof(T)) AfxThrowMemoryException();
    void* raw = ::operator new(static_cast<size_t>(n) * sizeof(T), std::nothrow);
    if (raw == nullptr) AfxThrowMemoryException();
    return static_cast<T*>(raw);
  }

  void OpenGap(INT_PTR index, INT_PTR count) {
    INT_PTR oldSize = size_;
    if (index >= oldSize) {
      SetSize(index + count, -1);
      return;
    }
    SetSize(oldSize + count, -1);
    std::move_backward(data_ + index, data_ + oldSize, data_ + oldSize + count);
  }

  // Room for at least newSize: the step is growBy, or adapts to the size.
  void Grow(INT_PTR newSize) {
    INT_PTR step = growBy_ > 0 ? growBy_ : std::min<INT_PTR>(1024, std::max<INT_PTR>(4, size_ / 8));
    INT_PTR wanted = maxSize_ <= INTPTR_MAX - step ? maxSize_ + step : newSize;
    Reallocate(std::max(newSize, wanted));
  }

  void Reallocate(INT_PTR capacity) {
    T* fresh = Allocate(capacity);
    for (INT_PTR i = 0; i < size_; ++i) {
      new (fresh + i) T(std::move(data_[i]));
      data_[i].~T();
    }
    ::operator delete(data_);
    data_ = fresh;
    maxSize_ = capacity;
  }

  void Release() {
    ::operator delete(data_);
    data_ = nullptr;
    maxSize_ = 0;
  }

  T*& data_;
  INT_PTR& size_;
  INT_PTR& maxSize_;
  INT_PTR& growBy_;
};

}  // namespace afx

// Every member of one array class, forwarded to ArrayCore.
#define SYMBASE_AFX_IMPLEMENT_ARRAY(ClassName, TYPE, ARG_TYPE)                                    \
  IMPLEMENT_DYNAMIC(ClassName, CObject)                                                           \
  ClassName::ClassName() : m_pData(nullptr), m_nSize(0), m_nMaxSize(0), m_nGrowBy(0) {}           \
  ClassName::~ClassName() { RemoveAll(); }                                                        \
  void ClassName::SetSize(INT_PTR nNewSize, INT_PTR nGrowBy) {                                    \
    afx::ArrayCore<TYPE>(m_pData, m_nSize, m_nMaxSize, m_nGrowBy).SetSize(nNewSize, nGrowBy);     \
  }                                                                                               \
  void ClassName::FreeExtra() {                                                                   \
    afx::ArrayCore<TYPE>(m_pData, m_nSize, m_nMaxSize, m_nGrowBy).FreeExtra();                    \
  }                                                                                               \
  void ClassName::RemoveAll() { SetSize(0, -1); }                                                 \
  TYPE ClassName::GetAt(INT_PTR nIndex) const { return ElementAt(nIndex); }                       \
  void ClassName::SetAt(INT_PTR nIndex, ARG_TYPE newElement) {                                    \
    afx::ArrayCore<TYPE>::CheckIndex(nIndex, m_nSize);                                            \
    m_pData[nIndex] = newElement;                                                                 \
  }                                                                                               \
  TYPE& ClassName::ElementAt(INT_PTR nIndex) {                                                    \
    afx::ArrayCore<TYPE>::CheckIndex(nIndex, m_nSize);                                            \
    return m_pData[nIndex];                                                                       \
  }                                                                                               \
  const TYPE& ClassName::ElementAt(INT_PTR nIndex) const {                                        \
    afx::ArrayCore<TYPE>::CheckIndex(nIndex, m_nSize);                                            \
    return m_pData[nIndex];                                                                       \
  }                                                                                               \
  void ClassName::SetAtGrow(INT_PTR nIndex, ARG_TYPE newElement) {                                \
    afx::ArrayCore<TYPE>(m_pData, m_nSize, m_nMaxSize, m_nGrowBy).SetAtGrow(nIndex, newElement);  \
  }                                                                                               \
  INT_PTR ClassName::Add(ARG_TYPE newElement) {                                                   \
    INT_PTR at = m_nSize;                                                                         \
    SetAtGrow(at, newElement);                                                                    \
    return at;                                                                                    \
  }                                                                                               \
  INT_PTR ClassName::Append(const ClassName& src) {                                               \
    return afx::ArrayCore<TYPE>(m_pData, m_nSize, m_nMaxSize, m_nGrowBy)                          \
        .Append(src.m_pData, src.m_nSize);                                                        \
  }                                                                                               \
  void ClassName::Copy(const ClassName& src) {                                                    \
    afx::ArrayCore<TYPE>(m_pData, m_nSize, m_nMaxSize, m_nGrowBy).Copy(src.m_pData, src.m_nSize); \
  }                                                                                               \
  void ClassName::InsertAt(INT_PTR nIndex, ARG_TYPE newElement, INT_PTR nCount) {                 \
    afx::ArrayCore<TYPE>(m_pData, m_nSize, m_nMaxSize, m_nGrowBy)                                 \
        .InsertCopies(nIndex, newElement, nCount);                                                \
  }                                                                                               \
  void ClassName::InsertAt(INT_PTR nStartIndex, const ClassName* pNewArray) {                     \
    if (pNewArray == nullptr) return;                                                             \
    afx::ArrayCore<TYPE>(m_pData, m_nSize, m_nMaxSize, m_nGrowBy)                                 \
        .InsertRange(nStartIndex, pNewArray->m_pData, pNewArray->m_nSize);                        \
  }                                                                                               \
  void ClassName::RemoveAt(INT_PTR nIndex, INT_PTR nCount) {                                      \
    afx::ArrayCore<TYPE>(m_pData, m_nSize, m_nMaxSize, m_nGrowBy).RemoveRange(nIndex, nCount);    \
  }

#endif
