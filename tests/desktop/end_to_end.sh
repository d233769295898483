#!/usr/bin/env bash
# One whole session of the real desktop program under a virtual X display of
# its own, driven by keyboard and mouse like a person: start with a table on
# the command line, get past the splash, repair in Normal mode, save into a
# folder typed into the folder chooser, and exit through File > Exit and the
# exit question. Passes when the process ends with status 0, the saved table
# and what went along with it equal what the command-line tool writes for
# the same repair, and the program left no working files behind.
#
#   end_to_end.sh PROGRAM REPAIR_TOOL TABLE.dbf WORK_PARENT
#
# There is no window manager: windows are found by their titles and given
# the focus explicitly; every wait polls with a deadline, none is a fixed
# pause.
set -euo pipefail
program=$1 tool=$2 table=$3
mkdir -p "$4"
work=$(mktemp -d "$4/e2e.XXXXXX")
xvfb_pid="" program_pid=""

cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  exec >&2
  echo "FAILED: $*"
  echo "-- the program's visible windows:"
  [ -n "$program_pid" ] && xdotool search --onlyvisible --pid "$program_pid" 2>/dev/null | while read -r id; do
    echo "   $id '$(xdotool getwindowname "$id" 2>/dev/null)'"
  done
  echo "-- the program's output:"
  cat "$work/program.log" 2>/dev/null || true
  exit 1
}

# Runs a check until it passes or `seconds` have gone by.
wait_until() {
  local seconds=$1 what=$2
  shift 2
  local deadline=$((SECONDS + seconds))
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || fail "timed out waiting for $what"
    sleep 0.1
  done
}

# Whether window `id` of the program is mapped and viewable.
window_visible() {
  xdotool search --onlyvisible --pid "$program_pid" 2>/dev/null | grep -qx "$1"
}

# The id of the one visible window titled exactly `title`, waiting for it.
find_window() {
  local title=$1 id
  id=$(timeout 60 xdotool search --sync --onlyvisible --name "^${title}\$" | head -n 1) ||
    fail "no window titled '$title'"
  echo "$id"
}

focus() {
  timeout 30 xdotool windowfocus --sync "$1" || fail "cannot focus window $1"
}

window_gone() {
  ! window_visible "$1"
}

program_ended() {
  ! kill -0 "$program_pid" 2>/dev/null
}

mkdir -p "$work/home" "$work/runtime" "$work/tmp" "$work/tables" "$work/out"
chmod 700 "$work/runtime"
name=$(basename "$table")
cp "$table" "$work/tables/$name"

# A display of our own: Xvfb picks a free number and writes it when ready.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
wait_until 30 "the virtual display" grep -qs . "$work/display"
export DISPLAY=":$(head -n 1 "$work/display")"

# A clean user: own settings, own temporary folder, the X platform.
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_RUNTIME_DIR="$work/runtime"
export TMPDIR="$work/tmp" QT_QPA_PLATFORM=xcb QT_FONT_DPI=96 NO_AT_BRIDGE=1
unset WAYLAND_DISPLAY SESSION_MANAGER

"$program" "$work/tables/$name" >"$work/program.log" 2>&1 &
program_pid=$!

# The main window, then the splash over it, which a key press removes.
main=$(find_window 'Tarnova Drelin - DBF')
focus "$main"
# Nothing else is open yet: any other visible window of the program is the
# splash.
splash_shown() {
  xdotool search --onlyvisible --pid "$program_pid" 2>/dev/null | grep -qv "^${main}\$"
}
splash_gone_after_key() {
  splash_shown || return 0
  xdotool key --clearmodifiers shift
  ! splash_shown
}
wait_until 30 "the splash to go" splash_gone_after_key

# Repair: the toolbar's Repair button, then OK in Repair Mode (Normal is
# chosen). The button sits in the view's top row, right under the menu bar.
focus "$main"
xdotool mousemove --window "$main" 132 50 click 1
mode=$(find_window 'Repair Mode')
focus "$mode"
xdotool key Return
wait_until 30 "Repair Mode to close" window_gone "$mode"

# Save with Ctrl+S. While the run still goes on the program refuses with a
# message; dismiss it and ask again.
chooser_title='Please select the path to Save the files'
chooser_open() {
  focus "$main"
  xdotool key ctrl+s
  local id deadline=$((SECONDS + 30))
  while [ "$SECONDS" -lt "$deadline" ]; do
    if id=$(xdotool search --onlyvisible --name "^${chooser_title}\$" 2>/dev/null | head -n 1) && [ -n "$id" ]; then
      return 0
    fi
    if id=$(xdotool search --onlyvisible --name '^Tarnova Drelin DBF$' 2>/dev/null | head -n 1) && [ -n "$id" ]; then
      focus "$id"
      xdotool key Return
      wait_until 30 "the refusal to close" window_gone "$id"
      return 1
    fi
    sleep 0.1
  done
  fail "Ctrl+S opened neither the folder chooser nor a message"
}
wait_until 120 "the folder chooser" chooser_open
chooser=$(find_window "$chooser_title")
focus "$chooser"
# The name field has the focus; a typed folder path and Return choose it.
# The closing slash lists the (empty) folder itself in the name completer,
# so no completion pops up over the field, however late the dialog reads
# the folders.
xdotool key ctrl+a
xdotool type --delay 20 "$work/out/"
xdotool key Return
wait_until 30 "the folder chooser to close" window_gone "$chooser"
saved="$work/out/Rep_1_$name"
wait_until 60 "the saved table" test -f "$saved"

# Exit by keyboard: File menu, E&xit, then Yes to the exit question.
focus "$main"
xdotool key alt+f
xdotool key x
question=$(find_window 'Tarnova Drelin DBF')
focus "$question"
xdotool key Return
wait_until 60 "the program to end" program_ended
status=0
wait "$program_pid" || status=$?
program_pid=""
[ "$status" -eq 0 ] || fail "the program ended with status $status"

"$tool" repair --mode normal --output "$work/expected.dbf" "$work/tables/$name" >/dev/null
cmp "$saved" "$work/expected.dbf" || fail "the saved table differs from the command-line repair"
# What the tool saved beside its table (a .cpg, a memo file) the program
# saved beside its own, and nothing else.
allowed="Rep_1_$name"
for companion in "$work"/expected.*; do
  extension=${companion##*.}
  [ "$extension" = dbf ] && continue
  cmp "$companion" "$work/out/Rep_1_${name%.*}.$extension" || fail "the saved .$extension differs from the tool's"
  allowed="$allowed|Rep_1_${name%.*}.$extension"
done
[ -z "$(ls -A "$work/out" | grep -Exv "$allowed")" ] || fail "unexpected files saved: $(ls "$work/out")"
leftovers=$(find "$work/tmp" -type f)
[ -z "$leftovers" ] || fail "working files left behind: $leftovers"
echo "the program repaired, saved $saved and exited with status 0"
