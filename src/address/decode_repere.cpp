// Splitting an address text into the object code and its index texts.

#include "address/decode_repere.h"

#include <cstdlib>
#include <cstring>

#include "address/module_address.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads an address text left to right; every read is bounded by its length.
class Scanner {
 public:
  explicit Scanner(const CString& text) : text_(text), length_(text.GetLength()) {}

  bool AtEnd() const { return position_ >= length_; }
  char Peek() const { return AtEnd() ? '\0' : text_[position_]; }
  bool PeekIs(char c) const { return !AtEnd() && text_[position_] == c; }
  void Advance(int count) { position_ += count; }
  int position() const { return position_; }
  int* mutable_position() { return &position_; }

  // Appends to `target` from the current position until ".", ":" or "}" or
  // the end; always takes the character at the position when there is one.
  void Segment(CString& target) {
    if (AtEnd()) return;
    do {
      target += text_[position_++];
    } while (!AtEnd() && std::strchr(".:}", text_[position_]) == nullptr);
  }

 private:
  const char* text_;
  int length_;
  int position_ = 1;  // the "%" is not examined
};

// The object letters after the letter rules.
CString ApplyLetterRules(const CString& letters, const CString& address) {
  if (letters == "T") return "TI";
  if (letters == "S" || letters == "M" || letters == "I" || letters == "Q") return letters + "X";
  if (letters == "NW{") return "NW";
  if (letters == "X") {
    if (address.Find(".IN") >= 0 || address.Find(".OUT") >= 0) return "XM";
    const int point = address.Find('.');
    if (point >= 0 && point + 1 < address.GetLength() && IsDigit(address[point + 1])) return "XM";
  }
  return letters;
}

// The code of a named sub-field: its position in `names`, or nothing.
bool SubFieldCode(const CString& name, const char* const* names, CString& code) {
  for (int i = 0; names[i] != nullptr; ++i) {
    if (name == names[i]) {
      code.Format("%d", i);
      return true;
    }
  }
  return false;
}

// The code of a function-block sub-field from its first letter: the position
// of that letter in `letters`.
bool FirstLetterCode(const CString& name, const char* letters, CString& code) {
  if (name.IsEmpty()) return false;
  const char* found = std::strchr(letters, name[0]);
  if (found == nullptr) return false;
  code.Format("%d", static_cast<int>(found - letters));
  return true;
}

const char* const kStepFields[] = {"T", "TMIN", "TMAX", "ERR", nullptr};

}  // namespace

namespace symbase {

void DecodeRepere(const CString& repere, CString& objet, CString& ind1, CString& ind2,
                  CString& ind3, CString& ind4) {
  Scanner scan(repere);

  // Object letters, up to the first digit or backslash.
  CString letters;
  while (!scan.AtEnd()) {
    letters += scan.Peek();
    scan.Advance(1);
    if (IsDigit(scan.Peek()) || scan.PeekIs('\\')) break;
  }
  objet += ApplyLetterRules(letters, repere);

  // First index: a number, or a bus module address between backslashes.
  if (scan.PeekIs('\\')) {
    do {
      scan.Advance(1);
    } while (!scan.AtEnd() && !scan.PeekIs('\\'));
    unsigned int value = 0;
    CodeBusModule(repere, &value, scan.mutable_position());
    ind1.Format("%u", value);
  } else {
    scan.Segment(ind1);
  }

  // Separators and the parts after them.
  CString s1, s2, s3;
  bool colon = false;
  bool end = false;
  if (scan.AtEnd()) {
    end = true;
  } else if (scan.PeekIs(':')) {
    colon = end = true;
    scan.Advance(2);
    scan.Segment(s3);
  } else if (scan.PeekIs('.') || scan.PeekIs('\\') || scan.PeekIs('}')) {
    scan.Advance(1);
    if (scan.PeekIs('W')) scan.Advance(1);
    scan.Segment(s1);
    if (scan.PeekIs('.') || scan.PeekIs('}')) {
      scan.Advance(1);
      scan.Segment(s2);
      if (scan.PeekIs(':')) {
        colon = true;
        scan.Advance(2);
        scan.Segment(s3);
      } else if (scan.PeekIs('.')) {
        scan.Advance(1);
        scan.Segment(s2);
      }
    } else if (scan.PeekIs(':')) {
      colon = true;
      scan.Advance(2);
      scan.Segment(s3);
    }
  }

  // Assignment by family.
  if (end) {
    if (colon) {
      objet += "X";
      ind2 = s3;
    }
  } else if (objet == "X") {
    if (!s1.IsEmpty()) SubFieldCode(s1, kStepFields, ind2);
    objet += "X";
  } else if (objet == "XM") {
    if (!s1.IsEmpty()) ind2 = s1 == "IN" ? CString("9998") : s1 == "OUT" ? CString("9999") : s1;
    if (!s2.IsEmpty()) SubFieldCode(s2, kStepFields, ind3);
  } else if (objet == "TI" || objet == "TM" || objet == "MN" || objet == "C" || objet == "R") {
    const char* letters_of = objet == "TI"   ? "VPDR"
                             : objet == "TM" ? "VPQ"
                             : objet == "MN" ? "VPR"
                             : objet == "C"  ? "VPEDF"
                                             : "IOFE";
    FirstLetterCode(s1, letters_of, ind2);
    objet += "X";
  } else if (objet == "DR") {
    if (!FirstLetterCode(s1, "FSV", ind2)) ind2.Format("%d", std::atoi(s1) + 3);
    objet += "X";
  } else if (s1 == "MOD") {
    objet = "MO" + objet;
    ind2 = s2.IsEmpty() ? CString("0") : s2;
    ind3 = "0";
    if (colon) {
      objet += "X";
      ind4 = s3;
    }
  } else if (objet == "NW") {
    if (s2.IsEmpty()) {
      ind2 = ind1;
      ind1 = "0";
      ind3 = s1;
    } else {
      ind2 = s1;
      ind3 = s2;
    }
    if (colon) {
      objet += "X";
      ind4 = s3;
    }
  } else {
    objet = "V" + objet;
    ind2 = s1;
    ind3 = s2.IsEmpty() ? CString("0") : s2;
    if (colon) {
      objet += "X";
      ind4 = s3;
    }
  }
}

}  // namespace symbase
