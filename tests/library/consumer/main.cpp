// A host program of ten lines: all it includes is the umbrella header.
#include <symbase/symbase.h>

#include <cstdio>

int main() {
  std::printf("built against symbase %s\n", SymbaseVersion());
  return SymbaseVersion()[0] == '\0';
}
