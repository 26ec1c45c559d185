#ifndef SYMBASE_ADDRESS_MODULE_ADDRESS_H
#define SYMBASE_ADDRESS_MODULE_ADDRESS_H

#include "symbase/afx.h"
#include "symbase/host_analysis.h"

// Bus module addresses (\a.b.c\d) packed into one number and back:
// value = 2000 + a x 2048 + b x 512 + c x 2 + d. Values up to 2000 are plain
// module positions.

namespace symbase {

// Bus module address of an analysed text into its packed value: 0, or 1
// out of range. Advances *position by 2 past a complete \a.b.c\d.
int CodeChaineAdrModule(UsAts* result, unsigned int* value, int* position);

// Packed value back to text: "\a.b.c\d" above 2000, the number otherwise.
// Always 0.
int DecodeValeurAdrModule(unsigned int value, CString& text);

// Analyses an address text with the host's analyser and codes its bus module
// address as CodeChaineAdrModule does.
void CodeBusModule(const CString& repere, unsigned int* value, int* position);

}  // namespace symbase

#endif
