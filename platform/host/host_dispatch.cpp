// The plain host functions: each forwards to the services in force. The
// forwarders are made from the one list of services.

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

#define SYMBASE_HOST_SERVICE(result, name, parameters, arguments) \
  result name parameters { return HostServices().name arguments; }
#include "symbase/host_service_list.h"
#undef SYMBASE_HOST_SERVICE
