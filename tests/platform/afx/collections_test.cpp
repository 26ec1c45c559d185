#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "symbase/afxcoll.h"

namespace {

std::vector<std::string> Forward(const CStringList& list) {
  std::vector<std::string> out;
  for (POSITION p = list.GetHeadPosition(); p != nullptr;) out.emplace_back(list.GetNext(p));
  return out;
}

std::vector<std::string> Backward(const CStringList& list) {
  std::vector<std::string> out;
  for (POSITION p = list.GetTailPosition(); p != nullptr;) out.emplace_back(list.GetPrev(p));
  return out;
}

using Texts = std::vector<std::string>;

// Walks both ways, so that a broken back link shows as well as a forward one.
void ExpectList(const CStringList& list, const Texts& expected) {
  EXPECT_EQ(Forward(list), expected);
  Texts reversed(expected.rbegin(), expected.rend());
  EXPECT_EQ(Backward(list), reversed);
  EXPECT_EQ(list.GetCount(), static_cast<INT_PTR>(expected.size()));
  EXPECT_EQ(list.IsEmpty(), expected.empty());
}

// `action` throws the framework exception E, which is deleted.
template <class E, class F>
void ExpectThrows(F action) {
  try {
    action();
    ADD_FAILURE() << "no exception";
  } catch (E* e) {
    e->Delete();
  }
}

TEST(CStringListTest, AddsAtBothEnds) {
  CStringList list;
  ExpectList(list, {});
  EXPECT_EQ(list.GetHeadPosition(), nullptr);
  list.AddTail("%MW2");
  list.AddHead("%MW1");
  list.AddTail(CString("%MW3"));
  ExpectList(list, {"%MW1", "%MW2", "%MW3"});
  EXPECT_STREQ(list.GetHead(), "%MW1");
  EXPECT_STREQ(list.GetTail(), "%MW3");
  list.GetHead() = "%MW0";
  EXPECT_STREQ(list.GetHead(), "%MW0");
}

TEST(CStringListTest, InsertsAndRemovesAtHeadMiddleAndTail) {
  CStringList list(2);  // small blocks: several are needed
  POSITION b = list.AddTail("b");
  POSITION d = list.AddTail("d");
  list.InsertBefore(b, "a");
  list.InsertAfter(b, "c");
  list.InsertAfter(d, "e");
  list.InsertBefore(nullptr, "head");
  list.InsertAfter(nullptr, "tail");
  ExpectList(list, {"head", "a", "b", "c", "d", "e", "tail"});

  list.RemoveAt(b);  // middle
  ExpectList(list, {"head", "a", "c", "d", "e", "tail"});
  EXPECT_STREQ(list.RemoveHead(), "head");
  EXPECT_STREQ(list.RemoveTail(), "tail");
  ExpectList(list, {"a", "c", "d", "e"});
  list.RemoveAt(list.GetHeadPosition());
  list.RemoveAt(list.GetTailPosition());
  ExpectList(list, {"c", "d"});
  list.RemoveAt(list.FindIndex(0));
  list.RemoveAt(list.FindIndex(0));
  ExpectList(list, {});
  // Nodes freed above are reused.
  list.AddTail("again");
  ExpectList(list, {"again"});
  list.RemoveAll();
  ExpectList(list, {});
  list.AddHead("after RemoveAll");
  ExpectList(list, {"after RemoveAll"});
}

TEST(CStringListTest, AddsWholeListsIncludingItself) {
  CStringList a;
  a.AddTail("1");
  a.AddTail("2");
  CStringList b;
  b.AddTail("x");
  b.AddTail(&a);
  ExpectList(b, {"x", "1", "2"});
  b.AddHead(&a);
  ExpectList(b, {"1", "2", "x", "1", "2"});
  a.AddTail(&a);
  ExpectList(a, {"1", "2", "1", "2"});
  a.AddHead(&a);
  ExpectList(a, {"1", "2", "1", "2", "1", "2", "1", "2"});
  CStringList empty;
  a.AddTail(&empty);
  a.AddTail(static_cast<CStringList*>(nullptr));
  EXPECT_EQ(a.GetCount(), 8);
  // Copies, not shared elements.
  b.GetHead() = "changed";
  EXPECT_STREQ(a.GetHead(), "1");
}

TEST(CStringListTest, FindsFromAPositionAndByIndex) {
  CStringList list;
  list.AddTail("%I1.0");
  POSITION second = list.AddTail("%Q2.0");
  list.AddTail("%I1.0");
  POSITION first = list.Find("%I1.0");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first, list.GetHeadPosition());
  POSITION next = list.Find("%I1.0", first);
  ASSERT_NE(next, nullptr);
  EXPECT_EQ(next, list.GetTailPosition());
  EXPECT_EQ(list.Find("%I1.0", next), nullptr);
  EXPECT_EQ(list.Find("%Q2.0", second), nullptr);
  EXPECT_EQ(list.Find("%q2.0"), nullptr);  // case counts
  EXPECT_EQ(list.FindIndex(1), second);
  EXPECT_EQ(list.FindIndex(3), nullptr);
  EXPECT_EQ(list.FindIndex(-1), nullptr);
  list.SetAt(second, "%Q9.9");
  EXPECT_STREQ(list.GetAt(second), "%Q9.9");
}

