// The two searches hosts reach through the object's virtual table. They talk
// to the engine directly: nothing is reported and engine results come back
// untranslated.

#include <cstring>

#include "address/key_text.h"
#include "frame/checked_calls.h"
#include "storage/base_files.h"
#include "storage/tb_data.h"
#include "symbase/host.h"

using namespace symbase;

int CTBData::SearchSymbolAnalex(const char* repere, char* symbole, int size) {
  if (repere == nullptr || symbole == nullptr || size < kSymboleWidth + 1) return TB_NO_ROW;
  if (std::strlen(repere) > static_cast<std::size_t>(kRepereWidth)) return TB_NO_ROW;
  xbase::TagSelect(m_mainTable, m_tagRepere);
  const int result = xbase::TableSeek(m_mainTable, BlankPadded(repere, kRepereWidth));
  if (result != 0) return result;
  xbase::TagSelect(m_mainTable, nullptr);
  xbase::FieldCopy(m_fieldSymbole, symbole, kSymboleWidth + 1);
  return TrimRightBlanks(symbole, kSymboleWidth) == 0 ? TB_NO_ROW : 0;
}

int CTBData::SearchRepereAnalex(char* symbole, char* repere, int size) {
  if (symbole == nullptr || repere == nullptr || size < kRepereWidth + 1) return TB_NO_ROW;
  if (std::strlen(symbole) > static_cast<std::size_t>(kSymboleWidth)) return TB_NO_ROW;
  PrepareSymbol(symbole);
  xbase::TagSelect(m_mainTable, m_tagSymbole);
  const int result = xbase::TableSeek(m_mainTable, BlankPadded(symbole, kSymboleWidth));
  if (result != 0) return result;
  xbase::TagSelect(m_mainTable, nullptr);
  xbase::FieldCopy(m_fieldRepere, repere, kRepereWidth + 1);
  TrimRightBlanks(repere, kRepereWidth);
  return 0;
}
