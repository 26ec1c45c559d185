#ifndef SYMBASE_APPS_OBJECTS_H
#define SYMBASE_APPS_OBJECTS_H

// Objects read out of a base, and how the tool prints them.

#include <string>
#include <vector>

#include "base.h"

namespace cli {

// One object's texts as the library stores them (Windows-1252).
struct ObjectText {
  std::string address;
  std::string symbol;
  std::string comment;
};

// Every object (empty prefix: in address order) or those of one kind with
// their bits, read through the library's export in batches of 50.
std::vector<ObjectText> ExportObjects(Base& base, const std::string& prefix);

// The object at `address` (by_symbol false) or carrying the symbol `key`;
// false when there is none. Throws Failure on a library error.
bool LookUpObject(Base& base, const std::string& key, bool by_symbol, ObjectText* object);

// One object as "address / symbol / comment" lines.
void PrintObject(const ObjectText& object);
// Objects in aligned columns, one a line, in UTF-8. With a page size, and
// only when both stdin and stdout are a terminal, waits for Enter after each
// page (q stops the listing).
void PrintObjectTable(const std::vector<ObjectText>& objects, std::size_t page = 0);

}  // namespace cli

#endif
