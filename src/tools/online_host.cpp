#include "tools/online_host.h"

namespace symbase {
namespace online {

namespace {

constexpr int kSettingsSection = 12;
constexpr int kNoPosition = -1;
constexpr char kPositionX[] = "SymbOnLinePosX";
constexpr char kPositionY[] = "SymbOnLinePosY";
constexpr int kApplication = 1;
constexpr int kWarning = 2;
constexpr int kSingleButton = 0;
// The context of an object-name check over the open project, no options.
constexpr int kNameCheck = 1;
constexpr int kOpenProject = 0;
constexpr int kNoOptions = 0;

// A host may answer null where a text is expected.
LPCTSTR TextOrEmpty(const char* text) { return text == nullptr ? "" : text; }

}  // namespace

CheckContext::CheckContext() : source_{}, context_{} {
  ContextSourceCreate(&source_);
  ContextSourceSetup(&source_, kNameCheck, kOpenProject, kNoOptions);
  ContextCreate(&context_, ContextSourceGet(&source_, kOpenProject, kNoOptions));
}

CheckContext::~CheckContext() {
  ContextDestroy(&context_);
  ContextSourceDestroy(&source_);
}

Analysis::Analysis(const char* text) : analyser_{}, result_{}, kind_(kAnalysisNothing) {
  AnalyserCreate(&analyser_);
  AnalyseText(&analyser_, text, &result_);
  kind_ = AnalysisKind(&analyser_);
  AnalyserFinish(&analyser_);
}

Analysis::~Analysis() { AnalyserDestroy(&analyser_); }

DeclRecord::DeclRecord() : record_{} { DeclRecordCreate(&record_); }

DeclRecord::~DeclRecord() { DeclRecordDestroy(&record_); }

CString FormatAddress(const UsAts* result) {
  HostFormatter formatter{};
  FormatterCreate(&formatter);
  FormatterLoad(&formatter, result);
  return CString(TextOrEmpty(FormatterAddress(&formatter)));
}

CString WordText(const UsAts& word) { return CString(TextOrEmpty(ResultText(&word.value))); }

bool NameAccepted(const HostContext* context, const UsAts* result) {
  int ok = 0;
  int value = 0;
  CheckAnalysedName(context, result, &ok, &value);
  return ok != 0;
}

void ShowMessage(unsigned messageId) {
  CString message;
  if (messageId != 0) message.LoadString(messageId);
  HostMessageBox("", message, kWarning, kSingleButton);
}

void PlaceAtSavedPosition(CWnd& dialog) {
  CObject* app = HostGetObject(kApplication);
  const int x = HostReadSetting(app, kSettingsSection, kPositionX, kNoPosition);
  const int y = HostReadSetting(app, kSettingsSection, kPositionY, kNoPosition);
  if (x == kNoPosition || y == kNoPosition) {
    dialog.CenterWindow();
    return;
  }
  // The setting is in screen coordinates; windows move relative to their parent.
  CRect target(x, y, x, y);
  if (CWnd* parent = dialog.GetParent()) parent->ScreenToClient(&target);
  dialog.SetWindowPos(nullptr, target.left, target.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void SavePosition(const CWnd& dialog) {
  CRect window;
  dialog.GetWindowRect(&window);
  CObject* app = HostGetObject(kApplication);
  HostWriteSetting(app, kSettingsSection, kPositionX, window.left);
  HostWriteSetting(app, kSettingsSection, kPositionY, window.top);
}

}  // namespace online
}  // namespace symbase
