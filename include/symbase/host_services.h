#ifndef SYMBASE_HOST_SERVICES_H
#define SYMBASE_HOST_SERVICES_H

// The services object behind every host library function. The library calls
// the plain functions of symbase/host.h; each one forwards to the installed
// services object. CHostServices itself is the default, usable stand-alone:
// a host derives from it, overrides the members it serves itself, and
// installs its object with HostInstallServices.

#include <cstdint>
#include <string>

#include "symbase/afx.h"
#include "symbase/export.h"
#include "symbase/host_analysis.h"

class CWnd;

// The declarations object the object server hands out (service 219). The
// built-in one knows nothing; a host's own services give out their own with
// whatever they need in `hostData`.
struct HostDeclarations {
  void* hostData;
};

// One error report, its seven values in the order they were passed.
struct HostErrorReport {
  int module;     // 146 for the symbol base
  int operation;  // operation number (500 to 536) or checked-call index (0 to 24)
  int severity;   // 4
  int code;
  std::string text;
  std::string source;  // "Tabisfctex" or "Tabiserr"
  int line;
};

// One message box shown, with the button the default services answered.
struct HostMessageRecord {
  std::string text;
  std::string message;
  int kind;
  int buttons;
  int answer;
};

// One frame notification (HostFrameNotify).
struct HostFrameNotification {
  CWnd* frame;
  int first;
  int code;  // 4025 when an address was just symbolised
  int flag;
  std::string text;
};

// A declarations record, in caller storage (DeclRecordCreate/Destroy).
struct HostDeclRecord {
  char comment[512];  // the declared comment, NUL-ended
  void* hostData;
};

// Message box answers.
constexpr int kHostIdOk = 1;
constexpr int kHostIdCancel = 2;
constexpr int kHostIdYes = 6;
constexpr int kHostIdNo = 7;

// DeclFindSymbol's answer for a symbol the declarations leave to the symbol base.
constexpr int kDeclLeftToBase = 101;

// CheckSymbolName's reasons for a refusal.
constexpr int kSymbolReserved = 1;  // a word reserved by the controller language
constexpr int kSymbolSyntax = 6;    // empty, or not a symbol

class SYMBASE_API CHostServices {
 public:
  CHostServices() = default;
  CHostServices(const CHostServices&) = delete;
  CHostServices& operator=(const CHostServices&) = delete;
  virtual ~CHostServices();

  // Host framework library. Default: reports are recorded in order (see
  // HostErrorReports) and passed to the report callback.
  virtual void HostReportError(const HostErrorReport& report);
  // Default: recorded; answers the next queued answer, else kHostIdCancel at once.
  virtual int HostMessageBox(const char* text, const char* message, int kind, int buttons);
  // Default: 1 gives the registered application object, or the built-in
  // one (an object of class "CHostApplication") when none is registered;
  // any other id null.
  virtual CObject* HostGetObject(int id);
  // Default: integers in the settings file under $XDG_CONFIG_HOME/symbase/
  // (else ~/.config/symbase/). A missing or unreadable value, a bad key, or
  // a damaged file reads as `fallback`.
  virtual int HostReadSetting(CObject* app, int section, const char* key, int fallback);
  // Default: stored at once, atomically; 1 when stored, 0 when the key is
  // refused (empty, over 128 bytes, control characters, "=", "[" or "]") or
  // the file cannot be written.
  virtual int HostWriteSetting(CObject* app, int section, const char* key, int value);
  virtual void HostNotifyChange(CObject* app);
  virtual void HostFrameNotify(CWnd* frame, int first, int code, int flag, const char* text);

  // Addressing-mode library. Default: what HostSetAddressingMode set, 0 at first.
  virtual int GetAddressingMode();

  // Object server. Default: 3 gives the object registered with
  // HostRegisterServerObject, 219 the built-in declarations; others null.
  virtual CObject* ServerGetObject(int id);
  virtual HostDeclarations* ServerGetService(int id);

  // Declarations library. The built-in declarations know no symbol: every
  // symbol is left to the symbol base (101), no address, no comment.
  virtual void DeclRecordCreate(HostDeclRecord* record);
  virtual void DeclRecordDestroy(HostDeclRecord* record);
  virtual int DeclFindSymbol(HostDeclarations* decl, int scope, const char* symbol,
                             HostDeclRecord* record);
  // The declared address of `symbol`; "" when none.
  virtual void DeclGetAddress(HostDeclarations* decl, int scope, const char* symbol,
                              CString& address);
  // The record's comment (up to its first NUL).
  virtual void DeclRecordComment(const HostDeclRecord* record, CString& comment);

  // Object-name library. CheckAnalysedName: ok 1 for an analysed address, 0
  // otherwise; value is the object kind. CheckSymbolName: ok 0 with reason
  // kSymbolSyntax for an empty text or one that is not a symbol, kSymbolReserved
  // for a reserved word; else ok 1, reason 0.
  virtual void CheckAnalysedName(const HostContext* context, const UsAts* result, int* ok,
                                 int* value);
  virtual void CheckSymbolName(const char* symbol, int* ok, int* reason);

  // Context library.
  virtual void ContextSourceCreate(HostContextSource* source);
  virtual int ContextSourceSetup(HostContextSource* source, int a, int b, int c);
  virtual std::intptr_t ContextSourceGet(HostContextSource* source, int a, int b);
  virtual void ContextCreate(HostContext* context, std::intptr_t value);
  virtual void ContextDestroy(HostContext* context);
  virtual void ContextSourceDestroy(HostContextSource* source);

  // Lexical analyser library.
  virtual int PrepareSymbol(char* text);
  virtual void AnalyserCreate(HostAnalyser* analyser);
  virtual void AnalyserDestroy(HostAnalyser* analyser);
  virtual void AnalyseText(HostAnalyser* analyser, const char* text, UsAts* result);
  virtual void AnalyserFinish(HostAnalyser* analyser);
  virtual int AnalysisKind(const HostAnalyser* analyser);
  virtual std::uint32_t ResultValue(const UsAtsValue* value);
  virtual const char* ResultText(const UsAtsValue* value);
  virtual std::uint32_t ComponentCount(const UsAtsComponents* list);
  virtual std::uint32_t ComponentAt(const UsAtsComponents* list, std::uint32_t index);
  virtual void FormatterCreate(HostFormatter* formatter);
  virtual void FormatterLoad(HostFormatter* formatter, const UsAts* result);
  virtual const char* FormatterAddress(const HostFormatter* formatter);
};

#endif
