#ifndef SYMBASE_AFXCOLL_H
#define SYMBASE_AFXCOLL_H

// The framework's collections: doubly linked lists of strings and of object
// pointers, walked with positions, and growable arrays.
//
// Contracts common to all of them:
// - A failed allocation throws CMemoryException; the collection is left as it
//   was before the call.
// - A null position, an empty list asked for its head or tail, or an array index
//   outside [0, size) throws CNotSupportedException, which the guard of the
//   exported call reports, instead of touching memory the list does not own.
//   A position must come from the same list and still be in it.
// - CObList never deletes the objects it points to: the caller owns them.

#include "symbase/afx.h"

// An opaque place in a list.
struct AfxListPosition;
typedef AfxListPosition* POSITION;
#define BEFORE_START_POSITION (reinterpret_cast<POSITION>(-1L))

// ---------------------------------------------------------------------------
// Lists. Both classes have the same members; nodes are allocated nBlockSize at
// a time (nBlockSize <= 0 counts as 10) and reused after removal.

// A list of strings; it owns its copies of them.
class SYMBASE_API CStringList : public CObject {
  DECLARE_DYNAMIC(CStringList)
 public:
  // An empty list; the destructor frees every node. Not copyable.
  explicit CStringList(INT_PTR nBlockSize = 10);
  ~CStringList() override;
  CStringList(const CStringList&) = delete;
  CStringList& operator=(const CStringList&) = delete;

  // The number of elements (both), and whether there is none.
  INT_PTR GetCount() const;
  INT_PTR GetSize() const { return GetCount(); }
  BOOL IsEmpty() const;

  // The first or last element; the Remove forms take it out and return it.
  CString& GetHead();
  const CString& GetHead() const;
  CString& GetTail();
  const CString& GetTail() const;
  CString RemoveHead();
  CString RemoveTail();

  // Adds a copy at the head or the tail; returns its position.
  POSITION AddHead(LPCTSTR newElement);
  POSITION AddHead(const CString& newElement);
  POSITION AddTail(LPCTSTR newElement);
  POSITION AddTail(const CString& newElement);
  // Adds copies of every element of pNewList (which may be this list itself).
  void AddHead(const CStringList* pNewList);
  void AddTail(const CStringList* pNewList);
  // Empties the list.
  void RemoveAll();

  // Positions: null means none (end of walk). GetNext and GetPrev return the
  // element at rPosition and move it on (null past the end); GetAt, SetAt
  // and RemoveAt work on the element at a position. The Insert forms return
  // the new element's position.
  POSITION GetHeadPosition() const;
  POSITION GetTailPosition() const;
  CString& GetNext(POSITION& rPosition);
  const CString& GetNext(POSITION& rPosition) const;
  CString& GetPrev(POSITION& rPosition);
  const CString& GetPrev(POSITION& rPosition) const;
  CString& GetAt(POSITION position);
  const CString& GetAt(POSITION position) const;
  void SetAt(POSITION pos, LPCTSTR newElement);
  void SetAt(POSITION pos, const CString& newElement);
  void RemoveAt(POSITION position);
  // A null position inserts at the head (InsertBefore) or the tail (InsertAfter).
  POSITION InsertBefore(POSITION position, LPCTSTR newElement);
  POSITION InsertBefore(POSITION position, const CString& newElement);
  POSITION InsertAfter(POSITION position, LPCTSTR newElement);
  POSITION InsertAfter(POSITION position, const CString& newElement);

  // The first equal element after startAfter (from the head when null); null
  // when there is none.
  POSITION Find(LPCTSTR searchValue, POSITION startAfter = NULL) const;
  // The position of the nIndex-th element from the head; null when out of range.
  POSITION FindIndex(INT_PTR nIndex) const;

 private:
  struct Impl;
  Impl* m_pImpl;
};

// A list of object pointers; the objects stay the caller's.
class SYMBASE_API CObList : public CObject {
  DECLARE_DYNAMIC(CObList)
 public:
  // An empty list; the destructor frees the nodes, not the objects. Not
  // copyable.
  explicit CObList(INT_PTR nBlockSize = 10);
  ~CObList() override;
  CObList(const CObList&) = delete;
  CObList& operator=(const CObList&) = delete;

  // The number of elements (both), and whether there is none.
  INT_PTR GetCount() const;
  INT_PTR GetSize() const { return GetCount(); }
  BOOL IsEmpty() const;

  // The first or last pointer; the Remove forms take it out and return it.
  CObject*& GetHead();
  CObject* GetHead() const;
  CObject*& GetTail();
  CObject* GetTail() const;
  CObject* RemoveHead();
  CObject* RemoveTail();

  // Adds the pointer at the head or the tail; returns its position.
  POSITION AddHead(CObject* newElement);
  POSITION AddTail(CObject* newElement);
  // Adds every pointer of pNewList (which may be this list itself).
  void AddHead(const CObList* pNewList);
  void AddTail(const CObList* pNewList);
  // Empties the list; the objects are not deleted.
  void RemoveAll();

