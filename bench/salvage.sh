#!/usr/bin/env bash
# Measures record salvage against its goals and prints the figures:
#   - quality per table kind and damage kind, pooled over seeded generated
#     tables (SALVAGE_TABLES per kind, default 200): recovered %, recovered %
#     of the records more than 4 past each damage, invented %, the share
#     reported uncertain (goals: tables with typed fields >= 99 % recovered,
#     <= 0.1 % invented; text-only tables >= 99 % recovered past damage,
#     <= 0.5 % invented; tiny or mostly identical records: uncertain, <= 1 %
#     invented);
#   - the same damage, every kind, applied to the real tables of a corpus
#     folder (SALVAGE_CORPUS, default ../shared/dbf-corpus), each made sound
#     first (a `*` after the name: no typed field);
#   - speed against `cp --reflink=never` on a 100 MB table with one damaged
#     4,096-byte block, side by side (goal: at least half of cp's
#     throughput, a ratio of at most 2.00), and peak memory (goal: under
#     64 MiB).
# Tables are generated once into $BENCH_DATA (default build/bench-data).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh hyperfine time
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target drelin-repair drelin-bench-salvage >/dev/null

tool=$PWD/build/bin/drelin-repair
quality=$PWD/build/bin/drelin-bench-salvage
data=${BENCH_DATA:-build/bench-data}
mkdir -p "$data"

echo "== Quality on generated tables (${SALVAGE_TABLES:-200} per kind)"
"$quality" --tables "${SALVAGE_TABLES:-200}"

corpus=${SALVAGE_CORPUS:-../shared/dbf-corpus}
echo "== Quality on the tables of $corpus"
if compgen -G "$corpus/*.dbf" >/dev/null; then
  "$quality" --tables "${SALVAGE_TABLES:-200}" "$corpus"/*.dbf
else
  echo "(no tables there; set SALVAGE_CORPUS)"
fi

echo "== Salvage of a 100 MB table with one damaged block against cp"
table=$data/table-100m.dbf
damaged=$data/table-100m-damaged.dbf
out=$data/salvaged.dbf
[ -f "$table" ] || python3 bench/make_table.py "$table" --bytes 100000000
if [ ! -f "$damaged" ]; then
  python3 - "$table" "$damaged" <<'EOF'
import random, sys
data = bytearray(open(sys.argv[1], 'rb').read())
at = len(data) // 2 + 123
data[at:at + 4096] = random.Random(11).randbytes(4096)
open(sys.argv[2], 'wb').write(data)
EOF
fi
hyperfine --style none --warmup 2 --runs 11 --export-json "$data/salvage.json" \
  --prepare "rm -f $out ${out%.dbf}.cpg" \
  -n cp "cp --reflink=never $damaged $out" \
  -n salvage "$tool salvage --output $out $damaged" >/dev/null
python3 - "$data/salvage.json" "$damaged" <<'EOF'
import json, os, sys
runs = {r["command"]: r for r in json.load(open(sys.argv[1]))["results"]}
cp, salvage = runs["cp"]["median"], runs["salvage"]["median"]
mb = os.path.getsize(sys.argv[2]) / 1e6
print("salvage median %.3f s (%.0f MB/s)   cp %.3f s (%.0f MB/s)   ratio %.2f (goal <= 2.00)"
      % (salvage, mb / salvage, cp, mb / cp, salvage / cp))
EOF
rm -f "$out" "${out%.dbf}.cpg"
kib=$(/usr/bin/time -f %M "$tool" salvage --output "$out" "$damaged" 2>&1 >/dev/null | tail -n 1)
printf 'salvage peak memory %d KiB (goal < 65536)\n' "$kib"
rm -f "$out" "${out%.dbf}.cpg"
