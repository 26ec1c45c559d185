// Installing services, and what the default framework services record.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "support/host_reports.h"
#include "symbase/host.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing_support::MessageIs;
using testing_support::ReportIs;

class ServicesTest : public testing_support::HostTest {};

// A host that serves message boxes and the addressing mode itself, shows
// reports and still lets the default record them, and keeps every other
// default.
class ScriptedHost : public CHostServices {
 public:
  int HostMessageBox(const char*, const char* message, int, int) override {
    seen.push_back(message);
    return kHostIdYes;
  }
  int GetAddressingMode() override { return 1; }
  void HostReportError(const HostErrorReport& report) override {
    seen.push_back(report.source);
    CHostServices::HostReportError(report);
  }
  std::vector<std::string> seen;
};

TEST_F(ServicesTest, OverridingSomeMembersKeepsTheOtherDefaults) {
  ScriptedHost host;
  HostInstallServices(&host);
  EXPECT_EQ(&HostServices(), &host);
  EXPECT_EQ(HostMessageBox("", "Continuer ?", 7, 4), kHostIdYes);
  EXPECT_EQ(GetAddressingMode(), 1);
  HostReportError(146, 502, 4, 410, "", "Tabisfctex", 12);
  EXPECT_THAT(host.seen, ElementsAre("Continuer ?", "Tabisfctex"));
  EXPECT_THAT(HostMessageBoxes(), IsEmpty()) << "the default box must not have been used";
  EXPECT_THAT(HostErrorReports(), ElementsAre(ReportIs(502, 410, "Tabisfctex")));
  char symbol[] = "  Pump_1 ";
  EXPECT_EQ(PrepareSymbol(symbol), 6) << "not overridden: the default";

  HostInstallServices(nullptr);
  EXPECT_NE(&HostServices(), &host);
  EXPECT_EQ(HostMessageBox("", "Continuer ?", 7, 4), kHostIdCancel);
  EXPECT_EQ(GetAddressingMode(), 0);
  HostSetAddressingMode(1);  // what the default serves is what the host set
  EXPECT_EQ(GetAddressingMode(), 1);
  EXPECT_EQ(host.seen.size(), 2u);
}

TEST_F(ServicesTest, MessageBoxAnswersFromTheQueueThenCancels) {
  HostQueueMessageBoxAnswer(kHostIdNo);
  EXPECT_EQ(HostMessageBox("Titre", "Premier", 7, 4), kHostIdNo);
  EXPECT_EQ(HostMessageBox(nullptr, nullptr, 2, 0), kHostIdCancel);
  EXPECT_THAT(HostMessageBoxes(), ElementsAre(MessageIs("Premier", 7, 4), MessageIs("", 2, 0)));
  EXPECT_EQ(HostMessageBoxes()[0].text, "Titre");
  HostQueueMessageBoxAnswer(kHostIdYes);
  HostClearMessageBoxes();  // drops the queued answers too
  EXPECT_THAT(HostMessageBoxes(), IsEmpty());
  EXPECT_EQ(HostMessageBox("", "Encore ?", 7, 4), kHostIdCancel);
}

TEST_F(ServicesTest, ObjectServerHandsOutRegisteredObjects) {
  auto* base = reinterpret_cast<CObject*>(0x3000);
  HostRegisterServerObject(3, base);
  EXPECT_EQ(ServerGetObject(3), base);
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

TEST_F(ServicesTest, ContextIsBuiltFromItsSource) {
  HostContextSource source;
  ContextSourceCreate(&source);
  EXPECT_EQ(ContextSourceGet(&source, 0, 0), 0) << "no value before the set-up";
  EXPECT_EQ(ContextSourceSetup(&source, 1, 0, 0), 1);
  HostContext context;
  ContextCreate(&context, ContextSourceGet(&source, 0, 0));
  EXPECT_EQ(context.live, 1);
  EXPECT_NE(context.value, 0);
  ContextDestroy(&context);
  EXPECT_EQ(std::tie(context.live, context.value), std::make_tuple(0, std::intptr_t{0}));
  ContextSourceDestroy(&source);
  EXPECT_EQ(ContextSourceGet(&source, 0, 0), 0);
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
