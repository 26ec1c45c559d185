#include "json.h"

#include <cstdio>

namespace cli {

std::string JsonString(const std::string& utf8) {
  std::string out = "\"";
  for (char c : utf8) {
    unsigned char byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out.push_back('\\');
      out.push_back(c);
    } else if (byte < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
      out += escaped;
    } else {
      out.push_back(c);
    }
  }
  return out + "\"";
}

std::string JsonNumber(long long value) { return std::to_string(value); }

std::string JsonBool(bool value) { return value ? "true" : "false"; }

std::string JsonObject(const std::vector<std::pair<std::string, std::string>>& members) {
  std::string out = "{";
  for (const auto& member : members) {
    if (out.size() > 1) out += ", ";
    out += JsonString(member.first) + ": " + member.second;
  }
  return out + "}";
}

std::string JsonArray(const std::vector<std::string>& values) {
  std::string out = "[";
  for (const std::string& value : values) {
    if (out.size() > 1) out += ",\n ";
    out += value;
  }
  return out + "]";
}

}  // namespace cli
