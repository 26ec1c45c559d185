// The object record: what its constructors and Init keep.

#include <gtest/gtest.h>

#include "symbase/tabis.h"

namespace {

TEST(ObjetAts, DefaultIsEmptyWithUnsetTypeAndFlag) {
  const CTBObjetAts object;
  EXPECT_TRUE(object.m_repere.IsEmpty());
  EXPECT_TRUE(object.m_symbole.IsEmpty());
  EXPECT_TRUE(object.m_commentaire.IsEmpty());
  EXPECT_EQ(object.m_type, 0xFFFFFFFFu);
  EXPECT_EQ(object.m_flag, -1);
}

TEST(ObjetAts, AddressAndSymbolStopAtTheFirstBlankCommentStaysWhole) {
  const CTBObjetAts object("%MW10 and more", "Pump_1 second", " a  comment ", 5, 3);
  EXPECT_STREQ(object.m_repere, "%MW10");
  EXPECT_STREQ(object.m_symbole, "Pump_1");
  EXPECT_STREQ(object.m_commentaire, " a  comment ");
  EXPECT_EQ(object.m_type, 5u);
  EXPECT_EQ(object.m_flag, 3);
}

TEST(ObjetAts, LeadingBlankGivesAnEmptyMember) {
  const CTBObjetAts object(" %MW10", " Pump", "", 0, -1);
  EXPECT_TRUE(object.m_repere.IsEmpty());
  EXPECT_TRUE(object.m_symbole.IsEmpty());
}

TEST(ObjetAts, InitReplacesAllFiveMembers) {
  CTBObjetAts object("%MW1", "One", "first", 1, 1);
  object.Init("%MW2", "Two", "", 0xFFFFFFFF, -1);
  EXPECT_STREQ(object.m_repere, "%MW2");
  EXPECT_STREQ(object.m_symbole, "Two");
  EXPECT_TRUE(object.m_commentaire.IsEmpty());
  EXPECT_EQ(object.m_type, 0xFFFFFFFFu);
  EXPECT_EQ(object.m_flag, -1);
}

TEST(ObjetAts, IsAFrameworkObject) {
  CTBObjetAts object;
  CObject* base = &object;
  EXPECT_TRUE(base->IsKindOf(RUNTIME_CLASS(CObject)));
}

TEST(L4Link, AssignmentCopiesBothLinks) {
  l4linkSt a{nullptr, nullptr};
  l4linkSt b{&a, &a};
  l4linkSt c{nullptr, nullptr};
  l4linkSt& result = (c = b);
  EXPECT_EQ(&result, &c);
  EXPECT_EQ(c.n, &a);
  EXPECT_EQ(c.p, &a);
}

}  // namespace
