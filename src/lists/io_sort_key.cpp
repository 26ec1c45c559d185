// Sort keys of the I/O list.

#include "lists/io_sort_key.h"

#include <initializer_list>

#include "address/decode_repere.h"
#include "lists/io_text.h"

namespace symbase {
namespace {

// Keys of the module's own elements, which come before all others.
constexpr DWORD kModuleChannelKey = 1;   // "%CH..MOD"
constexpr DWORD kModuleErrorKey = 2;     // "%I..MOD.ERR"
constexpr DWORD kModuleWordZeroKey = 3;  // a "%MW..MOD" whose key would be 0

constexpr DWORD kInd2Weight = 1000000;
// Letters outside the table go after every element whose IND2 is below 100.
constexpr DWORD kOtherLetterBase = 99999999;

// Class offsets of one object letter by its size letter.
struct SizeOffsets {
  DWORD byte;
  DWORD word;
  DWORD double_word;
  DWORD floating;
  DWORD other;
};
constexpr DWORD kChannelOffset = 1000;
constexpr DWORD kInputErrorOffset = 2000;
constexpr SizeOffsets kInputs{3000, 4000, 5000, 6000, 3000};
constexpr SizeOffsets kOutputs{7000, 8000, 9000, 10000, 7000};
constexpr SizeOffsets kMemory{11000, 12000, 13000, 14000, 0};
constexpr SizeOffsets kConstants{15000, 16000, 17000, 18000, 0};

DWORD OffsetBySize(const SizeOffsets& offsets, char size) {
  switch (size) {
    case 'B':
      return offsets.byte;
    case 'W':
      return offsets.word;
    case 'D':
      return offsets.double_word;
    case 'F':
      return offsets.floating;
    default:
      return offsets.other;
  }
}

void Decode(const CString& element, DecodedRepere& work) {
  // Assigning "" keeps each buffer for the next element; Empty() frees it.
  for (CString* text : {&work.objet, &work.ind1, &work.ind2, &work.ind3, &work.ind4}) *text = "";
  DecodeRepere(element, work.objet, work.ind1, work.ind2, work.ind3, work.ind4);
}

// An absent IND3 sorts like IND3 1; an absent IND4 like IND4 0.
DWORD Ind3Part(const CString& ind3) { return ind3.IsEmpty() ? 10u : IndexNumber(ind3) * 10u; }
DWORD Ind4Part(const CString& ind4) { return ind4.IsEmpty() ? 0u : IndexNumber(ind4); }

// "%MW..MOD": by IND2 and IND3 only, an absent one counting as 1.
DWORD ModuleWordKey(const DecodedRepere& work) {
  const DWORD key = (work.ind2.IsEmpty() ? 100u : IndexNumber(work.ind2) * 100u) +
                    (work.ind3.IsEmpty() ? 10u : IndexNumber(work.ind3) * 10u);
  return key == 0 ? kModuleWordZeroKey : key;
}

}  // namespace

DWORD IndexNumber(const CString& text) {
  const char* p = text.GetString();
  while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
  DWORD value = 0;
  for (; *p >= '0' && *p <= '9'; ++p) value = value * 10u + static_cast<DWORD>(*p - '0');
  return value;
}

DWORD IoSortKey(const CString& element, DecodedRepere& work) {
  const char letter = element[1];
  if (letter == 'C' && HeadFind(element, "CH") == 1 && Contains(element, "MOD")) {
    return kModuleChannelKey;
  }
  if (letter == 'I' && Contains(element, "MOD.ERR")) return kModuleErrorKey;

  Decode(element, work);
  if (letter == 'M' && HeadFind(element, "W") == 2 && Contains(element, "MOD")) {
    return ModuleWordKey(work);
  }
  const DWORD tail = Ind3Part(work.ind3) + Ind4Part(work.ind4);
  const char size = element[2];
  DWORD offset = 0;
  switch (letter) {
    case 'C':
      offset = kChannelOffset;
      break;
    case 'I':
      offset = Contains(element, "ERR") ? kInputErrorOffset : OffsetBySize(kInputs, size);
      break;
    case 'Q':
      offset = OffsetBySize(kOutputs, size);
      break;
    case 'M':
      offset = OffsetBySize(kMemory, size);
      break;
    case 'K':
      offset = OffsetBySize(kConstants, size);
      break;
    default:
      return kOtherLetterBase + tail;
  }
  return IndexNumber(work.ind2) * kInd2Weight + offset + tail;
}

}  // namespace symbase
