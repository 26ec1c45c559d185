// The object record: what its constructors and Init keep.

#include <gtest/gtest.h>

#include <string>

#include "symbase/tabis.h"

namespace {

std::string Members(const CTBObjetAts& o) {
  return std::string(o.m_repere) + "|" + std::string(o.m_symbole) + "|" +
         std::string(o.m_commentaire) + "|" + std::to_string(o.m_type) + "|" +
         std::to_string(o.m_flag);
}

TEST(ObjetAts, ConstructorsAndInitKeepTheirMembers) {
  CTBObjetAts reinitialised("%MW1", "One", "first", 1, 1);
  reinitialised.Init("%MW2", "Two", "", 0xFFFFFFFF, -1);
  const struct {
    CTBObjetAts object;
    const char* members;
  } cases[] = {
      {CTBObjetAts(), "|||4294967295|-1"},
      // Address and symbol stop at the first blank, the comment stays whole.
      {CTBObjetAts("%MW10 and more", "Pump_1 second", " a  comment ", 5, 3),
       "%MW10|Pump_1| a  comment |5|3"},
      {CTBObjetAts(" %MW10", " Pump", "", 0, -1), "|||0|-1"},
      {reinitialised, "%MW2|Two||4294967295|-1"},
  };
  for (const auto& c : cases) EXPECT_EQ(Members(c.object), c.members);
}

}  // namespace
