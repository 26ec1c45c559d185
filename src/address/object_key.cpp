// Key fields from an address text or from a type and numbers.

#include "address/object_key.h"

#include "address/decode_repere.h"
#include "address/key_text.h"
#include "address/key_widths.h"
#include "symbase/host.h"

namespace symbase {
namespace {

constexpr unsigned long kLargestIndex32 = 33554431;  // "VVVVV"

bool DecimalModuleNumbering() { return GetAddressingMode() == 1; }

// IND1 of an object code: base 32 for module objects unless decimal module
// numbering is in force; the value's decimal text otherwise.
CString FirstIndexText(const CString& objet, long value) {
  CString text;
  if (IsModuleObject(objet) && !DecimalModuleNumbering()) {
    char digits[6];
    EncodeIndex32(static_cast<unsigned long>(value), digits);
    text = digits;
  } else {
    text.Format("%ld", value);
  }
  return text;
}

}  // namespace

int EncodeIndex32(unsigned long value, char* out) {
  out[0] = '\0';
  if (value > kLargestIndex32) return 1;
  static const char kDigits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUV";
  int length = 0;
  for (unsigned long divisor = 1048576; divisor != 0; divisor /= 32) {
    out[length++] = kDigits[value / divisor];
    value %= divisor;
  }
  out[length] = '\0';
  return 0;
}

AddressKey EncodeRepere(const CString& repere) {
  CString objet, ind1, ind2, ind3, ind4;
  DecodeRepere(repere, objet, ind1, ind2, ind3, ind4);
  if (IsModuleObject(objet) && !DecimalModuleNumbering()) {
    char digits[6];
    EncodeIndex32(LeadingNumber(ind1), digits);  // "" when out of range
    ind1 = digits;
  }
  return {objet, ZeroPadded(ind1, kIndWidth), ind2.IsEmpty() ? ind2 : ZeroPadded(ind2, kIndWidth),
          ind3.IsEmpty() ? ind3 : ZeroPadded(ind3, kIndWidth),
          ind4.IsEmpty() ? ind4 : ZeroPadded(ind4, kInd4Width)};
}

void BuildObjectKey(CString& prefix, CString& objet, int bitFlag, int ind1, int ind2, int ind3) {
  if (prefix == "%M" || prefix == "%S" || bitFlag != 0) prefix += "X";
  objet = BlankPadded(prefix.Mid(1), kObjetWidth);
  CString key = objet + ZeroPadded(FirstIndexText(objet, ind1), kIndWidth);
  CString number;
  if (ind2 != -1) {
    number.Format("%d", ind2);
    key += ZeroPadded(number, kIndWidth);
  }
  if (ind3 != -1) {
    number.Format("%d", ind3);
    key += ZeroPadded(number, kIndWidth);
  }
  prefix = key;
}

void TypeToPrefix(unsigned short typeCode, int moduleFlag, int bitFlag, CString& out) {
  // Word kinds whose bit rows carry the bit in IND4: the module form or the
  // module status form.
  auto bits = [&](const char* module_word, const char* status_word) {
    if (bitFlag != 0) out = moduleFlag != 0 ? status_word : module_word;
  };
  switch (typeCode) {
    case 342:
      out = "%MW";
      break;
    case 401:
      out = "%C";
      break;
    case 411:
      out = "%DR";
      break;
    case 434:
      bits("VIWX ", "MOIWX");
      break;
    case 441:
      out = "%KB";
      break;
    case 442:
      out = "%KD";
      break;
    case 443:
      out = "%KF";
      break;
    case 444:
      out = "%KW";
      break;
    case 454:
      bits("VKWX ", "MOKWX");
      break;
    case 461:
      out = "%MB";
      break;
    case 462:
      out = "%MD";
      break;
    case 463:
      out = "%MF";
      break;
    case 464:
      out = "%M";
      break;
    case 474:
      bits("VMWX ", "MOMWX");
      break;
    case 481:
      out = "%MN";
      break;
    case 501:
      if (bitFlag != 0) out = "NWX  ";
      break;
    case 534:
      bits("VQWX ", "MOQWX");
      break;
    case 541:
      out = "%R";
      break;
    case 581:
      out = "%TI";
      break;
    case 591:
      out = "%TM";
      break;
    case 601:
      out = "%X";
      break;
    case 603:
    case 611:
      out = "%XM";
      break;
    default:
      break;
  }
}

}  // namespace symbase
