#!/usr/bin/env bash
# The Windows suite under Wine, as the test command runs it. It decides by trying whether this
# machine runs 32-bit Windows programs, and says which way it goes:
#  - where it can, the product's own 32-bit build (preset windows) runs in a 64-bit prefix, under
#    WOW64 as on the 64-bit PCs of most schools;
#  - where it cannot (a kernel without 32-bit support), the same sources built for 64-bit Windows
#    (preset windows64) run under 64-bit Wine, and the 32-bit programs are built and checked only.
# QND_FORCE_WINDOWS64=1 takes the 64-bit way on any machine. Arguments go to ctest (-R win32_e2e).
#
# Run as root, the programs run as the unprivileged user qndtest (created here), because Wine
# running as root ignores the read-only bit that the programs' safety code relies on.
# Needs the packages of tools/install_dependencies.sh. Writes the results of the suite that ran
# into build/<preset>/test-results; the exit status is 0 only when that suite ran and passed.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
jobs=$(nproc)

# The 32-bit product is built and checked either way.
echo "=== windows: configure and build (32-bit programs, mingw-w64 i686)"
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs"
bash tools/check_windows_programs.sh build/windows

# The user the programs run as: root's programs run as qndtest.
user=""
restore_modes=()
as_user() {
  if [ -n "$user" ]; then runuser -u "$user" -- "$@"; else "$@"; fi
}

scratch=$(mktemp -d /tmp/qnd-windows-tests.XXXXXX)
chmod 755 "$scratch"
cleanup() {
  as_user /usr/lib/wine/wineserver64 -k 2>/dev/null || true
  [ -z "${xvfb_pid:-}" ] || kill "$xvfb_pid" 2>/dev/null || true
  local entry
  for entry in "${restore_modes[@]}"; do chmod "${entry%%:*}" "${entry#*:}"; done
  rm -rf "$scratch"
}
trap cleanup EXIT

if [ "$(id -u)" -eq 0 ]; then
  user=qndtest
  id "$user" >/dev/null 2>&1 || useradd --create-home --shell /usr/sbin/nologin "$user"
  # The user must reach the test programs and the sources that the tests read; a folder above the
  # repository that others cannot pass (a home folder of mode 0700) gets the right to pass (not
  # to list) until the suite has run.
  folder=$root
  while [ "$folder" != / ]; do
    if ! runuser -u "$user" -- test -x "$folder"; then
      restore_modes+=("$(stat -c %a "$folder"):$folder")
      chmod o+x "$folder"
    fi
    folder=$(dirname "$folder")
  done
  [ ${#restore_modes[@]} -eq 0 ] ||
    echo "=== windows: made passable for $user until the end: ${restore_modes[*]#*:}"
fi

# A throw-away 64-bit prefix, so no earlier state of a prefix changes what the tests see.
WINEPREFIX=$scratch/prefix
mkdir "$WINEPREFIX"
[ -z "$user" ] || chown "$user" "$WINEPREFIX"
# No debugger for a crashing test program: it ends with its crash instead of waiting on one.
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
export QND_WINE_USER=$user

# The window tests need a display: a virtual one of their own (also where a desktop is running, so
# no window of the tests appears on it), on the first free number from 90 on.
display=90
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=":$display"
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.2; done

# One server for the whole suite, so test programs that start at the same moment meet it running.
as_user /usr/lib/wine/wineserver64 -p
# Debian's wine and wineboot scripts take the 32-bit loader whenever wine32 is installed, also where
# the kernel cannot execute it: the prefix is made with the 64-bit loader itself.
if ! as_user env WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64 /usr/lib/wine/wine64 wineboot --init \
    >"$scratch/wineboot.log" 2>&1; then
  echo "=== windows: Wine could not make its prefix (wine64 wineboot --init):"
  tail -n 20 "$scratch/wineboot.log"
  exit 1
fi

preset=windows64
if [ "${QND_FORCE_WINDOWS64:-0}" = 1 ]; then
  echo "=== Windows tests: the 64-bit build (preset windows64) under 64-bit Wine, forced by QND_FORCE_WINDOWS64=1; the 32-bit programs are built and checked only"
else
  runner=()
  [ -z "$user" ] || runner=(runuser -u "$user" --)
  if why=$(bash tools/probe_wine32.sh "$scratch" "${runner[@]}"); then
    preset=windows
    echo "=== Windows tests: this machine runs 32-bit Windows programs under Wine: the 32-bit build (preset windows) in a 64-bit prefix, under WOW64"
  else
    echo "=== Windows tests: this machine cannot run 32-bit Windows programs under Wine ($why): the 64-bit build (preset windows64) under 64-bit Wine; the 32-bit programs are built and checked only"
  fi
fi

if [ "$preset" = windows64 ]; then
  echo "=== windows64: configure and build"
  cmake --preset windows64 >/dev/null
  cmake --build --preset windows64 -j "$jobs"
fi
results=build/$preset/test-results
rm -rf "$results"
mkdir -p "$results"
chmod 1777 "$results"
echo "=== $preset: tests"
status=0
ctest --preset "$preset" -j "$jobs" "$@" || status=1
python3 tools/list_skipped_tests.py "$preset" "$results" || status=1
exit "$status"
