#!/usr/bin/env bash
# Checks what libsymbase.so exports (nm -D --defined-only, demangled):
# - no engine internals, anonymous namespaces or standard-library instances;
# - the symbol base's own names (TB functions, CTB classes, l4linkSt) are
#   exactly those of the interface list given as second argument: nothing
#   extra leaks and nothing is missing.
set -euo pipefail
lib=$1
interface=$2
names=$(nm -D --defined-only --demangle "$lib" | awk '{ $1=""; $2=""; sub(/^  /, ""); print }' |
        sed 's/@@*SYMBASE_[0-9]*$//' | grep -v '^__odr_asan' | sort -u)
# The qualified name is what stands before the argument list, after any
# return type of a template instance.
bad=$(printf '%s\n' "$names" | sed 's/(.*//' |
      grep -E '(^|[ *&])(std::|__gnu_cxx::|symbase::|xbase::|testing_support::)|\(anonymous namespace\)|^(typeinfo|vtable|VTT|guard variable)( name)? for (std|__gnu_cxx|symbase|xbase)::' || true)
if [ -n "$bad" ]; then
  echo "libsymbase.so exports names that are not part of its interface:"
  printf '%s\n' "$bad" | head -n 40
  exit 1
fi
own=$(printf '%s\n' "$names" | grep -E '^(TB|CTB|l4linkSt)' || true)
want=$(grep -v -E '^(#|$)' "$interface" | sort -u)
extra=$(comm -23 <(printf '%s\n' "$own") <(printf '%s\n' "$want"))
missing=$(comm -13 <(printf '%s\n' "$own") <(printf '%s\n' "$want"))
if [ -n "$extra" ] || [ -n "$missing" ]; then
  [ -z "$extra" ] || { echo "exported but not in the interface list:"; printf '  %s\n' $extra; }
  [ -z "$missing" ] || { echo "in the interface list but not exported:"; printf '%s\n' "$missing"; }
  exit 1
fi
echo "exported names: $(printf '%s\n' "$names" | grep -c .), interface names: $(printf '%s\n' "$own" | grep -c .), none internal"
