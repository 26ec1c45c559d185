// Creating, modifying and deleting single objects.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "src/objects/objects_test.h"

namespace {

using objects_test::Texts;

class ObjectRows : public objects_test::ObjectsTest {
 protected:
  long Date() {
    long date = 0;
    EXPECT_EQ(TBLastModificationDate(base, &date), 0);
    return date;
  }
  void Reopen() {
    ASSERT_EQ(TBCloseBaseSymbol(base), 0);
    ASSERT_EQ(TBOpenBaseSymbol(base, dir.slash().c_str()), 0);
  }
};

// A blank or trimmed symbol, a symbol already carried: 101 and the address
// that carries it.
TEST_F(ObjectRows, CreateWritesTheSymbolAndComment) {
  Create("%MW10", "Pump_1", "the pump");
  EXPECT_GT(Date(), 0);
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
// comment leaves a blank comment row); other modes change nothing but still
// date the base. The object's own symbol is taken (101); an unknown address
// changes nothing.
TEST_F(ObjectRows, ModifyBySymbolCommentOrBoth) {
  CreateAll({"%MW1|Old|kept", "%MW2|Pump|", "%MW3|Pump3|first", "%MW4|Own|", "%MW5|Five|"});
  Reopen();
  long date = 0;
  EXPECT_EQ(TBLastModificationDate(base, &date), -1);  // not modified since opening
  CTBObjetAts other("%MW5", "Valve", "text", 0, -1);
  EXPECT_EQ(TBModifyObject(base, &other, 5), 0);
  EXPECT_GT(Date(), 0);
  const struct {
    const char* object;
    int mode, result;
    const char* objectAfter;  // "address|symbol|comment" of the object passed in
  } cases[] = {
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

// Both rows are marked, not removed; the symbol is free again. A row marked
// commented whose comment row is lost: the failed comment deletion is the
// result.
TEST_F(ObjectRows, DeleteMarksBothRows) {
  CreateAll({"%MW10|Pump|commented", "%MW11|Valve|", "%MW13||lost"});
  Reopen();
  CTBObjetAts first("%MW10", "", "", 0, -1);
  EXPECT_EQ(TBDelObject(base, &first), 0);
  EXPECT_GT(Date(), 0);  // the deletion dates the base
  CTBObjetAts second("%MW11", "", "", 0, -1);
  EXPECT_EQ(TBDelObject(base, &second), 0);
  EXPECT_EQ(MainRows().size(), 3u);
  Create("%MW12", "Pump");
  CTBObjetAts missing("%MW10", "", "", 0, -1);
  EXPECT_EQ(TBDelObject(base, &missing), 103);
  ASSERT_EQ(base->DeleteComment(LiveRow("%MW13").key.c_str()), 0);
  CTBObjetAts lost("%MW13", "", "", 0, -1);
  EXPECT_EQ(TBDelObject(base, &lost), 102);
  EXPECT_EQ(Rows(), Texts({"%MW12|Pump|"}));
}

}  // namespace
