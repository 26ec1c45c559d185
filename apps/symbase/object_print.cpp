#include "object_print.h"

#include <algorithm>

#include "json.h"
#include "text.h"

namespace cli {

namespace {

std::string Padded(const std::string& utf8, std::size_t width) {
  std::size_t length = Utf8Length(utf8);
  return utf8 + std::string(width > length ? width - length : 0, ' ');
}

}  // namespace

std::string ObjectCount(std::size_t count) {
  return std::to_string(count) + (count == 1 ? " object" : " objects");
}

std::string ObjectLines(const ObjectText& object) {
  return "address: " + Cp1252ToUtf8(object.address) + "\nsymbol:  " + Cp1252ToUtf8(object.symbol) +
         "\ncomment: " + Cp1252ToUtf8(object.comment) + "\n";
}

std::string ObjectColumns(const std::vector<ObjectText>& objects) {
  std::size_t address_width = 7;
  std::size_t symbol_width = 6;
  for (const ObjectText& object : objects) {
    address_width = std::max(address_width, object.address.size());
    symbol_width = std::max(symbol_width, object.symbol.size());
  }
  std::string out =
      Padded("ADDRESS", address_width + 2) + Padded("SYMBOL", symbol_width + 2) + "COMMENT\n";
  for (const ObjectText& object : objects) {
    std::string line = Padded(Cp1252ToUtf8(object.address), address_width + 2) +
                       Padded(Cp1252ToUtf8(object.symbol), symbol_width + 2) +
                       Cp1252ToUtf8(object.comment);
    line.erase(line.find_last_not_of(' ') + 1);
    out += line + "\n";
  }
  return out;
}

std::string VersionInline(const ObjectText& object) {
  std::string out = object.symbol.empty() ? "(no symbol)" : Cp1252ToUtf8(object.symbol);
  if (!object.comment.empty()) out += " \"" + Cp1252ToUtf8(object.comment) + "\"";
  return out;
}

std::string ObjectInline(const ObjectText& object) {
  return Cp1252ToUtf8(object.address) + " " + VersionInline(object);
}

std::string ObjectJson(const ObjectText& object) {
  return JsonObject({{"address", JsonString(Cp1252ToUtf8(object.address))},
                     {"symbol", JsonString(Cp1252ToUtf8(object.symbol))},
                     {"comment", JsonString(Cp1252ToUtf8(object.comment))}});
}

std::string ObjectsJson(const std::vector<ObjectText>& objects) {
  std::vector<std::string> values;
  values.reserve(objects.size());
  for (const ObjectText& object : objects) values.push_back(ObjectJson(object));
  return JsonArray(values);
}

}  // namespace cli
