#ifndef SYMBASE_HOST_SETTINGS_FILE_H
#define SYMBASE_HOST_SETTINGS_FILE_H

// The default settings store: integers by (section, key) in one small text
// file, "settings.ini" under $XDG_CONFIG_HOME/symbase/ (else
// ~/.config/symbase/):
//
//   [12]
//   SymbOnLinePosX=120
//
// Lines that do not parse (and keys before any section) are ignored, so a
// damaged file reads as the settings it still holds, or none; they are
// dropped by the next write. A write rewrites the whole file through a
// temporary file and a rename, under an exclusive lock on "settings.lock",
// so readers never see half a file and concurrent writers lose nothing.

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace host {

using Settings = std::map<std::pair<int, std::string>, int>;

// Keys: 1 to 128 bytes, no control character, "=", "[" or "]".
bool IsValidSettingKey(const char* key);

Settings ParseSettings(std::string_view bytes);
std::string SerializeSettings(const Settings& settings);

// The folder of the settings file; empty when neither XDG_CONFIG_HOME (an
// absolute path) nor a home folder is known.
std::string SettingsFolder();

std::optional<int> LoadSetting(int section, const std::string& key);
bool StoreSetting(int section, const std::string& key, int value);

}  // namespace host

#endif
