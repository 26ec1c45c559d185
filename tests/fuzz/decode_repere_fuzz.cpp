// Any text through the address decoding and the key encoding (which also runs
// the host's analyser on bus module addresses): no crash, no read outside
// the text.

#include <cstddef>
#include <cstdint>
#include <string>

#include "address/decode_repere.h"
#include "address/object_key.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const CString address(text.c_str());
  CString objet, ind1, ind2, ind3, ind4;
  symbase::DecodeRepere(address, objet, ind1, ind2, ind3, ind4);
  symbase::EncodeRepere(address);
  return 0;
}
