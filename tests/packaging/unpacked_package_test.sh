#!/usr/bin/env bash
# Usage: unpacked_package_test.sh ZIP BUILT_FILE...
# Unpacks the release package into a fresh folder and checks that it holds
# the built programs and libraries (BUILT_FILE...: at least the settings and
# JSON programs and quelmont, never the bridge stand-in) and the read-me and
# nothing else; that they are stripped, carry their version and need nothing
# that Windows 10 lacks; that the read-me names each of them, ends every
# line with CR LF and says what a user must know (the oldest Windows, the
# folder's write permission, --help, where libraries are looked for); and
# that the programs run from that folder.
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
"$root/scripts/check-imports" "${shipped[@]/#/$folder/}" || fail "a shipped file needs what Windows 10 may lack"
version=$(basename "$zip" .zip | sed -E 's/^tarn-(.*)-win64$/\1/')
"$root/scripts/check-resources" "$version" "${shipped[@]/#/$folder/}" || fail "a shipped file lacks a resource"
for name in "${shipped[@]}"; do
  grep -qF "$name" "$folder/LEIA-ME.txt" || fail "LEIA-ME.txt does not mention $name"
  x86_64-w64-mingw32-nm "$folder/$name" 2>&1 | grep -q 'no symbols' || fail "$name is not stripped"
done
lf_only=$(grep -nv $'\r$' "$folder/LEIA-ME.txt" | cut -d: -f1 | tr '\n' ' ') || true
[ -z "$lf_only" ] || fail "LEIA-ME.txt lines $lf_only do not end with CR LF"
[ "$(tail -c 2 "$folder/LEIA-ME.txt" | od -An -c | tr -d ' ')" = '\r\n' ] || fail "LEIA-ME.txt does not end with CR LF"
for topic in 'Windows 10' 'permissão de gravação' '--help' 'System32'; do
  grep -qF -- "$topic" "$folder/LEIA-ME.txt" || fail "LEIA-ME.txt does not say [$topic]"
done
exports=$(x86_64-w64-mingw32-objdump -p "$folder/quelmont.dll")
for entry in ServiceIsRunning StartService StopService GetLastSvcError; do
  grep -qE "\] $entry\$" <<<"$exports" || fail "quelmont.dll does not export $entry"
done

cd "$folder"
# The program's text reaches a pipe as Windows-1252, where a character of the
# folder's name that the code page lacks shows as '?'.
settings=$(wine tarn-settings.exe | tr -d '\r' | iconv -f WINDOWS-1252 -t UTF-8) ||
  fail "tarn-settings.exe failed: $settings"
shown_folder=$(python3 -c 'import sys; print(sys.argv[1].encode("cp1252", "replace").decode("cp1252"))' \
  "$(winepath -w "$folder")")
counter_path="QUORVAN.CounterPath=$shown_folder\\"
grep -qxF "$counter_path" <<<"$settings" || fail "tarn-settings.exe printed no [$counter_path] in [$settings]"
json=$(printf '{ "a" : [1, true, "x"] }' | wine tarn-json.exe | tr -d '\r') || fail "tarn-json.exe failed: $json"
[ "$json" = '{"a":[1,true,"x"]}' ] || fail "tarn-json.exe printed [$json]"

[ $status -eq 0 ] && echo "the package holds ${shipped[*]} and LEIA-ME.txt; its programs run"
exit $status
