#!/usr/bin/env bash
# Usage: two_machines_win32_test.sh WINE_PREFIX_SCRIPT TARN_SETTINGS_EXE
# Two Wine prefixes, each with a server of its own, stand for two machines
# that save settings files on one shared folder at once: every save that
# reports success must be in the file. The writers' lock is a lock on a file
# of the folder, which both see; a lock of one machine's (or one session's)
# own would let one save overwrite the other.
set -euo pipefail
wine_prefix=$1
program=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/share"
cp "$program" "$work/tarn-settings.exe"
machine() {
  "$wine_prefix" "$work/$1" bash -c 'for i in $(seq 50); do
      wine "$0/tarn-settings.exe" set "$0/share/x.ini" S "$1-$i" v >/dev/null || echo "$1-$i failed"
    done' "$work" "$1" >"$work/$1.log" 2>&1
}
machine a &
machine b &
wait
saved=$(grep -c '=v' "$work/share/x.ini")
[ "$saved" = 100 ] || { echo "FAIL: $saved of 100 saves are in the file"; cat "$work"/*.log; exit 1; }
echo "two machines saved 100 keys into one file; none lost"
