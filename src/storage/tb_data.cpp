#include "storage/tb_data.h"

#include "storage/base_access.h"

IMPLEMENT_DYNAMIC(CTBData, CObject)

CTBData::CTBData()
    : m_nwxFamily("NWX  "),
      m_nwFamily("NW   "),
      m_viwxFamily("VIWX "),
      m_vqwxFamily("VQWX "),
      m_vmwxFamily("VMWX "),
      m_vkwxFamily("VKWX "),
      m_moiwxFamily("MOIWX"),
      m_moqwxFamily("MOQWX"),
      m_momwxFamily("MOMWX"),
      m_mokwxFamily("MOKWX"),
      m_blankInd2("     "),
      m_blankInd3("     "),
      m_blankInd4("  "),
      m_blankSymbole(' ', 32) {}

CTBData::~CTBData() = default;

void CTBData::MarkModified() {
  m_modified = 1;
  m_lastModification = CTime::GetCurrentTime();
}

int CTBData::LastModificationDate(long* date) {
  if (m_modified == 1) {
    *date = static_cast<long>(m_lastModification.GetTime());
    return 0;
  }
  *date = 0;
  return -1;
}
