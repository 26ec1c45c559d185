#ifndef SYMBASE_HOST_H
#define SYMBASE_HOST_H

// The host libraries the symbol base calls, as plain functions. Each forwards
// to the one installed services object (symbase/host_services.h), so a host
// replaces any of them at run time; the defaults work stand-alone. Functions
// after "Host side" are for the host and for tests: they install services,
// set what the defaults answer and read what the defaults recorded.
//
// Caveats: the services object is process-wide. Installing is not meant to
// race with calls in progress; install before the first call and restore
// (install null) after the last. The recorded lists are guarded by a mutex.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "symbase/export.h"
#include "symbase/host_analysis.h"
#include "symbase/host_services.h"

// Host framework library.
SYMBASE_API void HostReportError(int module, int operation, int severity, int code,
                                 const char* text, const char* source, int line);
SYMBASE_API int HostMessageBox(const char* text, const char* message, int kind, int buttons);
SYMBASE_API CObject* HostGetObject(int id);
SYMBASE_API int HostReadSetting(CObject* app, int section, const char* key, int fallback);
SYMBASE_API int HostWriteSetting(CObject* app, int section, const char* key, int value);
SYMBASE_API void HostNotifyChange(CObject* app);
SYMBASE_API void HostFrameNotify(CWnd* frame, int first, int code, int flag, const char* text);

// Addressing-mode library: 1 means decimal module numbering.
SYMBASE_API int GetAddressingMode();

// Object server library.
SYMBASE_API CObject* ServerGetObject(int id);
SYMBASE_API HostDeclarations* ServerGetService(int id);

// Declarations library.
SYMBASE_API void DeclRecordCreate(HostDeclRecord* record);
SYMBASE_API void DeclRecordDestroy(HostDeclRecord* record);
SYMBASE_API int DeclFindSymbol(HostDeclarations* decl, int scope, const char* symbol,
                               HostDeclRecord* record);
SYMBASE_API void DeclGetAddress(HostDeclarations* decl, int scope, const char* symbol,
                                CString& address);
SYMBASE_API void DeclRecordComment(const HostDeclRecord* record, CString& comment);

// Object-name library.
SYMBASE_API void CheckAnalysedName(const HostContext* context, const UsAts* result, int* ok,
                                   int* value);
SYMBASE_API void CheckSymbolName(const char* symbol, int* ok, int* reason);

// Context library.
SYMBASE_API void ContextSourceCreate(HostContextSource* source);
SYMBASE_API int ContextSourceSetup(HostContextSource* source, int a, int b, int c);
SYMBASE_API std::intptr_t ContextSourceGet(HostContextSource* source, int a, int b);
SYMBASE_API void ContextCreate(HostContext* context, std::intptr_t value);
SYMBASE_API void ContextDestroy(HostContext* context);
SYMBASE_API void ContextSourceDestroy(HostContextSource* source);

// Lexical analyser library.
//
// PrepareSymbol removes the blanks around `text` in place (text is
// NUL-ended) and returns its length when what remains is a symbol (letters,
// digits, "_", Windows-1252 letters; not starting with a digit; at most 32
// bytes), else 0. A null text gives 0.
SYMBASE_API int PrepareSymbol(char* text);
SYMBASE_API void AnalyserCreate(HostAnalyser* analyser);
SYMBASE_API void AnalyserDestroy(HostAnalyser* analyser);
// Analyses one NUL-ended word (blanks around it ignored) into `result`: an
// address (class 307), a symbol (class 332), or class 0 for anything else,
// reserved words, texts over 255 bytes and numbers over 99999 included. A
// null text gives class 0.
SYMBASE_API void AnalyseText(HostAnalyser* analyser, const char* text, UsAts* result);
SYMBASE_API void AnalyserFinish(HostAnalyser* analyser);
// Kind of the last analysis: 306 a plain symbol, 307 an address, 305 a
// reserved word, 0 anything else.
SYMBASE_API int AnalysisKind(const HostAnalyser* analyser);
SYMBASE_API std::uint32_t ResultValue(const UsAtsValue* value);
SYMBASE_API const char* ResultText(const UsAtsValue* value);
SYMBASE_API std::uint32_t ComponentCount(const UsAtsComponents* list);
// 0 for an index past the count.
SYMBASE_API std::uint32_t ComponentAt(const UsAtsComponents* list, std::uint32_t index);
SYMBASE_API void FormatterCreate(HostFormatter* formatter);
// Writes the address of an analysed address in the workshop's form (upper
// case, numbers without leading zeros: "%IW3.1:X4"); "" for any other result.
SYMBASE_API void FormatterLoad(HostFormatter* formatter, const UsAts* result);
SYMBASE_API const char* FormatterAddress(const HostFormatter* formatter);

// ---- Host side ----

// Installs the services every function above forwards to; null restores the
// defaults. The object stays the caller's and must outlive its installation.
SYMBASE_API void HostInstallServices(CHostServices* services);
// The services in force (the defaults when none is installed).
SYMBASE_API CHostServices& HostServices();

// What the default error service recorded, oldest first.
SYMBASE_API std::vector<HostErrorReport> HostErrorReports();
SYMBASE_API void HostClearErrorReports();
// Called by the default error service on each report, after recording it,
// with the context given here; null removes the callback.
using HostReportCallback = void (*)(const HostErrorReport& report, void* context);
SYMBASE_API void HostSetErrorCallback(HostReportCallback callback, void* context);

// Answers the default message box gives, first queued first used.
SYMBASE_API void HostQueueMessageBoxAnswer(int answer);
SYMBASE_API std::vector<HostMessageRecord> HostMessageBoxes();
// Forgets the messages shown and the answers still queued.
SYMBASE_API void HostClearMessageBoxes();

// Notifications the defaults recorded.
SYMBASE_API std::vector<CObject*> HostChangeNotifications();
SYMBASE_API std::vector<HostFrameNotification> HostFrameNotifications();
SYMBASE_API void HostClearNotifications();

// What the defaults hand out.
SYMBASE_API void HostSetApplicationObject(CObject* app);             // null: the built-in one
SYMBASE_API void HostRegisterServerObject(int id, CObject* object);  // null unregisters
SYMBASE_API void HostSetAddressingMode(int mode);

// Clears every record above and the answer queue; leaves registrations,
// the addressing mode and the installed services as they are.
SYMBASE_API void HostClearRecords();

#endif
