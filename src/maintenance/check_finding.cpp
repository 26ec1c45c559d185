// The record of one finding of the check, or one action of the repair.

#include "symbase/maintenance.h"

IMPLEMENT_DYNAMIC(CTBCheckFinding, CObject)

CTBCheckFinding::CTBCheckFinding(int kind, const char* file, const char* text)
    : m_kind(kind), m_file(file), m_text(text) {}

CTBCheckFinding::~CTBCheckFinding() = default;
