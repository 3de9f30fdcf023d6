#!/usr/bin/env bash
# Times the archive step of QNDUpdaterP2 (DoZip, on all cores and on one) on a generated
# installation tree against Info-ZIP's zip -r -6, 7-Zip's -tzip -mx=5 and bsdtar's zip format, each
# as far as it is installed, the tools taking turns round after round. Prints a Markdown table:
# median time, the ratio of the medians to Info-ZIP's, the median and range of the ratios round by
# round (pairwise), archive size and peak memory of the whole process (/usr/bin/time -v).
#
#   bench/run_bench.sh [small|medium|large|many|bigfile]      (default: medium)
#
# Environment: RUNS (runs per tool, default 3), BENCH_DIR (trees and archives, default
# ${TMPDIR:-/tmp}/qnd-bench), BUILD_DIR (default build/bench, configured with the linux preset).
# The comparison tools: sudo apt-get install zip p7zip-full libarchive-tools time
#
# The page cache is warmed before timing, so the figures are for a tree that was read recently.
# DoZip also puts its archive on stable storage (fsync) before it returns; the other tools do not.
set -euo pipefail

preset=${1:-medium}
runs=${RUNS:-3}
repo=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${BUILD_DIR:-$repo/build/bench}")
work=$(realpath -m "${BENCH_DIR:-${TMPDIR:-/tmp}/qnd-bench}")
tree_parent=$work/$preset
tree=$tree_parent/Quendra
out=$work/out
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
# Before each run nothing waits to be written back: DoZip's fsync would otherwise write the
# generated tree or an earlier tool's archive as well.
sync
tar -cf - -C "$tree_parent" Quendra >/dev/null  # warm the page cache

# name|command; the archive path is appended, then the rest of the command line follows.
tools=("DoZip, $(nproc) threads|$bench $tree ARCHIVE $(nproc)"
       "DoZip, 1 core (taskset -c 0)|taskset -c 0 $bench $tree ARCHIVE 1")
command -v zip >/dev/null && tools+=("zip -r -6|zip -q -r -6 ARCHIVE Quendra")
command -v 7z >/dev/null && tools+=("7z a -tzip -mx=5|7z a -bd -bso0 -tzip -mx=5 ARCHIVE Quendra")
command -v bsdtar >/dev/null && tools+=("bsdtar --format zip|bsdtar --format zip -cf ARCHIVE Quendra")

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

declare -A seconds size memory
# The tools take turns, run after run, so that a change of the machine's speed during the benchmark
# falls on all of them alike; each run's time is also set against the reference's time of the same
# round (the pairwise ratio).
declare -A times peaks
names=()
for tool in "${tools[@]}"; do names+=("${tool%%|*}"); done
archive=$out/archive.zip
for ((run = 0; run < runs; ++run)); do
  for tool in "${tools[@]}"; do
    name=${tool%%|*}
    command=${tool#*|}
    rm -f "$archive"
    sync
    (cd "$tree_parent" && /usr/bin/time -f "%e %M" -o "$out/time.txt" ${command/ARCHIVE/$archive} >/dev/null)
    read -r elapsed peak <"$out/time.txt"
    times[$name]+="$elapsed "
    peaks[$name]+="$peak "
    size[$name]=$(stat -c %s "$archive")
  done
done
for name in "${names[@]}"; do
  seconds[$name]=$(printf '%s\n' ${times[$name]} | median)
  memory[$name]=$(printf '%s\n' ${peaks[$name]} | sort -g | tail -1)
  echo "$name: ${times[$name]}s" >&2
done
rm -f "$out/archive.zip" "$out/time.txt"

reference="zip -r -6"
files=$(find "$tree" -type f | wc -l)
bytes=$(du -sb "$tree" | cut -f1)
echo
echo "Preset $preset: $files files, $((bytes / 1048576)) MiB; $runs rounds, each tool once per round; median time, warm page cache."
echo "Machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), nproc $(nproc);" \
  "load average while running: $(cut -d' ' -f1-3 /proc/loadavg)."
echo
echo "| Tool | Time (s) | Time vs zip -r -6 | Pairwise vs zip -r -6: median (range) | Archive (MiB) | Size vs zip -r -6 | Peak memory (MiB) |"
echo "|---|---:|---:|---:|---:|---:|---:|"
for name in "${names[@]}"; do
  if [[ -n ${seconds[$reference]:-} ]]; then
    time_ratio=$(awk -v a="${seconds[$name]}" -v b="${seconds[$reference]}" 'BEGIN { printf "%.2f×", a / b }')
    size_ratio=$(awk -v a="${size[$name]}" -v b="${size[$reference]}" 'BEGIN { printf "%+.2f %%", (a / b - 1) * 100 }')
    # The ratio of each round, then their median and range.
    pair_ratios=$(paste <(printf '%s\n' ${times[$name]}) <(printf '%s\n' ${times[$reference]}) |
      awk '{ printf "%.4f\n", $1 / $2 }' | sort -g)
    pair_ratio=$(awk -v m="$(median <<<"$pair_ratios")" -v lo="$(head -1 <<<"$pair_ratios")" \
      -v hi="$(tail -1 <<<"$pair_ratios")" 'BEGIN { printf "%.2f× (%.2f–%.2f)", m, lo, hi }')
  else
    time_ratio="–" size_ratio="–" pair_ratio="–"
  fi
  awk -v n="$name" -v t="${seconds[$name]}" -v tr="$time_ratio" -v pr="$pair_ratio" \
    -v s="${size[$name]}" -v sr="$size_ratio" -v m="${memory[$name]}" \
    'BEGIN { printf "| %s | %.2f | %s | %s | %.1f | %s | %.1f |\n", n, t, tr, pr, s / 1048576, sr, m / 1024 }'
done
