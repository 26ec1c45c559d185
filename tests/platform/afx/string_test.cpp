// Runtime classes, exceptions, CString, the string collections and CTime.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "support/temp_dir.h"
#include "symbase/afx.h"
#include "symbase/afxcoll.h"

namespace {

// Each row: what a call gave, what it should have given.
using Texts = std::vector<std::pair<CString, const char*>>;

void ExpectTexts(const Texts& rows) {
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_STREQ(rows[i].first, rows[i].second) << i;
    EXPECT_EQ(rows[i].first.GetLength(), static_cast<int>(std::strlen(rows[i].second))) << i;
  }
}

// `s` after SetString (or Append) of a counted text.
CString Counted(CString s, bool append, LPCTSTR pch, int nLength) {
  append ? s.Append(pch, nLength) : s.SetString(pch, nLength);
  return s;
}

CString Cased(CString s, bool upper) {
  upper ? s.MakeUpper() : s.MakeLower();
  return s;
}

TEST(CStringTest, ConstructsConcatenatesClampsSubstringsAndChangesCase) {
  const CString s("%MW10.3");  // counts stop at a NUL; substrings clamp their arguments
  ExpectTexts({{CString(), ""},
               {CString(static_cast<LPCTSTR>(nullptr)), ""},
               {CString("%MW10", 3), "%MW"},
               {CString("ab\0cd", 5), "ab"},
               {CString("abc", -4), ""},
               {CString('x', 4), "xxxx"},
               {Counted("old text", false, "ab\0cd", 5), "ab"},
               {Counted("ab", true, "cd\0e", 4), "abcd"},
               {Counted("ab", true, "cd", -1), "ab"},
               {Counted("ab", false, nullptr, 3), ""},
               {CString("a") + "b", "ab"},
               {"a" + CString("b"), "ab"},
               {CString("a") + 'b', "ab"},
               {'a' + CString("b"), "ab"},
               {CString("a") + CString("b"), "ab"},
               {s.Mid(1), "MW10.3"},
               {s.Mid(3, 2), "10"},
               {s.Mid(5, 100), ".3"},
               {s.Mid(-3, 2), "%M"},
               {s.Mid(50), ""},
               {s.Mid(2, -1), ""},
               {s.Left(3), "%MW"},
               {s.Right(2), ".3"},
               {s.Right(99), "%MW10.3"},
               {s.Right(-2), ""},
               // ß has no capital; the multiplication and division signs are no letters.
               {Cased("\xE9\x9C\xFF \xDF \xD7\xF7 az", true), "\xC9\x8C\x9F \xDF \xD7\xF7 AZ"},
               {Cased("\xC9\x8C\x9F \xDF \xD7\xF7 AZ", false), "\xE9\x9C\xFF \xDF \xD7\xF7 az"}});
  CString original("Pump_1");
  CString copy(original);
  copy.SetAt(0, 'L');
  copy.SetAt(6, 'z');  // out of range: ignored
  copy.SetAt(-1, 'z');
  EXPECT_STREQ(original, "Pump_1");
  EXPECT_STREQ(copy, "Lump_1");
  // Counted texts taken from the string itself.
  copy.SetString(copy.GetString() + 2, 3);
  copy.Append(copy, 2);
  EXPECT_STREQ(copy, "mp_mp");
}

