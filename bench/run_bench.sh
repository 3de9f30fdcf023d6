#!/usr/bin/env bash
# Times the archive step of QNDUpdaterP2 on a generated installation tree against Info-ZIP's
# zip -r -6 (and 7-Zip's -tzip -mx=5 and bsdtar's zip format, as far as they are installed), the
# tools taking turns round after round. Rows:
#  - the archive with its verification (qnd_archive_bench --verify), on all cores and on one;
#  - the whole step (--whole: archive, copy into the installation, verification, the deletion with
#    its content check) against zip -r -6 + rm -r + cp of its archive, both on a fresh copy of the
#    tree each round (the copying is not timed);
#  - the Windows build under Wine (the 32-bit one where this machine runs 32-bit Windows programs,
#    the 64-bit one otherwise): the archive with its verification on all cores and on one, and the
#    floor, a plain read of the tree through the same calls (--read). Wine's start is in its times.
# Prints a Markdown table: median time, the ratio of the medians to the row's reference, the median
# and range of the ratios round by round (pairwise), archive size and peak memory of the whole
# process (/usr/bin/time -v).
#
#   bench/run_bench.sh [small|medium|large|many|bigfile]      (default: medium)
#
# Environment: RUNS (rounds, default 3), BENCH_DIR (trees and archives, default
# ${TMPDIR:-/tmp}/qnd-bench), BUILD_DIR (default build/bench, configured with the linux preset),
# WINE=0 leaves out the Windows rows, WHOLE=0 the whole-step rows.
# The comparison tools: sudo apt-get install zip p7zip-full libarchive-tools time
#
# The page cache is warm: each tree was read (or copied) just before. qnd_archive_bench also puts
# its archive on stable storage (fsync) before it returns; the other tools do not.
set -euo pipefail

preset=${1:-medium}
runs=${RUNS:-3}
repo=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${BUILD_DIR:-$repo/build/bench}")
work=$(realpath -m "${BENCH_DIR:-${TMPDIR:-/tmp}/qnd-bench}")
tree_parent=$work/$preset
tree=$tree_parent/Quendra
out=$work/out
whole=$work/whole
mkdir -p "$out"

if [[ ! -x /usr/bin/time ]]; then
  echo "needs /usr/bin/time (apt-get install time)" >&2
  exit 1
fi

if [[ ! -f $build/CMakeCache.txt ]]; then
  cmake --preset linux -B "$build" -DQND_BUILD_TESTS=OFF >/dev/null
fi
cmake --build "$build" --target qnd_archive_bench >/dev/null
bench=$build/bench/qnd_archive_bench

if [[ ! -f $tree_parent/.complete ]]; then
  rm -rf "$tree_parent"
  mkdir -p "$tree_parent"
  echo "generating the $preset tree in $tree ..." >&2
  python3 "$repo/bench/make_tree.py" "$preset" "$tree"
  touch "$tree_parent/.complete"
fi

# The Windows build, in a Wine prefix of its own that stays for later runs.
wine_rows=()
if [[ ${WINE:-1} != 0 ]] && command -v i686-w64-mingw32-g++ >/dev/null && [[ -x /usr/lib/wine/wine64 ]]; then
  export WINEPREFIX=$work/wine-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
  if [[ ! -f $WINEPREFIX/system.reg ]]; then
    WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64 /usr/lib/wine/wine64 wineboot --init >/dev/null 2>&1
  fi
  /usr/lib/wine/wineserver64 -p || true  # one server for all runs (one may run already)
  trap '/usr/lib/wine/wineserver64 -k 2>/dev/null || true' EXIT
  if bash "$repo/tools/probe_wine32.sh" "$out" >/dev/null; then
    wine_preset=windows wine_bits=32 wine_run=(wine)
  else
    wine_preset=windows64 wine_bits=64 wine_run=(env WINELOADER=/usr/lib/wine/wine64 /usr/lib/wine/wine64)
  fi
  cmake --preset "$wine_preset" >/dev/null
  cmake --build --preset "$wine_preset" --target qnd_archive_bench >/dev/null
  wine_bench=$repo/build/$wine_preset/bench/qnd_archive_bench.exe
  windows_path() { echo "Z:${1//\//\\}"; }
  wine_tree=$(windows_path "$tree")
  w="${wine_run[*]} $wine_bench"
  wine_rows=("Windows build ($wine_bits-bit) under Wine, archive + verification, $(nproc) threads|archive|zip -r -6|$w --verify '$wine_tree' 'WINARCHIVE' $(nproc)"
             "Windows build ($wine_bits-bit) under Wine, archive + verification, 1 thread|archive|zip -r -6|$w --verify '$wine_tree' 'WINARCHIVE' 1"
             "Windows build ($wine_bits-bit) under Wine, floor: the plain read (--read)|read|zip -r -6|$w --read '$wine_tree'")
