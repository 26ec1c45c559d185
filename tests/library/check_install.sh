#!/usr/bin/env bash
# Installs the built tree into an empty prefix, then builds a small host
# program against it twice: through find_package(symbase) and through
# pkg-config. Runs both programs.
set -euo pipefail
consumer=$2
source "$(dirname "$0")/../support/install_prefix.sh" "$1" "$3"

cmake -S "$consumer" -B "$work/with-cmake" -DCMAKE_PREFIX_PATH="$prefix" > "$work/configure.log"
cmake --build "$work/with-cmake" > "$work/build.log"
"$work/with-cmake/consumer"

export PKG_CONFIG_PATH="$prefix/lib/pkgconfig:$prefix/lib64/pkgconfig:${PKG_CONFIG_PATH:-}"
libdir=$(pkg-config --variable=libdir symbase)
# shellcheck disable=SC2046
c++ -o "$work/consumer-pc" "$consumer/main.cpp" $(pkg-config --cflags --libs symbase) -Wl,-rpath,"$libdir"
"$work/consumer-pc"
"$prefix/bin/symbase" --version
echo "install check passed"
