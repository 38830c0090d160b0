#!/usr/bin/env bash
# Configures and builds the station. Usage: scripts/build.sh [--sanitize]
# Builds into build/ (build-asan/ with --sanitize).
set -euo pipefail
cd "$(dirname "$0")/.."

dir=build
extra=()
if [ "${1:-}" = "--sanitize" ]; then
  dir=build-asan
  extra=(-DVARTEMO_SANITIZE=ON -DVARTEMO_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug)
fi

cmake -S . -B "$dir" -G Ninja "${extra[@]}" >/dev/null
cmake --build "$dir"
