#!/usr/bin/env bash
# Installs what is missing, builds, and starts the desktop program with the
# bundled damaged samples in its file list. Without a display to show it on
# (no X server answers at $DISPLAY and no Wayland socket is at
# $WAYLAND_DISPLAY) it says so and runs the command-line tool on the samples
# instead: each is diagnosed, the tables are repaired in a batch per repair
# mode (the mode the diagnosis recommends) and saved into a new folder, and
# one repaired table is shown.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh

wayland_socket() {
  case $WAYLAND_DISPLAY in
    /*) echo "$WAYLAND_DISPLAY" ;;
    *) echo "${XDG_RUNTIME_DIR:-/nonexistent}/$WAYLAND_DISPLAY" ;;
  esac
}
has_display() {
  { [ -n "${DISPLAY:-}" ] && xdotool getdisplaygeometry >/dev/null 2>&1; } ||
    { [ -n "${WAYLAND_DISPLAY:-}" ] && [ -S "$(wayland_socket)" ]; }
}

if has_display; then
  cmake -S . -B build -G Ninja -DDRELIN_GUI=ON >/dev/null
  cmake --build build -j "$(nproc)" --target tarnova-drelin drelin_help_page
  # Qt's offscreen platform (as the tests use it) would show nothing.
  [ "${QT_QPA_PLATFORM:-}" != offscreen ] || unset QT_QPA_PLATFORM
  exec build/bin/tarnova-drelin samples/*.dbf
fi

echo "No display to show the desktop program on (\$DISPLAY: ${DISPLAY:-unset}, \$WAYLAND_DISPLAY: ${WAYLAND_DISPLAY:-unset})."
echo "Running the command-line tool on the samples instead."
echo
cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j "$(nproc)" --target drelin-repair

tool=build/bin/drelin-repair
out="build/repaired-$(date +%Y%m%d-%H%M%S)"
mkdir -p "$out"

normal=()
advance=()
for sample in samples/*.dbf; do
  echo "== $(basename "$sample")"
  diagnosis=$("$tool" inspect "$sample" || true)  # exit 3: damaged, as expected
  sed -n '/^Problems:/,/^Verdict/p; /^Verdict: sound/p' <<<"$diagnosis"
  if grep -q 'repair with --mode advance' <<<"$diagnosis"; then
    advance+=("$sample")
  else
    normal+=("$sample")
  fi
done

for mode in normal advance; do
  declare -n tables=$mode
  [ ${#tables[@]} -gt 0 ] || continue
  echo
  echo "== Repairing in $mode mode into $out"
  "$tool" repair --mode "$mode" --out-dir "$out" "${tables[@]}" | grep -E '^(Done|Failed|Pending) |->'
done

echo
echo "== Preview of $out/Rep_1_lost_terminator.dbf"
"$tool" preview "$out/Rep_1_lost_terminator.dbf"
