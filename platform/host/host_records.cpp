// The default framework services that only record, and the host-side calls
// that read the records back or set what the defaults answer.

#include "host/host_state.h"
#include "symbase/host.h"

namespace host {

HostState& State() {
  static HostState state;
  return state;
}

}  // namespace host

using host::State;

namespace {

template <typename T>
std::vector<T> CopyUnderLock(const std::vector<T>& records) {
  std::lock_guard<std::mutex> lock(State().mutex);
  return records;
}

}  // namespace

CHostServices::~CHostServices() = default;

void CHostServices::HostReportError(const HostErrorReport& report) {
  HostReportCallback callback = nullptr;
  void* context = nullptr;
  {
    std::lock_guard<std::mutex> lock(State().mutex);
    State().reports.push_back(report);
    callback = State().report_callback;
    context = State().report_context;
  }
  // Called outside the lock so that the callback may read the records.
  if (callback != nullptr) callback(report, context);
}

int CHostServices::HostMessageBox(const char* text, const char* message, int kind, int buttons) {
  std::lock_guard<std::mutex> lock(State().mutex);
  int answer = kHostIdCancel;
  if (!State().answers.empty()) {
    answer = State().answers.front();
    State().answers.pop_front();
  }
  State().messages.push_back(HostMessageRecord{
      text != nullptr ? text : "", message != nullptr ? message : "", kind, buttons, answer});
  return answer;
}

void CHostServices::HostNotifyChange(CObject* app) {
  std::lock_guard<std::mutex> lock(State().mutex);
  State().changes.push_back(app);
}

void CHostServices::HostFrameNotify(CWnd* frame, int first, int code, int flag, const char* text) {
  std::lock_guard<std::mutex> lock(State().mutex);
  State().frames.push_back(
      HostFrameNotification{frame, first, code, flag, text != nullptr ? text : ""});
}

int CHostServices::GetAddressingMode() {
  std::lock_guard<std::mutex> lock(State().mutex);
  return State().addressing_mode;
}

CObject* CHostServices::ServerGetObject(int id) {
  std::lock_guard<std::mutex> lock(State().mutex);
  auto found = State().server_objects.find(id);
  return found != State().server_objects.end() ? found->second : nullptr;
}

std::vector<HostErrorReport> HostErrorReports() { return CopyUnderLock(State().reports); }

void HostClearErrorReports() {
  std::lock_guard<std::mutex> lock(State().mutex);
  State().reports.clear();
}

void HostSetErrorCallback(HostReportCallback callback, void* context) {
  std::lock_guard<std::mutex> lock(State().mutex);
  State().report_callback = callback;
  State().report_context = context;
}

void HostQueueMessageBoxAnswer(int answer) {
  std::lock_guard<std::mutex> lock(State().mutex);
  State().answers.push_back(answer);
}

std::vector<HostMessageRecord> HostMessageBoxes() { return CopyUnderLock(State().messages); }

void HostClearMessageBoxes() {
  std::lock_guard<std::mutex> lock(State().mutex);
  State().messages.clear();
  State().answers.clear();
}

std::vector<CObject*> HostChangeNotifications() { return CopyUnderLock(State().changes); }

std::vector<HostFrameNotification> HostFrameNotifications() {
  return CopyUnderLock(State().frames);
}

void HostClearNotifications() {
  std::lock_guard<std::mutex> lock(State().mutex);
  State().changes.clear();
  State().frames.clear();
}

void HostSetApplicationObject(CObject* app) {
  std::lock_guard<std::mutex> lock(State().mutex);
  State().application = app;
}

void HostRegisterServerObject(int id, CObject* object) {
  std::lock_guard<std::mutex> lock(State().mutex);
  if (object == nullptr) {
    State().server_objects.erase(id);
  } else {
    State().server_objects[id] = object;
  }
}

void HostSetAddressingMode(int mode) {
  std::lock_guard<std::mutex> lock(State().mutex);
  State().addressing_mode = mode;
}

void HostClearRecords() {
  HostClearErrorReports();
  HostClearMessageBoxes();
  HostClearNotifications();
}
