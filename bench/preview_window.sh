#!/usr/bin/env bash
# The File Preview window on repaired tables of 1 and 10 million records,
# offscreen: the first screen of rows within 1 s of opening the window,
# Ctrl+End showing the last rows within 100 ms, and the peak memory with 10
# million records within 20 MiB of the peak with 1 million. Each table is
# measured three times; the median run counts. Exits non-zero when a goal is
# missed. Tables go to $BENCH_DATA (default build/bench-data; about 1.2 GB).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DDRELIN_GUI=ON >/dev/null
cmake --build build --target drelin-repair drelin-bench-preview-window >/dev/null

data=${BENCH_DATA:-build/bench-data}
mkdir -p "$data"
export QT_QPA_PLATFORM=offscreen QT_FONT_DPI=96
XDG_RUNTIME_DIR=$(mktemp -d)
export XDG_RUNTIME_DIR
trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT

# median of three runs of one table: "first end peak"
measure() {
  for run in 1 2 3; do
    build/bin/drelin-bench-preview-window "$1" |
      sed -E 's/.*first screen ([0-9.]+) ms, Ctrl\+End ([0-9.]+) ms.*peak memory ([0-9]+) KiB/\1 \2 \3/'
  done | sort -n -k1,1 | sed -n 2p
}

declare -A result
for records in 1000000 10000000; do
  table=$data/preview-$records.dbf
  repaired=$data/preview-$records-repaired.dbf
  [ -f "$table" ] || python3 bench/make_table.py "$table" --records "$records"
  [ -f "$repaired" ] || build/bin/drelin-repair repair --output "$repaired" "$table" >/dev/null
  result[$records]=$(measure "$repaired")
  read -r first end peak <<<"${result[$records]}"
  printf '%9d records: first screen %7.1f ms (goal < 1000), Ctrl+End %6.1f ms (goal < 100), peak %d KiB\n' \
    "$records" "$first" "$end" "$peak"
done

read -r first end peak <<<"${result[10000000]}"
read -r _ _ base <<<"${result[1000000]}"
growth=$((peak - base))
printf 'peak memory growth from 1 to 10 million records: %d KiB (goal <= 20480)\n' "$growth"
python3 - "$first" "$end" "$growth" <<'PY'
import sys
first, end, growth = float(sys.argv[1]), float(sys.argv[2]), int(sys.argv[3])
sys.exit(0 if first < 1000 and end < 100 and growth <= 20480 else 1)
PY
