#!/usr/bin/env bash
# Generates a sample Quendra release-8 installation for trying the updaters on Linux:
#   DEST/Programme/Quendra/                 the installation directory, with its start file
#   DEST/ProgramData/Kalvetto/Quendra/001/  the main ini of release 8
#   DEST/Daten/Quendra/                     the data: Daten/ (user file, subject canon), Formulare/,
#                                           NKK/, Formulierungen/
#   DEST/registry.reg                       the registry as a Windows export: the all-users folder
#                                           and the installer's registration of the installation
# Usage: make_sample_installation.sh [--wine] DEST   (DEST is created; existing content is replaced)
#   --wine: the paths inside the files are the ones the Windows programs see under Wine, where the
#           Linux root is the drive Z: (Z:\tmp\...\ for /tmp/.../)
set -euo pipefail
wine_paths=0
if [ "${1:-}" = --wine ]; then wine_paths=1; shift; fi
[ $# -eq 1 ] || { echo "usage: $0 [--wine] DEST" >&2; exit 2; }
mkdir -p "$1"
dest=$(cd "$1" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
# A folder as the programs read it from the files.
seen() {
  if [ "$wine_paths" -eq 1 ]; then local p="Z:$1"; printf '%s' "${p//\//\\}"; else printf '%s' "$1"; fi
}
rm -rf "$dest/Programme" "$dest/ProgramData" "$dest/Daten" "$dest/registry.reg"

install="$dest/Programme/Quendra"
ini="$dest/ProgramData/Kalvetto/Quendra"
data="$dest/Daten/Quendra"
mkdir -p "$install/Vorlagen" "$ini/001" "$data/Daten" "$data/Formulare" "$data/NKK" \
  "$data/Formulierungen/Zeugnisbemerkungen"

crlf() { printf '%s\r\n' "$@"; }
crlf "[Setup]" "IniPfad=$(seen "$ini/")" > "$install/QuendStart.ini"
crlf "[Setup]" "Datenverzeichnis=$(seen "$data/Daten/")" "Schule=Grundschule am See" > "$ini/001/quendra.ini"
crlf "[Benutzer]" "UserZahl=0" > "$data/Daten/QuendUser.ini"

# The twelve data files of tests/data/data_files.txt, random bytes of the sizes it gives.
while read -r file size; do
  head -c "$size" /dev/urandom > "$data/$file"
done < <(grep -v -e '^#' -e '^$' "$root/tests/data/data_files.txt")
printf 'Arbeitet stets sorgfältig.\r\n' > "$data/Formulierungen/Arbeitsverhalten.txt"
printf 'Zeigt großes Interesse.\r\n' > "$data/Formulierungen/Zeugnisbemerkungen/Allgemein.txt"
# The program file of release 8: the tests' small Windows program with product version 8.2.0.15.
cp "$root/tests/data/version/v8.exe" "$install/Quendra.EXE"
printf 'Vorlage\r\n' > "$install/Vorlagen/Zeugnis.qvl"

# A string value in a registry export doubles backslashes and escapes quotes.
reg_string() { local s=${1//\\/\\\\}; printf '"%s"' "${s//\"/\\\"}"; }
# The newest of the product codes QNDUpdater looks for.
product_code=$(grep -o '"[0-9A-F]\{32\}"' "$root/local_updater/install_lookup.h" | head -n 1 | tr -d '"')
crlf "Windows Registry Editor Version 5.00" "" \
  "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders]" \
  "\"Common AppData\"=$(reg_string "$(seen "$dest/ProgramData")")" "" \
  "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\S-1-5-18\\Products\\$product_code\\InstallProperties]" \
  "\"InstallLocation\"=$(reg_string "$(seen "$install/")")" > "$dest/registry.reg"

echo "Sample installation in $dest"