// Appending, formatting and the lent buffer grow the text, also from itself
// (more in the edit table below), in the object or on the heap.
TEST(CStringTest, GrowsFromItselfWhileItReallocatesAndMoves) {
  CString grow("0123456789");
  for (int i = 0; i < 6; ++i) grow += grow;
  EXPECT_EQ(grow.GetLength(), 640);
  EXPECT_EQ(grow.Find("90123"), 9);
  CString formatted;
  std::string longText(100000, 'k');
  formatted.Format("[%s|%05d]", longText.c_str(), 7);
  ASSERT_EQ(formatted.GetLength(), 100008);
  EXPECT_EQ(formatted.Right(7), "|00007]");
  CString s("ab");
  s = std::string(200, 'w').c_str();  // longer than the room it had
  EXPECT_EQ(s, CString(std::string(200, 'w').c_str()));
  s = "ab";
  char* buffer = s.GetBuffer(10);
  EXPECT_STREQ(buffer, "ab");
  std::snprintf(buffer, 11, "%s", "0123456789");
  s.ReleaseBuffer();
  EXPECT_STREQ(s, "0123456789");
  s.GetBuffer(0)[4] = '\0';  // never smaller than the text
  s.ReleaseBuffer();
  EXPECT_STREQ(s, "0123");
  s.GetBuffer(8);
  s.ReleaseBuffer(2);
  s.ReleaseBuffer();  // without a buffer
  EXPECT_STREQ(s, "01");
  // Short texts live in the object and long ones on the heap: moves, copies,
  // growth and shrinking across the boundary keep every text (ASan watches).
  const int lengths[] = {0, 1, 22, 23, 24, 25, 100};
  const auto text = [&](std::size_t i) {
    return CString('a' + lengths[i % 7] % 26, lengths[i % 7]);
  };
  std::vector<CString> texts;
  for (std::size_t i = 0; i < 47; ++i) texts.push_back(i < 7 ? text(i) : texts[i % 7]);
  for (std::size_t i = 0; i < texts.size(); ++i) ASSERT_EQ(texts[i], text(i)) << i;
  CString moved(std::move(texts[3]));  // 23 bytes: in the object
  EXPECT_EQ(moved, text(3));
  EXPECT_TRUE(texts[3].IsEmpty());
  moved = std::move(texts[6]);  // 100 bytes: the heap's memory
  EXPECT_EQ(moved, text(6));
  moved = moved.Left(3);  // back into the object
  moved.FreeExtra();
  EXPECT_STREQ(moved, "www");
  // A text on the heap keeps every byte when its spare room goes.
  CString roomy('r', 60);
  roomy.GetBuffer(200);
  roomy.ReleaseBuffer();
  roomy.FreeExtra();
  EXPECT_EQ(roomy, CString('r', 60));
  roomy += "s";
  EXPECT_EQ(roomy, CString('r', 60) + "s");
}

TEST(CStringTest, ComparesAsUnsignedBytesFindsAndIndexes) {
  // Each operator in its three forms (string and string, string and text,
  // text and string) on x and y: ==, !=, <, >, <=, >= in turn.
  const auto compared = [](const char* x, const char* y) {
    const CString a(x), b(y);
    const bool results[] = {
        a == b, a == y, x == b, a != b, a != y, x != b, a<b, a<y, x<b, a> b, a> y, x> b,
        a <= b, a <= y, x <= b, a >= b, a >= y, x >= b};
    std::string bits;
    for (bool r : results) bits += r ? '1' : '0';
    return bits;
  };
  EXPECT_EQ(compared("abc", "abc"), "111000000000111111");
  EXPECT_EQ(compared("ab", "abc"), "000111111000111000");
  EXPECT_EQ(compared("abd", "abc"), "000111000111000111");
  EXPECT_GT(CString("\xE9").Compare("z"), 0);  // é (0xE9) is a byte above 0x7F
  EXPECT_EQ(CString("").Compare(nullptr), 0);
  // Finds and indexes from any start, and their misses.
  const CString s("%I1.2.ERR");
  const std::pair<int, int> rows[] = {{s.Find('.'), 3},          {s.Find('.', 4), 5},
                                      {s.Find('.', 6), -1},      {s.Find('.', -5), 3},
                                      {s.Find('.', 100), -1},    {s.Find("ERR"), 6},
                                      {s.Find("ERR", 7), -1},    {s.Find("MOD"), -1},
                                      {s.Find(""), 0},           {s.Find("", 9), 9},
                                      {s.Find("", 10), -1},      {s.Find('\0'), -1},
                                      {CString().Find('a'), -1}, {CString().Find(""), 0},
                                      {s.GetAt(8), 'R'},         {s[0], '%'},
                                      {s.GetAt(9), 0},           {s.GetAt(-1), 0}};
  for (const auto& r : rows) EXPECT_EQ(r.first, r.second) << "row " << &r - rows;
}

