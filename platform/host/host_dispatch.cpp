// The plain host functions: each forwards to the services in force.

#include <atomic>

#include "symbase/host.h"

namespace {

std::atomic<CHostServices*> g_installed{nullptr};

CHostServices& DefaultServices() {
  static CHostServices defaults;
  return defaults;
}

}  // namespace

void HostInstallServices(CHostServices* services) { g_installed.store(services); }

CHostServices& HostServices() {
  CHostServices* installed = g_installed.load();
  return installed != nullptr ? *installed : DefaultServices();
}

void HostReportError(int module, int operation, int severity, int code, const char* text,
                     const char* source, int line) {
  HostErrorReport report{module,
                         operation,
                         severity,
                         code,
                         text != nullptr ? text : "",
                         source != nullptr ? source : "",
                         line};
  HostServices().HostReportError(report);
}

int HostMessageBox(const char* text, const char* message, int kind, int buttons) {
  return HostServices().HostMessageBox(text, message, kind, buttons);
}

CObject* HostGetObject(int id) { return HostServices().HostGetObject(id); }

int HostReadSetting(CObject* app, int section, const char* key, int fallback) {
  return HostServices().HostReadSetting(app, section, key, fallback);
}

int HostWriteSetting(CObject* app, int section, const char* key, int value) {
  return HostServices().HostWriteSetting(app, section, key, value);
}

void HostNotifyChange(CObject* app) { HostServices().HostNotifyChange(app); }

void HostFrameNotify(CWnd* frame, int first, int code, int flag, const char* text) {
  HostServices().HostFrameNotify(frame, first, code, flag, text);
}

int GetAddressingMode() { return HostServices().GetAddressingMode(); }

CObject* ServerGetObject(int id) { return HostServices().ServerGetObject(id); }

HostDeclarations* ServerGetService(int id) { return HostServices().ServerGetService(id); }

void DeclRecordCreate(HostDeclRecord* record) { HostServices().DeclRecordCreate(record); }

void DeclRecordDestroy(HostDeclRecord* record) { HostServices().DeclRecordDestroy(record); }

int DeclFindSymbol(HostDeclarations* decl, int scope, const char* symbol, HostDeclRecord* record) {
  return HostServices().DeclFindSymbol(decl, scope, symbol, record);
}

void DeclGetAddress(HostDeclarations* decl, int scope, const char* symbol, CString& address) {
  HostServices().DeclGetAddress(decl, scope, symbol, address);
}

void DeclRecordComment(const HostDeclRecord* record, CString& comment) {
  HostServices().DeclRecordComment(record, comment);
}

void CheckAnalysedName(const HostContext* context, const UsAts* result, int* ok, int* value) {
  HostServices().CheckAnalysedName(context, result, ok, value);
}

void CheckSymbolName(const char* symbol, int* ok, int* reason) {
  HostServices().CheckSymbolName(symbol, ok, reason);
}

void ContextSourceCreate(HostContextSource* source) { HostServices().ContextSourceCreate(source); }

int ContextSourceSetup(HostContextSource* source, int a, int b, int c) {
  return HostServices().ContextSourceSetup(source, a, b, c);
}

std::intptr_t ContextSourceGet(HostContextSource* source, int a, int b) {
  return HostServices().ContextSourceGet(source, a, b);
}

void ContextCreate(HostContext* context, std::intptr_t value) {
  HostServices().ContextCreate(context, value);
}

void ContextDestroy(HostContext* context) { HostServices().ContextDestroy(context); }

void ContextSourceDestroy(HostContextSource* source) {
  HostServices().ContextSourceDestroy(source);
}

int PrepareSymbol(char* text) { return HostServices().PrepareSymbol(text); }

void AnalyserCreate(HostAnalyser* analyser) { HostServices().AnalyserCreate(analyser); }

void AnalyserDestroy(HostAnalyser* analyser) { HostServices().AnalyserDestroy(analyser); }

void AnalyseText(HostAnalyser* analyser, const char* text, UsAts* result) {
  HostServices().AnalyseText(analyser, text, result);
}

void AnalyserFinish(HostAnalyser* analyser) { HostServices().AnalyserFinish(analyser); }

int AnalysisKind(const HostAnalyser* analyser) { return HostServices().AnalysisKind(analyser); }

std::uint32_t ResultValue(const UsAtsValue* value) { return HostServices().ResultValue(value); }

const char* ResultText(const UsAtsValue* value) { return HostServices().ResultText(value); }

std::uint32_t ComponentCount(const UsAtsComponents* list) {
  return HostServices().ComponentCount(list);
}

std::uint32_t ComponentAt(const UsAtsComponents* list, std::uint32_t index) {
  return HostServices().ComponentAt(list, index);
}

void FormatterCreate(HostFormatter* formatter) { HostServices().FormatterCreate(formatter); }

void FormatterLoad(HostFormatter* formatter, const UsAts* result) {
  HostServices().FormatterLoad(formatter, result);
}

const char* FormatterAddress(const HostFormatter* formatter) {
  return HostServices().FormatterAddress(formatter);
}