fi

# name|kind|reference|command. kind: archive (written to ARCHIVE), whole (on the fresh copy in
# $whole, its archive ending up in the copy), read (no archive). The command runs in the tree's
# parent folder, or in $whole.
linux="QNDUpdaterP2 (Linux build)"
tools=("$linux, archive + verification, $(nproc) threads|archive|zip -r -6|$bench --verify $tree ARCHIVE $(nproc)"
       "$linux, archive + verification, 1 core (taskset -c 0)|archive|zip -r -6|taskset -c 0 $bench --verify $tree ARCHIVE 1")
command -v zip >/dev/null && tools+=("zip -r -6|archive|zip -r -6|zip -q -r -6 ARCHIVE Quendra")
command -v 7z >/dev/null && tools+=("7z a -tzip -mx=5|archive|zip -r -6|7z a -bd -bso0 -tzip -mx=5 ARCHIVE Quendra")
command -v bsdtar >/dev/null && tools+=("bsdtar --format zip|archive|zip -r -6|bsdtar --format zip -cf ARCHIVE Quendra")
tools+=("${wine_rows[@]}")
zip_whole="zip -r -6 + rm -r + cp"
if [[ ${WHOLE:-1} != 0 ]]; then
  tools+=("$linux, the whole step (--whole), $(nproc) threads|whole|$zip_whole|$bench --whole $whole/Quendra $whole/temp $(nproc)")
  command -v zip >/dev/null &&
    tools+=("$zip_whole|whole|$zip_whole|sh -c 'zip -q -r -6 ARCHIVE Quendra && rm -r Quendra && mkdir Quendra && cp ARCHIVE Quendra/'")
fi

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# The tools take turns, round after round, so that a change of the machine's speed during the
# benchmark falls on all of them alike; each run's time is also set against its reference's time
# of the same round (the pairwise ratio).
declare -A times peaks size seconds memory reference_of kind_of
names=()
for tool in "${tools[@]}"; do
  IFS='|' read -r name kind reference _ <<<"$tool"
  names+=("$name")
  kind_of[$name]=$kind
  reference_of[$name]=$reference
