#!/usr/bin/env bash
# Wall time of "ethconf-cli read" on one simulated module versus eight at once. The simulators
# pace their line at 115200 bit/s and answer 1 ms after each request, like a module would.
#
#   bench/cli_parallel_read.sh [BUILD_DIR] [ROUNDS]
#
# BUILD_DIR defaults to build/release, then build/dev; ROUNDS (default 5) runs of each, the
# median is printed.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-}
if [[ -z "$build" ]]; then
  for candidate in "$root/build/release" "$root/build/dev"; do
    if [[ -x "$candidate/tools/cli/ethconf-cli" ]]; then build=$candidate; break; fi
  done
fi
rounds=${2:-5}
cli="$build/tools/cli/ethconf-cli"
sim="$build/tools/sim/ethconf-sim"
for program in "$cli" "$sim"; do
  [[ -x "$program" ]] || { echo "missing $program: build ethconf-cli and ethconf-sim first" >&2; exit 2; }
done

runtime=$(mktemp -d)
chmod 700 "$runtime"
export XDG_RUNTIME_DIR=$runtime
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$runtime"
}
trap cleanup EXIT

ports=()
for i in $(seq 1 8); do
  "$sim" --baud 115200 --turnaround-ms 1 > "$runtime/sim$i.out" 2>/dev/null &
  pids+=($!)
done
for i in $(seq 1 8); do
  for _ in $(seq 1 100); do
    [[ -s "$runtime/sim$i.out" ]] && break
    sleep 0.05
  done
  ports+=("$(cut -d' ' -f1 "$runtime/sim$i.out")")
done

# Milliseconds of one read over the given ports.
time_read() {
  local args=(read)
  for port in "$@"; do args+=(--port "$port"); done
  local start end
  start=$(date +%s%N)
  "$cli" "${args[@]}" > /dev/null
  end=$(date +%s%N)
  echo $(((end - start) / 1000000))
}

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# The two kinds of run take turns, so a change in the machine's load weighs on both alike.
ones=()
eights=()
for _ in $(seq 1 "$rounds"); do
  ones+=("$(time_read "${ports[0]}")")
  eights+=("$(time_read "${ports[@]}")")
done
one=$(printf '%s\n' "${ones[@]}" | median)
eight=$(printf '%s\n' "${eights[@]}" | median)
echo "read, 1 module:   ${one} ms (median of $rounds)"
echo "read, 8 modules:  ${eight} ms (median of $rounds)"
awk -v a="$one" -v b="$eight" 'BEGIN { printf "ratio 8/1:        %.2f (goal: at most 1.20)\n", b / a }'
