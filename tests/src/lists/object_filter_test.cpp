// The filter of one object kind: its text, and the rows it selects when the
// engine runs it.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/symbol_base.h"
#include "symbase/host.h"

namespace {

const std::string kBlankSymbol(32, ' ');

class ObjectFilterText : public testing_support::HostTest {
 protected:
  std::string Filter(const char* prefix, int mode, int module = 0, int withSymbol = 0,
                     bool symbolTest = false) {
    return std::string(data.BuildObjectFilter(prefix, mode, module, withSymbol, symbolTest));
  }
  CTBData data;
};

TEST_F(ObjectFilterText, ModeDecidesPaddingAndBitForm) {
  EXPECT_EQ(Filter("%MW", 0), "OBJET = 'MW   ' .AND. .NOT. DELETED()");
  EXPECT_EQ(Filter("%MW", 1), "OBJET = 'MWX  ' .AND. .NOT. DELETED()");
  EXPECT_EQ(Filter("%MW", 2), "OBJET = 'MW' .AND. .NOT. DELETED()");
  EXPECT_EQ(Filter("%MW", -3), "OBJET = 'MW' .AND. .NOT. DELETED()");
  // %M and %S only exist as bits: always the padded bit form.
  EXPECT_EQ(Filter("%M", 0), "OBJET = 'MX   ' .AND. .NOT. DELETED()");
  EXPECT_EQ(Filter("%M", 2), "OBJET = 'MX   ' .AND. .NOT. DELETED()");
  EXPECT_EQ(Filter("%S", 2), "OBJET = 'SX   ' .AND. .NOT. DELETED()");
  // Letters of five or more are left as they are.
  EXPECT_EQ(Filter("%MOIWX", 0), "OBJET = 'MOIWX' .AND. .NOT. DELETED()");
  EXPECT_EQ(Filter("", 0), "OBJET = '     ' .AND. .NOT. DELETED()");
}

TEST_F(ObjectFilterText, SymbolTest) {
  EXPECT_EQ(Filter("%MW", 0, 0, 1, true),
            "OBJET = 'MW   ' .AND. .NOT. DELETED() .AND. SYMBOLE <> '" + kBlankSymbol + "'");
  EXPECT_EQ(Filter("%MW", 0, 0, 0, true),
            "OBJET = 'MW   ' .AND. .NOT. DELETED() .AND. SYMBOLE = '" + kBlankSymbol + "'");
  EXPECT_EQ(Filter("%MW", 0, 0, 7, false), "OBJET = 'MW   ' .AND. .NOT. DELETED()");
}

TEST_F(ObjectFilterText, ModuleOfInputsAndOutputs) {
  HostSetAddressingMode(0);
  EXPECT_EQ(Filter("%ES", 0, 12),
            "((OBJET = 'V' .OR. OBJET = 'MO') .AND. IND1 = '0000C') .AND. .NOT. DELETED()");
  EXPECT_EQ(Filter("%ES", 1, 4058), Filter("%ES", 2, 4058));
  EXPECT_NE(Filter("%ES", 1, 4058).find("IND1 = '003UQ'"), std::string::npos);
  // Out of the five base-32 digits, and negative: the empty code, padded.
  EXPECT_NE(Filter("%ES", 0, 33554432).find("IND1 = '00000'"), std::string::npos);
  EXPECT_NE(Filter("%ES", 0, -1).find("IND1 = '00000'"), std::string::npos);
  HostSetAddressingMode(1);
  EXPECT_NE(Filter("%ES", 0, 12).find("IND1 = '00012'"), std::string::npos);
  EXPECT_NE(Filter("%ES", 0, 123456).find("IND1 = '123456'"), std::string::npos);
  HostSetAddressingMode(0);
}

// The filter run by the engine over a real base.
class ObjectFilterRows : public testing_support::SymbolBaseTest {
 protected:
  std::vector<std::string> Selected(const CString& filter) {
    std::vector<std::string> rows;
    xbase::TagSelect(base->m_mainTable, nullptr);
    xbase::Relation* relation = xbase::RelationCreate(base->m_mainTable);
    EXPECT_EQ(xbase::RelationQuerySet(relation, filter), 0) << filter;
    for (int r = xbase::RelationTop(relation); r == 0; r = xbase::RelationSkip(relation, 1)) {
      rows.push_back(std::string(base->FieldText(base->m_fieldRepere, 36)));
    }
    xbase::RelationFree(relation, 0);
    return rows;
  }
};

TEST_F(ObjectFilterRows, SelectsTheObjectKind) {
  Create("%MW5", "Word");
  Create("%MW5:X3");
  Create("%MD2");
  Create("%M7", "Flag");
  Create("%MW6");
  CTBObjetAts gone("%MW6", "", "", 0, -1);
  ASSERT_EQ(TBDelObject(base, &gone), 0);

  using ::testing::ElementsAre;
  EXPECT_THAT(Selected(base->BuildObjectFilter("%MW", 0, 0, 0, false)), ElementsAre("%MW5"));
  EXPECT_THAT(Selected(base->BuildObjectFilter("%MW", 1, 0, 0, false)), ElementsAre("%MW5:X3"));
  EXPECT_THAT(Selected(base->BuildObjectFilter("%MW", 2, 0, 0, false)),
              ElementsAre("%MW5", "%MW5:X3"));
  EXPECT_THAT(Selected(base->BuildObjectFilter("%M", 0, 0, 0, false)), ElementsAre("%M7"));
  EXPECT_THAT(Selected(base->BuildObjectFilter("%MW", 2, 0, 1, true)), ElementsAre("%MW5"));
  EXPECT_THAT(Selected(base->BuildObjectFilter("%MW", 2, 0, 0, true)), ElementsAre("%MW5:X3"));
}

TEST_F(ObjectFilterRows, SelectsTheInputsAndOutputsOfOneModule) {
  Create("%I12.2");
  Create("%QW12.1:X4");
  Create("%IW12.MOD");
  Create("%I1.2");
  Create("%MW12");
  using ::testing::ElementsAre;
  EXPECT_THAT(Selected(base->BuildObjectFilter("%ES", 0, 12, 0, false)),
              ElementsAre("%I12.2", "%QW12.1:X4", "%IW12.MOD"));
  EXPECT_THAT(Selected(base->BuildObjectFilter("%ES", 0, 1, 0, false)), ElementsAre("%I1.2"));
}

}  // namespace
