#!/usr/bin/env bash
# Configures and builds the station. Usage: scripts/build.sh [--sanitize]
# Builds into build/ (build-asan/ with --sanitize). With VARTEMO_TIMES=FILE
# the seconds of the configure and of the build are appended to FILE.
set -euo pipefail
cd "$(dirname "$0")/.."

dir=build
extra=()
if [ "${1:-}" = "--sanitize" ]; then
  dir=build-asan
  extra=(-DVARTEMO_SANITIZE=ON -DVARTEMO_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug)
fi

start=$(date +%s%N)
cmake -S . -B "$dir" -G Ninja "${extra[@]}" >/dev/null
configured=$(date +%s%N)
cmake --build "$dir"
built=$(date +%s%N)
if [ -n "${VARTEMO_TIMES:-}" ]; then
  awk -v a="$start" -v b="$configured" -v c="$built" \
      'BEGIN { printf "configure %.1f\nbuild %.1f\n", (b - a) / 1e9, (c - b) / 1e9 }' >>"$VARTEMO_TIMES"
fi
