#include "storage/symbol_text.h"

#include "symbase/host.h"

namespace symbase {

int PrepareSymbolText(CString& symbol) {
  char* text = symbol.GetBuffer(symbol.GetLength());
  const int result = PrepareSymbol(text);
  symbol.ReleaseBuffer();
  return result;
}

}  // namespace symbase
