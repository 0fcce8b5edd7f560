#!/usr/bin/env bash
# Stages an install of the build in a temporary directory and checks what lands where.
set -euo pipefail
build="$1"
stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT
DESTDIR="$stage" cmake --install "$build" --prefix /usr > /dev/null
for file in usr/bin/brimwatch usr/bin/brimwatch-sim usr/bin/brimwatch-logcat \
            etc/brimwatch/brimwatch.json lib/systemd/system/brimwatch.service \
            usr/share/brimwatch/site.json; do
    [ -e "$stage/$file" ] || { echo "missing after install: $file"; exit 1; }
done
unit="$stage/lib/systemd/system/brimwatch.service"
# The unit names the binary where the configured prefix puts it.
grep -q '^ExecStart=/.*/bin/brimwatch -c /etc/brimwatch/brimwatch.json$' "$unit"
grep -q '^Restart=on-failure$' "$unit"
grep -q '"pidfile": "/run/brimwatch/brimwatch.pid"' "$stage/etc/brimwatch/brimwatch.json"
grep -q '^PIDFile=/run/brimwatch/brimwatch.pid$' "$unit"
if command -v systemd-analyze > /dev/null; then
    # The unit names the installed binary; verify it in place of the staged one.
    sed "s|^ExecStart=[^ ]*|ExecStart=$stage/usr/bin/brimwatch|" "$unit" > "$stage/brimwatch.service"
    systemd-analyze verify "$stage/brimwatch.service"
else
    echo "systemd-analyze is not here: the unit file is not verified"
fi
echo "installed files are in place"
