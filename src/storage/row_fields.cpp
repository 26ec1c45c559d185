// Reading fields of the current rows.

#include <cstring>

#include "address/key_text.h"
#include "storage/base_files.h"
#include "storage/tb_data.h"

using namespace symbase;

CString CTBData::FieldText(xbase::Field* field, int width) {
  char buffer[kCmtWidth + 1] = {};
  xbase::FieldCopy(field, buffer, width + 1);
  TrimRightBlanks(buffer, width);
  return buffer;
}

CString CTBData::FieldRaw(xbase::Field* field, int width) {
  char buffer[kCmtWidth + 1] = {};
  xbase::FieldCopy(field, buffer, width + 1);
  return buffer;
}

CString CTBData::MainRowCommentKey() {
  return FieldRaw(m_fieldObjet, kObjetWidth) + FieldRaw(m_fieldInd1, kIndWidth) +
         FieldRaw(m_fieldInd2, kIndWidth) + FieldRaw(m_fieldInd3, kIndWidth) +
         FieldRaw(m_fieldInd4, kInd4Width);
}

bool CTBData::MainRowHasComment() { return FieldRaw(m_fieldIsCmt, kIsCmtWidth) == "O"; }

short CTBData::RowSubIndex(const char* objet) {
  char buffer[kIndWidth + 1] = {};
  xbase::Field* field = m_fieldInd2;
  int width = kIndWidth;
  if (std::strcmp(objet, m_nwxFamily) == 0 || std::strcmp(objet, m_nwFamily) == 0 ||
      IsModuleObject(objet)) {
    field = m_fieldInd4;
    width = kInd4Width;
  } else if (objet[0] == 'X' && objet[1] == 'M') {
    field = m_fieldInd3;
  }
  xbase::FieldCopy(field, buffer, width + 1);
  if (TrimRightBlanks(buffer, width) == 0) return -1;
  return static_cast<short>(LeadingNumber(buffer));
}
