#!/usr/bin/env bash
# The main job on a generated sample installation: builds the Linux programs, generates a release-8
# installation with its registry export in build/sample, and runs an updater on it.
#   run_sample.sh [QNDUpdaterP2|QNDUpdater]     (default QNDUpdaterP2)
# With a display the window opens for you: confirm, press "Weiter". Without one the program runs on
# a virtual display (Xvfb) and the keys are pressed for you, as a user would press them.
set -euo pipefail
cd "$(dirname "$0")/.."
program=${1:-QNDUpdaterP2}

bash tools/install_dependencies.sh
cmake --preset linux >/dev/null
cmake --build --preset linux -j "$(nproc)" --target QNDUpdater QNDUpdaterP2
sample=$(pwd)/build/sample
bash tools/make_sample_installation.sh "$sample"
export QND_REGISTRY_FILE="$sample/registry.reg"

case "$program" in
  # QNDUpdaterP2 first asks whether to go on ("&Ja" is the default), then waits for "Weiter".
  QNDUpdaterP2)
    command=(build/linux/dir_updater/QNDUpdaterP2 "$sample/Programme/Quendra")
    windows=("Bestätigen" "Quendra Updater") ;;
  QNDUpdater)
    command=(build/linux/local_updater/QNDUpdater)
    windows=("Quendra-Updater") ;;
  *) echo "unknown program: $program" >&2; exit 2 ;;
esac

status=0
if [ -n "${DISPLAY:-}" ]; then
  "${command[@]}" || status=$?
else
  display=:$((90 + RANDOM % 100))
  Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
  xvfb=$!
  trap 'kill $xvfb 2>/dev/null || true' EXIT
  sleep 1
  export DISPLAY=$display
  "${command[@]}" &
  pid=$!
  for window in "${windows[@]}"; do
    id=""
    for _ in $(seq 50); do
      id=$(xdotool search --name "^$window\$" 2>/dev/null | head -n 1) && [ -n "$id" ] && break
      sleep 0.2
    done
    echo "pressing Enter in \"$window\""
    # Without a window manager the newest window has the keyboard focus already.
    [ -z "$id" ] || xdotool windowfocus --sync "$id" 2>/dev/null || true
    xdotool key Return || true
    sleep 0.5
  done
  wait "$pid" || status=$?
fi

echo
echo "$program ended with exit code $status"
echo "Backups:       $(cd "$sample/Daten/Quendra" && find . -name 'QND_Bkp_*' | sort | tr '\n' ' ')"
echo "Result file:   $(find "$sample/ProgramData" -name QND_6_7_8_Update.ini)"
[ "$program" = QNDUpdaterP2 ] && echo "Installation:  $(ls -A "$sample/Programme/Quendra" | tr '\n' ' ')"
exit "$status"
