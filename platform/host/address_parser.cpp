#include "host/address_parser.h"

#include <cstring>

#include "host/address_writer.h"
#include "symbase/host.h"

namespace host {

namespace {

enum class Family { kWord, kModuleOnly, kStep, kMacroStep, kBlock, kNetwork };

// What may follow an object's letters.
struct ObjectSyntax {
  const char* letters;
  Family family;
  std::int32_t kind;
  std::int32_t bit_kind;  // kind of a bit of this word; 0: no bits
  bool module;            // module forms (%IW3.1, %IW3.MOD, %IW\1.0.5\0.2) allowed
  std::uint32_t fields;   // blocks: sub-field names allowed, one bit per UsAtsName
  bool numbered_field;    // blocks: a number may stand for the sub-field (%DR1.6)
};

constexpr std::uint32_t Names(std::initializer_list<UsAtsName> names) {
  std::uint32_t mask = 0;
  for (UsAtsName name : names) mask |= 1u << name;
  return mask;
}

constexpr std::uint32_t kStepFields = Names({kNameT, kNameTMIN, kNameTMAX, kNameERR});

const ObjectSyntax kObjects[] = {
    {"M", Family::kWord, 464, 0, false, 0, false},
    {"MB", Family::kWord, 461, 0, false, 0, false},
    {"MW", Family::kWord, 342, 474, true, 0, false},
    {"MD", Family::kWord, 462, 0, true, 0, false},
    {"MF", Family::kWord, 463, 0, false, 0, false},
    {"KB", Family::kWord, 441, 0, false, 0, false},
    {"KW", Family::kWord, 444, 454, true, 0, false},
    {"KD", Family::kWord, 442, 0, true, 0, false},
    {"KF", Family::kWord, 443, 0, false, 0, false},
    {"S", Family::kWord, 360, 0, false, 0, false},
    {"SW", Family::kWord, 361, 371, false, 0, false},
    {"SD", Family::kWord, 362, 0, false, 0, false},
    {"I", Family::kModuleOnly, 430, 0, true, 0, false},
    {"IW", Family::kModuleOnly, 433, 434, true, 0, false},
    {"ID", Family::kModuleOnly, 432, 0, true, 0, false},
    {"Q", Family::kModuleOnly, 530, 0, true, 0, false},
    {"QW", Family::kModuleOnly, 533, 534, true, 0, false},
    {"QD", Family::kModuleOnly, 532, 0, true, 0, false},
    {"X", Family::kStep, 601, 0, false, kStepFields, false},
    {"XM", Family::kMacroStep, 603, 0, false, 0, false},
    {"T", Family::kBlock, 581, 0, false, Names({kNameV, kNameP, kNameD, kNameR}), false},
    {"TI", Family::kBlock, 581, 0, false, Names({kNameV, kNameP, kNameD, kNameR}), false},
    {"TM", Family::kBlock, 591, 0, false, Names({kNameV, kNameP, kNameQ}), false},
    {"MN", Family::kBlock, 481, 0, false, Names({kNameV, kNameP, kNameR}), false},
    {"C", Family::kBlock, 401, 0, false, Names({kNameV, kNameP, kNameE, kNameD, kNameF}), false},
    {"R", Family::kBlock, 541, 0, false, Names({kNameI, kNameO, kNameF, kNameE}), false},
    {"DR", Family::kBlock, 411, 0, false, Names({kNameF, kNameS, kNameV}), true},
    {"NW", Family::kNetwork, 500, 501, false, 0, false},
};

constexpr std::int32_t kStepOfMacroStep = 611;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

// Reads the text left to right; every read checks the end first.
class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}
  bool AtEnd() const { return at_ == text_.size(); }
  bool Peek(char c) const { return !AtEnd() && text_[at_] == c; }

  bool Take(char c) {
    if (AtEnd() || Upper(text_[at_]) != c) return false;
    ++at_;
    return true;
  }

  // One or more digits worth at most `max`.
  bool Number(std::uint32_t max, std::uint32_t* out) {
    std::size_t start = at_;
    std::uint32_t value = 0;
    while (!AtEnd() && IsDigit(text_[at_])) {
      value = value * 10 + static_cast<std::uint32_t>(text_[at_] - '0');
      if (value > max) return false;
      ++at_;
    }
    *out = value;
    return at_ > start;
  }

