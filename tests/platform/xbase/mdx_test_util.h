#ifndef SYMBASE_TESTS_PLATFORM_XBASE_MDX_TEST_UTIL_H
#define SYMBASE_TESTS_PLATFORM_XBASE_MDX_TEST_UTIL_H

// Helpers of the index-file tests: a tag's entries walked forward and its
// structural check.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "xbase/mdx_file.h"
#include "xbase/result.h"

namespace xbase {
namespace testing_mdx {

using Entry = std::pair<std::string, std::uint32_t>;  // key bytes, record number

inline std::vector<Entry> Entries(MdxFile* mdx, int t) {
  std::vector<Entry> out;
  const std::size_t kl = static_cast<std::size_t>(mdx->tag(t).key_length);
  EXPECT_EQ(kOk, mdx->ForEach(t, [&](const char* key, std::uint32_t r) {
    out.emplace_back(std::string(key, kl), r);
    return 0;
  }));
  return out;
}

inline void ExpectSound(MdxFile* mdx, int t) {
  std::vector<std::string> problems;
  EXPECT_EQ(kOk, mdx->Check(t, [&](const std::string& p) { problems.push_back(p); }));
  EXPECT_TRUE(problems.empty()) << problems.front();
}

}  // namespace testing_mdx
}  // namespace xbase

#endif
