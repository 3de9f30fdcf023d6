#!/bin/sh
# Runs one Windows test program under Wine: wine_exec.sh 32|64 program [arguments].
# The 64-bit loader is called directly: Debian's wine script takes the 32-bit loader whenever wine32
# is installed, also on machines whose kernel cannot execute it.
# With QND_WINE_USER set and run as root, the program runs as that user instead, because Wine
# running as root ignores the read-only bit that the programs' safety code relies on.
set -eu
bits=$1
shift
if [ "$bits" = 64 ]; then
  WINELOADER=/usr/lib/wine/wine64
  export WINELOADER
  set -- /usr/lib/wine/wine64 "$@"
else
  set -- wine "$@"
fi
if [ -n "${QND_WINE_USER:-}" ] && [ "$(id -u)" -eq 0 ]; then
  exec runuser -u "$QND_WINE_USER" -- "$@"
fi
exec "$@"