  // A run of letters, upper-cased into out[size]; false when none or too long.
  bool Letters(char* out, std::size_t size) {
    std::size_t length = 0;
    while (!AtEnd() && IsLetter(text_[at_])) {
      if (length + 1 >= size) return false;
      out[length++] = Upper(text_[at_++]);
    }
    out[length] = '\0';
    return length > 0;
  }

  // A sub-field name from `allowed`; kNameNone (nothing read) when the next
  // letters are not one.
  UsAtsName Name(std::uint32_t allowed) {
    std::size_t start = at_;
    char word[8];
    if (Letters(word, sizeof word)) {
      for (unsigned code = kNameNone + 1; code < kNameCount; ++code) {
        if ((allowed & (1u << code)) != 0 && std::strcmp(word, SubFieldName(code)) == 0) {
          return static_cast<UsAtsName>(code);
        }
      }
    }
    at_ = start;
    return kNameNone;
  }

 private:
  std::string_view text_;
  std::size_t at_ = 0;
};

// Builds the result one segment at a time.
class Builder {
 public:
  explicit Builder(UsAts* result) : result_(result) {}

  void Number(UsAtsSeparator separator, std::uint32_t number) { Add(separator, kNameNone, number); }
  void Name(UsAtsName name) { Add(kSepPoint, name, 0); }
  void Bit(std::uint32_t bit) {
    Add(kSepBit, kNameNone, bit);
    result_->bit = static_cast<std::int32_t>(bit);
  }
  void Component(std::uint32_t number) {
    UsAtsComponents& list = result_->components;
    if (list.count < kUsAtsComponents) list.item[list.count++] = number;
  }

 private:
  void Add(UsAtsSeparator separator, UsAtsName name, std::uint32_t number) {
    if (result_->segmentCount >= kUsAtsSegments) return;  // grammar never gets here
    result_->segment[result_->segmentCount++] = UsAtsSegment{separator, name, 0, number};
  }
  UsAts* result_;
};

struct Parse {
  Reader& in;
  Builder& out;
  UsAts* result;
  const ObjectSyntax& syntax;
};

bool OptionalBit(Parse& p) {
  if (!p.in.Take(':')) return true;
  std::uint32_t bit = 0;
  if (!p.in.Take('X') || !p.in.Number(kMaxBit, &bit) || p.syntax.bit_kind == 0) return false;
  p.out.Bit(bit);
  p.result->objectKind = p.syntax.bit_kind;
  return true;
}

// After a module's position (or bus address) and its point: "j[.k]" or
// "MOD[.j]", then a bit for word kinds.
bool ModuleTail(Parse& p) {
  std::uint32_t number = 0;
  if (p.in.Name(Names({kNameMOD})) == kNameMOD) {
    p.out.Name(kNameMOD);
    if (p.result->kindCode != kFormBusModule) p.result->kindCode = kFormModuleStatus;
  } else if (p.in.Number(kMaxNumber, &number)) {
    p.out.Number(kSepPoint, number);
    if (p.result->kindCode != kFormBusModule) p.out.Component(number);
  } else {
    return false;
  }
  if (p.in.Take('.')) {
    if (!p.in.Number(kMaxNumber, &number)) return false;
    p.out.Number(kSepPoint, number);
    if (p.result->kindCode != kFormBusModule) p.out.Component(number);
  }
  return OptionalBit(p);
}

// "\a.b.c\d." then the module tail; d is the value, a, b, c the components.
bool BusModule(Parse& p) {
  p.result->kindCode = kFormBusModule;
  constexpr char kMarks[] = {'\\', '.', '.', '\\'};
  constexpr UsAtsSeparator kSeparators[] = {kSepBackslash, kSepPoint, kSepPoint, kSepBackslash};
  std::uint32_t number = 0;
  for (std::size_t at = 0; at < 4; ++at) {
    if (!p.in.Take(kMarks[at]) || !p.in.Number(kMaxBusNumber[at], &number)) return false;
    p.out.Number(kSeparators[at], number);
    if (at < 3) p.out.Component(number);
  }
  p.result->value.number = number;  // d
  return p.in.Take('.') && ModuleTail(p);
}

// A position past five digits needs the base-32 key; the addressing mode is
// asked only then.
bool PositionFits(std::uint32_t position) {
  return position <= kMaxNumber || GetAddressingMode() != 1;
}

bool Word(Parse& p) {
  std::uint32_t index = 0;
  if (!p.in.Number(p.syntax.module ? kMaxModulePosition : kMaxNumber, &index)) return false;
  p.out.Number(kSepNone, index);
  p.result->value.number = index;
  if (p.syntax.module && p.in.Take('.')) {
    p.result->kindCode = kFormModule;
    return PositionFits(index) && ModuleTail(p);
  }
  if (p.syntax.family == Family::kModuleOnly || index > kMaxNumber) return false;
  return OptionalBit(p);
}

