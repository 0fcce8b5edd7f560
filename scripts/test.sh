#!/usr/bin/env bash
# Installs what is missing, builds brimwatch with AddressSanitizer and UndefinedBehaviorSanitizer
# and runs every test. The output ends with CTest's summary.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build/test"

"$root/scripts/install-deps.sh"
mkdir -p "$root/build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DBRIMWATCH_WERROR=ON -DBRIMWATCH_SANITIZE=ON > "$build.configure.log" 2>&1 \
    || { cat "$build.configure.log"; exit 1; }
cmake --build "$build"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
cd "$build"
ctest --output-on-failure --timeout 300 -j "$(nproc)"
