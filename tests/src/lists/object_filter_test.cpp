// The text of the filter that selects one object kind. The rows it selects,
// with or without a symbol, are checked through the listings that run it
// (batch_lists_test.cpp).

#include <gtest/gtest.h>

#include <string>

#include "support/symbol_base.h"
#include "symbase/host.h"

namespace {

const std::string kLive = " .AND. .NOT. DELETED()";
const std::string kModule = "((OBJET = 'V' .OR. OBJET = 'MO') .AND. IND1 = '";

struct FilterCase {
  const char* prefix;
  int mode, module, addressing;
  std::string selects;  // for "%ES", the IND1 text of the module
};

class ObjectFilter : public testing_support::HostTest {
 protected:
  CTBData data;
};

TEST_F(ObjectFilter, ModeDecidesPaddingAndBitFormModulesTheirCoding) {
  const FilterCase cases[] = {
      {"%MW", 0, 0, 0, "MW   "},
      {"%MW", 1, 0, 0, "MWX  "},
      {"%MW", 2, 0, 0, "MW"},
      {"%MW", -3, 0, 0, "MW"},
      // %M and %S only exist as bits: always the padded bit form.
      {"%M", 0, 0, 0, "MX   "},
      {"%M", 2, 0, 0, "MX   "},
      {"%S", 2, 0, 0, "SX   "},
      // Letters of five or more are left as they are.
      {"%MOIWX", 0, 0, 0, "MOIWX"},
      {"", 0, 0, 0, "     "},
      {"%ES", 0, 12, 0, "0000C"},
      {"%ES", 1, 4058, 0, "003UQ"},
      {"%ES", 2, 4058, 0, "003UQ"},
      // Out of the five base-32 digits, and negative: the empty code, padded.
      {"%ES", 0, 33554432, 0, "00000"},
      {"%ES", 0, -1, 0, "00000"},
      {"%ES", 0, 12, 1, "00012"},
      {"%ES", 0, 123456, 1, "123456"},
  };
  for (const FilterCase& c : cases) {
    HostSetAddressingMode(c.addressing);
    const std::string selects =
        std::string(c.prefix) == "%ES" ? kModule + c.selects + "')" : "OBJET = '" + c.selects + "'";
    EXPECT_EQ(std::string(data.BuildObjectFilter(c.prefix, c.mode, c.module, 0, false)),
              selects + kLive)
        << c.prefix << " " << c.mode << " " << c.module;
  }
  HostSetAddressingMode(0);
}

}  // namespace
