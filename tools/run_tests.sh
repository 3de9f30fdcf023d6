#!/usr/bin/env bash
# Installs what is needed, builds both targets and runs every test suite: natively on Linux, under
# AddressSanitizer and UndefinedBehaviorSanitizer, the parallel archive under ThreadSanitizer, the
# fuzzers over their corpora, and the Windows build under Wine (tools/run_windows_tests.sh picks
# the 32-bit or the 64-bit way). Each suite lists the tests it skipped, with their reasons.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install_dependencies.sh

jobs=$(nproc)
status=0
run_suite() {
  local preset=$1
  echo "=== $preset: configure and build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  echo "=== $preset: tests"
  rm -rf "build/$preset/test-results"
  ctest --preset "$preset" -j "$jobs" || status=1
  python3 tools/list_skipped_tests.py "$preset" "build/$preset/test-results" || status=1
}

run_suite linux
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 run_suite linux-sanitize
TSAN_OPTIONS=halt_on_error=1 run_suite linux-tsan

# The parsers of outside input under libFuzzer (clang, ASan + UBSan), once over each saved corpus.
bash tools/run_fuzzers.sh --regression || status=1

# Passes only when one Windows suite ran and passed.
bash tools/run_windows_tests.sh || status=1

if [ "$status" -eq 0 ]; then echo "=== all test suites passed"; else echo "=== some tests FAILED"; fi
exit "$status"
