// create, add, find, delete: one base or one object at a time.

#include <cstdio>

#include "base.h"
#include "commands.h"
#include "errors.h"
#include "fields.h"
#include "objects.h"
#include "text.h"

namespace cli {

int RunCreate(const Args& args) {
  Base base(args.At(0));
  base.Create(args.Has("--replace"));
  std::printf("created an empty symbol base in %s\n", base.Directory().c_str());
  return 0;
}

int RunAdd(const Args& args) {
  std::string address = LibraryAddress(args.At(1));
  std::string symbol = LibrarySymbol(args.At(2));
  std::string comment = LibraryComment(args.At(3));
  Base base(args.At(0));
  base.Open(Base::Access::kWrite);
  ObjectText existing;
  if (LookUpObject(base, address, false, &existing)) {
    throw Failure(Cp1252ToUtf8(address) + " is already in the base (symbol \"" +
                  Cp1252ToUtf8(existing.symbol) + "\"); import --replace changes it");
  }
  CTBObjetAts object(address.c_str(), symbol.c_str(), comment.c_str(), 0, -1);
  int result = TBCreateObject(base.Handle(), &object);
  base.CheckNoReport("adding " + Cp1252ToUtf8(address));
  if (result == 101) {
    throw Failure("the symbol " + Cp1252ToUtf8(symbol) + " is already carried by " +
                  Cp1252ToUtf8(static_cast<const char*>(object.m_repere)));
  }
  if (result == 1) throw Failure("added " + Cp1252ToUtf8(address) + " but not its comment");
  if (result != 0) throw Failure(ResultMessage(result, "adding " + Cp1252ToUtf8(address)));
  std::printf("added %s\n", Cp1252ToUtf8(address).c_str());
  return 0;
}

int RunFind(const Args& args) {
  bool by_symbol = args.Has("--symbol");
  std::string key = by_symbol ? LibrarySymbol(args.At(1)) : LibraryAddress(args.At(1));
  if (key.empty()) throw UsageError("an empty symbol names nothing");
  Base base(args.At(0));
  base.Open(Base::Access::kRead);
  ObjectText object;
  if (!LookUpObject(base, key, by_symbol, &object)) {
    throw Failure(std::string(by_symbol ? "no object carries the symbol " : "no object at ") +
                  Cp1252ToUtf8(key));
  }
  PrintObject(object);
  return 0;
}

int RunDelete(const Args& args) {
  std::string address = LibraryAddress(args.At(1));
  Base base(args.At(0));
  base.Open(Base::Access::kWrite);
  CTBObjetAts object(address.c_str(), "", "", 0, -1);
  int result = TBDelObject(base.Handle(), &object);
  base.CheckNoReport("deleting " + Cp1252ToUtf8(address));
  if (result == 102 || result == 103) throw Failure("no object at " + Cp1252ToUtf8(address));
  if (result != 0) throw Failure(ResultMessage(result, "deleting " + Cp1252ToUtf8(address)));
  std::printf("deleted %s\n", Cp1252ToUtf8(address).c_str());
  return 0;
}

}  // namespace cli
