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

# The parsers of outside input under libFuzzer (clang, ASan + UBSan), once over each saved corpus.
bash tools/run_fuzzers.sh --regression || status=1

# A throw-away Wine prefix, so no earlier state of a prefix changes what the tests see.
WINEPREFIX=$(mktemp -d /tmp/qnd-wine.XXXXXX)
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# The window tests need a display: a virtual one of their own (also where a desktop is running, so
# no window of the tests appears on it), on the first free number from 90 on.
display=90
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=":$display"
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.2; done
trap 'wineserver -k 2>/dev/null || true; kill "$xvfb_pid" 2>/dev/null || true; rm -rf "$WINEPREFIX"' EXIT
wineboot --init >/dev/null 2>&1
run_suite windows

if [ "$status" -eq 0 ]; then echo "=== all test suites passed"; else echo "=== some tests FAILED"; fi
exit "$status"
