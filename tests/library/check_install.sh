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

# The Qt dialog driver, when it was built: a Qt host links symbase::qt.
if [ -f "$prefix/lib/cmake/symbase/symbaseQtTargets.cmake" ]; then
  cmake -S "$(dirname "$consumer")/qt_consumer" -B "$work/with-qt" -DCMAKE_PREFIX_PATH="$prefix" \
    > "$work/configure-qt.log"
  cmake --build "$work/with-qt" > "$work/build-qt.log"
  mkdir -p "$work/qt-base"
  "$work/with-qt/qt_consumer" "$work/qt-base"
  "$prefix/bin/symbase-gui" --version
fi
echo "install check passed"
