#ifndef SYMBASE_APPS_OBJECT_PRINT_H
#define SYMBASE_APPS_OBJECT_PRINT_H

// How the tool shows objects: for people (UTF-8 text) and for scripts (JSON).

#include <string>
#include <vector>

#include "object_text.h"

namespace cli {

// "1 object", "12 objects".
std::string ObjectCount(std::size_t count);
// "address: %MW10\nsymbol:  Seuil\ncomment: ...\n".
std::string ObjectLines(const ObjectText& object);
// One line per object in aligned columns under an ADDRESS SYMBOL COMMENT header.
std::string ObjectColumns(const std::vector<ObjectText>& objects);
// One object on one line, for messages: %MW10 Seuil "comment".
std::string ObjectInline(const ObjectText& object);
// Its symbol and comment alone: Seuil "comment", or (no symbol) "comment".
std::string VersionInline(const ObjectText& object);

// {"address": ..., "symbol": ..., "comment": ...}.
std::string ObjectJson(const ObjectText& object);
// [object, ...].
std::string ObjectsJson(const std::vector<ObjectText>& objects);

}  // namespace cli

#endif
