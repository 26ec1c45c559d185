#include "storage/relation.h"

#include "frame/checked_calls.h"

namespace symbase {

int OpenRelation(CTBData& base, const CString& filter, const char* sort) {
  FreeRelation(base);
  base.m_relation = xbase::RelationCreate(base.m_mainTable);
  CheckedRelationQuerySet(base.m_relation, filter);
  if (sort != nullptr) CheckedRelationSortSet(base.m_relation, sort);
  return CheckedRelationTop(base.m_relation);
}

void FreeRelation(CTBData& base) {
  if (base.m_relation == nullptr) return;
  CheckedRelationFree(base.m_relation);
  base.m_relation = nullptr;
}

}  // namespace symbase
