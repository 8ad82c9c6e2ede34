#!/usr/bin/env bash
# Builds and runs every test: the developer build, the ASan+UBSan build, the ThreadSanitizer
# build of the serial link and end-to-end tests, and a short fuzz run of the frame decoder.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh

jobs=$(nproc)
for preset in dev asan tsan; do
  echo "=== ${preset}: build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  echo "=== ${preset}: tests"
  ctest --preset "$preset" -j "$jobs"
done

echo "=== fuzz: build"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs"
echo "=== fuzz: run"
fuzz/run.sh build/fuzz
