#!/usr/bin/env bash
# A short, bounded fuzz run over the frame decoder; fails on any crash or sanitizer report.
set -euo pipefail
build=${1:-build/fuzz}
seconds=${FUZZ_SECONDS:-60}
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
# Seeds: a read-version request and a write acknowledgement, as they travel on the wire.
printf '\x7e\xff\x03\x12\x02\x00\x7d\x5d\x1c\x7e' >"$corpus/read-version"
printf '\x7e\xff\x03\x12\x04\x02\x01\xe6\xac\x7e' >"$corpus/ack"
"$build/fuzz/fuzz_frames" -artifact_prefix="$build/" -max_total_time="$seconds" -max_len=600 -print_final_stats=1 "$corpus"
