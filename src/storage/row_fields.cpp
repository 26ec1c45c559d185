// Reading fields of the current rows.

#include <cstring>
#include <string_view>

#include "address/key_text.h"
#include "storage/base_files.h"
#include "storage/tb_data.h"
#include "storage/text_match.h"

using namespace symbase;

namespace {

// The first `width` bytes of the field, less its trailing blanks when
// `trimmed`.
std::string_view FieldPrefix(xbase::Field* field, int width, bool trimmed) {
  std::string_view bytes = xbase::FieldBytes(field).substr(0, static_cast<std::size_t>(width));
  if (trimmed) bytes = bytes.substr(0, TrimmedLength(bytes.data(), bytes.size()));
  return bytes;
}

// The field's text: its prefix up to a NUL it may hold.
CString TextOf(std::string_view bytes) {
  return CString(bytes.data(), static_cast<int>(bytes.size()));
}

}  // namespace

CString CTBData::FieldText(xbase::Field* field, int width) {
  return TextOf(FieldPrefix(field, width, true));
}

CString CTBData::FieldRaw(xbase::Field* field, int width) {
  return TextOf(FieldPrefix(field, width, false));
}

void CTBData::ReadComment(CString& comment) {
  // Filled in place: a listing reads one comment per row.
  const std::string_view first = FieldPrefix(m_fieldCmt1, kCmtWidth, true);
  const std::string_view second = FieldPrefix(m_fieldCmt2, kCmtWidth, true);
  comment.SetString(first.data(), static_cast<int>(first.size()));
  comment.Append(second.data(), static_cast<int>(second.size()));
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
