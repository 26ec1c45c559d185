#ifndef SYMBASE_TESTS_SRC_LISTS_IO_LIST_UTIL_H
#define SYMBASE_TESTS_SRC_LISTS_IO_LIST_UTIL_H

// Framework string lists to and from vectors, for the I/O list tests.

#include <string>
#include <vector>

#include "symbase/afxcoll.h"

namespace io_lists_testing {

inline void Fill(CStringList& list, const std::vector<std::string>& texts) {
  for (const std::string& text : texts) list.AddTail(text.c_str());
}

inline std::vector<std::string> Texts(const CStringList& list) {
  std::vector<std::string> texts;
  for (POSITION p = list.GetHeadPosition(); p != nullptr;) texts.emplace_back(list.GetNext(p));
  return texts;
}

}  // namespace io_lists_testing

#endif
