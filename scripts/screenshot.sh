#!/usr/bin/env bash
# Renders the window as a user sees it after reading the simulated module into docs/window.png.
# Starts ethconf-sim on a port of a private port folder, lets the window read it and grabs the
# window (Qt's offscreen platform; no display needed).
#
# Usage: scripts/screenshot.sh [OUTPUT.png]   (default: docs/window.png)
# BUILD_DIR selects the build folder (default: build/dev, configured with the dev preset).
set -euo pipefail
cd "$(dirname "$0")/.."

output=${1:-docs/window.png}
build=${BUILD_DIR:-build/dev}

scripts/setup.sh
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake --preset dev -B "$build" >/dev/null
fi
cmake --build "$build" -j "$(nproc)" --target ethconf-window-shot ethconf-sim

runtime=$(mktemp -d)
sim_pid=
cleanup() {
  if [ -n "$sim_pid" ]; then
    kill "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
  fi
  rm -rf "$runtime"
}
trap cleanup EXIT

export XDG_RUNTIME_DIR=$runtime
export QT_QPA_PLATFORM=offscreen
# The simulator announces "COM<n> <device>" once its port is registered.
coproc SIM { exec "$build/tools/sim/ethconf-sim"; }
sim_pid=$SIM_PID
read -r -t 10 port _ <&"${SIM[0]}"
entry="COM ${port#COM}"

mkdir -p "$(dirname "$output")"
"$build/tests/app/ethconf-window-shot" "$output" "$entry"
echo "ethconf: window rendered to $output"
