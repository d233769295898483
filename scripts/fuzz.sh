#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for the given number
# of seconds (default 600), starting from the bundled samples. Crashes and
# leaks fail the run; findings land in build-fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}

CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DDRELIN_FUZZ=ON -DDRELIN_GUI=ON -DDRELIN_TESTS=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
targets=$(ninja -C build-fuzz -t targets all | sed -n 's/^\([a-z]*_fuzzer\): .*/\1/p' | sort -u)
cmake --build build-fuzz -j "$(nproc)" --target $targets

export QT_QPA_PLATFORM=offscreen QT_FONT_DPI=96
mkdir -p build-fuzz/findings
for fuzzer in build-fuzz/bin/*_fuzzer; do
  [ -x "$fuzzer" ] || continue
  name=$(basename "$fuzzer")
  corpus=build-fuzz/corpus/$name
  mkdir -p "$corpus"
  seeds=()
  [ -d "bench/fuzz/seeds/$name" ] && seeds+=("bench/fuzz/seeds/$name")
  case $name in dbf_fuzzer | salvage_fuzzer) seeds+=(samples) ;; esac
  suppressions=""
  [ -f bench/fuzz/lsan.supp ] && suppressions="suppressions=$PWD/bench/fuzz/lsan.supp"
  echo "-- $name for ${seconds}s"
  log=build-fuzz/$name.log
  status=0
  LSAN_OPTIONS="$suppressions" "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix=build-fuzz/findings/ -print_final_stats=1 "$corpus" "${seeds[@]}" >"$log" 2>&1 ||
    status=$?
  grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|#[0-9]+ +DONE|SUMMARY|==[0-9]+==ERROR)' "$log" || true
  if [ "$status" -ne 0 ]; then
    tail -n 60 "$log"
    exit "$status"
  fi
done
