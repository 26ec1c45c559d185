// Any text through the address decoding and the key encoding (which also runs
// the host's analyser on bus module addresses): no crash, no read outside
// the text.

#include <cstddef>
#include <cstdint>
#include <string>

#include "storage/tb_data.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static CTBData* const base = new CTBData;
  const std::string text(reinterpret_cast<const char*>(data), size);
  const CString address(text.c_str());
  CString objet, ind1, ind2, ind3, ind4;
  base->DecodeRepere(address, objet, ind1, ind2, ind3, ind4);
  AddressKey key;
  base->EncodeRepere(address, &key);
  return 0;
}
