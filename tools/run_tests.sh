#!/usr/bin/env bash
# Installs what is needed, builds both targets and runs every test suite: natively on Linux, under
# AddressSanitizer and UndefinedBehaviorSanitizer, and the Windows build under 32-bit Wine.
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
  ctest --preset "$preset" -j "$jobs" || status=1
}

run_suite linux
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 run_suite linux-sanitize

# A throw-away Wine prefix, so no earlier state of a prefix changes what the tests see.
WINEPREFIX=$(mktemp -d /tmp/qnd-wine.XXXXXX)
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap 'wineserver -k 2>/dev/null || true; rm -rf "$WINEPREFIX"' EXIT
wineboot --init >/dev/null 2>&1
run_suite windows

if [ "$status" -eq 0 ]; then echo "=== all test suites passed"; else echo "=== some tests FAILED"; fi
exit "$status"
