#!/usr/bin/env bash
# Installs what is missing, builds and runs every test.
# Usage: scripts/test.sh [--sanitize]   (--sanitize: ASan + UBSan build)
# Ends with the time each part took: packages, configure, build, tests.
set -euo pipefail
cd "$(dirname "$0")/.."

times=$(mktemp)
trap 'rm -f "$times"' EXIT
# part NAME START_NS: the seconds since START_NS as a line of the summary
part() { awk -v name="$1" -v a="$2" -v b="$(date +%s%N)" 'BEGIN { printf "%s %.1f\n", name, (b - a) / 1e9 }' >>"$times"; }

start=$(date +%s%N)
bash scripts/setup.sh
part packages "$start"
VARTEMO_TIMES=$times bash scripts/build.sh "$@"

dir=build
[ "${1:-}" = "--sanitize" ] && dir=build-asan
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
start=$(date +%s%N)
status=0
ctest --test-dir "$dir" --output-on-failure -j2 --timeout 300 || status=$?
part tests "$start"
echo "time (s): $(tr '\n' ' ' <"$times")"
exit $status
