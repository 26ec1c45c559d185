#ifndef SYMBASE_HOST_H
#define SYMBASE_HOST_H

// The host libraries the symbol base calls, as plain functions. Each forwards
// to the one installed services object (symbase/host_services.h), so a host
// replaces any of them at run time; the defaults work stand-alone. The
// services and their contracts are listed once, in
// symbase/host_service_list.h. Functions after "Host side" are for the host
// and for tests: they install services, set what the defaults answer and
// read what the defaults recorded.
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

// Reports an error to the host: `module` 146 for the symbol base; the
// `operation` number (500 to 536) of an exported function or the index (0 to
// 24) of a checked engine call; `severity` 4; the error `code`; a `text`
// (empty, or the path of a file that could not be deleted); the `source`
// ("Tabisfctex" or "Tabiserr"); the `line` of the reporting statement. No
// result. Packs the values into a HostErrorReport (null texts as "") and
// passes it to the installed services' HostReportError.
SYMBASE_API void HostReportError(int module, int operation, int severity, int code,
                                 const char* text, const char* source, int line);

// Every other host service, with its contract (symbase/host_service_list.h):
// each function calls the member of the same name of the services in force.
#define SYMBASE_HOST_SERVICE(result, name, parameters, arguments) \
  SYMBASE_API result name parameters;
#include "symbase/host_service_list.h"
#undef SYMBASE_HOST_SERVICE

// ---- Host side ----

// Installs the services every function above forwards to; null restores the
// defaults. The object stays the caller's and must outlive its installation.
SYMBASE_API void HostInstallServices(CHostServices* services);
// The services in force: the installed ones, else the defaults. The object
// lives as long as its installation (the defaults: the process).
SYMBASE_API CHostServices& HostServices();

// A copy of the reports the default error service recorded, oldest first.
SYMBASE_API std::vector<HostErrorReport> HostErrorReports();
// Forgets the recorded reports.
SYMBASE_API void HostClearErrorReports();
// Called by the default error service on each report, after recording it,
// with the context given here; null removes the callback.
using HostReportCallback = void (*)(const HostErrorReport& report, void* context);
// Sets the one callback and its context, replacing the one before.
SYMBASE_API void HostSetErrorCallback(HostReportCallback callback, void* context);

// Queues an answer for the default message box; answers are given first
// queued, first used.
SYMBASE_API void HostQueueMessageBoxAnswer(int answer);
// A copy of the message boxes the default service was asked to show, each
// with the answer it gave, oldest first.
SYMBASE_API std::vector<HostMessageRecord> HostMessageBoxes();
// Forgets the messages shown and the answers still queued.
SYMBASE_API void HostClearMessageBoxes();

// A copy of the applications the default HostNotifyChange was told of,
// oldest first.
SYMBASE_API std::vector<CObject*> HostChangeNotifications();
// A copy of the default HostFrameNotify's notifications, oldest first.
SYMBASE_API std::vector<HostFrameNotification> HostFrameNotifications();
// Forgets both kinds of notification.
SYMBASE_API void HostClearNotifications();

// The application object the default HostGetObject gives for 1; null
// restores the built-in one. The object stays the caller's.
SYMBASE_API void HostSetApplicationObject(CObject* app);
// The object the default ServerGetObject gives for `id`; null unregisters
// it. The object stays the caller's.
SYMBASE_API void HostRegisterServerObject(int id, CObject* object);
// The answer of the default GetAddressingMode from now on.
SYMBASE_API void HostSetAddressingMode(int mode);

// Clears every record above and the answer queue; leaves registrations,
// the addressing mode and the installed services as they are.
SYMBASE_API void HostClearRecords();

#endif
