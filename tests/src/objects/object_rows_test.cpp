// Creating, modifying and deleting single objects.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "src/objects/objects_test.h"

namespace {

using objects_test::Texts;

class ObjectRows : public objects_test::ObjectsTest {};

// A blank or trimmed symbol, a symbol already carried: 101 and the address
// that carries it.
TEST_F(ObjectRows, CreateWritesTheSymbolAndComment) {
  Create("%MW10", "Pump_1", "the pump");
  Create("%MW1", "                                ");
  CTBObjetAts spaced("%MW4", "", "", 0, -1);
  spaced.m_symbole = "  Spaced  ";  // the host's preparation trims it
  ASSERT_EQ(TBCreateObject(base, &spaced), 0);
  CTBObjetAts taken("%MW11", "Pump_1", "ignored", 0, -1);
  EXPECT_EQ(TBCreateObject(base, &taken), 101);
  EXPECT_STREQ(taken.m_repere, "%MW10");
  EXPECT_EQ(Rows(), Texts({"%MW10|Pump_1|the pump", "%MW1||", "%MW4|Spaced|"}));
}

// Mode 0 the symbol only (the object's comment emptied), 1 the comment only
// (the object's symbol emptied, a used one ignored), 2 both (an empty
// comment leaves a blank comment row); other modes change nothing. The
// object's own symbol is taken (101); an unknown address changes nothing.
TEST_F(ObjectRows, ModifyBySymbolCommentOrBoth) {
  CreateAll({"%MW1|Old|kept", "%MW2|Pump|", "%MW3|Pump3|first", "%MW4|Own|", "%MW5|Five|"});
  const struct {
    const char* object;
    int mode, result;
    const char* objectAfter;  // "address|symbol|comment" of the object passed in
  } cases[] = {
      {"%MW5|Valve|text", 5, 0, "%MW5|Valve|text"},
      {"%MW1|New|not written", 0, 0, "%MW1|New|"},
      {"%MW2|Own|now commented", 1, 0, "%MW2||now commented"},
      {"%MW3|Valve|", 2, 0, "%MW3|Valve|"},
      {"%MW4|Own|", 0, 101, "%MW4|Own|"},
      {"%MW99|Other|", 2, 102, "%MW99|Other|"},
  };
  for (const auto& c : cases) {
    const Texts f = objects_test::Fields(c.object);
    CTBObjetAts object(f[0].c_str(), f[1].c_str(), "", 0, -1);
    object.m_commentaire = f[2].c_str();
    EXPECT_EQ(TBModifyObject(base, &object, c.mode), c.result) << c.object;
    CString repere = object.m_repere;
    repere.TrimRight();
    EXPECT_EQ(repere + "|" + object.m_symbole + "|" + object.m_commentaire, c.objectAfter);
  }
  EXPECT_EQ(Rows(), Texts({"%MW1|New|kept", "%MW2|Pump|now commented", "%MW3|Valve|", "%MW4|Own|",
                           "%MW5|Five|"}));
}

// Not modified since opening, then dated by a creation, by a modification
// in any mode and by a deletion.
TEST_F(ObjectRows, EachChangeDatesTheBase) {
  const std::function<int(CTBObjetAts*)> changes[] = {
      [this](CTBObjetAts* o) { return TBCreateObject(base, o); },
      [this](CTBObjetAts* o) {
        o->m_symbole = "C";
        return TBModifyObject(base, o, 5);
      },
      [this](CTBObjetAts* o) { return TBDelObject(base, o); }};
  for (const auto& change : changes) {
    ASSERT_EQ(TBCloseBaseSymbol(base), 0);
    ASSERT_EQ(TBOpenBaseSymbol(base, dir.slash().c_str()), 0);
    long date = 0;
    EXPECT_EQ(TBLastModificationDate(base, &date), -1);
    CTBObjetAts object("%MW2", "B", "", 0, -1);
    EXPECT_EQ(change(&object), 0);
    EXPECT_EQ(TBLastModificationDate(base, &date), 0);
    EXPECT_GT(date, 0);
  }
}

// Both rows are marked, not removed; the symbol is free again.
TEST_F(ObjectRows, DeleteMarksBothRows) {
  CreateAll({"%MW10|Pump|commented", "%MW11|Valve|"});
  for (const char* repere : {"%MW10", "%MW11"}) {
    CTBObjetAts object(repere, "", "", 0, -1);
    EXPECT_EQ(TBDelObject(base, &object), 0);
  }
  EXPECT_EQ(MainRows().size(), 2u);
  Create("%MW12", "Pump");
  CTBObjetAts missing("%MW10", "", "", 0, -1);
  EXPECT_EQ(TBDelObject(base, &missing), 103);
  EXPECT_EQ(Rows(), Texts({"%MW12|Pump|"}));
}

}  // namespace
