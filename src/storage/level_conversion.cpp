// Conversion of a level 1 base, whose module numbers are written in decimal,
// into a level 2 base, where they are written in base 32. Run once per base
// by the host: nothing in the files records the level, and a second run
// reads the base-32 digits as decimal up to their first letter.

#include "address/key_text.h"
#include "address/object_key.h"
#include "frame/checked_calls.h"
#include "storage/base_files.h"
#include "storage/tb_data.h"

using namespace symbase;

namespace {

// Rows of module objects and module status words with a module number.
const char kModuleRowFilter[] = "(OBJET = 'V' .OR. OBJET = 'MO') .AND. IND1 <> '     '";

}  // namespace

int CTBData::TransformL1ToL2(int /*ignored*/) {
  xbase::TagSelect(m_mainTable, nullptr);
  ConvertModuleIndexes(m_mainTable, m_fieldInd1);
  xbase::TagSelect(m_commentTable, nullptr);
  ConvertModuleIndexes(m_commentTable, m_fieldCmtInd1);
  return 0;
}

int CTBData::ConvertModuleIndexes(xbase::Table* table, xbase::Field* ind1) {
  m_relation = xbase::RelationCreate(table);
  CheckedRelationQuerySet(m_relation, kModuleRowFilter);
  int result = CheckedRelationTop(m_relation);
  char text[kIndWidth + 1];
  char digits[kIndWidth + 1];
  while (result == 0) {
    text[0] = '\0';
    xbase::FieldCopy(ind1, text, sizeof text);
    // Five decimal digits at most: always within the five base-32 digits.
    EncodeIndex32(LeadingNumber(text), digits);
    result = xbase::FieldAssign(ind1, digits);
    // A row that cannot be written ends the walk rather than being passed over.
    if (result != 0) {
      result = result == xbase::kLocked ? TB_LOCKED_BY_OTHER : result;
      break;
    }
    result = CheckedRelationSkip(m_relation, 1);
  }
  xbase::TagSelect(table, nullptr);
  CheckedRelationFree(m_relation);
  m_relation = nullptr;
  return result == TB_NO_ROW ? 0 : result;
}