  // Positions, as in CStringList.
  POSITION GetHeadPosition() const;
  POSITION GetTailPosition() const;
  CObject*& GetNext(POSITION& rPosition);
  CObject* GetNext(POSITION& rPosition) const;
  CObject*& GetPrev(POSITION& rPosition);
  CObject* GetPrev(POSITION& rPosition) const;
  CObject*& GetAt(POSITION position);
  CObject* GetAt(POSITION position) const;
  void SetAt(POSITION pos, CObject* newElement);
  void RemoveAt(POSITION position);
  POSITION InsertBefore(POSITION position, CObject* newElement);
  POSITION InsertAfter(POSITION position, CObject* newElement);

  // As in CStringList; Find compares pointers, not objects.
  POSITION Find(CObject* searchValue, POSITION startAfter = NULL) const;
  POSITION FindIndex(INT_PTR nIndex) const;

 private:
  struct Impl;
  Impl* m_pImpl;
};

// ---------------------------------------------------------------------------
// Arrays. SetSize with nGrowBy -1 keeps the growth step; the step otherwise
// adapts to the size. New elements are empty strings or zeros. An element of
// the array itself may be passed as the new element. Members: the sizes (the
// upper bound is the size - 1); SetSize, FreeExtra (the capacity down to the
// size), RemoveAll; the element at an index (GetAt, SetAt, ElementAt, [])
// and the storage (GetData); adding at the end (Add returns the index,
// Append the index of the first added), copying (Copy replaces the
// contents), inserting and removing.

#define SYMBASE_AFX_ARRAY_MEMBERS(ClassName, TYPE, ARG_TYPE)                    \
 public:                                                                        \
  ClassName();                                                                  \
  ~ClassName() override;                                                        \
  ClassName(const ClassName&) = delete;                                         \
  ClassName& operator=(const ClassName&) = delete;                              \
                                                                                \
  INT_PTR GetSize() const { return m_nSize; }                                   \
  INT_PTR GetCount() const { return m_nSize; }                                  \
  BOOL IsEmpty() const { return m_nSize == 0; }                                 \
  INT_PTR GetUpperBound() const { return m_nSize - 1; }                         \
  /* A negative size throws CNotSupportedException. */                          \
  void SetSize(INT_PTR nNewSize, INT_PTR nGrowBy = -1);                         \
  void FreeExtra();                                                             \
  void RemoveAll();                                                             \
                                                                                \
  TYPE GetAt(INT_PTR nIndex) const;                                             \
  void SetAt(INT_PTR nIndex, ARG_TYPE newElement);                              \
  TYPE& ElementAt(INT_PTR nIndex);                                              \
  const TYPE& ElementAt(INT_PTR nIndex) const;                                  \
  TYPE operator[](INT_PTR nIndex) const { return GetAt(nIndex); }               \
  TYPE& operator[](INT_PTR nIndex) { return ElementAt(nIndex); }                \
  const TYPE* GetData() const { return m_pData; }                               \
  TYPE* GetData() { return m_pData; }                                           \
                                                                                \
  /* Grows the array when nIndex is at or beyond the end (negative throws). */  \
  void SetAtGrow(INT_PTR nIndex, ARG_TYPE newElement);                          \
  INT_PTR Add(ARG_TYPE newElement);                                             \
  INT_PTR Append(const ClassName& src);                                         \
  void Copy(const ClassName& src);                                              \
  /* nCount copies at nIndex; an index beyond the end grows the array first. */ \
  void InsertAt(INT_PTR nIndex, ARG_TYPE newElement, INT_PTR nCount = 1);       \
  void InsertAt(INT_PTR nStartIndex, const ClassName* pNewArray);               \
  /* Removes nCount elements from nIndex; a range outside the array throws. */  \
  void RemoveAt(INT_PTR nIndex, INT_PTR nCount = 1);                            \
                                                                                \
 private:                                                                       \
  TYPE* m_pData;                                                                \
  INT_PTR m_nSize;                                                              \
  INT_PTR m_nMaxSize;                                                           \
  INT_PTR m_nGrowBy;

// The arrays of strings, of double words and of unsigned integers.
class SYMBASE_API CStringArray : public CObject {
  DECLARE_DYNAMIC(CStringArray)
  SYMBASE_AFX_ARRAY_MEMBERS(CStringArray, CString, const CString&)
};

class SYMBASE_API CDWordArray : public CObject {
  DECLARE_DYNAMIC(CDWordArray)
  SYMBASE_AFX_ARRAY_MEMBERS(CDWordArray, DWORD, DWORD)
};

class SYMBASE_API CUIntArray : public CObject {
  DECLARE_DYNAMIC(CUIntArray)
  SYMBASE_AFX_ARRAY_MEMBERS(CUIntArray, UINT, UINT)
};

#endif
