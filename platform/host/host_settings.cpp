// The default settings service and application object.

#include "host/host_state.h"
#include "host/settings_file.h"
#include "symbase/host.h"

int CHostServices::HostReadSetting(CObject* /*app*/, int section, const char* key, int fallback) {
  if (!host::IsValidSettingKey(key)) return fallback;
  return host::LoadSetting(section, key).value_or(fallback);
}

int CHostServices::HostWriteSetting(CObject* /*app*/, int section, const char* key, int value) {
  if (!host::IsValidSettingKey(key)) return 0;
  return host::StoreSetting(section, key, value) ? 1 : 0;
}

CObject* CHostServices::HostGetObject(int id) {
  if (id != 1) return nullptr;
  std::lock_guard<std::mutex> lock(host::State().mutex);
  return host::State().application;
}
