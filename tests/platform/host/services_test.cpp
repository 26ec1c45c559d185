// Installing services, and what the default framework services record.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
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

TEST_F(ServicesTest, ReportsKeepAllSevenValuesAndReachTheCallbackOnceRecorded) {
  std::vector<std::size_t> recorded_when_called;
  HostSetErrorCallback(
      [](const HostErrorReport& report, void* context) {
        EXPECT_EQ(report.source, "Tabiserr");
        static_cast<std::vector<std::size_t>*>(context)->push_back(HostErrorReports().size());
      },
      &recorded_when_called);
  HostReportError(146, 24, 4, 410, "/tmp/base/KR9.DBF", "Tabiserr", 301);
  HostReportError(146, 14, 4, -121, "", "Tabiserr", 2);
  EXPECT_THAT(recorded_when_called, ElementsAre(1u, 2u));
  HostSetErrorCallback(nullptr, nullptr);
  HostReportError(7, -3, 2, -60, nullptr, nullptr, 0);
  EXPECT_THAT(recorded_when_called, ElementsAre(1u, 2u));

  EXPECT_THAT(HostErrorReports(),
              ElementsAre(ReportIs(146, 24, 4, 410, "/tmp/base/KR9.DBF", "Tabiserr", 301),
                          ReportIs(146, 14, 4, -121, "", "Tabiserr", 2),
                          ReportIs(7, -3, 2, -60, "", "", 0)));
  HostClearErrorReports();
  EXPECT_THAT(HostErrorReports(), IsEmpty());
}

TEST_F(ServicesTest, MessageBoxAnswersFromTheQueueThenCancels) {
  HostQueueMessageBoxAnswer(kHostIdYes);
  HostQueueMessageBoxAnswer(kHostIdNo);
  EXPECT_EQ(HostMessageBox("", "Premier", 7, 4), kHostIdYes);
  EXPECT_EQ(HostMessageBox("Titre", "Deuxi\xE8me", 7, 4), kHostIdNo);
  EXPECT_EQ(HostMessageBox(nullptr, nullptr, 2, 0), kHostIdCancel);

  std::vector<HostMessageRecord> shown = HostMessageBoxes();
  EXPECT_THAT(shown, ElementsAre(MessageIs("Premier", 7, 4), MessageIs("Deuxi\xE8me", 7, 4),
                                 MessageIs("", 2, 0)));
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[0].answer, kHostIdYes);
  EXPECT_EQ(shown[1].text, "Titre");
  EXPECT_EQ(shown[2].answer, kHostIdCancel);
  EXPECT_EQ(shown[2].text, "");

  HostQueueMessageBoxAnswer(kHostIdYes);
  HostClearMessageBoxes();  // drops the queued answers too
  EXPECT_THAT(HostMessageBoxes(), IsEmpty());
  EXPECT_EQ(HostMessageBox("", "Encore ?", 7, 4), kHostIdCancel);
}

TEST_F(ServicesTest, NotificationsAreRecorded) {
  auto* app = reinterpret_cast<CObject*>(0x1000);
  auto* frame = reinterpret_cast<CWnd*>(0x2000);
  HostNotifyChange(app);
  HostNotifyChange(app);
  HostFrameNotify(frame, 3, 4025, 1, "%MW10");
  HostFrameNotify(frame, 0, 4026, 0, nullptr);

  EXPECT_THAT(HostChangeNotifications(), ElementsAre(app, app));
  std::vector<HostFrameNotification> frames = HostFrameNotifications();
  ASSERT_EQ(frames.size(), 2u);
  const HostFrameNotification& f = frames[0];
  EXPECT_EQ(std::tie(f.frame, f.first, f.code, f.flag, f.text),
            std::make_tuple(frame, 3, 4025, 1, std::string("%MW10")));
  EXPECT_EQ(frames[1].text, "");

  HostClearRecords();
  EXPECT_THAT(HostChangeNotifications(), IsEmpty());
  EXPECT_THAT(HostFrameNotifications(), IsEmpty());
}

TEST_F(ServicesTest, ObjectServerHandsOutRegisteredObjects) {
  auto* base = reinterpret_cast<CObject*>(0x3000);
  EXPECT_EQ(ServerGetObject(3), nullptr);
  HostRegisterServerObject(3, base);
  EXPECT_EQ(ServerGetObject(3), base);
  EXPECT_EQ(ServerGetObject(4), nullptr);
  HostRegisterServerObject(3, nullptr);
  EXPECT_EQ(ServerGetObject(3), nullptr);

  // The application object is built in until the host registers one.
  CObject* builtin = HostGetObject(1);
  ASSERT_NE(builtin, nullptr);
  EXPECT_STREQ(builtin->GetRuntimeClass()->m_lpszClassName, "CHostApplication");
  EXPECT_EQ(HostGetObject(1), builtin) << "always the same object";
  EXPECT_EQ(HostGetObject(2), nullptr);
  auto* app = reinterpret_cast<CObject*>(0x4000);
  HostSetApplicationObject(app);
  EXPECT_EQ(HostGetObject(1), app);
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
  DeclRecordCreate(&record);
  EXPECT_EQ(record.hostData, nullptr);
  DeclRecordComment(&record, comment);
  EXPECT_TRUE(comment.IsEmpty());
  std::snprintf(record.comment, sizeof record.comment, "%s", "Pompe de relevage");
  DeclRecordComment(&record, comment);
  EXPECT_STREQ(comment, "Pompe de relevage");
  EXPECT_EQ(DeclFindSymbol(decl, 0, "Pump_1", &record), kDeclLeftToBase);
  DeclRecordComment(&record, comment);
  EXPECT_TRUE(comment.IsEmpty()) << "the search empties the record";

  CString address("garbage");
  DeclGetAddress(decl, 0, "Pump_1", address);
  EXPECT_TRUE(address.IsEmpty());
  comment = "garbage";
  DeclRecordComment(nullptr, comment);
  EXPECT_TRUE(comment.IsEmpty());
  std::snprintf(record.comment, sizeof record.comment, "%s", "x");
  DeclRecordDestroy(&record);
  EXPECT_STREQ(record.comment, "");
}

TEST_F(ServicesTest, ContextIsBuiltFromItsSource) {
  HostContextSource source;
  ContextSourceCreate(&source);
  EXPECT_EQ(ContextSourceGet(&source, 0, 0), 0) << "no value before the set-up";
  EXPECT_EQ(ContextSourceSetup(&source, 1, 0, 0), 1);
  std::intptr_t value = ContextSourceGet(&source, 0, 0);
  EXPECT_NE(value, 0);

  HostContext context;
  ContextCreate(&context, value);
  EXPECT_EQ(std::tie(context.live, context.value), std::make_tuple(1, value));
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
