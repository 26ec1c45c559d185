#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <functional>
#include <string>

#include "support/temp_dir.h"
#include "symbase/afx.h"

namespace {

class CBase : public CObject {
  DECLARE_DYNAMIC(CBase)
};
IMPLEMENT_DYNAMIC(CBase, CObject)

class CDerived : public CBase {
  DECLARE_DYNAMIC(CDerived)
};
IMPLEMENT_DYNAMIC(CDerived, CBase)

TEST(RuntimeClassTest, DescribesTheClassAndItsBases) {
  CDerived d;
  const CObject& o = d;
  EXPECT_STREQ(o.GetRuntimeClass()->m_lpszClassName, "CDerived");
  for (const CRuntimeClass* base :
       {RUNTIME_CLASS(CDerived), RUNTIME_CLASS(CBase), RUNTIME_CLASS(CObject)}) {
    EXPECT_TRUE(o.IsKindOf(base)) << base->m_lpszClassName;
  }
  EXPECT_FALSE(o.IsKindOf(RUNTIME_CLASS(CException)));
  EXPECT_FALSE(o.IsKindOf(nullptr));
  EXPECT_FALSE(CBase().IsKindOf(RUNTIME_CLASS(CDerived)));
}

TEST(ExceptionTest, MemoryExceptionIsPreallocatedAndSurvivesDelete) {
  CException* caught[2] = {};
  for (CException*& c : caught) {
    try {
      AfxThrowMemoryException();
    } catch (CMemoryException* e) {
      c = e;
      e->Delete();  // must not free it
    }
  }
  EXPECT_EQ(caught[0], caught[1]);
  EXPECT_TRUE(caught[1]->IsKindOf(RUNTIME_CLASS(CMemoryException)));
}

// Two throw helpers, and CFile::Remove and CFile::Rename against what the
// directory holds: the class thrown, its cause, system error and file.
TEST(ExceptionTest, ThrowsCarryTheirClassCauseAndFile) {
  testing_support::TempDir dir;
  ASSERT_TRUE(testing_support::WriteFileBytes(dir.file("a"), "A"));
  ASSERT_TRUE(testing_support::WriteFileBytes(dir.file("b"), "B"));
  ASSERT_TRUE(testing_support::WriteFileBytes(dir.file("KR9.DBF"), "x"));
  ASSERT_EQ(mkdir(dir.file("base").c_str(), 0755), 0);
  const std::string missing = dir.file("KR9CMT.DBF"), too_long = dir.file(std::string(5000, 'n'));
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
      {[&] { CFile::Remove(too_long.c_str()); }, kFile, 3, ENAMETOOLONG, ""},
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
}

}  // namespace
