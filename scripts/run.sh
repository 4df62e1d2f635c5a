#!/usr/bin/env bash
# Installs what is missing, builds, and starts VORN. Without NetworkManager or pppd
# peers it uses the simulated dial-up service; without a display, a virtual one.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target vorn vorn-sim

args=("$@")
simulated=0
if printf '%s\n' "${args[@]}" | grep -q -- '--dialup=simulated'; then
    simulated=1
elif ! printf '%s\n' "${args[@]}" | grep -q -- '--dialup'; then
    has_nm=0
    if command -v busctl >/dev/null 2>&1 &&
        timeout 2 busctl --system status org.freedesktop.NetworkManager >/dev/null 2>&1; then
        has_nm=1
    fi
    if [ "$has_nm" = 0 ] && ! ls /etc/ppp/peers/* >/dev/null 2>&1; then
        echo "No NetworkManager and no pppd peers here: using the simulated dial-up service."
        args+=(--dialup=simulated)
        simulated=1
    fi
fi

# vorn and vorn-sim find the simulator's state in the same place only when they share
# the runtime folder.
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    export XDG_RUNTIME_DIR="/tmp/vorn-runtime-$(id -u)"
    mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
fi

sim="$PWD/build/src/cli/vorn-sim"
if [ "$simulated" = 1 ]; then
    "$sim" entries | grep -qx 'Demo' || "$sim" entries add Demo >/dev/null
    cat <<EOF

Make a call with the simulator, from another terminal in this folder:
  XDG_RUNTIME_DIR=$XDG_RUNTIME_DIR build/src/cli/vorn-sim dial Demo
      the LED window shows "CALL", then the running call
  XDG_RUNTIME_DIR=$XDG_RUNTIME_DIR build/src/cli/vorn-sim traffic --rx 250000 --tx 40000
      data for the call
  XDG_RUNTIME_DIR=$XDG_RUNTIME_DIR build/src/cli/vorn-sim hangup
      ends the call; VORN writes it to the call log (${VORN_HOME:-~/.local/share/VORN}/Logs/log070.bin)
Stop VORN with Ctrl+C here or "Exit" in its tray menu.

EOF
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display: starting VORN on a virtual X display (xvfb-run)."
    # Nobody can answer the first start's questions on an invisible screen: a settings
    # file that does not exist yet starts without the reset question and the about box.
    config="${VORN_CONFIG:-${XDG_CONFIG_HOME:-$HOME/.config}/Ostrand Labs/VORN.conf}"
    if [ ! -e "$config" ]; then
        mkdir -p "$(dirname "$config")"
        (umask 077 && printf '[General]\nVersion=1.17\nShow_Splash=0\n' >"$config")
    fi
    exec xvfb-run -a build/src/app/vorn "${args[@]}"
fi
exec build/src/app/vorn "${args[@]}"
