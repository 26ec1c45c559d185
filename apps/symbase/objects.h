#ifndef SYMBASE_APPS_OBJECTS_H
#define SYMBASE_APPS_OBJECTS_H

// Objects read out of a base.

#include <functional>
#include <string>
#include <vector>

#include "base.h"
#include "object_text.h"

namespace cli {

class Progress;

// Every object (empty prefix) or those of one kind with their bits, handed
// to `take` as the library's export gives them, in batches of 50: the whole
// base in address order, a kind in the order the library finds it.
void ExportBatches(Base& base, const std::string& prefix, Progress* progress,
                   const std::function<void(const CTBObjetAts&)>& take);

// Every object (empty prefix) or those of one kind with their bits, in
// address order, read through the library's export in batches of 50.
std::vector<ObjectText> ExportObjects(Base& base, const std::string& prefix,
                                      Progress* progress = nullptr);

// The object at `address` (by_symbol false) or carrying the symbol `key`;
// false when there is none. Throws on a library error.
bool LookUpObject(Base& base, const std::string& key, bool by_symbol, ObjectText* object);

// The objects whose symbol is `symbol` but for the case of its letters.
std::vector<ObjectText> SymbolsDifferingInCase(Base& base, const std::string& symbol);

// Puts objects in the order of the base's address key (kind, then each
// index as a number), the order of a listing of the whole base.
void SortByAddress(CTBData* handle, std::vector<ObjectText>* objects);

}  // namespace cli

#endif
