#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <functional>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "symbase/afx.h"

namespace {

class CBase : public CObject {
  DECLARE_DYNAMIC(CBase)
};
IMPLEMENT_DYNAMIC(CBase, CObject)

class CDerived : public CBase {
  DECLARE_DYNAMIC(CDerived)
 public:
  int extra = 0;
};
IMPLEMENT_DYNAMIC(CDerived, CBase)

TEST(RuntimeClassTest, DescribesTheClassAndItsBases) {
  CDerived d;
  const CObject& o = d;
  const CRuntimeClass* rc = o.GetRuntimeClass();
  EXPECT_STREQ(rc->m_lpszClassName, "CDerived");
  EXPECT_EQ(rc->m_nObjectSize, static_cast<int>(sizeof(CDerived)));
  EXPECT_EQ(rc->m_wSchema, 0xFFFFu);
  EXPECT_EQ(rc->m_pBaseClass, RUNTIME_CLASS(CBase));
  EXPECT_EQ(RUNTIME_CLASS(CBase)->m_pBaseClass, RUNTIME_CLASS(CObject));
  EXPECT_EQ(RUNTIME_CLASS(CObject)->m_pBaseClass, nullptr);
  EXPECT_TRUE(o.IsKindOf(RUNTIME_CLASS(CDerived)));
  EXPECT_TRUE(o.IsKindOf(RUNTIME_CLASS(CBase)));
  EXPECT_TRUE(o.IsKindOf(RUNTIME_CLASS(CObject)));
  EXPECT_FALSE(o.IsKindOf(RUNTIME_CLASS(CException)));
  EXPECT_FALSE(o.IsKindOf(nullptr));
  EXPECT_FALSE(o.IsSerializable());
  CBase b;
  EXPECT_FALSE(b.IsKindOf(RUNTIME_CLASS(CDerived)));
  CFileException fe;
  EXPECT_TRUE(fe.IsKindOf(RUNTIME_CLASS(CException)));
  EXPECT_STREQ(fe.GetRuntimeClass()->m_lpszClassName, "CFileException");
}

TEST(RuntimeClassTest, DumpNamesTheClass) {
  CDerived d;
  CDumpContext dc;
  d.Dump(dc);
  dc << 12 << 3u << -4L;
  EXPECT_EQ(dc.GetText().Find("a CDerived at "), 0);
  EXPECT_GE(dc.GetText().Find("123-4"), 0);
}

// Which class a thrown framework exception was caught as, and its cause.
struct Caught {
  const CRuntimeClass* cls = nullptr;
  int cause = -1;
  LONG osError = 0;
  std::string file;
};

template <class F>
Caught Catch(F action) {
  Caught c;
  try {
    action();
  } catch (CException* e) {
    c.cls = e->GetRuntimeClass();
    if (auto* fe = dynamic_cast<CFileException*>(e)) {
      c.cause = fe->m_cause;
      c.osError = fe->m_lOsError;
      c.file = LPCTSTR(fe->m_strFileName);
    } else if (auto* ae = dynamic_cast<CArchiveException*>(e)) {
      c.cause = ae->m_cause;
      c.file = LPCTSTR(ae->m_strFileName);
    }
    e->Delete();
  }
  return c;
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

TEST(ExceptionTest, ErrnoMapsToTheFrameworksCauseNumbers) {
  const struct {
    int os_error, cause;
  } causes[] = {{0, 0},      {ENOENT, 2}, {ENOTDIR, 3}, {ENAMETOOLONG, 3},
                {EMFILE, 4}, {EACCES, 5}, {EROFS, 5},   {EBADF, 6},
                {EIO, 10},   {ESPIPE, 9}, {EAGAIN, 12}, {ENOSPC, 13},
                {EDOM, 1},   {-7, 1}};
  for (const auto& c : causes) {
    EXPECT_EQ(CFileException::OsErrorToException(c.os_error), c.cause) << c.os_error;
    EXPECT_EQ(CFileException::ErrnoToException(c.os_error), c.cause) << c.os_error;
  }
  char text[128];
  CFileException e(CFileException::fileNotFound, ENOENT, "KR9.DBF");
  ASSERT_TRUE(e.GetErrorMessage(text, sizeof text));
  EXPECT_NE(std::string(text).find("KR9.DBF"), std::string::npos);
  EXPECT_FALSE(CUserException().GetErrorMessage(text, sizeof text));
  EXPECT_STREQ(text, "");
}

// The throw helpers, and CFile::Remove and CFile::Rename against what the
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
    const char* what;
    std::function<void()> call;
    const CRuntimeClass* cls;  // null: no exception
    int cause;
    int os_error;
    std::string file;
  } calls[] = {
      {"memory", [] { AfxThrowMemoryException(); }, RUNTIME_CLASS(CMemoryException), -1, 0, ""},
      {"not supported", [] { AfxThrowNotSupportedException(); },
       RUNTIME_CLASS(CNotSupportedException), -1, 0, ""},
      {"user", [] { AfxThrowUserException(); }, RUNTIME_CLASS(CUserException), -1, 0, ""},
      {"resource", [] { AfxThrowResourceException(); }, RUNTIME_CLASS(CResourceException), -1, 0,
       ""},
      {"file", [] { AfxThrowFileException(CFileException::diskFull, ENOSPC, "KR9.DBF"); },
       RUNTIME_CLASS(CFileException), 13, ENOSPC, "KR9.DBF"},
      {"archive", [] { AfxThrowArchiveException(CArchiveException::badSchema, "a.arc"); },
       RUNTIME_CLASS(CArchiveException), 7, 0, "a.arc"},
      {"existing file", [&] { CFile::Remove(dir.file("KR9.DBF").c_str()); }, nullptr, -1, 0, ""},
      {"missing file", [&] { CFile::Remove(missing.c_str()); }, kFile, 2, ENOENT, missing},
      {"null", [] { CFile::Remove(nullptr); }, kFile, 2, ENOENT, ""},
      {"empty", [] { CFile::Remove(""); }, kFile, 2, ENOENT, ""},
      {"directory", [&] { CFile::Remove(dir.file("base").c_str()); }, kFile, 5, EISDIR,
       dir.file("base")},
      {"through a file", [&] { CFile::Remove(dir.file("a/KR9.DBF").c_str()); }, kFile, 3, ENOTDIR,
       ""},
      {"too long", [&] { CFile::Remove(too_long.c_str()); }, kFile, 3, ENAMETOOLONG, ""},
      {"rename onto a file", [&] { CFile::Rename(dir.file("a").c_str(), dir.file("b").c_str()); },
       kFile, 5, EEXIST, ""},
      {"rename", [&] { CFile::Rename(dir.file("a").c_str(), dir.file("c").c_str()); }, nullptr, -1,
       0, ""},
      {"rename a missing file",
       [&] { CFile::Rename(dir.file("a").c_str(), dir.file("d").c_str()); }, kFile, 2, ENOENT, ""},
  };
  for (const auto& c : calls) {
    SCOPED_TRACE(c.what);
    Caught caught = Catch(c.call);
    EXPECT_EQ(caught.cls, c.cls);
    EXPECT_EQ(caught.cause, c.cause);
    if (c.cause >= 0 && c.os_error != EEXIST) {
      EXPECT_EQ(caught.osError, c.os_error);
    }
    if (!c.file.empty()) {
      EXPECT_EQ(caught.file, c.file);
    }
  }
  EXPECT_NE(access(dir.file("KR9.DBF").c_str(), F_OK), 0);
  EXPECT_EQ(access(dir.file("base").c_str(), F_OK), 0);           // an empty directory is kept
  EXPECT_EQ(testing_support::ReadFileBytes(dir.file("b")), "B");  // never replaced
  EXPECT_EQ(testing_support::ReadFileBytes(dir.file("c")), "A");
}

