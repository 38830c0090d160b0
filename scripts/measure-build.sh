#!/usr/bin/env bash
# Clean builds of everything (program, tools, tests, benchmarks) side by
# side on this machine: a reference commit and the current one (HEAD, or a
# commit given), each in a fresh worktree and build folder, without the
# compiler cache, one after the other with the same -j. Prints per build the
# configure and build time, the build steps, the warnings and the mean and
# highest load average seen during it (other work on the machine stretches
# a build), then the ratio of the build times.
#
# Usage: scripts/measure-build.sh [REFERENCE [COMMIT]]   (default: c47e899 HEAD)
#   JOBS=2 (ninja -j), BUILD_TYPE=RelWithDebInfo, KEEP=1 keeps the temp folder,
#   ORDER=new-first builds the current commit first, TARGET=vartemo builds
#   only that target, TOGETHER=1 runs both builds at the same time (on a
#   machine busy with other work both then meet the same load; the processor
#   time, user + sys, is the figure to compare then).
set -euo pipefail
cd "$(dirname "$0")/.."

reference=${1:-c47e899}
commit=${2:-HEAD}
jobs=${JOBS:-2}
build_type=${BUILD_TYPE:-RelWithDebInfo}
work=$(mktemp -d "${TMPDIR:-/tmp}/vartemo-measure.XXXXXX")
cleanup() {
    for tree in "$work"/ref "$work"/new; do
        [ -d "$tree" ] && git worktree remove --force "$tree" >/dev/null 2>&1 || true
    done
    [ -n "${KEEP:-}" ] || rm -rf "$work"
}
trap cleanup EXIT

# The one-minute load average every 10 s while a build runs, into FILE.
sample_load() { while :; do cut -d' ' -f1 /proc/loadavg >>"$1"; sleep 10; done; }

# measure NAME COMMIT: one clean configure and build, one line of figures.
measure() {
    local name=$1 rev=$2 tree="$work/$1"
    git worktree add --detach "$tree" "$rev" >/dev/null 2>&1
    local t0 t1 t2 sampler
    sample_load "$work/$name.load" &
    sampler=$!
    t0=$(date +%s%N)
    CCACHE_DISABLE=1 cmake -S "$tree" -B "$tree/build" -G Ninja -DCMAKE_BUILD_TYPE="$build_type" \
        >"$work/$name-configure.log" 2>&1
    t1=$(date +%s%N)
    local TIMEFORMAT='%U %S'
    { time CCACHE_DISABLE=1 ninja -C "$tree/build" -j "$jobs" ${TARGET:-} >"$work/$name-build.log" 2>&1; } \
        2>"$work/$name.cpu" || {
        kill "$sampler"
        echo "$name: the build failed, see $work/$name-build.log" >&2
        KEEP=1
        exit 1
    }
    t2=$(date +%s%N)
    kill "$sampler"
    awk -v b="$t1" -v c="$t2" 'BEGIN { printf "%.1f", (c - b) / 1e9 }' >"$work/$name.seconds"
    local steps warnings load
    steps=$(grep -o '^\[[0-9]*/[0-9]*\]' "$work/$name-build.log" | tail -1 | sed 's#.*/##; s#\]##')
    warnings=$(grep -c 'warning:' "$work/$name-build.log" || true)
    load=$(awk '{ sum += $1; if ($1 > max) max = $1 } END { printf "mean %.2f max %.2f", sum / NR, max }' \
           "$work/$name.load")
    printf '%-4s %-10s configure %5.1f s  build %7.1f s (processor %s s)  %4s steps  %s warnings  load %s\n' \
        "$name" "$(git rev-parse --short "$rev")" "$(awk -v a="$t0" -v b="$t1" 'BEGIN { print (b - a) / 1e9 }')" \
        "$(cat "$work/$name.seconds")" "$(awk '{ printf "%.0f", $1 + $2 }' "$work/$name.cpu")" "$steps" "$warnings" \
        "$load"
    # The folder goes before the next build.
    git worktree remove --force "$tree" >/dev/null 2>&1 || rm -rf "$tree"
}

echo "clean builds of ${TARGET:-everything}, -j$jobs, $build_type, CCACHE_DISABLE=1, $(nproc) cores"
if [ -n "${TOGETHER:-}" ]; then
    measure ref "$reference" &
    measure new "$commit" &
    wait
elif [ "${ORDER:-}" = new-first ]; then
    measure new "$commit"
    measure ref "$reference"
else
    measure ref "$reference"
    measure new "$commit"
fi
awk -v n="$(cat "$work/new.seconds")" -v r="$(cat "$work/ref.seconds")" \
    -v nc="$(awk '{ print $1 + $2 }' "$work/new.cpu")" -v rc="$(awk '{ print $1 + $2 }' "$work/ref.cpu")" \
    'BEGIN { printf "new/ref build time: %.2f, processor time: %.2f\n", n / r, nc / rc }'
