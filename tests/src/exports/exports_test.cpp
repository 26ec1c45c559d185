// The exported functions: null arguments refused.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "support/symbol_base.h"

namespace {

using testing::ElementsAre;
using testing_support::ReportIs;

class NullArguments : public testing_support::SymbolBaseTest {};

TEST_F(NullArguments, AreRefusedWithOneReportEach) {
  Create("%MW1", "One", "first");
  CTBObjetAts object("%MW2", "Two", "", 0, -1);
  CObList list;
  int number = 0;
  long value = 0;
  unsigned int packed = 0;
  UsAts word{};
  const struct {
    int operation;
    std::function<int()> call;
  } cases[] = {
      {505, [&] { return TBCreateObject(base, nullptr); }},
      {506, [&] { return TBModifyObject(base, nullptr, 2); }},
      {507, [&] { return TBDelObject(base, nullptr); }},
      {508, [&] { return TBInsertObject(base, nullptr, 0); }},
      {509, [&] { return TBSearchSymbol(base, nullptr); }},
      {510, [&] { return TBSearchRepere(base, nullptr); }},
      {511, [&] { return TBSearchAttrib(base, nullptr, 0); }},
      {527, [&] { return TBIsObjectBase(base, nullptr); }},
      {536, [&] { return TBLastModificationDate(base, nullptr); }},
      {512, [&] { return TBListRepere(base, "%MW", 0, 9, 50, nullptr); }},
      {512, [&] { return TBListRepereModule(base, "%XM", 1, 5, 0, 4, 50, nullptr); }},
      {513, [&] { return TBListRepereSousObjet(base, "%MW", 1, 50, nullptr); }},
      {513, [&] { return TBListRepereModuleSousObjet(base, "%XM", 1, 5, 3, 4, nullptr); }},
      {514, [&] { return TBListRepereTroisIndicesSousObjet(base, "%X", 1, 1, 1, 50, nullptr); }},
      {515, [&] { return TBListRepereByTypeObject(base, "%MW", 0, nullptr, &list, &number); }},
      {515, [&] { return TBListRepereByTypeObject(base, "%MW", 0, &number, &list, nullptr); }},
      {516, [&] { return TBListSymbolByTypeObject(base, "%MW", 0, 1, 1, &list, nullptr, 0); }},
      {516, [&] { return TBListSymbolByTypeObject(base, "%MW", 0, 1, 1, nullptr, &number, 0); }},
      {517, [&] { return TBListRepereAllBaseSymbol(base, nullptr, &list, &number); }},
      {525, [&] { return TBExportSymbol(base, "", 0, nullptr, &list, &number); }},
      {525, [&] { return TBExportSymbol(base, "", 0, &value, &list, nullptr); }},
      {526, [&] { return TBNumberObjectByType(base, "%MW", 0, nullptr); }},
      {522, [&] { return TBReconfDelObject(base, nullptr, 434, 0); }},
      {523, [&] { return TBReconfMoveModule(base, &word, nullptr); }},
      {528, [&] { return TBCodeChaineAdrModule(base, nullptr, &packed, &number); }},
      {528, [&] { return TBCodeChaineAdrModule(base, &word, &packed, nullptr); }},
      {500, [&] { return TBCreateBaseSymbol(base, nullptr, 0); }},
      {501, [&] { return TBDeleteBaseSymbol(base, nullptr); }},
      {502, [&] { return TBOpenBaseSymbol(base, nullptr); }},
      {504, [&] { return TBUnlockBaseSymbol(base, nullptr); }},
      {533, [&] { return (TBTriListeRepereES(base, nullptr), 0); }},
      {534, [&] { return (TBFiltrerListeRepereES(base, nullptr), 0); }},
      {519, [&] { return (TBInitTabisDll(nullptr), 0); }},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.call(), 0) << c.operation;
    EXPECT_THAT(HostErrorReports(), ElementsAre(ReportIs(c.operation, 423, "Tabisfctex")))
        << c.operation;
    HostClearRecords();
  }
  EXPECT_EQ(list.GetCount(), 0);
  EXPECT_EQ(LiveRowCount(), 1);
  EXPECT_EQ(TBCreateObject(base, &object), 0);
  EXPECT_EQ(LiveRowCount(), 2);
}

}  // namespace
