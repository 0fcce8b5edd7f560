#!/usr/bin/env bash
# Installs the Debian packages brimwatch needs to build, run and test.
# Packages already present are skipped, so a second run costs nothing.
set -euo pipefail

PACKAGES=(
    build-essential cmake ninja-build pkg-config
    libboost1.81-dev
    libzmq3-dev cppzmq-dev
    libcurl4-openssl-dev
    libhiredis-dev
    libjsoncpp-dev
    redis-server
    libgtest-dev libgmock-dev libbenchmark-dev
)

missing=()
for package in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi

echo "Installing: ${missing[*]}"
"${sudo_cmd[@]}" apt-get update -q
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
