#!/usr/bin/env bash
# Installs what is missing, builds brimwatch and runs it with the sample configuration.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build/release"

"$root/scripts/install-deps.sh"
mkdir -p "$root/build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRIMWATCH_TESTS=OFF \
    > "$build.configure.log" 2>&1 || { cat "$build.configure.log"; exit 1; }
cmake --build "$build" --target brimwatch
exec "$build/src/brimwatch" -c "${BRIMWATCH_CONFIG:-$root/etc/brimwatch.json}"
