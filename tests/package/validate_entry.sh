#!/bin/sh
# Passes when desktop-file-validate accepts the entry without a single
# error, warning or hint.
entry=$1
[ -f "$entry" ] || { echo "no desktop entry at $entry"; exit 1; }
report=$(desktop-file-validate "$entry" 2>&1)
status=$?
[ -n "$report" ] && echo "$report"
[ "$status" -eq 0 ] && [ -z "$report" ]
