#include "objects.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <utility>

#include "errors.h"
#include "progress.h"
#include "symbase/cp1252.h"
#include "text.h"

namespace cli {

namespace {

constexpr std::size_t kObjetWidth = 5;

// Owns the entries the library appends to a list.
class OwnedList {
 public:
  OwnedList() = default;
  OwnedList(const OwnedList&) = delete;
  OwnedList& operator=(const OwnedList&) = delete;
  ~OwnedList() { Clear(); }

  CObList* Get() { return &list_; }

  // Hands each entry to `take`, then frees them; how many there were.
  std::size_t TakeAll(const std::function<void(const CTBObjetAts&)>& take) {
    std::size_t count = 0;
    for (POSITION pos = list_.GetHeadPosition(); pos != nullptr; ++count) {
      take(*static_cast<const CTBObjetAts*>(list_.GetNext(pos)));
    }
    Clear();
    return count;
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

std::string WithoutTrailingBlanks(std::string text) {
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

// One index of the key, comparable as text: numbers right-aligned, an
// absent index (blank in the key) before any number.
std::string IndexKey(const CString& index) {
  std::string text = static_cast<const char*>(index);
  if (text.empty()) return std::string(12, ' ');
  bool digits = text.find_first_not_of("0123456789") == std::string::npos && text.size() <= 11;
  return digits ? std::string(12 - text.size(), '0') + text : "~" + text;
}

std::string AddressKey(CTBData* handle, const std::string& address) {
  CString repere(address.c_str());
  CString objet, ind1, ind2, ind3, ind4;
  TBDecodeRepere(handle, repere, objet, ind1, ind2, ind3, ind4);
  std::string key = static_cast<const char*>(objet);
  key.resize(std::max(key.size(), kObjetWidth), ' ');
  return key + IndexKey(ind1) + IndexKey(ind2) + IndexKey(ind3) + IndexKey(ind4);
}

std::string Upper(const std::string& text) {
  std::string out = text;
  for (char& c : out) c = static_cast<char>(symbase::Cp1252ToUpper(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

void ExportBatches(Base& base, const std::string& prefix, Progress* progress,
                   const std::function<void(const CTBObjetAts&)>& take) {
  OwnedList batch;
  long counter = 1;
  int finished = 0;
  std::size_t count = 0;
  while (finished == 0) {
    int result =
        TBExportSymbol(base.Handle(), CString(prefix.c_str()), 0, &counter, batch.Get(), &finished);
    count += batch.TakeAll(take);
    base.CheckNoReport("cannot read the objects");
    if (progress != nullptr) progress->Set(count);
    if (result == TB_OUT_OF_RANGE) break;
    if (result != 0) base.ThrowResult(result, "cannot read the objects");
  }
}

std::vector<ObjectText> ExportObjects(Base& base, const std::string& prefix, Progress* progress) {
  std::vector<ObjectText> objects;
  ExportBatches(base, prefix, progress, [&objects](const CTBObjetAts& entry) {
    objects.push_back({static_cast<const char*>(entry.m_repere),
                       static_cast<const char*>(entry.m_symbole),
                       static_cast<const char*>(entry.m_commentaire)});
  });
  if (!prefix.empty()) SortByAddress(base.Handle(), &objects);
  return objects;
}

bool LookUpObject(Base& base, const std::string& key, bool by_symbol, ObjectText* object) {
  CTBObjetAts entry(by_symbol ? "" : key.c_str(), by_symbol ? key.c_str() : "", "", 0, -1);
  int result = TBSearchAttrib(base.Handle(), &entry, by_symbol ? 1 : 0);
  if (base.Reported()) base.CheckNoReport("cannot look up " + Cp1252ToUtf8(key));
  if (result == TB_NO_ROW || result == TB_KEY_NOT_FOUND) return false;
  if (result != 0) base.ThrowResult(result, "cannot look up " + Cp1252ToUtf8(key));
  *object = {WithoutTrailingBlanks(static_cast<const char*>(entry.m_repere)),
             static_cast<const char*>(entry.m_symbole),
             static_cast<const char*>(entry.m_commentaire)};
  return true;
}

std::vector<ObjectText> SymbolsDifferingInCase(Base& base, const std::string& symbol) {
  std::vector<ObjectText> found;
  if (symbol.empty() || symbol.find('\'') != std::string::npos) return found;
  CStringList addresses;
  int result = TBFindStringInBase(base.Handle(), addresses, 1, 0, CString(symbol.c_str()), 0);
  base.CheckNoReport("cannot search the symbols");
  if (result == TB_LOCKED_BY_OTHER) base.ThrowResult(result, "cannot search the symbols");
  if (result != 0) return found;  // 108: no symbol holds the text
  for (POSITION pos = addresses.GetHeadPosition(); pos != nullptr;) {
    std::string address = WithoutTrailingBlanks(static_cast<const char*>(addresses.GetNext(pos)));
    ObjectText object;
    if (LookUpObject(base, address, false, &object) && Upper(object.symbol) == Upper(symbol) &&
        object.symbol != symbol) {
      found.push_back(object);
    }
  }
  return found;
}

void SortByAddress(CTBData* handle, std::vector<ObjectText>* objects) {
  std::vector<std::pair<std::string, std::size_t>> keys;
  keys.reserve(objects->size());
  for (std::size_t i = 0; i < objects->size(); ++i) {
    keys.emplace_back(AddressKey(handle, (*objects)[i].address), i);
  }
  std::stable_sort(keys.begin(), keys.end());
  std::vector<ObjectText> sorted;
  sorted.reserve(objects->size());
  for (const auto& key : keys) sorted.push_back(std::move((*objects)[key.second]));
  *objects = std::move(sorted);
}

}  // namespace cli