done
archive=$out/archive.zip
for ((run = 0; run < runs; ++run)); do
  for tool in "${tools[@]}"; do
    IFS='|' read -r name kind _ command <<<"$tool"
    rm -f "$archive"
    folder=$tree_parent
    if [[ $kind == whole ]]; then
      rm -rf "$whole"
      mkdir -p "$whole/temp"
      cp -a "$tree" "$whole/Quendra"
      folder=$whole
    fi
    # Nothing waits to be written back: the fsync of qnd_archive_bench would write it as well.
    sync
    [[ $kind == whole ]] || tar -cf - -C "$tree_parent" Quendra >/dev/null  # warm the page cache
    command=${command//WINARCHIVE/$(windows_path "$archive" 2>/dev/null || true)}
    command=${command//ARCHIVE/$archive}
    (cd "$folder" && eval "/usr/bin/time -f '%e %M' -o '$out/time.txt' $command" >/dev/null)
    read -r elapsed peak <"$out/time.txt"
    times[$name]+="$elapsed "
    peaks[$name]+="$peak "
    if [[ $kind == whole && -f $whole/Quendra/qndaltinst.zip ]]; then
      size[$name]=$(stat -c %s "$whole/Quendra/qndaltinst.zip")
    elif [[ $kind == whole ]]; then
      size[$name]=$(stat -c %s "$whole/Quendra/archive.zip")
    elif [[ $kind == archive ]]; then
      size[$name]=$(stat -c %s "$archive")
    fi
  done
done
rm -rf "$whole" "$out/archive.zip" "$out/time.txt"
for name in "${names[@]}"; do
  seconds[$name]=$(printf '%s\n' ${times[$name]} | median)
  memory[$name]=$(printf '%s\n' ${peaks[$name]} | sort -g | tail -1)
  echo "$name: ${times[$name]}s" >&2
done

# The median and range of the ratios of `name`'s times to `other`'s, round by round.
pairwise() {
  local ratios
  ratios=$(paste <(printf '%s\n' ${times[$1]}) <(printf '%s\n' ${times[$2]}) |
    awk '{ printf "%.4f\n", $1 / $2 }' | sort -g)
  awk -v m="$(median <<<"$ratios")" -v lo="$(head -1 <<<"$ratios")" -v hi="$(tail -1 <<<"$ratios")" \
    'BEGIN { printf "%.2f× (%.2f–%.2f)", m, lo, hi }'
}

files=$(find "$tree" -type f | wc -l)
bytes=$(du -sb "$tree" | cut -f1)
echo
echo "Preset $preset: $files files, $((bytes / 1048576)) MiB; $runs rounds, each tool once per round; median time, warm page cache."
echo "Machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), nproc $(nproc);" \
  "load average while running: $(cut -d' ' -f1-3 /proc/loadavg)."
echo
echo "| Tool | Time (s) | Time vs reference | Pairwise vs reference: median (range) | Archive (MiB) | Size vs zip -r -6 | Peak memory (MiB) |"
echo "|---|---:|---:|---:|---:|---:|---:|"
for name in "${names[@]}"; do
  reference=${reference_of[$name]}
  time_ratio="–" pair_ratio="–" size_ratio="–" archive_size="–"
  if [[ -n ${seconds[$reference]:-} ]]; then
    time_ratio=$(awk -v a="${seconds[$name]}" -v b="${seconds[$reference]}" -v r="$reference" \
      'BEGIN { printf "%.2f× %s", a / b, r }')
    pair_ratio=$(pairwise "$name" "$reference")
  fi
  if [[ -n ${size[$name]:-} ]]; then
    archive_size=$(awk -v s="${size[$name]}" 'BEGIN { printf "%.1f", s / 1048576 }')
    [[ -z ${size[zip -r -6]:-} ]] ||
      size_ratio=$(awk -v a="${size[$name]}" -v b="${size[zip -r -6]}" 'BEGIN { printf "%+.2f %%", (a / b - 1) * 100 }')
  fi
  awk -v n="$name" -v t="${seconds[$name]}" -v tr="$time_ratio" -v pr="$pair_ratio" \
    -v s="$archive_size" -v sr="$size_ratio" -v m="${memory[$name]}" \
    'BEGIN { printf "| %s | %.2f | %s | %s | %s | %s | %.1f |\n", n, t, tr, pr, s, sr, m / 1024 }'
done
if [[ ${#wine_rows[@]} -gt 0 ]]; then
  echo
  for threads in "$(nproc) threads" "1 thread"; do
    windows="Windows build ($wine_bits-bit) under Wine, archive + verification, $threads"
    own="$linux, archive + verification, $(nproc) threads"
    [[ $threads == "1 thread" ]] && own="$linux, archive + verification, 1 core (taskset -c 0)"
    echo "The Windows build on $threads against the Linux build: $(pairwise "$windows" "$own") pairwise."
  done
  echo "The Windows build on $(nproc) threads against itself on 1: $(pairwise \
    "Windows build ($wine_bits-bit) under Wine, archive + verification, $(nproc) threads" \
    "Windows build ($wine_bits-bit) under Wine, archive + verification, 1 thread") pairwise."
fi
