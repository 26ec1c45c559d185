// The default settings service.

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