TEST(CStringListTest, MisuseThrowsNotSupported) {
  CStringList list;
  ExpectThrows<CNotSupportedException>([&] { list.GetHead(); });
  ExpectThrows<CNotSupportedException>([&] { list.RemoveTail(); });
  ExpectThrows<CNotSupportedException>([&] { list.GetAt(nullptr); });
  ExpectThrows<CNotSupportedException>([&] { list.RemoveAt(nullptr); });
  POSITION none = nullptr;
  ExpectThrows<CNotSupportedException>([&] { list.GetNext(none); });
  EXPECT_EQ(list.GetCount(), 0);
}

TEST(CObListTest, HoldsPointersAndNeverDeletesThem) {
  struct Counted : CObject {
    explicit Counted(int* alive) : alive_(alive) { ++*alive_; }
    ~Counted() override { --*alive_; }
    int* alive_;
  };
  int alive = 0;
  Counted one(&alive), two(&alive), three(&alive);
  {
    CObList list(1);
    list.AddTail(&two);
    list.AddHead(&one);
    POSITION p3 = list.AddTail(&three);
    list.InsertBefore(p3, &one);  // the same pointer twice
    EXPECT_EQ(list.GetCount(), 4);
    POSITION hit = list.Find(&one);
    EXPECT_EQ(hit, list.GetHeadPosition());
    hit = list.Find(&one, hit);
    ASSERT_NE(hit, nullptr);
    EXPECT_EQ(list.GetAt(hit), &one);
    POSITION back = list.GetTailPosition();
    EXPECT_EQ(list.GetPrev(back), &three);
    EXPECT_EQ(list.GetPrev(back), &one);
    list.RemoveAt(hit);
    EXPECT_EQ(list.RemoveHead(), &one);
    EXPECT_EQ(list.RemoveTail(), &three);
    CObList other;
    other.AddTail(&list);
    other.AddHead(&other);
    EXPECT_EQ(other.GetCount(), 2);
    EXPECT_EQ(other.GetHead(), &two);
    list.AddTail(&one);
  }
  EXPECT_EQ(alive, 3);  // the lists went, the objects stayed
}

void ExpectArray(const CStringArray& a, const Texts& expected) {
  Texts got;
  for (INT_PTR i = 0; i < a.GetSize(); ++i) got.emplace_back(a.GetAt(i));
  EXPECT_EQ(got, expected);
  EXPECT_EQ(a.GetUpperBound(), a.GetSize() - 1);
  EXPECT_EQ(a.IsEmpty(), expected.empty());
}

TEST(CStringArrayTest, GrowsInsertsAndRemoves) {
  CStringArray a;
  EXPECT_EQ(a.Add("b"), 0);
  EXPECT_EQ(a.Add(CString("d")), 1);
  a.InsertAt(0, "a");
  a.InsertAt(2, "c");
  a.InsertAt(4, "e", 2);
  ExpectArray(a, {"a", "b", "c", "d", "e", "e"});
  a.RemoveAt(1, 2);
  a[1] = "D";
  a.SetAt(2, "E");
  ExpectArray(a, {"a", "D", "E", "e"});
  a.InsertAt(6, "far");  // beyond the end: empty elements in between
  ExpectArray(a, {"a", "D", "E", "e", "", "", "far"});
  a.SetSize(2);
  a.SetSize(4);
  ExpectArray(a, {"a", "D", "", ""});
  a.RemoveAll();
  ExpectArray(a, {});
}

