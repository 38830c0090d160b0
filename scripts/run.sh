#!/usr/bin/env bash
# Installs what is missing, builds and starts the timing station.
# Arguments are passed to the program (see: scripts/run.sh --help).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
exec build/src/app/vartemo "$@"
