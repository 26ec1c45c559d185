#ifndef SYMBASE_TESTS_SRC_LISTS_ENTRY_LIST_H
#define SYMBASE_TESTS_SRC_LISTS_ENTRY_LIST_H

// A caller's list of CTBObjetAts entries, as a host holds it: the entries
// belong to the list's owner, which deletes them.

#include <string>
#include <vector>

#include "symbase/tabis.h"

namespace lists_test {

class EntryList {
 public:
  EntryList() = default;
  EntryList(const EntryList&) = delete;
  EntryList& operator=(const EntryList&) = delete;
  ~EntryList() { Clear(); }

  CObList* get() { return &list_; }
  int size() const { return static_cast<int>(list_.GetCount()); }

  // Each entry as "address|symbol|comment|type|flag", in list order.
  std::vector<std::string> Full() const {
    std::vector<std::string> out;
    ForEach([&](const CTBObjetAts& e) {
      out.push_back(std::string(e.m_repere) + "|" + std::string(e.m_symbole) + "|" +
                    std::string(e.m_commentaire) + "|" + std::to_string(e.m_type) + "|" +
                    std::to_string(e.m_flag));
    });
    return out;
  }

  // The addresses alone, in list order.
  std::vector<std::string> Addresses() const {
    std::vector<std::string> out;
    ForEach([&](const CTBObjetAts& e) { out.push_back(std::string(e.m_repere)); });
    return out;
  }

  void Clear() {
    POSITION position = list_.GetHeadPosition();
    while (position != nullptr) delete list_.GetNext(position);
    list_.RemoveAll();
  }

 private:
  template <typename Visit>
  void ForEach(Visit visit) const {
    POSITION position = list_.GetHeadPosition();
    while (position != nullptr) {
      visit(*static_cast<const CTBObjetAts*>(list_.GetNext(position)));
    }
  }

  CObList list_;
};

}  // namespace lists_test

#endif
