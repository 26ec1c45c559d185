#!/usr/bin/env bash
# Installs the built tree into an empty prefix and checks what comes with the
# command-line host: the installed program runs its demo on the sample tables
# installed beside it, the manual page renders without a warning, and the
# bash completion parses and completes.
set -euo pipefail
source "$(dirname "$0")/../../support/install_prefix.sh" "$1" "$2"

env -u SYMBASE_EXAMPLES "$prefix/bin/symbase" demo > "$work/demo.log"
grep -qF "(sample tables from $prefix/share/symbase/examples)" "$work/demo.log"
grep -qF "The tour is over." "$work/demo.log"

page="$prefix/share/man/man1/symbase.1"
if command -v groff > /dev/null; then
  warnings=$(groff -man -Tutf8 -ww -z "$page" 2>&1)
  if [ -n "$warnings" ]; then
    echo "$warnings"
    exit 1
  fi
fi
if command -v man > /dev/null; then
  MANWIDTH=80 man -l "$page" 2> "$work/man.err" | grep -q "^EXIT STATUS"
  [ ! -s "$work/man.err" ] || { cat "$work/man.err"; exit 1; }
fi

completion="$prefix/share/bash-completion/completions/symbase"
bash -n "$completion"
completions() {
  bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _symbase
           echo "${COMPREPLY[*]}"' _ "$completion" "$@"
}
[ "$(completions symbase imp)" = "import" ]
[ "$(completions symbase import d f.csv --enc)" = "--encoding" ]
[ "$(completions symbase import d f.csv -e la)" = "latin1" ]
echo "install check passed"
