#!/usr/bin/env bash
# Cost of a batch run against its file count: `drelin-repair repair --out-dir`
# over 1,000 and over 10,000 small tables (each a few hundred bytes), the
# median wall time of three runs each and the peak memory. Goals: the larger
# run takes at most 12 times as long as the smaller (linear; the progress log
# must not cost the square of the file count) with peak memory under 64 MiB.
# Exits non-zero when a goal is missed.
#
#   bench/batch_log.sh [SMALL LARGE]      (default 1000 10000)
#
# The tables, the working files and the saved copies live under $BENCH_DIR,
# by default /dev/shm: on a disk, the kernel's throttling of writeback starts
# somewhere within the 20,000 new files of the larger run and pauses any
# program that creates files, so the disk's figure is shown beside the
# program's own (the CPU seconds). DRELIN_REPAIR names the binary to measure
# (default build/bin/drelin-repair).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh time
small=${1:-1000}
large=${2:-10000}
tool=${DRELIN_REPAIR:-}
if [ -z "$tool" ]; then
  cmake --build build --target drelin-repair >/dev/null
  tool=$PWD/build/bin/drelin-repair
fi

bench_dir=${BENCH_DIR:-/dev/shm}
[ -d "$bench_dir" ] || bench_dir=${TMPDIR:-/tmp}
scratch=$(mktemp -d -p "$bench_dir")
trap 'rm -rf "$scratch"' EXIT
export TMPDIR=$scratch
mkdir "$scratch/tables"
# One damaged table (its record count says 0) copied under many names.
python3 bench/make_table.py "$scratch/one.dbf" --records 3 >/dev/null
python3 - "$scratch/one.dbf" "$scratch/tables" "$large" <<'EOF'
import sys
data = bytearray(open(sys.argv[1], 'rb').read())
data[4:8] = bytes(4)
for i in range(int(sys.argv[3])):
    open('%s/t%05d.dbf' % (sys.argv[2], i), 'wb').write(data)
EOF

# measure COUNT: prints "SECONDS CPU KIB", the medians of three runs' wall
# time and CPU time (user + system), and the largest peak.
measure() {
  local count=$1 times=() cpus=() peak=0
  mapfile -t files < <(find "$scratch/tables" -name '*.dbf' | sort | head -n "$count")
  for _ in 1 2 3; do
    rm -rf "$scratch/out"
    mkdir "$scratch/out"
    read -r seconds kib user system < <(/usr/bin/time -f '%e %M %U %S' "$tool" repair --out-dir "$scratch/out" \
      "${files[@]}" 2>&1 >/dev/null | tail -n 1)
    [ "$(find "$scratch/out" -name '*.dbf' | wc -l)" -eq "$count" ] || {
      echo "a run over $count tables did not save them all" >&2
      exit 1
    }
    times+=("$seconds")
    cpus+=("$(python3 -c "import sys; print(float(sys.argv[1]) + float(sys.argv[2]))" "$user" "$system")")
    [ "$kib" -gt "$peak" ] && peak=$kib
  done
  median() { printf '%s\n' "$@" | sort -g | sed -n 2p; }
  echo "$(median "${times[@]}") $(median "${cpus[@]}") $peak"
}

read -r small_time small_cpu small_peak < <(measure "$small")
read -r large_time large_cpu large_peak < <(measure "$large")
ratio=$(python3 -c "import sys; print('%.2f' % (float(sys.argv[2]) / max(float(sys.argv[1]), 0.01)))" \
  "$small_time" "$large_time")
echo "in $bench_dir:"
printf '%6d tables: median %6.2f s (CPU %5.2f s), peak %6d KiB\n' "$small" "$small_time" "$small_cpu" "$small_peak"
printf '%6d tables: median %6.2f s (CPU %5.2f s), peak %6d KiB\n' "$large" "$large_time" "$large_cpu" "$large_peak"
printf 'ratio %s (goal <= 12), peak goal < 65536 KiB\n' "$ratio"
python3 -c "import sys; sys.exit(0 if float(sys.argv[1]) <= 12 and int(sys.argv[2]) < 65536 else 1)" \
  "$ratio" "$large_peak"
