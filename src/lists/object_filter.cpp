// The xBase filter that selects the rows of one object kind.

#include "address/key_text.h"
#include "address/object_key.h"
#include "storage/base_files.h"
#include "storage/tb_data.h"
#include "symbase/host.h"

using namespace symbase;

namespace {

// The IND1 text of a module number, as the rows of module objects carry it:
// base 32 unless decimal module numbering is in force ("" -> "00000" when the
// number does not fit in five base-32 digits).
CString ModuleInd1(int moduleNumber) {
  CString text;
  if (GetAddressingMode() == 1) {
    text.Format("%d", moduleNumber);
  } else {
    char digits[6];
    EncodeIndex32(static_cast<unsigned long>(static_cast<unsigned int>(moduleNumber)), digits);
    text = digits;
  }
  return ZeroPadded(text, kIndWidth);
}

}  // namespace

CString CTBData::ObjetText(const CString& prefix, int subObjectMode) {
  CString letters = prefix.Mid(1);
  const bool bits_only = letters == "M" || letters == "S";
  if (subObjectMode == 0 || subObjectMode == 1 || bits_only) {
    if (subObjectMode == 1 || bits_only) letters += "X";
    letters = BlankPadded(letters, kObjetWidth);
  }
  return letters;
}

CString CTBData::BuildObjectFilter(const CString& prefix, int subObjectMode, int moduleNumber,
                                   int withSymbol, bool symbolTest) {
  const CString letters = prefix.Mid(1);
  CString filter;
  if (letters == "ES") {
    filter = "((OBJET = 'V' .OR. OBJET = 'MO') .AND. IND1 = '" + ModuleInd1(moduleNumber) + "')";
  } else {
    filter = "OBJET = '" + ObjetText(prefix, subObjectMode) + "'";
  }
  filter += " .AND. .NOT. DELETED()";
  if (symbolTest) {
    filter += withSymbol != 0 ? " .AND. SYMBOLE <> '" : " .AND. SYMBOLE = '";
    filter += m_blankSymbole + "'";
  }
  return filter;
}
