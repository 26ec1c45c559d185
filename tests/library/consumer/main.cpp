// A host program of ten lines: all it includes is the umbrella header.
#include <symbase/symbase.h>

#include <cstdio>

int main() {
  CTBData* base = nullptr;
  TBInitTabisDll(&base);
  CTBObjetAts object("%MW10", "Pump", "", 0, -1);
  std::printf("symbase %s: %s\n", SymbaseVersion(), static_cast<const char*>(object.m_repere));
  return TBFreeTabisDll(base) != 0 || base == nullptr;
}
