#!/usr/bin/env bash
# Fails when libsymbase.so shows a name that is not part of its interface:
# engine internals, anonymous namespaces, the standard library's instances.
# With a second argument, a file of required names (one demangled name a line),
# also fails when one of them is missing.
set -euo pipefail
lib=$1
required=${2:-}
names=$(nm -D --defined-only --demangle "$lib" | awk '{ $1=""; $2=""; sub(/^  /, ""); print }')
bad=$(printf '%s\n' "$names" | grep -E '(^|[^A-Za-z_])(std::|__gnu_cxx::|symbase::|xbase::|\(anonymous namespace\))' || true)
if [ -n "$bad" ]; then
  echo "libsymbase.so exports names that are not part of its interface:"
  printf '%s\n' "$bad" | head -n 40
  exit 1
fi
if [ -n "$required" ]; then
  missing=0
  while IFS= read -r want; do
    [ -z "$want" ] && continue
    case "$want" in \#*) continue ;; esac
    if ! printf '%s\n' "$names" | grep -Fqx -- "$want"; then
      echo "missing export: $want"
      missing=1
    fi
  done < "$required"
  [ $missing -eq 0 ] || exit 1
fi
count=$(printf '%s\n' "$names" | grep -c . || true)
echo "exported names: $count, none internal"
