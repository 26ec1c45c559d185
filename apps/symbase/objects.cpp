#include "objects.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "errors.h"
#include "terminal.h"
#include "text.h"

namespace cli {

namespace {

// Owns the entries the library appends to a list.
class OwnedList {
 public:
  OwnedList() = default;
  OwnedList(const OwnedList&) = delete;
  OwnedList& operator=(const OwnedList&) = delete;
  ~OwnedList() { Clear(); }

  CObList* Get() { return &list_; }

  // Moves the entries' texts to `out` and frees them.
  void TakeInto(std::vector<ObjectText>* out) {
    for (POSITION pos = list_.GetHeadPosition(); pos != nullptr;) {
      const auto* entry = static_cast<const CTBObjetAts*>(list_.GetNext(pos));
      out->push_back({static_cast<const char*>(entry->m_repere),
                      static_cast<const char*>(entry->m_symbole),
                      static_cast<const char*>(entry->m_commentaire)});
    }
    Clear();
  }

 private:
  void Clear() {
    for (POSITION pos = list_.GetHeadPosition(); pos != nullptr;) {
      delete list_.GetNext(pos);
    }
    list_.RemoveAll();
  }

  CObList list_;
};

void PrintPadded(const std::string& utf8, std::size_t width) {
  std::size_t length = Utf8Length(utf8);
  std::printf("%s%*s", utf8.c_str(), static_cast<int>(width > length ? width - length : 0), "");
}

}  // namespace

std::vector<ObjectText> ExportObjects(Base& base, const std::string& prefix) {
  std::vector<ObjectText> objects;
  OwnedList batch;
  long counter = 1;
  int finished = 0;
  while (finished == 0) {
    int result =
        TBExportSymbol(base.Handle(), CString(prefix.c_str()), 0, &counter, batch.Get(), &finished);
    batch.TakeInto(&objects);
    base.CheckNoReport("reading the objects");
    if (result == 105) break;  // an empty table
    if (result != 0) throw Failure(ResultMessage(result, "reading the objects"));
  }
  return objects;
}

bool LookUpObject(Base& base, const std::string& key, bool by_symbol, ObjectText* object) {
  CTBObjetAts entry(by_symbol ? "" : key.c_str(), by_symbol ? key.c_str() : "", "", 0, -1);
  int result = TBSearchAttrib(base.Handle(), &entry, by_symbol ? 1 : 0);
  base.CheckNoReport("looking up " + Cp1252ToUtf8(key));
  if (result == 102 || result == 103) return false;
  if (result != 0) throw Failure(ResultMessage(result, "looking up " + Cp1252ToUtf8(key)));
  std::string address = static_cast<const char*>(entry.m_repere);
  address.erase(address.find_last_not_of(' ') + 1);
  *object = {address, static_cast<const char*>(entry.m_symbole),
             static_cast<const char*>(entry.m_commentaire)};
  return true;
}

void PrintObject(const ObjectText& object) {
  std::printf("address: %s\nsymbol:  %s\ncomment: %s\n", Cp1252ToUtf8(object.address).c_str(),
              Cp1252ToUtf8(object.symbol).c_str(), Cp1252ToUtf8(object.comment).c_str());
}

void PrintObjectTable(const std::vector<ObjectText>& objects, std::size_t page) {
  std::size_t address_width = 7;
  std::size_t symbol_width = 6;
  for (const ObjectText& object : objects) {
    address_width = std::max(address_width, object.address.size());
    symbol_width = std::max(symbol_width, object.symbol.size());
  }
  bool paging = page > 0 && ::isatty(STDIN_FILENO) != 0 && ::isatty(STDOUT_FILENO) != 0;
  PrintPadded("ADDRESS", address_width + 2);
  PrintPadded("SYMBOL", symbol_width + 2);
  std::printf("COMMENT\n");
  for (std::size_t i = 0; i < objects.size(); ++i) {
    const ObjectText& object = objects[i];
    PrintPadded(Cp1252ToUtf8(object.address), address_width + 2);
    PrintPadded(Cp1252ToUtf8(object.symbol), symbol_width + 2);
    std::printf("%s\n", Cp1252ToUtf8(object.comment).c_str());
    std::string answer;
    if (paging && (i + 1) % page == 0 && i + 1 < objects.size() &&
        (!AskLine("-- more: Enter, q to stop -- ", &answer) || answer == "q")) {
      return;
    }
  }
}

}  // namespace cli
