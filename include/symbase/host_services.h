#ifndef SYMBASE_HOST_SERVICES_H
#define SYMBASE_HOST_SERVICES_H

// The services object behind every host library function, and the records
// its services pass. The library calls the plain functions of symbase/host.h;
// each one forwards to the installed services object. CHostServices itself is
// the default, usable stand-alone: it records what it is asked, so that a host
// or a test can read it back.

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

// The services object behind every host library function. A host derives
// from it, overrides the services it serves itself, and installs its object
// with HostInstallServices (symbase/host.h); the members it leaves alone keep
// the defaults.
class SYMBASE_API CHostServices {
 public:
  CHostServices() = default;
  CHostServices(const CHostServices&) = delete;
  CHostServices& operator=(const CHostServices&) = delete;
  virtual ~CHostServices();

  // Records or shows one error report (HostReportError of symbase/host.h
  // packs the report's values into `report`). No result.
  // Default: recorded in order (HostErrorReports), then passed to the
  // callback set with HostSetErrorCallback.
  virtual void HostReportError(const HostErrorReport& report);

  // Every other service, with its contract: symbase/host_service_list.h.
#define SYMBASE_HOST_SERVICE(result, name, parameters, arguments) virtual result name parameters;
#include "symbase/host_service_list.h"
#undef SYMBASE_HOST_SERVICE
};

#endif
