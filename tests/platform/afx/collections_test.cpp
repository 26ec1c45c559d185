#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "symbase/afxcoll.h"

namespace {

using Texts = std::vector<std::string>;

// Walks both ways, so that a broken back link shows as well as a forward one.
void ExpectList(const CStringList& list, const Texts& expected) {
  Texts forward, backward;
  for (POSITION p = list.GetHeadPosition(); p != nullptr;) forward.emplace_back(list.GetNext(p));
  for (POSITION p = list.GetTailPosition(); p != nullptr;) backward.emplace_back(list.GetPrev(p));
  EXPECT_EQ(forward, expected);
  EXPECT_EQ(backward, Texts(expected.rbegin(), expected.rend()));
  EXPECT_EQ(list.GetCount(), static_cast<INT_PTR>(expected.size()));
  EXPECT_EQ(list.IsEmpty(), expected.empty());
}

void ExpectArray(const CStringArray& a, const Texts& expected) {
  Texts got;
  for (INT_PTR i = 0; i < a.GetSize(); ++i) got.emplace_back(a.GetAt(i));
  EXPECT_EQ(got, expected);
  EXPECT_EQ(a.GetUpperBound(), a.GetSize() - 1);
  EXPECT_EQ(a.IsEmpty(), expected.empty());
}

TEST(CStringListTest, InsertsAndRemovesAtHeadMiddleAndTail) {
  CStringList list(2);  // small blocks: several are needed
  POSITION b = list.AddTail("b");
  POSITION d = list.AddTail(CString("d"));
  list.InsertBefore(b, "a");
  list.InsertAfter(b, "c");
  list.InsertAfter(d, "e");
  list.InsertBefore(nullptr, "head");
  list.InsertAfter(nullptr, "tail");
  ExpectList(list, {"head", "a", "b", "c", "d", "e", "tail"});
  list.GetHead() = "HEAD";
  list.RemoveAt(b);  // middle
  EXPECT_STREQ(list.RemoveHead(), "HEAD");
  EXPECT_STREQ(list.RemoveTail(), "tail");
  list.RemoveAt(list.GetHeadPosition());
  list.RemoveAt(list.GetTailPosition());
  ExpectList(list, {"c", "d"});
  list.RemoveAt(list.FindIndex(1));
  list.RemoveAt(list.FindIndex(0));
  ExpectList(list, {});
  list.AddHead("again");  // on nodes freed above
  list.AddTail("and again");
  ExpectList(list, {"again", "and again"});
  list.RemoveAll();
  ExpectList(list, {});
}

TEST(CStringListTest, FindsFromAPositionAndByIndex) {
  CStringList list;
  list.AddTail("%I1.0");
  POSITION second = list.AddTail("%Q2.0");
  list.AddTail("%I1.0");
  const std::pair<POSITION, POSITION> rows[] = {
      {list.Find("%I1.0"), list.GetHeadPosition()},
      {list.Find("%I1.0", list.GetHeadPosition()), list.GetTailPosition()},
      {list.Find("%I1.0", list.GetTailPosition()), nullptr},
      {list.Find("%Q2.0", second), nullptr},
      {list.Find("%q2.0"), nullptr},  // case counts
      {list.FindIndex(1), second},
      {list.FindIndex(3), nullptr},
      {list.FindIndex(-1), nullptr}};
  for (const auto& r : rows) EXPECT_EQ(r.first, r.second) << "row " << &r - rows;
  list.SetAt(second, "%Q9.9");
  EXPECT_STREQ(list.GetAt(second), "%Q9.9");
}

TEST(CStringArrayTest, AcceptsItsOwnElementsWhileGrowing) {
  CStringArray a;
  a.Add("seed");
  for (int i = 0; i < 100; ++i) a.Add(a[0]);  // reallocates many times
  a.InsertAt(0, a[50], 3);
  a.Append(a);
  EXPECT_EQ(a.GetSize(), 208);
  for (INT_PTR i : {0, 2, 103, 207}) EXPECT_STREQ(a[i], "seed") << i;
}

// Misuse throws the framework's not-supported exception and sizes no
// allocator can give its memory exception; the collection stays as it was.
TEST(CollectionMisuseTest, ThrowsAndLeavesTheCollectionAsItWas) {
  CStringList list, huge(INTPTR_MAX);
  CStringArray a;
  a.Add("only");
  CString s("kept");
  POSITION none = nullptr;
  const struct {
    const char* what;
    std::function<void()> call;
    const CRuntimeClass* thrown;
  } calls[] = {
      {"head of empty list", [&] { list.GetHead(); }, RUNTIME_CLASS(CNotSupportedException)},
      {"tail of empty list", [&] { list.RemoveTail(); }, RUNTIME_CLASS(CNotSupportedException)},
      {"null position", [&] { list.GetAt(nullptr); }, RUNTIME_CLASS(CNotSupportedException)},
      {"remove null", [&] { list.RemoveAt(nullptr); }, RUNTIME_CLASS(CNotSupportedException)},
      {"next of null", [&] { list.GetNext(none); }, RUNTIME_CLASS(CNotSupportedException)},
      {"get past end", [&] { a.GetAt(1); }, RUNTIME_CLASS(CNotSupportedException)},
      {"set past end", [&] { a.SetAt(5, "x"); }, RUNTIME_CLASS(CNotSupportedException)},
      {"remove past end", [&] { a.RemoveAt(0, 2); }, RUNTIME_CLASS(CNotSupportedException)},
      {"negative size", [&] { a.SetSize(-1); }, RUNTIME_CLASS(CNotSupportedException)},
      {"insert before start", [&] { a.InsertAt(-1, "x"); }, RUNTIME_CLASS(CNotSupportedException)},
      {"insert no count", [&] { a.InsertAt(0, "x", -1); }, RUNTIME_CLASS(CNotSupportedException)},
      {"huge size", [&] { a.SetSize(INTPTR_MAX / 2); }, RUNTIME_CLASS(CMemoryException)},
      {"huge block", [&] { huge.AddTail("x"); }, RUNTIME_CLASS(CMemoryException)},
      {"huge buffer", [&] { s.GetBuffer(INT_MAX); }, RUNTIME_CLASS(CMemoryException)},
  };
  for (const auto& c : calls) {
    const CRuntimeClass* thrown = nullptr;
    try {
      c.call();
    } catch (CException* e) {
      thrown = e->GetRuntimeClass();
      e->Delete();
    }
    EXPECT_EQ(thrown, c.thrown) << c.what;
  }
  ExpectList(list, {});
  ExpectList(huge, {});
  ExpectArray(a, {"only"});
  EXPECT_STREQ(s, "kept");
}

}  // namespace
