#!/usr/bin/env bash
# Builds the libFuzzer targets in fuzz/ with clang (ASan + UBSan) into build/fuzz and runs them.
#
#   tools/run_fuzzers.sh [SECONDS] [--merge]   each fuzzer in turn for SECONDS (default 600) on its
#                                              corpus; --merge then adds what it found that covers
#                                              new code to fuzz/corpus/<name>
#   tools/run_fuzzers.sh --regression          each fuzzer once over every file of its corpus
#
# The corpus of <name>_fuzzer is fuzz/corpus/<name>.
#
# Environment: FUZZERS="a b" runs only those; RUNS=N stops a fuzzer after N inputs as well.
# New inputs collect in build/fuzz/work/<fuzzer>, findings in build/fuzz/findings.
# The exit status is 1 when a fuzzer found something.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=600
regression=0
merge=0
for argument in "$@"; do
  case "$argument" in
    --regression) regression=1 ;;
    --merge) merge=1 ;;
    *[!0-9]* | "") echo "usage: $0 [SECONDS] [--merge] | --regression" >&2; exit 2 ;;
    *) seconds=$argument ;;
  esac
done

all_fuzzers=(pe_version_fuzzer ini_read_fuzzer ini_write_fuzzer reg_file_fuzzer command_line_fuzzer
             user_count_fuzzer)
read -r -a fuzzers <<<"${FUZZERS:-${all_fuzzers[*]}}"
build=$PWD/build/fuzz
corpus=$PWD/fuzz/corpus

echo "=== fuzzers: configure and build"
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQND_FUZZ=ON -DQND_BUILD_TESTS=OFF -DQND_WERROR=ON >/dev/null
cmake --build "$build" --target "${fuzzers[@]}"

export ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1
status=0

if [ "$regression" -eq 1 ]; then
  for fuzzer in "${fuzzers[@]}"; do
    echo "=== $fuzzer: every corpus file once"
    if output=$("$build/fuzz/$fuzzer" "$corpus/${fuzzer%_fuzzer}" -runs=0 2>&1); then
      grep '^Done' <<<"$output"
    else
      echo "$output" | tail -40
      echo "=== $fuzzer FAILED"
      status=1
    fi
  done
  exit "$status"
fi

mkdir -p "$build/findings"
summary=()
for fuzzer in "${fuzzers[@]}"; do
  work="$build/work/$fuzzer"
  seeds="$corpus/${fuzzer%_fuzzer}"
  mkdir -p "$work"
  echo "=== $fuzzer: $seconds s"
  # One process on one core: the machine is shared. With -jobs the output goes to fuzz-0.log in
  # the current folder, so each fuzzer runs in its own.
  fuzzer_status=0
  (cd "$work" && rm -f fuzz-0.log &&
    "$build/fuzz/$fuzzer" . "$seeds" -jobs=1 -workers=1 -max_total_time="$seconds" \
      ${RUNS:+-runs="$RUNS"} -timeout=10 -print_final_stats=1 \
      -artifact_prefix="$build/findings/$fuzzer-" >/dev/null 2>&1) || fuzzer_status=$?
  log="$work/fuzz-0.log"
  grep -E 'property failed|ERROR:|runtime error' "$log" | head -5 || true
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  time=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log" | tail -1)
  result=ok
  if [ "$fuzzer_status" -ne 0 ] || [ -z "$time" ]; then
    result="FOUND SOMETHING (see $log and $build/findings)"
    status=1
  fi
  summary+=("$(printf '%-20s %12s execs %6s s %9s exec/s  %s' "$fuzzer" "${runs:-?}" \
    "${time:-?}" "${rate:-?}" "$result")")

  if [ "$merge" -eq 1 ] && [ "$fuzzer_status" -eq 0 ]; then
    # Adds to the saved corpus the inputs that reach code it does not reach yet; the files already
    # there stay. Hit counts are left out, so the saved corpus stays small.
    before=$(find "$seeds" -type f | wc -l)
    if "$build/fuzz/$fuzzer" -merge=1 -use_counters=0 "$seeds" "$work" >/dev/null 2>&1; then
      echo "=== $fuzzer: corpus $before -> $(find "$seeds" -type f | wc -l) files"
    else
      echo "=== $fuzzer: merging failed"
      status=1
    fi
  fi
done

echo "=== summary"
printf '%s\n' "${summary[@]}"
exit "$status"