TEST(CStringArrayTest, AcceptsItsOwnElementsWhileGrowing) {
  CStringArray a;
  a.Add("seed");
  for (int i = 0; i < 100; ++i) a.Add(a[0]);  // reallocates many times
  EXPECT_EQ(a.GetSize(), 101);
  EXPECT_STREQ(a[100], "seed");
  a.InsertAt(0, a[50], 3);
  EXPECT_STREQ(a[2], "seed");
  a.SetAtGrow(200, a[1]);
  EXPECT_STREQ(a[200], "seed");
  CStringArray b;
  b.Add("x");
  b.Append(b);
  b.InsertAt(1, &b);
  ASSERT_EQ(b.GetSize(), 4);
  b.Copy(b);
  EXPECT_EQ(b.GetSize(), 4);
  CStringArray c;
  c.Copy(b);
  c[0] = "changed";
  EXPECT_STREQ(b[0], "x");
}

TEST(CStringArrayTest, OutOfRangeThrowsNotSupported) {
  CStringArray a;
  a.Add("only");
  ExpectThrows<CNotSupportedException>([&] { a.GetAt(1); });
  ExpectThrows<CNotSupportedException>([&] { a.GetAt(-1); });
  ExpectThrows<CNotSupportedException>([&] { a.SetAt(5, "x"); });
  ExpectThrows<CNotSupportedException>([&] { a.RemoveAt(0, 2); });
  ExpectThrows<CNotSupportedException>([&] { a.RemoveAt(-1); });
  ExpectThrows<CNotSupportedException>([&] { a.SetSize(-1); });
  ExpectThrows<CNotSupportedException>([&] { a.InsertAt(-1, "x"); });
  EXPECT_EQ(a.GetSize(), 1);
  EXPECT_STREQ(a[0], "only");
}

TEST(CDWordArrayTest, KeepsValuesInStepWithAStringArray) {
  // The I/O sort keeps a text array and a key array that grow together.
  CStringArray texts;
  CDWordArray keys;
  CUIntArray order;
  for (DWORD i = 0; i < 1000; ++i) {
    CString t;
    t.Format("%%I%u.0", i);
    EXPECT_EQ(texts.Add(t), keys.Add(4000000000u - i));
    order.Add(i);
  }
  EXPECT_EQ(keys[999], 4000000000u - 999);
  keys.RemoveAt(0, 999);
  EXPECT_EQ(keys.GetSize(), 1);
  EXPECT_EQ(keys[0], 4000000000u - 999);
  keys.SetSize(3);
  EXPECT_EQ(keys[2], 0u);
  order.InsertAt(0, 7u, 2);
  EXPECT_EQ(order[0], 7u);
  EXPECT_EQ(order[2], 0u);
  EXPECT_EQ(order.GetSize(), 1002);
  order.FreeExtra();
  EXPECT_EQ(order[1001], 999u);
  EXPECT_TRUE(keys.IsKindOf(RUNTIME_CLASS(CObject)));
}

// Sizes no allocator can give surface as the framework's memory exception and
// leave the collection as it was.
TEST(AllocationFailureTest, ImpossibleSizesThrowMemoryException) {
  CStringArray texts;
  texts.Add("kept");
  ExpectThrows<CMemoryException>([&] { texts.SetSize(INTPTR_MAX / 2); });
  ExpectThrows<CMemoryException>([&] { texts.InsertAt(0, "x", INTPTR_MAX / 4); });
  ASSERT_EQ(texts.GetSize(), 1);
  EXPECT_STREQ(texts[0], "kept");

  CStringList list(INTPTR_MAX);
  ExpectThrows<CMemoryException>([&] { list.AddTail("x"); });
  EXPECT_TRUE(list.IsEmpty());
  EXPECT_EQ(list.GetHeadPosition(), nullptr);

  CString s("kept");
  ExpectThrows<CMemoryException>([&] { s.GetBuffer(INT_MAX); });
  EXPECT_STREQ(s, "kept");
}

}  // namespace