// Removing a file from a directory without write permission, as an ordinary
// user: root ignores the permission, so a root run drops to "nobody" in a
// child process for the attempt.
TEST(FileRemoveTest, FileInReadOnlyDirectoryGivesAccessDenied) {
  testing_support::TempDir dir;
  std::string locked = dir.file("locked");
  ASSERT_EQ(mkdir(locked.c_str(), 0755), 0);
  std::string file = locked + "/KR9.DBF";
  ASSERT_TRUE(testing_support::WriteFileBytes(file, "x"));
  ASSERT_EQ(chmod(locked.c_str(), 0555), 0);
  ASSERT_EQ(chmod(dir.path().c_str(), 0755), 0);
  auto attempt = [&] { return Catch([&] { CFile::Remove(file.c_str()); }).cause; };
  if (geteuid() != 0) {
    EXPECT_EQ(attempt(), CFileException::accessDenied);
  } else {
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      if (setgid(65534) != 0 || setuid(65534) != 0) _exit(100);
      _exit(attempt());
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 100) GTEST_SKIP() << "cannot drop root privileges here";
    EXPECT_EQ(WEXITSTATUS(status), CFileException::accessDenied);
  }
  EXPECT_EQ(access(file.c_str(), F_OK), 0);  // still there
  chmod(locked.c_str(), 0755);
}

TEST(TimeTest, CountsSecondsSinceTheEpoch) {
  time_t before = time(nullptr);
  CTime now = CTime::GetCurrentTime();
  time_t after = time(nullptr);
  EXPECT_GE(now.GetTime(), before);
  EXPECT_LE(now.GetTime(), after);
  CTime epoch(static_cast<time_t>(0));
  for (bool holds : {epoch<now, now> epoch, now >= now, epoch <= now, now != epoch,
                     CTime(now.GetTime()) == now, !(now < now), !(epoch > now), !(now == epoch)}) {
    EXPECT_TRUE(holds);
  }
  EXPECT_EQ((now - epoch).GetTotalSeconds(), now.GetTime());
  EXPECT_EQ((epoch + CTimeSpan(1, 2, 3, 4)).GetTime(), 86400 + 7200 + 180 + 4);
  EXPECT_EQ(CTime(86400 * 365).FormatGmt("%Y-%m-%d %H:%M:%S"), "1971-01-01 00:00:00");
  CTime local(2024, 2, 29, 13, 45, 10);  // a Thursday
  EXPECT_EQ((std::vector<int>{local.GetYear(), local.GetMonth(), local.GetDay(), local.GetHour(),
                              local.GetMinute(), local.GetSecond(), local.GetDayOfWeek()}),
            (std::vector<int>{2024, 2, 29, 13, 45, 10, 5}));
  EXPECT_EQ(local.Format("%d/%m/%Y"), "29/02/2024");
  EXPECT_EQ(local.Format(""), "");
}

}  // namespace