// Each row: a text, an edit made on it, what the edit returns (appends: the
// length, trims and formats: 0) and the text after.
TEST(CStringTest, EditsAndTrimsInPlace) {
  const struct {
    const char* text;
    int (*edit)(CString&);
    int returned;
    const char* after;
  } rows[] = {
      {"a.b.c", [](CString& s) { return s.Replace('.', '/'); }, 2, "a/b/c"},
      {"a/b/c", [](CString& s) { return s.Replace("/", "::"); }, 2, "a::b::c"},
      {"a::b::c", [](CString& s) { return s.Replace("::", ""); }, 2, "abc"},
      {"abc", [](CString& s) { return s.Replace("", "x") + s.Replace(nullptr, "x"); }, 0, "abc"},
      {"abc", [](CString& s) { return s.Replace("zz", "x"); }, 0, "abc"},
      {"abc", [](CString& s) { return s.Replace("b", static_cast<LPCTSTR>(s)); }, 1, "aabcc"},
      {"aaaa", [](CString& s) { return s.Replace("aa", "b"); }, 2, "bb"},  // left to right
      {"  a b  ", [](CString& s) { return s.Remove(' '); }, 5, "ab"},
      {"ab", [](CString& s) { return s.Insert(1, "XY"); }, 4, "aXYb"},
      {"aXYb", [](CString& s) { return s.Insert(99, '!'); }, 5, "aXYb!"},
      {"aXYb!", [](CString& s) { return s.Insert(-3, static_cast<LPCTSTR>(s)); }, 10, "aXYb!aXYb!"},
      {"%I", [](CString& s) { return (s += "1.").GetLength(); }, 4, "%I1."},
      {"%I1.", [](CString& s) { return (s += '2').GetLength(); }, 5, "%I1.2"},
      {"%I1.2", [](CString& s) { return (s += CString("/x")).GetLength(); }, 7, "%I1.2/x"},
      {"abcdef", [](CString& s) { return (s += static_cast<LPCTSTR>(s) + 3).GetLength(); }, 9,
       "abcdefdef"},
      {"abcdef", [](CString& s) { return (s = static_cast<LPCTSTR>(s) + 3).GetLength(); }, 3,
       "def"},
      {"abc", [](CString& s) { return s.Format("%s%s", s.GetString(), s.GetString()), 0; }, 0,
       "abcabc"},
      {" \t Pump_1 \r\n", [](CString& s) { return s.TrimRight(), 0; }, 0, " \t Pump_1"},
      {" \t Pump_1 \r\n", [](CString& s) { return s.TrimLeft(), 0; }, 0, "Pump_1 \r\n"},
      {"   x   ", [](CString& s) { return s.Trim(), 0; }, 0, "x"},
      {"     ", [](CString& s) { return s.Trim(), 0; }, 0, ""},
      {"000120", [](CString& s) { return s.TrimLeft('0'), 0; }, 0, "120"},
      {"000120", [](CString& s) { return s.TrimRight('0'), 0; }, 0, "00012"},
      {"*-*value-*", [](CString& s) { return s.Trim("*-"), 0; }, 0, "value"},
  };
  for (const auto& r : rows) {
    CString s(r.text);
    EXPECT_EQ(r.edit(s), r.returned) << "[" << r.text << "]";
    EXPECT_STREQ(s, r.after) << "[" << r.text << "]";
  }
}

using Words = std::vector<std::string>;

// Walks both ways, so that a broken back link shows as well as a forward one.
void ExpectList(const CStringList& list, const Words& expected) {
  Words forward, backward;
  for (POSITION p = list.GetHeadPosition(); p != nullptr;) forward.emplace_back(list.GetNext(p));
  for (POSITION p = list.GetTailPosition(); p != nullptr;) backward.emplace_back(list.GetPrev(p));
  EXPECT_EQ(forward, expected);
  EXPECT_EQ(backward, Words(expected.rbegin(), expected.rend()));
  EXPECT_EQ(list.GetCount(), static_cast<INT_PTR>(expected.size()));
  EXPECT_EQ(list.IsEmpty(), expected.empty());
}

