#!/usr/bin/env bash
# Installs what is missing, then builds brimwatch twice and runs every test in each build:
# a plain optimised build, then one under AddressSanitizer and UndefinedBehaviorSanitizer.
# The output ends with CTest's summary.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

"$root/scripts/install-deps.sh"
mkdir -p "$root/build"

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

build_and_test() {
    local build="$1"
    shift
    cmake -S "$root" -B "$build" -G Ninja -DBRIMWATCH_WERROR=ON "$@" > "$build.configure.log" 2>&1 \
        || { cat "$build.configure.log"; exit 1; }
    cmake --build "$build"
    (cd "$build" && ctest --output-on-failure --timeout 300 -j "$(nproc)")
}

build_and_test "$root/build/test" -DCMAKE_BUILD_TYPE=RelWithDebInfo
build_and_test "$root/build/asan" -DCMAKE_BUILD_TYPE=Debug -DBRIMWATCH_SANITIZE=ON
