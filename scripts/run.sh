#!/usr/bin/env bash
# The demo: installs what is missing, builds brimwatch and its peers, then runs on this machine
# a private redis-server, the location system's simulator (brimwatch-sim), the log collector
# (brimwatch-logcat) and brimwatch, showing a live view once a second. Ctrl-C stops them all.
# Options are passed to brimwatch-sim (see brimwatch-sim --help), e.g. --duration 60.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

if [ -z "${BRIMWATCH_BINARY:-}" ]; then
    "$root/scripts/install-deps.sh"
    build="$root/build/release"
    mkdir -p "$root/build"
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRIMWATCH_TESTS=OFF \
        > "$build.configure.log" 2>&1 || { cat "$build.configure.log"; exit 1; }
    cmake --build "$build" --target brimwatch brimwatch-sim brimwatch-logcat > "$build.log" 2>&1 \
        || { cat "$build.log"; exit 1; }
    BRIMWATCH_BINARY="$build/src/brimwatch"
    BRIMWATCH_SIM="$build/tools/brimwatch-sim"
    BRIMWATCH_LOGCAT="$build/tools/brimwatch-logcat"
fi

work="$(mktemp -d "${TMPDIR:-/tmp}/brimwatch-demo-XXXXXX")"
pids=()
cleanup() {
    trap - EXIT INT TERM
    for pid in "${pids[@]}"; do
        kill -TERM "$pid" 2>/dev/null || true
    done
    for pid in "${pids[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# A private Redis on a free port: try ports until one starts.
redis_port=""
for _ in $(seq 1 20); do
    port=$((20000 + RANDOM % 40000))
    redis-server --port "$port" --bind 127.0.0.1 --save "" --appendonly no --dir "$work" \
        > "$work/redis.log" 2>&1 &
    pid=$!
    for _ in $(seq 1 50); do
        if redis-cli -p "$port" ping 2>/dev/null | grep -q PONG; then
            redis_port="$port"
            break
        fi
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if [ -n "$redis_port" ]; then
        pids+=("$pid")
        break
    fi
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
done
[ -n "$redis_port" ] || { echo "could not start redis-server" >&2; exit 1; }

"$BRIMWATCH_LOGCAT" --bind 'tcp://127.0.0.1:*' --endpoint-file "$work/logcat.endpoint" \
    > "$work/brimwatch.log" &
pids+=("$!")

# brimwatch starts once the simulator tells where it serves.
(
    for _ in $(seq 1 100); do
        [ -s "$work/ready.json" ] && [ -s "$work/logcat.endpoint" ] && break
        sleep 0.1
    done
    rest="$(sed -n 's/.*"rest" *: *"\([^"]*\)".*/\1/p' "$work/ready.json")"
    proxy="$(sed -n 's/.*"proxy" *: *"\([^"]*\)".*/\1/p' "$work/ready.json")"
    cat > "$work/brimwatch.json" <<CONFIG
{
    "system": {"pidfile": "$work/brimwatch.pid", "debug_port": "$(cat "$work/logcat.endpoint")",
               "local_debug": false},
    "proxy": {"output_port": "$proxy"},
    "server": {"url": "$rest", "timeout": 5},
    "redis": {"host": "127.0.0.1", "port": $redis_port, "password": ""},
    "zone_types": ["meeting_room", "restricted"]
}
CONFIG
    exec "$BRIMWATCH_BINARY" -c "$work/brimwatch.json"
) &
pids+=("$!")

echo "Redis on port $redis_port; brimwatch's log: $work/brimwatch.log; Ctrl-C stops everything." >&2
# Without job control a background job reads /dev/null; the simulator reads its commands
# ("max ZONE N") from the terminal when there is one.
sim_input=/dev/null
[ -t 0 ] && sim_input=/dev/tty
"$BRIMWATCH_SIM" --site "$root/etc/demo/site.json" --ready-file "$work/ready.json" --view "$@" \
    < "$sim_input" &
sim=$!
pids+=("$sim")
wait "$sim"
