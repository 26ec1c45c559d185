# Sourced by the install checks: installs the build tree $1 into an empty
# prefix below the work directory $2 (emptied first) and sets $work and
# $prefix.
set -euo pipefail
build=$1
work=$2
rm -rf "$work"
mkdir -p "$work"
prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" > "$work/install.log"
