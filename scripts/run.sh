#!/usr/bin/env bash
# Installs what is missing, builds, and starts VORN. Without NetworkManager or pppd
# peers it uses the simulated dial-up service; without a display, a virtual one.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target vorn

args=("$@")
if ! printf '%s\n' "${args[@]}" | grep -q -- '--dialup'; then
    has_nm=0
    if command -v busctl >/dev/null 2>&1 &&
        timeout 2 busctl --system status org.freedesktop.NetworkManager >/dev/null 2>&1; then
        has_nm=1
    fi
    if [ "$has_nm" = 0 ] && ! ls /etc/ppp/peers/* >/dev/null 2>&1; then
        echo "No NetworkManager and no pppd peers here: using the simulated dial-up service."
        args+=(--dialup=simulated)
    fi
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display: starting VORN on a virtual X display (xvfb-run)."
    exec xvfb-run -a build/src/app/vorn "${args[@]}"
fi
exec build/src/app/vorn "${args[@]}"
