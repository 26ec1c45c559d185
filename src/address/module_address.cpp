#include "address/module_address.h"

#include <cstdint>

#include "symbase/host.h"
#include "symbase/results.h"

namespace {

constexpr std::int32_t kBusModuleAddress = 343;
constexpr unsigned int kPackedBase = 2000;

}  // namespace

namespace symbase {

int CodeChaineAdrModule(UsAts* result, unsigned int* value, int* position) {
  *value = 0;
  if (result->kindCode != kBusModuleAddress) {
    *value = ResultValue(&result->value);
    return 0;
  }
  const std::uint32_t count = ComponentCount(&result->components);
  if (count == 3) {
    const std::uint32_t a = ComponentAt(&result->components, 0);
    const std::uint32_t b = ComponentAt(&result->components, 1);
    const std::uint32_t c = ComponentAt(&result->components, 2);
    const std::uint32_t d = ResultValue(&result->value);
    if (a > 1023 || b > 3 || c > 255 || d > 1) return TB_NOT_DONE;
    *value = kPackedBase + (a & 1023) * 2048 + (b & 3) * 512 + (c & 255) * 2 + (d & 1);
    *position += 2;  // past the second backslash and d
    return 0;
  }
  if (count == 2) *value = ComponentAt(&result->components, 0);
  return 0;
}

int DecodeValeurAdrModule(unsigned int value, CString& text) {
  if (value > kPackedBase) {
    const unsigned int v = value - kPackedBase;
    text.Format("\\%u.%u.%u\\%u", (v & 0x1FF800) >> 11, (v & 0x600) >> 9, (v & 0x1FE) >> 1, v & 1);
  } else {
    text.Format("%u", value);
  }
  return 0;
}

void CodeBusModule(const CString& repere, unsigned int* value, int* position) {
  HostAnalyser analyser;
  AnalyserCreate(&analyser);
  UsAts result{};
  AnalyseText(&analyser, repere, &result);
  AnalyserFinish(&analyser);
  CodeChaineAdrModule(&result, value, position);
  AnalyserDestroy(&analyser);
}

}  // namespace symbase
