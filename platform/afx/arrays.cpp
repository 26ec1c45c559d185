// The three array classes, all over ArrayCore.

#include "afx/array_core.h"

SYMBASE_AFX_IMPLEMENT_ARRAY(CStringArray, CString, const CString&)
SYMBASE_AFX_IMPLEMENT_ARRAY(CDWordArray, DWORD, DWORD)
SYMBASE_AFX_IMPLEMENT_ARRAY(CUIntArray, UINT, UINT)
