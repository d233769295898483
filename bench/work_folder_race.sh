#!/usr/bin/env bash
# Start-up race of the per-process work folders: starts pairs of batch runs of
# drelin-repair at the same moment, all sharing one private temporary folder,
# while busy loops keep every core loaded, so that one process's sweep of
# abandoned folders meets another's folder as it is being made. Every process
# must succeed; prints "N/N pairs succeeded" and exits non-zero otherwise.
#
#   bench/work_folder_race.sh [PAIRS]      (default 50)
#
# DRELIN_REPAIR names the binary to try (default build/bin/drelin-repair).
set -euo pipefail
cd "$(dirname "$0")/.."
pairs=${1:-50}
tool=${DRELIN_REPAIR:-}
if [ -z "$tool" ]; then
  cmake --build build --target drelin-repair >/dev/null
  tool=$PWD/build/bin/drelin-repair
fi

scratch=$(mktemp -d)
loads=()
cleanup() {
  for pid in "${loads[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

python3 bench/make_table.py "$scratch/t.dbf" --records 20 >/dev/null
mkdir "$scratch/tmp"
export TMPDIR=$scratch/tmp

# Twice as many busy loops as cores, for at most ten minutes.
for _ in $(seq $((2 * $(nproc)))); do
  timeout 600 sh -c 'while :; do :; done' &
  loads+=($!)
done

run() {  # run PAIR SIDE: one batch repair, waiting at the gate first
  local out=$scratch/out-$1-$2
  mkdir "$out"
  read -r _ <"$scratch/gate"
  if ! "$tool" repair --out-dir "$out" "$scratch/t.dbf" >"$out.log" 2>&1; then
    echo "pair $1, side $2:" >&2
    cat "$out.log" >&2
    return 1
  fi
}

succeeded=0
for pair in $(seq "$pairs"); do
  # Held open by this shell, so neither side's open waits; one write lets
  # both through at once.
  mkfifo "$scratch/gate"
  exec 3<>"$scratch/gate"
  run "$pair" a & a=$!
  run "$pair" b & b=$!
  printf 'go\ngo\n' >&3
  ok=1
  wait "$a" || ok=0
  wait "$b" || ok=0
  exec 3>&-
  rm "$scratch/gate"
  succeeded=$((succeeded + ok))
done

echo "$succeeded/$pairs pairs succeeded"
[ "$succeeded" -eq "$pairs" ]
