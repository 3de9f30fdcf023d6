#!/usr/bin/env bash
# Builds the Windows programs and shows each under Wine on a virtual X display, in compact mode and
# in expanded mode during a run, with the log and the status bar filled. Writes
# docs/screenshots/QNDUpdater.png, QNDUpdater-Lauf.png, QNDUpdaterP2.png and QNDUpdaterP2-Lauf.png.
# Each program gets a generated release-8 installation (QNDUpdater finds it through the installer's
# registration); QNDUpdaterP2's question before the window appears is answered with "&Ja".
# The 32-bit programs run in a 64-bit prefix where this machine runs 32-bit Windows programs, the
# 64-bit build of the same sources otherwise. Needs root (or sudo) only to install what is missing.
# Usage: screenshots.sh [BUILD]   BUILD: a Windows build folder to use instead of the preset's
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

bash tools/install_dependencies.sh
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
# import (ImageMagick) takes the pictures, xdotool finds the windows and presses the keys, and
# Wine's fonts give the frame its symbols and the window its Tahoma.
missing=()
for package in imagemagick xdotool fonts-wine; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
    missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
fi

work=$(mktemp -d /tmp/qnd-screenshots.XXXXXX)
xvfb_pid=""
cleanup() {
  /usr/lib/wine/wineserver64 -k 2>/dev/null || true
  [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# A display of its own: the first free number from 90 on.
display=90
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=":$display"
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.2; done

# A fresh 64-bit prefix at 96 dpi in which Wine draws the frames itself, since no window manager
# runs. Made with the 64-bit loader itself: Debian's wine scripts take the 32-bit one whenever
# wine32 is installed.
export WINEPREFIX="$work/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine64() { WINELOADER=/usr/lib/wine/wine64 /usr/lib/wine/wine64 "$@"; }
WINEARCH=win64 wine64 wineboot --init >/dev/null 2>&1
wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
# Debian's Wine does not look in fonts-wine's folder; in the prefix's font folder it finds them.
cp /usr/share/wine/fonts/{marlett,tahoma,tahomabd}.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true

if bash tools/probe_wine32.sh "$work" >/dev/null; then
  preset=windows run=(wine)
else
  preset=windows64 run=(wine64)
fi
if [ $# -ge 1 ]; then
  build=$(cd "$1" && pwd)
  cmake --build "$build" --target QNDUpdater QNDUpdaterP2
else
  build="$root/build/$preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" --target QNDUpdater QNDUpdaterP2
fi

# The X window whose title matches the regular expression `$1`, waited for up to a minute.
# Polled: a search fails while Wine creates or destroys other windows.
find_window() {
  local window=""
  for _ in $(seq 300); do
    window=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true)
    [ -z "$window" ] || break
    sleep 0.2
  done
  [ -n "$window" ] || { echo "no window matching $1" >&2; return 1; }
  echo "$window"
}

# Waits for the window whose title matches `$1`, lets it draw, and writes it to `$2`.
shoot() {
  local window
  window=$(find_window "$1")
  sleep 1
  import -window "$window" "$2"
  echo "Wrote $2 ($(identify -format '%wx%h' "$2"))"
}

# Presses "Weiter" (Enter) in the window `$1`, waits until the window has grown from its compact
# height into expanded mode, lets the run go on for `$3` seconds and writes the window to `$2`.
# The run goes on meanwhile: the picture shows it at work.
shoot_run() {
  local compact height
  compact=$(xdotool getwindowgeometry --shell "$1" | sed -n 's/^HEIGHT=//p')
  xdotool windowfocus "$1" key Return
  for _ in $(seq 300); do
    height=$(xdotool getwindowgeometry --shell "$1" 2>/dev/null | sed -n 's/^HEIGHT=//p')
    [ -n "$height" ] || { echo "the window of $2 closed before it grew" >&2; return 1; }
    [ "$height" -gt "$compact" ] && break
    sleep 0.05
  done
  sleep "$3"
  import -window "$1" "$2"
  echo "Wrote $2 ($(identify -format '%wx%h' "$2"))"
}

out="$root/docs/screenshots"
mkdir -p "$out"

# QNDUpdater: compact, then during the run on an installation that the installer registered.
# The sample's registry export goes into the 64-bit view, where the installer registers.
bash tools/make_sample_installation.sh --wine "$work/local" >/dev/null
wine64 regedit /S "$work/local/registry.reg" >/dev/null 2>&1
"${run[@]}" "$build/local_updater/QNDUpdater.exe" &
program=$!
shoot '^Quendra-Updater$' "$out/QNDUpdater.png"
shoot_run "$(find_window '^Quendra-Updater$')" "$out/QNDUpdater-Lauf.png" 1.2
wait "$program" || true  # the run ends by itself
/usr/lib/wine/wineserver64 -k 2>/dev/null || true

# QNDUpdaterP2: compact, then while it archives an installation with a large file in it.
bash tools/make_sample_installation.sh --wine "$work/dir" >/dev/null
mkdir -p "$work/dir/Programme/Quendra/Hilfe"
head -c 150M /dev/urandom > "$work/dir/Programme/Quendra/Hilfe/Handbuch.pdf"
"${run[@]}" "$build/dir_updater/QNDUpdaterP2.exe" "Z:${work//\//\\}\\dir\\Programme\\Quendra" &
program=$!
question=$(find_window '^Best')  # "Bestätigen"; a regex's "." does not match the UTF-8 "ä"
sleep 1
xdotool windowfocus "$question" key Return
shoot '^Quendra Updater$' "$out/QNDUpdaterP2.png"
shoot_run "$(find_window '^Quendra Updater$')" "$out/QNDUpdaterP2-Lauf.png" 2
wait "$program" || true  # the run ends by itself
/usr/lib/wine/wineserver64 -k 2>/dev/null || true
