#!/usr/bin/env bash
# Builds the libFuzzer targets in build-fuzz/ (clang, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for SECONDS (default 60) on a
# copy of its seed corpus, at most two at a time, at the lowest priority.
# Fails when a target finds a crash, a hang, a leak or undefined behaviour;
# the input that did it is left in build-fuzz/fuzz-runs/<target>/.
#
#   bash fuzz/run.sh [SECONDS] [TARGET...]     (targets: names without fuzz_)
#
# VARTEMO_FUZZ_KEEP_GOING=1: a target goes on after a finding for the whole
# time (libFuzzer's fork mode), collecting every input that fails.
#
# A mended finding's input belongs in fuzz/corpus/<target>/, so that every
# run, CI's short one included, tries it again.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
shift || true
all=(inifile archive lapfile kartstatus toptables logbook history registry udpdatagram serialburst irrecords
     liveresults ftpreplies)
targets=("$@")
((${#targets[@]})) || targets=("${all[@]}")
build=${VARTEMO_FUZZ_BUILD:-build-fuzz}
parallel=${VARTEMO_FUZZ_PARALLEL:-2}

command -v clang++ >/dev/null || { echo "fuzz/run.sh: clang++ is missing (bash scripts/setup.sh)" >&2; exit 1; }
if [ ! -f "$build/build.ninja" ]; then
  nice -n 10 cmake -S . -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DVARTEMO_FUZZ=ON \
    -DVARTEMO_TESTS=OFF -DVARTEMO_BENCH=OFF >/dev/null
fi
nice -n 10 cmake --build "$build" -j 2 --target "${targets[@]/#/fuzz_}"

# The seeds of a target: its own folder, and the test data it shares.
seeds() {
  echo "fuzz/corpus/$1"
  case $1 in
    inifile) echo tests/data ;;
    archive) echo tests/data/archives ;;
  esac
}

options() {
  case $1 in
    archive) echo -max_len=70000 ;;
    liveresults) echo -max_len=16384 ;;
    ftpreplies) echo -max_len=2048 ;;
  esac
}

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
export QT_QPA_PLATFORM=offscreen
# The targets write their files many thousand times a second: in memory, the
# disk's syncs do not set the pace.
[ -d /dev/shm ] && [ -w /dev/shm ] && export TMPDIR=/dev/shm

run_one() {
  local name=$1 work="$build/fuzz-runs/$1"
  rm -rf "$work"
  mkdir -p "$work/corpus"
  local dir
  for dir in $(seeds "$name"); do
    [ -d "$dir" ] && find "$dir" -maxdepth 1 -type f -exec cp {} "$work/corpus/" \;
  done
  local status=0 more=()
  [ "${VARTEMO_FUZZ_KEEP_GOING:-0}" = 1 ] && more=(-fork=1 -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1)
  # shellcheck disable=SC2046
  nice -n 19 "$build/fuzz/fuzz_$name" -max_total_time="$seconds" -timeout=25 -print_final_stats=1 \
    -artifact_prefix="$work/" $(options "$name") "${more[@]}" "$work/corpus" >"$work/log" 2>&1 || status=$?
  # A finding leaves its input behind (in fork mode with a status of 0).
  if find "$work" -maxdepth 1 -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) |
     grep -q .; then
    ((status)) || status=1
  fi
  echo "$status" >"$work/status"
}

summary() {
  local name=$1 work="$build/fuzz-runs/$1" status=$2 line execs
  line=$(grep -E '^#[0-9]+' "$work/log" | tail -n 1 || true)
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log")
  [ -n "$execs" ] || execs=$(sed -n 's/^#\([0-9]*\).*/\1/p' <<<"$line")
  printf '%-12s %10s execs  cov %-6s ft %-7s corpus %-6s %s\n' "$name" "${execs:-?}" \
    "$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$line")" "$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$line")" \
    "$(sed -n 's/.* corp: \([0-9]*\).*/\1/p' <<<"$line")" "$status"
}

declare -A pids=()
failed=()
finish() {
  local name=$1 status=ok
  wait "${pids[$name]}" || true
  if [ "$(cat "$build/fuzz-runs/$name/status" 2>/dev/null)" != 0 ]; then
    status="FOUND: $(find "$build/fuzz-runs/$name" -maxdepth 1 -type f \( -name 'crash-*' -o -name 'leak-*' \
      -o -name 'timeout-*' -o -name 'oom-*' \) | head -n 1)"
    failed+=("$name")
  fi
  summary "$name" "$status"
  unset "pids[$name]"
}

for name in "${targets[@]}"; do
  while ((${#pids[@]} >= parallel)); do
    sleep 1
    for running in "${!pids[@]}"; do
      kill -0 "${pids[$running]}" 2>/dev/null || finish "$running"
    done
  done
  run_one "$name" &
  pids[$name]=$!
done
for running in "${!pids[@]}"; do
  finish "$running"
done

if ((${#failed[@]})); then
  for name in "${failed[@]}"; do
    echo "--- fuzz_$name ($build/fuzz-runs/$name/log):" >&2
    grep -E -A25 'check failed|ERROR: |runtime error|==ERROR|deadly signal|Test unit written' "$build/fuzz-runs/$name/log" | head -n 60 >&2 || true
  done
  exit 1
fi
