#!/usr/bin/env bash
# Measures the speed and memory goals side by side in one run and prints the
# figures and ratios:
#   - Normal and Advance repair of a 1 GiB table against `cp --reflink=never`
#     of the same file (goal: at most 1.25 times cp's time);
#   - peak memory of those repairs (goal: under 64 MiB);
#   - preview of a table of over 10 million records: first and last rows
#     after opening (goal: under 50 ms, memory independent of the records);
#   - `preview --format csv` of a 100 MB table against pgdbf converting it to
#     SQL (goal: at least as fast);
#   - a batch repair of 10,000 small tables against one of 1,000 (goal: at
#     most 12 times as long, peak memory under 64 MiB; bench/batch_log.sh);
#   - the File Preview window on 10 million records: first screen under 1 s,
#     Ctrl+End under 100 ms, peak memory within 20 MiB of 1 million records'
#     (bench/preview_window.sh);
#   - the main window while adding 1,000 tables and during runs of 1,000 and
#     10,000 (goal: no stall of the interface over 100 ms, the larger run at
#     most 12 times as long; bench/view_latency.sh).
# Tables are generated once into $BENCH_DATA (default build/bench-data; about
# 4.5 GB of disk at the peak).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh hyperfine pgdbf time
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target drelin-repair drelin-bench-preview >/dev/null

tool=$PWD/build/bin/drelin-repair
data=${BENCH_DATA:-build/bench-data}
mkdir -p "$data"
big=$data/table-1g.dbf
mid=$data/table-100m.dbf
[ -f "$big" ] || python3 bench/make_table.py "$big" --bytes $((1 << 30))
[ -f "$mid" ] || python3 bench/make_table.py "$mid" --bytes 100000000
out=$data/out.dbf

median() {  # median() JSON NAME: median seconds of one hyperfine command
  python3 -c 'import json,sys; r={x["command"]:x for x in json.load(open(sys.argv[1]))["results"]}; print(r[sys.argv[2]]["median"])' "$1" "$2"
}
ratio() { python3 -c "import sys; print('%.2f' % (float(sys.argv[1]) / float(sys.argv[2])))" "$1" "$2"; }

echo "== Repair of a 1 GiB table against cp"
hyperfine --style none --warmup 1 --runs 7 --export-json "$data/repair.json" \
  --prepare "rm -f $out; sync" \
  -n cp "cp --reflink=never $big $out" \
  -n normal "$tool repair --output $out $big" \
  -n advance "$tool repair --mode advance --output $out $big" >/dev/null
rm -f "$out"
cp_time=$(median "$data/repair.json" cp)
for mode in normal advance; do
  t=$(median "$data/repair.json" $mode)
  printf '%-8s median %.3f s   cp %.3f s   ratio %s (goal <= 1.25)\n' "$mode" "$t" "$cp_time" "$(ratio "$t" "$cp_time")"
done
for mode in normal advance; do
  rm -f "$out"
  kib=$(/usr/bin/time -f %M "$tool" repair --mode $mode --output "$out" "$big" 2>&1 >/dev/null | tail -n 1)
  printf '%-8s peak memory %d KiB (goal < 65536)\n' "$mode" "$kib"
done
rm -f "$out"

echo "== Preview of a table of over 10 million records"
"$PWD/build/bin/drelin-bench-preview" "$big"

echo "== CSV export of a 100 MB table against pgdbf"
hyperfine --style none --warmup 1 --runs 7 --export-json "$data/export.json" \
  -n pgdbf "pgdbf $mid > /dev/null" \
  -n csv "$tool preview --format csv $mid > /dev/null" >/dev/null
pg=$(median "$data/export.json" pgdbf)
csv=$(median "$data/export.json" csv)
printf 'csv median %.3f s   pgdbf %.3f s   ratio %s (goal <= 1.00)   %.0f MB/s\n' "$csv" "$pg" \
  "$(ratio "$csv" "$pg")" "$(python3 -c "import os,sys; print(os.path.getsize(sys.argv[1]) / 1e6 / float(sys.argv[2]))" "$mid" "$csv")"

echo "== Batch repair of 1,000 and of 10,000 small tables"
bench/batch_log.sh

echo "== The File Preview window on 1 and on 10 million records"
bench/preview_window.sh

echo "== The main window: adding 1,000 tables, runs of 1,000 and 10,000"
bench/view_latency.sh
