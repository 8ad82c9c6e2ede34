#!/usr/bin/env bash
# The run command: installs what is missing, builds the release build, starts the module
# simulator ethconf-sim on a free port number and opens the window with that port selected, so
# "Odczyt konf. z urządzenia" reads the simulated module at once. Closing the window stops the
# simulator.
#
# The program reads no arguments: the port is chosen through the settings file beside the
# executable (ComPort='COM <n>', port detection on), which the window reads at start-up.
#
# ETHCONF_PRESET selects the CMake preset (default: release; dev works as well) and BUILD_DIR the
# build folder (default: build/<preset>).
set -euo pipefail
cd "$(dirname "$0")/.."

preset=${ETHCONF_PRESET:-release}
build=${BUILD_DIR:-build/$preset}

scripts/setup.sh

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "ethconf: no display (neither DISPLAY nor WAYLAND_DISPLAY is set), so the window cannot" >&2
  echo "ethconf: open. Run this from a desktop session, or over ssh -X; for a picture of the" >&2
  echo "ethconf: window after a read without a display, run scripts/screenshot.sh." >&2
  exit 1
fi

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake --preset "$preset" -B "$build" >/dev/null
fi
cmake --build "$build" -j "$(nproc)" --target ethconf ethconf-sim

sim_pid=
cleanup() {
  if [ -n "$sim_pid" ]; then
    kill "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
  fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# The simulator registers its pseudo-terminal as the first free port number in the user's port
# folder and announces "COM<n> <device>".
coproc SIM { exec "$build/tools/sim/ethconf-sim"; }
sim_pid=$SIM_PID
if ! read -r -t 10 port device <&"${SIM[0]}"; then
  echo "ethconf: the simulator did not start" >&2
  exit 1
fi
entry="COM ${port#COM}"
echo "ethconf: simulated module on $entry ($device)"

# Section Main of the settings file: ComPort names the simulator's port, DetectCOM goes so the
# list shows the detected ports (the simulator's among them). Every other line stays.
settings="$build/app/ethconf.ini"
touch "$settings"
awk -v entry="$entry" '
  function flush() { if (inmain && !done) { print "ComPort='\''" entry "'\''"; done = 1 } }
  /^[ \t]*\[/ {
    flush()
    name = $0; sub(/^[ \t]*\[[ \t]*/, "", name); sub(/[ \t]*\].*$/, "", name)
    inmain = (tolower(name) == "main"); seen = seen || inmain
    print; next
  }
  inmain && tolower($0) ~ /^[ \t]*(comport|detectcom)[ \t]*=/ { next }
  { print }
  END { flush(); if (!seen) { print "[Main]"; print "ComPort='\''" entry "'\''" } }
' "$settings" > "$settings.new"
mv "$settings.new" "$settings"

echo "ethconf: opening the window; press \"Odczyt konf. z urządzenia\" to read the module"
"$build/app/ethconf"
