#!/usr/bin/env bash
# Renders the window after a read of the simulated module into docs/window.png, on a
# virtual X display (Xvfb): starts ethconf-sim, opens the window with the simulator's port chosen
# in its settings file, presses "Odczyt konf. z urządzenia", answers the outcome box and grabs
# the window. The window is driven by a small test-side program, since ethconf reads no
# arguments.
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
cmake --build "$build" -j "$(nproc)" --target ethconf-read-shot ethconf-sim

work=$(mktemp -d)
sim_pid=
cleanup() {
  if [ -n "$sim_pid" ]; then
    kill "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

# A private port folder for the simulator and the window alike.
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR=$work/runtime
coproc SIM { exec "$build/tools/sim/ethconf-sim"; }
sim_pid=$SIM_PID
if ! read -r -t 10 port _ <&"${SIM[0]}"; then
  echo "ethconf: the simulator did not start" >&2
  exit 1
fi
printf '[Main]\nComPort='\''COM %s'\''\n' "${port#COM}" > "$work/ethconf.ini"

mkdir -p "$(dirname "$output")"
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1024x600x24" \
  "$build/tests/app/ethconf-read-shot" "$work" "$output"
echo "ethconf: window after the read rendered to $output"
