#!/usr/bin/env bash
# Installs what is missing, builds, and runs the program on the bundled damaged
# samples: each is diagnosed, then repaired with the mode the diagnosis
# recommends into a new folder, and the repaired tables are shown.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh

cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j "$(nproc)" --target drelin-repair

tool=build/bin/drelin-repair
out="build/repaired-$(date +%Y%m%d-%H%M%S)"
mkdir -p "$out"
echo "Repairing the samples into $out"
for sample in samples/*.dbf; do
  mode=normal
  diagnosis=$("$tool" inspect --json "$sample" || true)  # exit 3: damaged, as expected
  if grep -q '"mode": "advance"' <<<"$diagnosis"; then mode=advance; fi
  echo
  echo "== $(basename "$sample") (--mode $mode)"
  "$tool" inspect "$sample" | sed -n '/^Problems:/,/^Verdict/p' || true
  "$tool" repair --mode "$mode" --output "$out/$(basename "$sample")" "$sample"
done
echo
echo "== Preview of $out/lost_terminator.dbf"
"$tool" preview "$out/lost_terminator.dbf"