// %Xi, %Xi.T, %Xj.i, %Xj.IN, %Xj.i.TMAX, %Xj.OUT.ERR.
bool Step(Parse& p) {
  std::uint32_t index = 0;
  if (!p.in.Number(kMaxNumber, &index)) return false;
  p.out.Number(kSepNone, index);
  p.result->value.number = index;
  if (!p.in.Take('.')) return true;
  p.result->kindCode = kFormSubField;
  UsAtsName field = p.in.Name(kStepFields);
  if (field != kNameNone) {
    p.out.Name(field);
    return true;
  }
  p.result->objectKind = kStepOfMacroStep;
  std::uint32_t step = 0;
  UsAtsName end = p.in.Name(Names({kNameIN, kNameOUT}));
  if (end != kNameNone) {
    p.out.Name(end);
  } else if (p.in.Number(kMaxNumber, &step)) {
    p.out.Number(kSepPoint, step);
    p.out.Component(step);
  } else {
    return false;
  }
  if (!p.in.Take('.')) return true;
  field = p.in.Name(kStepFields);
  if (field == kNameNone) return false;
  p.out.Name(field);
  return true;
}

// %XMi, %TM1, %T2.D, %DR1.6.
bool Numbered(Parse& p) {
  std::uint32_t index = 0;
  if (!p.in.Number(kMaxNumber, &index)) return false;
  p.out.Number(kSepNone, index);
  p.result->value.number = index;
  if (p.syntax.family == Family::kMacroStep || !p.in.Take('.')) return true;
  p.result->kindCode = kFormSubField;
  UsAtsName field = p.in.Name(p.syntax.fields);
  std::uint32_t number = 0;
  if (field != kNameNone) {
    p.out.Name(field);
  } else if (p.syntax.numbered_field && p.in.Number(kMaxDrumStep, &number)) {
    p.out.Number(kSepPoint, number);
    p.out.Component(number);
  } else {
    return false;
  }
  return true;
}

// %NW{j}k and %NW{i.j}k, then an optional bit. The value is the word k.
bool Network(Parse& p) {
  p.result->kindCode = kFormNetwork;
  std::uint32_t number = 0;
  if (!p.in.Take('{') || !p.in.Number(kMaxNumber, &number)) return false;
  p.out.Number(kSepBraceOpen, number);
  p.out.Component(number);
  if (p.in.Take('.')) {
    if (!p.in.Number(kMaxNumber, &number)) return false;
    p.out.Number(kSepPoint, number);
    p.out.Component(number);
  }
  if (!p.in.Take('}') || !p.in.Number(kMaxNumber, &number)) return false;
  p.out.Number(kSepBraceClose, number);
  p.result->value.number = number;
  return OptionalBit(p);
}

const ObjectSyntax* FindObject(const char* letters) {
  for (const ObjectSyntax& syntax : kObjects) {
    if (std::strcmp(syntax.letters, letters) == 0) return &syntax;
  }
  return nullptr;
}

bool ParseBody(Parse& p) {
  switch (p.syntax.family) {
    case Family::kWord:
    case Family::kModuleOnly:
      return Word(p);
    case Family::kStep:
      return Step(p);
    case Family::kMacroStep:
    case Family::kBlock:
      return Numbered(p);
    case Family::kNetwork:
      return Network(p);
  }
  return false;
}

}  // namespace

bool ParseAddress(std::string_view text, UsAts* result) {
  Reader in(text);
  char letters[sizeof result->letters] = {};
  if (!in.Take('%') || !in.Letters(letters, sizeof letters)) return false;
  const ObjectSyntax* syntax = FindObject(letters);
  if (syntax == nullptr) return false;

  std::memset(result, 0, sizeof *result);
  std::memcpy(result->letters, letters, sizeof letters);
  result->wordClass = kWordAddress;
  result->objectKind = syntax->kind;
  result->kindCode = kFormPlain;
  result->bit = -1;

  Builder out(result);
  Parse p{in, out, result, *syntax};
  bool parsed = syntax->module && in.Peek('\\') ? BusModule(p) : ParseBody(p);
  if (!parsed || !in.AtEnd()) return false;
  return WriteAddress(*result, result->value.text, sizeof result->value.text);
}

}  // namespace host
