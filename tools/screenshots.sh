#!/usr/bin/env bash
# Builds the Windows programs, shows each in compact mode under Wine on a virtual X display and
# writes docs/screenshots/QNDUpdater.png and docs/screenshots/QNDUpdaterP2.png. QNDUpdaterP2 gets a
# generated release-8 installation; its question before the window appears is answered with "&Ja".
# Needs root (or sudo) only to install what is missing.
# Usage: screenshots.sh [BUILD]   BUILD: a Windows build folder to use instead of the preset's
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

bash tools/install_dependencies.sh
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
# import (ImageMagick) takes the pictures, xdotool finds the windows and presses the key, and
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

if [ $# -ge 1 ]; then
  build=$(cd "$1" && pwd)
  cmake --build "$build" --target QNDUpdater QNDUpdaterP2
else
  build="$root/build/windows"
  cmake --preset windows >/dev/null
  cmake --build --preset windows --target QNDUpdater QNDUpdaterP2
fi

work=$(mktemp -d /tmp/qnd-screenshots.XXXXXX)
xvfb_pid=""
cleanup() {
  WINEPREFIX="$work/wine" wineserver -k 2>/dev/null || true
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

# A fresh prefix at 96 dpi in which Wine draws the frames itself, since no window manager runs.
export WINEPREFIX="$work/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wineboot --init >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
# Debian's Wine does not look in fonts-wine's folder; in the prefix's font folder it finds them.
cp /usr/share/wine/fonts/{marlett,tahoma,tahomabd}.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true

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

out="$root/docs/screenshots"
mkdir -p "$out"

wine "$build/local_updater/QNDUpdater.exe" &
shoot '^Quendra-Updater$' "$out/QNDUpdater.png"
wineserver -k 2>/dev/null || true

bash tools/make_sample_installation.sh "$work/sample" >/dev/null
wine "$build/dir_updater/QNDUpdaterP2.exe" "Z:${work//\//\\}\\sample\\Programme\\Quendra" &
question=$(find_window '^Best')  # "Bestätigen"; a regex's "." does not match the UTF-8 "ä"
sleep 1
xdotool windowfocus "$question" key Return
shoot '^Quendra Updater$' "$out/QNDUpdaterP2.png"
wineserver -k 2>/dev/null || true
