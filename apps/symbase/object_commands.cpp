// create, add, edit, find: one base or one object at a time.

#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>

#include "base.h"
#include "commands.h"
#include "errors.h"
#include "fields.h"
#include "json.h"
#include "object_print.h"
#include "objects.h"
#include "options.h"
#include "text.h"

namespace cli {

namespace {

constexpr int kModifySymbol = 0;
constexpr int kModifyComment = 1;
constexpr int kModifyBoth = 2;

struct CreateArgs {
  std::string dir;
  bool replace = false;
};

int RunCreate(const CreateArgs& args) {
  Base base(args.dir);
  base.Create(args.replace);
  Say("created an empty symbol base in " + base.Directory());
  return kExitDone;
}

struct AddArgs {
  std::string dir, address, symbol, comment;
};

int RunAdd(const AddArgs& args) {
  std::string address = LibraryAddress(args.address);
  std::string symbol = LibrarySymbol(args.symbol);
  std::string comment = LibraryComment(args.comment);
  Base base(args.dir);
  base.Open(Base::Access::kWrite);
  ObjectText existing;
  if (LookUpObject(base, address, false, &existing)) {
    throw NotFound(Cp1252ToUtf8(address) + " is already in the base (" + ObjectInline(existing) +
                   "); 'symbase edit' changes it");
  }
  CTBObjetAts object(address.c_str(), symbol.c_str(), comment.c_str(), 0, -1);
  int result = TBCreateObject(base.Handle(), &object);
  std::string doing = "cannot add " + Cp1252ToUtf8(address);
  base.CheckNoReport(doing);
  if (result == TB_SYMBOL_TAKEN) {
    throw NotFound(doing + ": the symbol " + Cp1252ToUtf8(symbol) + " is already carried by " +
                   Cp1252ToUtf8(static_cast<const char*>(object.m_repere)));
  }
  if (result == TB_NOT_DONE) throw Failure(doing + ": its comment could not be written");
  if (result != 0) base.ThrowResult(result, doing);
  Say("added " + Cp1252ToUtf8(address));
  return kExitDone;
}

struct EditArgs {
  std::string dir, address, symbol, comment;
  CLI::Option* symbol_given = nullptr;
  CLI::Option* comment_given = nullptr;
};

int RunEdit(const EditArgs& args) {
  bool new_symbol = args.symbol_given->count() > 0;
  bool new_comment = args.comment_given->count() > 0;
  if (!new_symbol && !new_comment) throw UsageError("give --symbol, --comment or both");
  std::string address = LibraryAddress(args.address);
  std::string symbol = new_symbol ? LibrarySymbol(args.symbol) : "";
  std::string comment = new_comment ? LibraryComment(args.comment) : "";
  Base base(args.dir);
  base.Open(Base::Access::kWrite);
  ObjectText before;
  if (!LookUpObject(base, address, false, &before)) {
    throw NotFound("no object at " + Cp1252ToUtf8(address));
  }
  // Giving an object the symbol it has already would be refused as taken.
  new_symbol = new_symbol && symbol != before.symbol;
  new_comment = new_comment && comment != before.comment;
  if (!new_symbol && !new_comment) {
    Say(Cp1252ToUtf8(address) + " unchanged");
    return kExitDone;
  }
  int mode = new_symbol && new_comment ? kModifyBoth : new_symbol ? kModifySymbol : kModifyComment;
  CTBObjetAts object(address.c_str(), symbol.c_str(), comment.c_str(), 0, -1);
  int result = TBModifyObject(base.Handle(), &object, mode);
  std::string doing = "cannot change " + Cp1252ToUtf8(address);
  base.CheckNoReport(doing);
  if (result == TB_SYMBOL_TAKEN) {
    std::string holder = static_cast<const char*>(object.m_repere);
    holder.erase(holder.find_last_not_of(' ') + 1);
    throw NotFound(doing + ": the symbol " + Cp1252ToUtf8(symbol) + " is already carried by " +
                   Cp1252ToUtf8(holder));
  }
  if (result != 0) base.ThrowResult(result, doing);
  Say("changed " + Cp1252ToUtf8(address));
  return kExitDone;
}

struct FindArgs {
  std::string dir, address, symbol;
  bool json = false;
};

[[noreturn]] void NoSuchSymbol(Base& base, const std::string& symbol) {
  std::string message = "no object carries the symbol " + Cp1252ToUtf8(symbol);
  std::vector<ObjectText> near = SymbolsDifferingInCase(base, symbol);
  for (std::size_t i = 0; i < near.size(); ++i) {
    message += (i == 0 ? "; symbols differ by case: did you mean " : " or ") +
               Cp1252ToUtf8(near[i].symbol) + " (" + Cp1252ToUtf8(near[i].address) + ")";
  }
  throw NotFound(message + (near.empty() ? "" : "?"));
}

int RunFind(const FindArgs& args) {
  bool by_symbol = !args.symbol.empty();
  if (by_symbol == !args.address.empty()) throw UsageError("give an ADDRESS or --symbol SYMBOL");
  std::string key = by_symbol ? LibrarySymbol(args.symbol) : LibraryAddress(args.address);
  Base base(args.dir);
  base.Open(Base::Access::kRead);
  ObjectText object;
  if (!LookUpObject(base, key, by_symbol, &object)) {
    if (by_symbol) NoSuchSymbol(base, key);
    throw NotFound("no object at " + Cp1252ToUtf8(key));
  }
  if (args.json) {
    std::printf("%s\n", ObjectJson(object).c_str());
  } else if (!Options().quiet) {
    std::printf("%s", ObjectLines(object).c_str());
  }
  return kExitDone;
}

}  // namespace

void AddObjectCommands(CommandSet& commands) {
  auto create = std::make_shared<CreateArgs>();
  CLI::App* c = commands.Add("create", "create an empty base (its six files)",
                             "A base already in DIR is kept unless --replace is given.",
                             [create] { return RunCreate(*create); });
  c->add_option("DIR", create->dir, "the base's directory, created when needed")->required();
  c->add_flag("--replace", create->replace, "empty a base already there (its objects are lost)");

  auto add = std::make_shared<AddArgs>();
  c = commands.Add("add", "add one object",
                   "An address already in the base, or a symbol another address carries, is\n"
                   "refused: edit changes an object, import resolves such conflicts.",
                   [add] { return RunAdd(*add); });
  AddBaseArgument(c, &add->dir);
  c->add_option("ADDRESS", add->address, "the address (%MW10, %I1.2 ...)")->required();
  c->add_option("SYMBOL", add->symbol, "its symbol (none when absent)");
  c->add_option("COMMENT", add->comment, "its comment");

  auto edit = std::make_shared<EditArgs>();
  c = commands.Add("edit", "change the symbol or the comment of one object",
                   "A symbol another address carries is refused.",
                   [edit] { return RunEdit(*edit); });
  AddBaseArgument(c, &edit->dir);
  c->add_option("ADDRESS", edit->address, "the object's address")->required();
  edit->symbol_given = c->add_option("-s,--symbol", edit->symbol, "the new symbol (\"\": none)")
                           ->type_name("SYMBOL");
  edit->comment_given = c->add_option("-c,--comment", edit->comment, "the new comment (\"\": none)")
                            ->type_name("COMMENT");

  auto find = std::make_shared<FindArgs>();
  c = commands.Add("find", "show one object, by address or by symbol",
                   "Exit code 1 when there is none. Symbols are told apart by case: a symbol\n"
                   "that differs only by case is suggested.",
                   [find] { return RunFind(*find); });
  AddBaseArgument(c, &find->dir);
  c->add_option("ADDRESS", find->address, "the object's address");
  c->add_option("-s,--symbol", find->symbol, "look the object up by its symbol instead")
      ->type_name("SYMBOL");
  AddJsonFlag(c, &find->json, "the object");
}

}  // namespace cli
