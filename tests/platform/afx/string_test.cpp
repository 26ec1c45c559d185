#include <gtest/gtest.h>

#include <string>

#include "symbase/afx.h"
#include "symbase/afxwin.h"

namespace {

TEST(CStringTest, ConstructsFromTextCountAndRepeatedChar) {
  EXPECT_STREQ(CString(), "");
  EXPECT_STREQ(CString(static_cast<LPCTSTR>(nullptr)), "");
  EXPECT_STREQ(CString("%MW10"), "%MW10");
  EXPECT_STREQ(CString("%MW10", 3), "%MW");
  EXPECT_STREQ(CString("ab\0cd", 5), "ab");  // stops at a NUL inside the count
  EXPECT_STREQ(CString("abc", -4), "");
  EXPECT_STREQ(CString('x', 4), "xxxx");
  EXPECT_STREQ(CString('x', 0), "");
  CString original("Pump_1");
  CString copy(original);
  copy.SetAt(0, 'L');
  EXPECT_STREQ(original, "Pump_1");
  EXPECT_STREQ(copy, "Lump_1");
}

TEST(CStringTest, IndexAccessOutOfRangeIsHarmless) {
  CString s("abc");
  EXPECT_EQ(s.GetAt(2), 'c');
  EXPECT_EQ(s[0], 'a');
  EXPECT_EQ(s.GetAt(3), '\0');
  EXPECT_EQ(s.GetAt(-1), '\0');
  s.SetAt(3, 'z');
  s.SetAt(-1, 'z');
  EXPECT_STREQ(s, "abc");
  s.Empty();
  EXPECT_TRUE(s.IsEmpty());
  EXPECT_EQ(s.GetLength(), 0);
}

TEST(CStringTest, ConcatenatesTextsCharsAndItself) {
  CString s("%I");
  s += "1.";
  s += '2';
  s += CString("/x");
  EXPECT_STREQ(s, "%I1.2/x");
  EXPECT_STREQ(s.GetString(), "%I1.2/x");
  EXPECT_STREQ(CString("a") + "b", "ab");
  EXPECT_STREQ("a" + CString("b"), "ab");
  EXPECT_STREQ(CString("a") + 'b', "ab");
  EXPECT_STREQ('a' + CString("b"), "ab");
  EXPECT_STREQ(CString("a") + CString("b"), "ab");
  // Appending a string to itself, and a part of itself, while it reallocates.
  CString grow("0123456789");
  for (int i = 0; i < 6; ++i) grow += grow;
  EXPECT_EQ(grow.GetLength(), 640);
  EXPECT_EQ(grow.Find("90123"), 9);
  CString part("abcdef");
  part += static_cast<LPCTSTR>(part) + 3;
  EXPECT_STREQ(part, "abcdefdef");
  part = static_cast<LPCTSTR>(part) + 6;  // assigning its own tail
  EXPECT_STREQ(part, "def");
}

TEST(CStringTest, ComparesAsUnsignedBytes) {
  CString a("abc");
  EXPECT_TRUE(a == "abc");
  EXPECT_TRUE("abc" == a);
  EXPECT_TRUE(a == CString("abc"));
  EXPECT_TRUE(a != "abd");
  EXPECT_TRUE(a < "abd");
  EXPECT_TRUE("abd" > a);
  EXPECT_TRUE(a <= "abc");
  EXPECT_TRUE(a >= CString("ab"));
  EXPECT_TRUE(CString("ab") < a);
  // é (0xE9) sorts after z as a byte above 0x7F.
  EXPECT_GT(CString("\xE9").Compare("z"), 0);
  EXPECT_LT(CString("").Compare("a"), 0);
  EXPECT_EQ(CString("").Compare(nullptr), 0);
}

TEST(CStringTest, CaseFollowsWindows1252) {
  CString s(
      "r\xE9"
      "acteur \x9C"
      "uvre \xFF"
      "a\xDF");
  s.MakeUpper();
  EXPECT_STREQ(s,
               "R\xC9"
               "ACTEUR \x8C"
               "UVRE \x9F"
               "A\xDF");  // ß has no capital
  s.MakeLower();
  EXPECT_STREQ(s,
               "r\xE9"
               "acteur \x9C"
               "uvre \xFF"
               "a\xDF");
  EXPECT_EQ(CString("\xC9t\xC9").CompareNoCase("\xE9T\xE9"), 0);
  EXPECT_EQ(CString("\x8C").CompareNoCase("\x9C"), 0);
  EXPECT_NE(CString("e").CompareNoCase("\xE9"), 0);
  EXPECT_LT(CString("abc").CompareNoCase("ABD"), 0);
  // Multiplication and division signs are not letters.
  CString signs("\xD7\xF7");
  signs.MakeLower();
  EXPECT_STREQ(signs, "\xD7\xF7");
  signs.MakeUpper();
  EXPECT_STREQ(signs, "\xD7\xF7");
}

TEST(CStringTest, SubstringsClampTheirArguments) {
  CString s("%MW10.3");
  EXPECT_STREQ(s.Mid(1), "MW10.3");
  EXPECT_STREQ(s.Mid(3, 2), "10");
  EXPECT_STREQ(s.Mid(5, 100), ".3");
  EXPECT_STREQ(s.Mid(-3, 2), "%M");
  EXPECT_STREQ(s.Mid(7), "");
  EXPECT_STREQ(s.Mid(50), "");
  EXPECT_STREQ(s.Mid(2, -1), "");
  EXPECT_STREQ(s.Left(3), "%MW");
  EXPECT_STREQ(s.Left(-1), "");
  EXPECT_STREQ(s.Left(99), "%MW10.3");
  EXPECT_STREQ(s.Right(2), ".3");
  EXPECT_STREQ(s.Right(99), "%MW10.3");
  EXPECT_STREQ(s.Right(-2), "");
  EXPECT_STREQ(s.SpanIncluding("%MW"), "%MW");
  EXPECT_STREQ(s.SpanExcluding("."), "%MW10");
  CString r("abc");
  r.MakeReverse();
  EXPECT_STREQ(r, "cba");
}

TEST(CStringTest, FindHandlesStartsAndMisses) {
  CString s("%I1.2.ERR");
  EXPECT_EQ(s.Find('.'), 3);
  EXPECT_EQ(s.Find('.', 4), 5);
  EXPECT_EQ(s.Find('.', 6), -1);
  EXPECT_EQ(s.Find('.', -5), 3);
  EXPECT_EQ(s.Find('.', 100), -1);
  EXPECT_EQ(s.Find("ERR"), 6);
  EXPECT_EQ(s.Find("ERR", 7), -1);
  EXPECT_EQ(s.Find("MOD"), -1);
  EXPECT_EQ(s.Find(""), 0);
  EXPECT_EQ(s.Find("", 9), 9);
  EXPECT_EQ(s.Find("", 10), -1);
  EXPECT_EQ(s.Find('\0'), -1);
  EXPECT_EQ(s.ReverseFind('.'), 5);
  EXPECT_EQ(s.ReverseFind('x'), -1);
  EXPECT_EQ(s.FindOneOf("RE"), 6);
  EXPECT_EQ(s.FindOneOf(""), -1);
  EXPECT_EQ(CString().Find('a'), -1);
  EXPECT_EQ(CString().Find(""), 0);
}

TEST(CStringTest, ReplaceRemoveInsertDelete) {
  CString s("a.b.c");
  EXPECT_EQ(s.Replace('.', '/'), 2);
  EXPECT_STREQ(s, "a/b/c");
  EXPECT_EQ(s.Replace("/", "::"), 2);
  EXPECT_STREQ(s, "a::b::c");
  EXPECT_EQ(s.Replace("::", ""), 2);
  EXPECT_STREQ(s, "abc");
  EXPECT_EQ(s.Replace("", "x"), 0);
  EXPECT_EQ(s.Replace(nullptr, "x"), 0);
  EXPECT_EQ(s.Replace("zz", "x"), 0);
  EXPECT_STREQ(s, "abc");
  EXPECT_EQ(s.Replace("b", static_cast<LPCTSTR>(s)), 1);  // the new text is the string itself
  EXPECT_STREQ(s, "aabcc");
  CString overlap("aaaa");
  EXPECT_EQ(overlap.Replace("aa", "b"), 2);  // left to right, no overlapping hits
  EXPECT_STREQ(overlap, "bb");
  CString r("  a b  ");
  EXPECT_EQ(r.Remove(' '), 5);
  EXPECT_STREQ(r, "ab");
  EXPECT_EQ(r.Insert(1, "XY"), 4);
  EXPECT_STREQ(r, "aXYb");
  EXPECT_EQ(r.Insert(99, '!'), 5);
  EXPECT_STREQ(r, "aXYb!");
  EXPECT_EQ(r.Insert(-3, static_cast<LPCTSTR>(r)), 10);
  EXPECT_STREQ(r, "aXYb!aXYb!");
  EXPECT_EQ(r.Delete(1, 2), 8);
  EXPECT_STREQ(r, "ab!aXYb!");
  EXPECT_EQ(r.Delete(6, 50), 6);
  EXPECT_STREQ(r, "ab!aXY");
  EXPECT_EQ(r.Delete(50, 1), 6);
  EXPECT_EQ(r.Delete(0, -1), 6);
}

TEST(CStringTest, TrimsBlanksCharsAndSets) {
  CString s(" \t Pump_1 \r\n");
  s.TrimRight();
  EXPECT_STREQ(s, " \t Pump_1");
  s.TrimLeft();
  EXPECT_STREQ(s, "Pump_1");
  CString both("   x   ");
  both.Trim();
  EXPECT_STREQ(both, "x");
  CString blanks("     ");
  blanks.Trim();
  EXPECT_STREQ(blanks, "");
  CString empty;
  empty.Trim();
  empty.TrimLeft('x');
  EXPECT_STREQ(empty, "");
  CString zeros("000120");
  zeros.TrimLeft('0');
  EXPECT_STREQ(zeros, "120");
  zeros.TrimRight('0');
  EXPECT_STREQ(zeros, "12");
  CString set("*-*value-*");
  set.Trim("*-");
  EXPECT_STREQ(set, "value");
  CString none("value");
  none.Trim("");
  none.Trim(static_cast<LPCTSTR>(nullptr));
  EXPECT_STREQ(none, "value");
}

TEST(CStringTest, FormatsAnyLength) {
  CString s;
  s.Format("%s=%d", "IND1", 42);
  EXPECT_STREQ(s, "IND1=42");
  std::string longText(100000, 'k');
  s.Format("[%s|%05d]", longText.c_str(), 7);
  ASSERT_EQ(s.GetLength(), 100008);
  EXPECT_EQ(s.Left(3), "[kk");
  EXPECT_EQ(s.Right(7), "|00007]");
  // The string formatted into may be an argument of its own format.
  s = "abc";
  s.Format("%s%s", static_cast<LPCTSTR>(s), static_cast<LPCTSTR>(s));
  EXPECT_STREQ(s, "abcabc");
  s.Format("%s", "");
  EXPECT_TRUE(s.IsEmpty());
}

TEST(CStringTest, BufferCanBeWrittenAndReleased) {
  CString s("ab");
  char* buffer = s.GetBuffer(10);
  ASSERT_NE(buffer, nullptr);
  EXPECT_STREQ(buffer, "ab");
  std::snprintf(buffer, 11, "%s", "0123456789");
  s.ReleaseBuffer();
  EXPECT_STREQ(s, "0123456789");
  EXPECT_EQ(s.GetLength(), 10);

  buffer = s.GetBuffer(0);  // never smaller than the text
  buffer[4] = '\0';
  s.ReleaseBuffer();
  EXPECT_STREQ(s, "0123");

  buffer = s.GetBufferSetLength(6);
  buffer[4] = 'x';
  buffer[5] = 'y';
  s.ReleaseBuffer(6);
  EXPECT_STREQ(s, "0123xy");

  buffer = s.GetBuffer(8);
  s.ReleaseBuffer(1000);  // clamped to the buffer, never beyond it
  EXPECT_LE(s.GetLength(), 1000);
  s.ReleaseBuffer(2);
  EXPECT_STREQ(s, "01");

  CString fresh;
  buffer = fresh.GetBuffer(-5);
  ASSERT_NE(buffer, nullptr);
  buffer[0] = '\0';
  fresh.ReleaseBuffer();
  EXPECT_TRUE(fresh.IsEmpty());
  fresh.ReleaseBuffer();  // without a buffer
  EXPECT_TRUE(fresh.IsEmpty());
  CString kept("text");
  kept.GetBuffer(100);
  kept.ReleaseBuffer();
  kept.FreeExtra();
  EXPECT_STREQ(kept, "text");
}

TEST(CStringTest, MovesLeaveAnEmptyString) {
  CString a("moved text");
  CString b(static_cast<CString&&>(a));
  EXPECT_STREQ(b, "moved text");
  EXPECT_STREQ(a, "");
  a = static_cast<CString&&>(b);
  EXPECT_STREQ(a, "moved text");
  EXPECT_STREQ(b, "");
  a = 'c';
  EXPECT_STREQ(a, "c");
}

const AFX_STRINGRES kStrings[] = {
    {19305, "Le symbole est un mot r\xE9serv\xE9"},
    {19309, "Le symbole existe d\xE9j\xE0 dans la base"},
    {500, "%s vaut %d"},
};
const AFX_RESOURCE_MODULE kModule = {"string test", kStrings, 3, nullptr, 0};

TEST(CStringTest, LoadsStringsThroughTheResourceChain) {
  CString s("stale");
  EXPECT_FALSE(s.LoadString(19305));
  EXPECT_STREQ(s, "");
  ASSERT_TRUE(AfxAddResourceModule(&kModule));
  EXPECT_TRUE(s.LoadString(19305));
  EXPECT_STREQ(s, "Le symbole est un mot r\xE9serv\xE9");
  s.Format(500U, "IND2", 3);
  EXPECT_STREQ(s, "IND2 vaut 3");
  char small[10];
  EXPECT_EQ(AfxLoadString(19309, small, sizeof small), 9);
  EXPECT_STREQ(small, "Le symbol");
  EXPECT_EQ(AfxLoadString(4, small, sizeof small), 0);
  EXPECT_STREQ(small, "");
  EXPECT_TRUE(AfxRemoveResourceModule(&kModule));
  EXPECT_FALSE(s.LoadString(19305));
  EXPECT_FALSE(AfxRemoveResourceModule(&kModule));
}

}  // namespace
