#ifndef SYMBASE_APPS_INSERTION_H
#define SYMBASE_APPS_INSERTION_H

// One row of an import put into the base through the library's insertion,
// and what it did, told from the objects before and after: a replacement
// that moves a symbol takes its row to the new address, so the old address
// leaves the base, and the import names it.

#include <string>

#include "ask_dialog.h"
#include "base.h"
#include "object_table.h"

namespace cli {

// Insert modes of the library.
constexpr int kModeReplace = 0;
constexpr int kModeKeep = 1;
constexpr int kModeAsk = 2;

enum class Outcome { kAdded, kChanged, kMoved, kUnchanged, kKept, kRefused, kInterrupted };

struct RowResult {
  Outcome outcome = Outcome::kUnchanged;
  ObjectText before;  // the object at the row's address before, if any (kKept: the base's)
  ObjectText holder;  // kMoved: the object that carried the symbol before
  bool dropped_symbol = false;  // kMoved: the address had another symbol, now gone
};

class Importer {
 public:
  // `driver` gets the view of each row before the insertion (mode kModeAsk).
  Importer(Base& base, int mode, TerminalDialogDriver* driver)
      : base_(base), mode_(mode), driver_(driver) {}

  // Throws on a library failure.
  RowResult Insert(const TableRow& row);

 private:
  bool Find(const std::string& key, bool by_symbol, ObjectText* object);
  RowResult AddAddressAlone(const TableRow& row);

  Base& base_;
  int mode_;
  TerminalDialogDriver* driver_;
};

}  // namespace cli

#endif
