#ifndef SYMBASE_TESTS_SRC_LISTS_LISTS_TEST_H
#define SYMBASE_TESTS_SRC_LISTS_LISTS_TEST_H

// What the listing tests share: a base with a caller's list, entries as texts.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/symbol_base.h"

namespace lists_test {

// Takes the entries out of a caller's list (they are the caller's to
// delete): each as "address|symbol|comment|type|flag", or the address alone.
inline std::vector<std::string> Take(CObList& list, bool whole = true) {
  std::vector<std::string> out;
  while (!list.IsEmpty()) {
    std::unique_ptr<CTBObjetAts> e(static_cast<CTBObjetAts*>(list.RemoveHead()));
    std::string text(e->m_repere);
    if (whole) {
      text += "|" + std::string(e->m_symbole) + "|" + std::string(e->m_commentaire) + "|" +
              std::to_string(e->m_type) + "|" + std::to_string(e->m_flag);
    }
    out.push_back(text);
  }
  return out;
}

class ListsTest : public testing_support::SymbolBaseTest {
 protected:
  void TearDown() override {
    Take(list);
    SymbolBaseTest::TearDown();
  }

  // The entries one call put in `list`; the call's result must be 0.
  std::vector<std::string> Entries(int result, bool whole = true) {
    EXPECT_EQ(result, 0);
    return Take(list, whole);
  }

  // Calls a batch listing (its position kept by the caller's lambda) until
  // it says it finished; every entry in order, each call's count in batches.
  std::vector<std::string> Drain(const std::function<int(int* finished)>& call,
                                 std::vector<int>* batches = nullptr, bool whole = true) {
    std::vector<std::string> all;
    for (int calls = 0; calls < 10; ++calls) {
      int finished = -1;
      EXPECT_EQ(call(&finished), 0);
      const std::vector<std::string> batch = Take(list, whole);
      all.insert(all.end(), batch.begin(), batch.end());
      if (batches != nullptr) batches->push_back(static_cast<int>(batch.size()));
      if (finished == 1) return all;
      EXPECT_EQ(finished, 0);
    }
    ADD_FAILURE() << "not finished after 10 calls";
    return all;
  }

  // %MW<first> .. %MW<last - 1>, their symbols in the same order: S00000 ...
  void CreateWords(int first, int last) {
    for (int i = first; i < last; ++i) {
      const std::string n = std::to_string(i);
      Create(("%MW" + n).c_str(), ("S" + std::string(5 - n.size(), '0') + n).c_str());
    }
  }
  void Delete(const std::string& repere) {
    CTBObjetAts gone(repere.c_str(), "", "", 0, -1);
    ASSERT_EQ(TBDelObject(base, &gone), 0) << repere;
  }

  CObList list;
};

}  // namespace lists_test

#endif