TEST(CStringListTest, InsertsRemovesAndFindsAtHeadMiddleAndTail) {
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
  list.AddTail("%I1.0");
  POSITION second = list.AddTail("%Q2.0");
  list.AddTail("%I1.0");
  const std::pair<POSITION, POSITION> rows[] = {
      {list.Find("%I1.0"), list.GetHeadPosition()},
      {list.Find("%I1.0", list.GetHeadPosition()), list.GetTailPosition()},
      {list.Find("%I1.0", list.GetTailPosition()), nullptr},
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
  a.RemoveAt(200, 8);  // the whole tail
  EXPECT_EQ(a.GetSize(), 200);
  a.SetAt(1, "other");
  a.InsertAt(1, &a);  // itself, into its middle
  a.InsertAt(0, static_cast<const CStringArray*>(nullptr));
  EXPECT_EQ(a.GetSize(), 400);
  for (INT_PTR i : {1, 2, 200, 201}) EXPECT_STREQ(a[i], i == 2 || i == 201 ? "other" : "seed") << i;
  a.RemoveAt(0);
  a.RemoveAt(0, 0);  // nothing
  EXPECT_EQ(a.GetSize(), 399);
  EXPECT_STREQ(a[1], "other");
}

// Misuse throws the framework's not-supported exception and sizes no
// allocator can give its memory exception, one object made in advance that
// Delete leaves whole; the collection stays as it was.
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
  std::set<CException*> memory;
  for (const auto& c : calls) {
    const CRuntimeClass* thrown = nullptr;
    try {
      c.call();
    } catch (CException* e) {
      thrown = e->GetRuntimeClass();
      if (thrown == RUNTIME_CLASS(CMemoryException)) memory.insert(e);
      e->Delete();
    }
    EXPECT_EQ(thrown, c.thrown) << c.what;
  }
  ASSERT_EQ(memory.size(), 1u);
  // The kept object is of the kind of the root of its chain, of no sibling's.
  const CException* kept = *memory.begin();
  EXPECT_TRUE(kept->IsKindOf(RUNTIME_CLASS(CObject)));
  EXPECT_FALSE(kept->IsKindOf(RUNTIME_CLASS(CFileException)));
  EXPECT_FALSE(kept->IsKindOf(nullptr));
  ExpectList(list, {});
  ExpectList(huge, {});
  ASSERT_EQ(a.GetUpperBound(), 0);
  EXPECT_FALSE(a.IsEmpty());
  EXPECT_STREQ(a[0], "only");
  EXPECT_STREQ(s, "kept");
}

