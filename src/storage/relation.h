#ifndef SYMBASE_STORAGE_RELATION_H
#define SYMBASE_STORAGE_RELATION_H

#include "storage/tb_data.h"

// The storage object's current relation (a filter and an optional sort over
// the main table): one at a time, kept in CTBData::m_relation until freed.

namespace symbase {

// Creates a relation over the main table with a filter and, when `sort` is
// not null, a sort expression, keeps it as the current relation and puts it
// on its first row. A relation left open by an unfinished listing is freed
// first: that listing is over. Returns RelationTop's checked result (0, 102
// when no row passes, or a failure).
int OpenRelation(CTBData& base, const CString& filter, const char* sort);
// Frees the current relation, if any.
void FreeRelation(CTBData& base);

}  // namespace symbase

#endif
