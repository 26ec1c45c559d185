#ifndef SYMBASE_HOST_ANALYSIS_H
#define SYMBASE_HOST_ANALYSIS_H

// The lexical analyser's records: the analysis result `UsAts` of one word of
// the controller language, and the small objects the analyser, the address
// formatter and the context library keep in the caller's storage. All are
// plain data: a host may fill a UsAts itself.

#include <cstddef>
#include <cstdint>

// Word classes (first word of a UsAts).
constexpr std::int32_t kWordNothing = 0;    // nothing usable: malformed, reserved, overlong
constexpr std::int32_t kWordAddress = 307;  // an address of the controller language
constexpr std::int32_t kWordSymbol = 332;   // a symbol

// Analysis kinds answered by AnalysisKind.
constexpr std::int32_t kAnalysisNothing = 0;
constexpr std::int32_t kAnalysisReserved = 305;  // a word reserved by the language
constexpr std::int32_t kAnalysisSymbol = 306;    // a plain symbol
constexpr std::int32_t kAnalysisAddress = 307;   // an address

// Kind codes (third word): the written form of an address.
constexpr std::int32_t kFormPlain = 340;         // %MW10, %MW10:X5, %X4, %XM3, %TM1
constexpr std::int32_t kFormSubField = 341;      // %X2.TMAX, %X1.3.ERR, %X1.IN, %T2.D, %DR1.6
constexpr std::int32_t kFormModule = 342;        // %I1.2, %IW3.1.2, %IW3.1:X4
constexpr std::int32_t kFormBusModule = 343;     // %I\1.0.5\0.2 (bus module address)
constexpr std::int32_t kFormNetwork = 344;       // %NW{1.2}5, %NW{2}5:X3
constexpr std::int32_t kFormModuleStatus = 345;  // %IW3.MOD, %IW3.MOD.2:X1

// Object kinds (second word of an address). Kinds of bits of words are those
// the symbol base's type codes use; the module or network form is in the kind
// code, not here.
//
//   %M 464  %MB 461  %MW 342  %MD 462  %MF 463  bit of %MW 474
//   %KB 441 %KW 444  %KD 442  %KF 443  bit of %KW 454
//   %S 360  %SW 361  %SD 362  bit of %SW 371
//   %I 430  %IW 433  %ID 432  bit of %IW 434
//   %Q 530  %QW 533  %QD 532  bit of %QW 534
//   %NW 500 bit of %NW 501
//   %X 601 (step, and its sub-fields)  %XM 603 (macro-step)
//   %Xj.i, %Xj.IN, %Xj.OUT and their sub-fields 611
//   %T / %TI 581  %TM 591  %MN 481  %C 401  %R 541  %DR 411
// The value of %MB and %KB objects must be even to be used as an array index.

constexpr std::size_t kUsAtsTextSize = 64;   // symbol or address text, NUL included
constexpr std::size_t kUsAtsComponents = 3;  // numbers of a bus path
constexpr std::size_t kUsAtsSegments = 8;    // parts of an address after its letters

// Value sub-object: read it with ResultValue and ResultText.
struct UsAtsValue {
  std::uint32_t number;       // the object's index (%MW10: 10); d of a bus address
  char text[kUsAtsTextSize];  // the symbol of a symbol word, the address of an address
};

// Component list: read it with ComponentCount and ComponentAt. A bus module
// address has its three bus-path numbers a, b, c here; any other address has
// the numbers written after its index (%IW3.1.2: 1, 2; %NW{1.2}5: 1, 2).
struct UsAtsComponents {
  std::uint32_t count;
  std::uint32_t item[kUsAtsComponents];
};

// One part of an address after its letters, as written: a separator and a
// number, or a separator and a sub-field name. The address formatter writes
// the address back from these.
enum UsAtsSeparator : std::uint8_t {
  kSepNone = 0,        // the index right after the letters
  kSepPoint = 1,       // "."
  kSepBraceOpen = 2,   // "{"
  kSepBraceClose = 3,  // "}"
  kSepBackslash = 4,   // "\"
  kSepBit = 5,         // ":X"
};

// Sub-field names, written after a point (%X2.TMAX, %T2.D, %IW3.MOD).
enum UsAtsName : std::uint8_t {
  kNameNone = 0,  // the segment is a number
  kNameT,
  kNameTMIN,
  kNameTMAX,
  kNameERR,
  kNameIN,
  kNameOUT,
  kNameMOD,
  kNameV,
  kNameP,
  kNameD,
  kNameR,
  kNameQ,
  kNameE,
  kNameF,
  kNameS,
  kNameI,
  kNameO,
  kNameCount
};

// One part of an address after its letters (UsAts::segment).
struct UsAtsSegment {
  std::uint8_t separator;  // a UsAtsSeparator
  std::uint8_t name;       // a UsAtsName; kNameNone for a number
  std::uint16_t reserved;
  std::uint32_t number;
};

// The analysis of one word (AnalyseText): what kind of word it is and, for
// an address, its object, written form, numbers and parts.
struct UsAts {
  std::int32_t wordClass;   // kWordNothing, kWordAddress or kWordSymbol
  std::int32_t objectKind;  // object kind of an address, 0 otherwise
  std::int32_t kindCode;    // written form of an address (kForm...), 0 otherwise
  UsAtsValue value;
  UsAtsComponents components;
  std::int32_t bit;  // the bit of a word (":X5"), -1 when none
  char letters[4];   // object letters after "%", upper case, NUL-ended ("MW", "NW")
  std::uint32_t segmentCount;
  UsAtsSegment segment[kUsAtsSegments];
};

// The lexical analyser, in caller storage: AnalyserCreate before use,
// AnalyserDestroy after. `hostData` is free for a host's own analyser.
struct HostAnalyser {
  std::int32_t kind;      // analysis kind of the last text (kAnalysis...)
  std::int32_t finished;  // 1 once AnalyserFinish followed the last analysis
  void* hostData;
};

// The address formatter, in caller storage.
struct HostFormatter {
  char text[kUsAtsTextSize];  // the address of the loaded result, "" when none
  void* hostData;
};

// Context library objects, in caller storage: the context a name check takes.
struct HostContextSource {
  std::int32_t setup[3];  // purpose, scope and options given to ContextSourceSetup
  std::int32_t ready;     // 1 after ContextSourceSetup
  void* hostData;
};

// The context a name check takes (CheckAnalysedName), made by
// ContextCreate from a value of ContextSourceGet.
struct HostContext {
  std::intptr_t value;  // what ContextSourceGet handed out; 0 when none
  std::int32_t live;    // 1 between ContextCreate and ContextDestroy
  void* hostData;
};

#endif
