// What the default framework services serve.

#include <gtest/gtest.h>

#include <cstring>

#include "support/host_reports.h"
#include "symbase/host.h"

namespace {

class ServicesTest : public testing_support::HostTest {};

TEST_F(ServicesTest, ObjectServerHandsOutRegisteredObjects) {
  auto* base = reinterpret_cast<CObject*>(0x3000);
  EXPECT_EQ(ServerGetObject(4), nullptr);
  // The application object is built in until the host registers one.
  CObject* builtin = HostGetObject(1);
  ASSERT_NE(builtin, nullptr);
  EXPECT_EQ(HostGetObject(2), nullptr);
  HostSetApplicationObject(base);
  EXPECT_EQ(HostGetObject(1), base);
  HostSetApplicationObject(nullptr);
  EXPECT_EQ(HostGetObject(1), builtin);
}

TEST_F(ServicesTest, DefaultDeclarationsLeaveEverySymbolToTheBaseAndReadComments) {
  EXPECT_EQ(ServerGetService(218), nullptr);
  HostDeclarations* decl = ServerGetService(219);
  ASSERT_NE(decl, nullptr);
  HostDeclRecord record;
  std::memset(&record, 'c', sizeof record);  // no NUL
  CString comment;
  DeclRecordComment(&record, comment);
  EXPECT_EQ(comment.GetLength(), static_cast<int>(sizeof record.comment)) << "read within";
  DeclRecordDestroy(&record);
  EXPECT_STREQ(record.comment, "");
  std::memset(&record, 'c', sizeof record);
  DeclRecordCreate(&record);
  EXPECT_EQ(record.hostData, nullptr);
  EXPECT_EQ(DeclFindSymbol(decl, 0, "Pump_1", &record), kDeclLeftToBase);
  DeclRecordComment(&record, comment);
  EXPECT_TRUE(comment.IsEmpty()) << "the search empties the record";
  CString address("garbage");
  DeclGetAddress(decl, 0, "Pump_1", address);
  EXPECT_TRUE(address.IsEmpty());
}

TEST_F(ServicesTest, NullArgumentsAreHarmless) {
  ContextSourceCreate(nullptr);
  EXPECT_EQ(ContextSourceSetup(nullptr, 1, 0, 0), 0);
  EXPECT_EQ(ContextSourceGet(nullptr, 0, 0), 0);
  ContextCreate(nullptr, 1);
  ContextDestroy(nullptr);
  ContextSourceDestroy(nullptr);
  DeclRecordCreate(nullptr);
  DeclRecordDestroy(nullptr);
  EXPECT_EQ(DeclFindSymbol(nullptr, 0, nullptr, nullptr), kDeclLeftToBase);
  CheckAnalysedName(nullptr, nullptr, nullptr, nullptr);
  int ok = -1, reason = -1;
  CheckSymbolName(nullptr, &ok, &reason);
  EXPECT_EQ(ok, 0);
  EXPECT_EQ(reason, kSymbolSyntax);
  CheckSymbolName(nullptr, nullptr, nullptr);
  EXPECT_EQ(PrepareSymbol(nullptr), 0);
  AnalyserCreate(nullptr);
  AnalyseText(nullptr, "%MW10", nullptr);
  AnalyserFinish(nullptr);
  AnalyserDestroy(nullptr);
  EXPECT_EQ(AnalysisKind(nullptr), 0);
  EXPECT_EQ(ResultValue(nullptr), 0u);
  EXPECT_STREQ(ResultText(nullptr), "");
  EXPECT_EQ(ComponentCount(nullptr), 0u);
  EXPECT_EQ(ComponentAt(nullptr, 0), 0u);
  FormatterCreate(nullptr);
  FormatterLoad(nullptr, nullptr);
  EXPECT_STREQ(FormatterAddress(nullptr), "");
  EXPECT_EQ(HostReadSetting(nullptr, 12, nullptr, -1), -1);
  EXPECT_EQ(HostWriteSetting(nullptr, 12, nullptr, 5), 0);
}

}  // namespace
