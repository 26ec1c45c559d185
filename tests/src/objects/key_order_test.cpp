// Addresses of every family, created in shuffled order, come back from
// REPCLE_TAG in the order the listings walk them: by object code, then by
// number (module numbers in base 32 or decimal), a word before its
// sub-parts, a macro-step's steps before its IN and OUT.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "support/symbol_base.h"

namespace {

// Each family's addresses in the order its listing expects them.
std::vector<std::vector<std::string>> Families() {
  std::vector<std::vector<std::string>> families;
  auto add = [&](std::vector<std::string> family) { families.push_back(std::move(family)); };
  std::vector<std::string> words, bits, steps, step_fields, macro, modules, module_bits, status,
      network, network_bits, timers;
  for (int i = 0; i < 180; i += 3) words.push_back("%MW" + std::to_string(i));
  for (int i : {999, 1000, 9999}) words.push_back("%MW" + std::to_string(i));
  for (int i : {3, 12, 100}) {
    for (int b = 0; b < 16; ++b)
      bits.push_back("%MW" + std::to_string(i) + ":X" + std::to_string(b));
  }
  for (int i = 0; i < 40; ++i) steps.push_back("%X" + std::to_string(i));
  for (int i : {1, 7}) {
    for (const char* f : {".T", ".TMIN", ".TMAX", ".ERR"})
      step_fields.push_back("%X" + std::to_string(i) + f);
  }
  for (int j : {0, 3}) {
    for (int i : {0, 1, 2, 10}) {
      macro.push_back("%X" + std::to_string(j) + "." + std::to_string(i));
      macro.push_back("%X" + std::to_string(j) + "." + std::to_string(i) + ".T");
      macro.push_back("%X" + std::to_string(j) + "." + std::to_string(i) + ".ERR");
    }
    macro.push_back("%X" + std::to_string(j) + ".IN");
    macro.push_back("%X" + std::to_string(j) + ".OUT");
  }
  // Module numbers across the base-32 digits: 9 < 10 (A) < 31 (V) < 32 (10).
  for (int m : {1, 2, 9, 10, 31, 32, 33, 100}) {
    for (int c = 0; c < 4; ++c)
      modules.push_back("%IW" + std::to_string(m) + "." + std::to_string(c));
    for (int b = 0; b < 4; ++b) {
      module_bits.push_back("%IW" + std::to_string(m) + ".0:X" + std::to_string(b));
    }
    status.push_back("%IW" + std::to_string(m) + ".MOD");
    status.push_back("%IW" + std::to_string(m) + ".MOD.1");
  }
  for (int i : {0, 1, 4}) {
    for (int k : {0, 2, 10})
      network.push_back("%NW{" + std::to_string(i) + ".1}" + std::to_string(k));
  }
  for (int b = 0; b < 16; ++b) network_bits.push_back("%NW{2}3:X" + std::to_string(b));
  for (int i : {0, 5, 12}) {
    for (const char* f : {".V", ".P", ".Q"}) timers.push_back("%TM" + std::to_string(i) + f);
  }
  for (auto* family : {&words, &bits, &steps, &step_fields, &macro, &modules, &module_bits, &status,
                       &network, &network_bits, &timers}) {
    add(*family);
  }
  return families;
}

class KeyOrder : public testing_support::SymbolBaseTest,
                 public ::testing::WithParamInterface<int> {};

TEST_P(KeyOrder, RepCleTagWalksEachFamilyInListingOrder) {
  HostSetAddressingMode(GetParam());
  const auto families = Families();
  std::vector<std::string> all;
  std::map<std::string, int> family_of;
  for (std::size_t f = 0; f < families.size(); ++f) {
    for (const std::string& address : families[f]) {
      all.push_back(address);
      family_of[address] = static_cast<int>(f);
    }
  }
  ASSERT_GT(all.size(), 300u);
  std::mt19937 random(42);
  std::shuffle(all.begin(), all.end(), random);
  for (const std::string& address : all) Create(address.c_str());

  std::vector<std::vector<std::string>> walked(families.size());
  xbase::TagSelect(base->m_mainTable, base->m_tagRepCle);
  for (int r = xbase::TableTop(base->m_mainTable); r == 0;
       r = xbase::TableSkip(base->m_mainTable, 1)) {
    const std::string address(base->FieldText(base->m_fieldRepere, 36));
    walked[family_of.at(address)].push_back(address);
  }
  xbase::TagSelect(base->m_mainTable, nullptr);
  for (std::size_t f = 0; f < families.size(); ++f) {
    EXPECT_EQ(walked[f], families[f]) << "family starting " << families[f][0];
  }
}

INSTANTIATE_TEST_SUITE_P(ModuleNumbering, KeyOrder, ::testing::Values(0, 1), [](const auto& info) {
  return info.param == 1 ? std::string("Decimal") : std::string("Base32");
});

}  // namespace
