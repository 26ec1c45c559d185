#ifndef SYMBASE_APPS_JSON_H
#define SYMBASE_APPS_JSON_H

// JSON documents for --json, built as text: each helper returns a complete
// JSON value, so that values nest by passing them on.

#include <string>
#include <utility>
#include <vector>

namespace cli {

// A UTF-8 text as a JSON string, quoted, with quotes, backslashes and
// control characters escaped.
std::string JsonString(const std::string& utf8);
std::string JsonNumber(long long value);
std::string JsonBool(bool value);
// {"name": value, ...} from names and values already in JSON.
std::string JsonObject(const std::vector<std::pair<std::string, std::string>>& members);
// [value, ...] from values already in JSON.
std::string JsonArray(const std::vector<std::string>& values);

}  // namespace cli

#endif
