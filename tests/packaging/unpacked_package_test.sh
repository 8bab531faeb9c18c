#!/usr/bin/env bash
# Usage: unpacked_package_test.sh ZIP BUILT_FILE...
# Unpacks the release package into a fresh folder and checks that it holds
# the built programs and libraries (BUILT_FILE...: at least the settings and
# JSON programs and quelmont, never the bridge stand-in) and the read-me and
# nothing else, that none of them imports a DLL outside the system, that the
# read-me names each of them, and that the programs run from that folder.
# Runs under the test run's Wine prefix.
set -euo pipefail
zip=$1
shift
root=$(cd "$(dirname "$0")/../.." && pwd)
status=0
fail() {
  printf 'FAIL: %s\n' "$*"
  status=1
}

[ -f "$zip" ] || { echo "$zip is missing: make it with cpack --preset windows"; exit 1; }
shipped=()
for file in "$@"; do
  [ "$zip" -nt "$file" ] || { echo "$zip is older than $file: make it again with cpack --preset windows"; exit 1; }
  shipped+=("$(basename "$file")")
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$work" && cmake -E tar xf "$zip")
folder=$work/$(basename "$zip" .zip)

held=$(cd "$folder" && find . -type f | sed 's|^\./||' | sort)
wanted=$(printf '%s\n' LEIA-ME.txt "${shipped[@]}" | sort)
for name in tarn-settings.exe tarn-json.exe quelmont.dll; do
  grep -qxF "$name" <<<"$wanted" || fail "$name is not among the files to ship"
done
if grep -qixF tarnbrokerbridge.dll <<<"$wanted"; then fail "the bridge stand-in is among the files to ship"; fi
[ "$held" = "$wanted" ] || fail "the package holds [$(echo $held)] instead of [$(echo $wanted)]"
"$root/scripts/check-imports" "${shipped[@]/#/$folder/}" || fail "a shipped file imports a DLL of ours"
for name in "${shipped[@]}"; do
  grep -qF "$name" "$folder/LEIA-ME.txt" || fail "LEIA-ME.txt does not mention $name"
done
grep -q $'\r$' "$folder/LEIA-ME.txt" || fail "LEIA-ME.txt lines do not end with CR LF"
exports=$(x86_64-w64-mingw32-objdump -p "$folder/quelmont.dll")
for entry in ServiceIsRunning StartService StopService GetLastSvcError; do
  grep -qE "\] $entry\$" <<<"$exports" || fail "quelmont.dll does not export $entry"
done

cd "$folder"
settings=$(wine tarn-settings.exe | tr -d '\r') || fail "tarn-settings.exe failed: $settings"
counter_path="QUORVAN.CounterPath=$(winepath -w "$folder")\\"
grep -qxF "$counter_path" <<<"$settings" || fail "tarn-settings.exe printed no [$counter_path] in [$settings]"
json=$(printf '{ "a" : [1, true, "x"] }' | wine tarn-json.exe | tr -d '\r') || fail "tarn-json.exe failed: $json"
[ "$json" = '{"a":[1,true,"x"]}' ] || fail "tarn-json.exe printed [$json]"

[ $status -eq 0 ] && echo "the package holds ${shipped[*]} and LEIA-ME.txt; its programs run"
exit $status