// Two throw helpers, and CFile::Remove and CFile::Rename against what the
// directory holds: the class thrown, its cause, system error and file.
TEST(ExceptionTest, ThrowsCarryTheirClassCauseAndFileMessagesNameTheError) {
  testing_support::TempDir dir;
  ASSERT_TRUE(testing_support::WriteFileBytes(dir.file("a"), "A"));
  ASSERT_TRUE(testing_support::WriteFileBytes(dir.file("b"), "B"));
  ASSERT_TRUE(testing_support::WriteFileBytes(dir.file("KR9.DBF"), "x"));
  ASSERT_EQ(mkdir(dir.file("base").c_str(), 0755), 0);
  const std::string missing = dir.file("KR9CMT.DBF");
  const CRuntimeClass* const kFile = RUNTIME_CLASS(CFileException);
  const struct {
    std::function<void()> call;
    const CRuntimeClass* cls;  // null: no exception
    int cause;
    int os_error;
    std::string file;
  } calls[] = {
      {[] { AfxThrowResourceException(); }, RUNTIME_CLASS(CResourceException), -1, 0, ""},
      {[] { AfxThrowFileException(CFileException::diskFull, ENOSPC, "KR9.DBF"); },
       RUNTIME_CLASS(CFileException), 13, ENOSPC, "KR9.DBF"},
      {[] { AfxThrowArchiveException(CArchiveException::badSchema, "a.arc"); },
       RUNTIME_CLASS(CArchiveException), 7, 0, "a.arc"},
      {[&] { CFile::Remove(dir.file("KR9.DBF").c_str()); }, nullptr, -1, 0, ""},
      {[&] { CFile::Remove(missing.c_str()); }, kFile, 2, ENOENT, missing},
      {[] { CFile::Remove(nullptr); }, kFile, 2, ENOENT, ""},
      {[&] { CFile::Remove(dir.file("base").c_str()); }, kFile, 5, EISDIR, dir.file("base")},
      {[&] { CFile::Remove(dir.file("a/KR9.DBF").c_str()); }, kFile, 3, ENOTDIR, ""},
      {[&] { CFile::Rename(dir.file("a").c_str(), dir.file("b").c_str()); }, kFile, 5, EEXIST, ""},
      {[&] { CFile::Rename(dir.file("a").c_str(), dir.file("c").c_str()); }, nullptr, -1, 0, ""},
  };
  for (const auto& c : calls) {
    const CRuntimeClass* cls = nullptr;
    int cause = -1;
    LONG os_error = 0;
    std::string file;
    try {
      c.call();
    } catch (CException* e) {
      cls = e->GetRuntimeClass();
      if (auto* fe = dynamic_cast<CFileException*>(e)) {
        cause = fe->m_cause;
        os_error = fe->m_lOsError;
        file = LPCTSTR(fe->m_strFileName);
      } else if (auto* ae = dynamic_cast<CArchiveException*>(e)) {
        cause = ae->m_cause;
        file = LPCTSTR(ae->m_strFileName);
      }
      e->Delete();
    }
    SCOPED_TRACE(&c - calls);
    EXPECT_EQ(cls, c.cls);
    EXPECT_EQ(cause, c.cause);
    if (c.cause >= 0 && c.os_error != EEXIST) {
      EXPECT_EQ(os_error, c.os_error);
    }
    if (!c.file.empty()) {
      EXPECT_EQ(file, c.file);
    }
  }
  EXPECT_NE(access(dir.file("KR9.DBF").c_str(), F_OK), 0);
  EXPECT_EQ(access(dir.file("base").c_str(), F_OK), 0);           // an empty directory is kept
  EXPECT_EQ(testing_support::ReadFileBytes(dir.file("b")), "B");  // never replaced
  EXPECT_EQ(testing_support::ReadFileBytes(dir.file("c")), "A");
  // A file exception's message names the system error, else the cause.
  for (const auto& [os_error, message] :
       {std::pair<int, std::string>{ENOSPC, std::strerror(ENOSPC)}, {0, "cause 13"}}) {
    char text[64];
    CFileException e(CFileException::diskFull, os_error, "KR9.DBF");
    ASSERT_TRUE(e.GetErrorMessage(text, sizeof text, nullptr));
    EXPECT_EQ(std::string(text), "KR9.DBF: " + message);
  }
}

// Points in time and spans: formats in UTC and local time, local fields,
// normalised fields, arithmetic.
TEST(CTimeTest, FormatsFieldsAndSpans) {
  EXPECT_STREQ(CTime(86400 + 3661).FormatGmt("%Y-%m-%d %H:%M:%S"), "1970-01-02 01:01:01");
  EXPECT_STREQ(CTime().FormatGmt(nullptr), "");
  const std::string wide(300, 'x');  // longer than the first buffer
  EXPECT_STREQ(CTime().FormatGmt(wide.c_str()), wide.c_str());

  // Local fields as the time was made; fields out of range roll over.
  const CTime made(2026, 12, 7, 21, 5, 30);
  EXPECT_STREQ(made.Format("%Y-%m-%d %H:%M:%S"), "2026-12-07 21:05:30");
  const int fields[] = {made.GetYear(),   made.GetMonth(),  made.GetDay(),      made.GetHour(),
                        made.GetMinute(), made.GetSecond(), made.GetDayOfWeek()};
  const int expected[] = {2026, 12, 7, 21, 5, 30, 2};  // a Monday
  for (int i = 0; i < 7; ++i) EXPECT_EQ(fields[i], expected[i]) << i;
  EXPECT_EQ(CTime(2026, 12, 32, 0, 0, 0), CTime(2027, 1, 1, 0, 0, 0));

  const CTimeSpan span(1, 2, 3, 4);
  EXPECT_EQ(span.GetTotalSeconds(), 93784);
  EXPECT_EQ((made + span) - made, span);
  EXPECT_EQ((made - span).GetTime(), made.GetTime() - 93784);
}

}  // namespace
