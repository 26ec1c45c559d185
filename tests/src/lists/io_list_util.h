#ifndef SYMBASE_TESTS_SRC_LISTS_IO_LIST_UTIL_H
#define SYMBASE_TESTS_SRC_LISTS_IO_LIST_UTIL_H

// Framework string lists to and from vectors, and a fixture, for the I/O
// list tests.

#include <string>
#include <vector>

#include "support/host_reports.h"
#include "symbase/afxcoll.h"
#include "symbase/tabis.h"

namespace io_lists_testing {

inline void Fill(CStringList& list, const std::vector<std::string>& texts) {
  for (const std::string& text : texts) list.AddTail(text.c_str());
}

inline std::vector<std::string> Texts(const CStringList& list) {
  std::vector<std::string> texts;
  for (POSITION p = list.GetHeadPosition(); p != nullptr;) texts.emplace_back(list.GetNext(p));
  return texts;
}

// A handle without any base (the I/O list functions never read one), and one
// list through one of them.
class IoListTest : public testing_support::HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    TBInitTabisDll(&handle_);
    ASSERT_NE(handle_, nullptr);
  }
  void TearDown() override {
    TBFreeTabisDll(handle_);
    HostTest::TearDown();
  }

  std::vector<std::string> Through(void (*function)(CTBData*, CStringList*),
                                   const std::vector<std::string>& input) {
    CStringList list;
    Fill(list, input);
    function(handle_, &list);
    return Texts(list);
  }

  CTBData* handle_ = nullptr;
};

}  // namespace io_lists_testing

#endif
