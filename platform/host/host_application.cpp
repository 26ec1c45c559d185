// The application object the default services hand out when the host
// registered none: settings and change notifications need an object to be
// called on, even stand-alone.

#include "host/host_state.h"
#include "symbase/host.h"

namespace {

class CHostApplication : public CObject {
  DECLARE_DYNAMIC(CHostApplication)
};

IMPLEMENT_DYNAMIC(CHostApplication, CObject)

constexpr int kApplicationObject = 1;

}  // namespace

CObject* CHostServices::HostGetObject(int id) {
  if (id != kApplicationObject) return nullptr;
  static CHostApplication builtin;
  std::lock_guard<std::mutex> lock(host::State().mutex);
  return host::State().application != nullptr ? host::State().application : &builtin;
}
