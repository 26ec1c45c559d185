#include "insertion.h"

#include "errors.h"
#include "objects.h"
#include "text.h"

namespace cli {

namespace {

std::string Trimmed(const std::string& text) {
  std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// True when the base's object says all the row says (an empty text in the
// row asks for nothing).
bool Agrees(const ObjectText& row, const ObjectText& base) {
  return (row.symbol.empty() || row.symbol == base.symbol) &&
         (Trimmed(row.comment).empty() || Trimmed(row.comment) == Trimmed(base.comment));
}

std::string Doing(const TableRow& row) {
  return "cannot import line " + std::to_string(row.line) + " (" +
         Cp1252ToUtf8(row.object.address) + ")";
}

}  // namespace

bool Importer::Find(const std::string& key, bool by_symbol, ObjectText* object) {
  return LookUpObject(base_, key, by_symbol, object);
}

// The library's insertion writes nothing for a new address without symbol
// or comment; an exported base can hold one, so the import adds it itself
// and the table goes in again as it came out.
RowResult Importer::AddAddressAlone(const TableRow& row) {
  CTBObjetAts object(row.object.address.c_str(), "", "", 0, -1);
  int result = TBCreateObject(base_.Handle(), &object);
  if (base_.Reported()) base_.CheckNoReport(Doing(row));
  if (result != 0) base_.ThrowResult(result, Doing(row));
  return {Outcome::kAdded, {}, {}, false};
}

RowResult Importer::Insert(const TableRow& row) {
  const ObjectText& wanted = row.object;
  RowResult done{Outcome::kUnchanged, {}, {}, false};
  bool in_base = Find(wanted.address, false, &done.before);
  bool held = !wanted.symbol.empty() && Find(wanted.symbol, true, &done.holder) &&
              done.holder.address != wanted.address;
  if (!in_base && wanted.symbol.empty() && Trimmed(wanted.comment).empty()) {
    return AddAddressAlone(row);
  }
  if (driver_ != nullptr)
    driver_->Show({row.line, wanted, in_base, done.before, held, done.holder});

  CTBObjetAts object(wanted.address.c_str(), wanted.symbol.c_str(), wanted.comment.c_str(), 0, -1);
  int result = TBInsertObject(base_.Handle(), &object, mode_);
  if (base_.Reported()) base_.CheckNoReport(Doing(row));
  if (result == TB_INTERRUPTED) return {Outcome::kInterrupted, {}, {}, false};
  if (result == TB_REFUSED) return {Outcome::kRefused, done.before, {}, false};
  if (result != 0) base_.ThrowResult(result, Doing(row));
  // A new address whose symbol nobody holds goes in as it is.
  if (!in_base && !held) return {Outcome::kAdded, {}, {}, false};

  ObjectText after;
  bool now = Find(wanted.address, false, &after);
  ObjectText ignored;
  if (now && held && !Find(done.holder.address, false, &ignored)) {
    done.outcome = Outcome::kMoved;
    done.dropped_symbol = in_base && !done.before.symbol.empty() &&
                          done.before.symbol != wanted.symbol &&
                          !Find(done.before.symbol, true, &ignored);
    return done;
  }
  if (!now) {
    // A new address whose symbol stays with another address.
    if (!in_base && held) return {Outcome::kKept, {}, done.holder, false};
    throw Failure(Doing(row) + ": the address is not in the base although the library took it");
  }
  if (!in_base) {
    done.outcome = Outcome::kAdded;
  } else if (!(after == done.before)) {
    done.outcome = Outcome::kChanged;
  } else {
    done.outcome = Agrees(wanted, after) ? Outcome::kUnchanged : Outcome::kKept;
  }
  return done;
}

}  // namespace cli
