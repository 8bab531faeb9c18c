#!/usr/bin/env bash
# Usage: installed_tree_test.sh install|DEB BUILD_DIR BUILT_FILE...
# Lays out the installed tree in a fresh root, with `cmake --install
# BUILD_DIR --prefix ROOT` or by unpacking the Debian package DEB (whose
# fields are checked first), and checks what it holds: BUILT_FILE... (the
# programs and libquelmont.so) in opt/tarn, links to the programs in
# usr/bin, the desktop entry and its icon, and nothing else. Then runs each
# program through its link from another folder, as a user would, and sees
# that it found its settings file and its library beside the executable.
set -euo pipefail
source=$1
build=$2
shift 2
status=0
fail() {
  printf 'FAIL: %s\n' "$*"
  status=1
}

work=$(realpath "$(mktemp -d)")
trap 'rm -rf "$work"' EXIT
root=$work/root
names=()
for file in "$@"; do names+=("$(basename "$file")"); done
programs=()
for name in "${names[@]}"; do [[ $name == *.so ]] || programs+=("$name"); done

if [ "$source" = install ]; then
  cmake --install "$build" --prefix "$root" >/dev/null
else
  [ -f "$source" ] || { echo "$source is missing: make it with cpack in $build"; exit 1; }
  for file in "$@"; do
    [ "$source" -nt "$file" ] || { echo "$source is older than $file: make it again with cpack in $build"; exit 1; }
  done
  field() { dpkg-deb -f "$source" "$1"; }
  [ "$(basename "$source")" = "tarn_$(field Version)_$(field Architecture).deb" ] ||
    fail "$(basename "$source") is not named after the package's version and architecture"
  [ "$(field Package)" = tarn ] || fail "the package is called [$(field Package)]"
  [ -n "$(field Maintainer)" ] || fail "the package has no maintainer"
  [ "$(field Description | wc -l)" -gt 1 ] || fail "the package has no long description"
  wanted=(libc6 libstdc++6)
  [[ " ${names[*]} " == *" tarnconfig "* ]] && wanted+=(libqt6widgets6)
  [[ " ${names[*]} " == *" tarn-fetch "* ]] && wanted+=(libcurl4)
  depends=", $(field Depends),"
  for package in "${wanted[@]}"; do
    [[ $depends == *", $package "* || $depends == *", $package,"* ]] || fail "the package does not depend on $package: [$(field Depends)]"
  done
  dpkg-deb -x "$source" "$root"
fi

expected=()
for name in "${names[@]}"; do expected+=("opt/tarn/$name"); done
for program in "${programs[@]}"; do expected+=("usr/bin/$program"); done
if [[ " ${programs[*]} " == *" tarnconfig "* ]]; then
  expected+=(usr/share/applications/tarnconfig.desktop usr/share/icons/hicolor/scalable/apps/tarnconfig.svg)
fi
held=$(cd "$root" && find . ! -type d | sed 's|^\./||' | sort)
[ "$held" = "$(printf '%s\n' "${expected[@]}" | sort)" ] ||
  fail "the tree holds [$(echo $held)] instead of [${expected[*]}]"
for program in "${programs[@]}"; do
  [ "$(readlink "$root/usr/bin/$program")" = "../../opt/tarn/$program" ] || fail "usr/bin/$program is no link to it"
done
if [ -f "$root/usr/share/applications/tarnconfig.desktop" ]; then
  entry=$root/usr/share/applications/tarnconfig.desktop
  for line in 'Name=Configuração de ambiente TARN' 'Exec=tarnconfig' 'Icon=tarnconfig' 'Categories=Settings;'; do
    grep -qxF "$line" "$entry" || fail "the desktop entry lacks [$line]"
  done
  grep -q '<svg' "$root/usr/share/icons/hicolor/scalable/apps/tarnconfig.svg" || fail "the icon is no SVG"
fi

# From another folder, with a registry of the test's own.
mkdir "$work/elsewhere"
cd "$work/elsewhere"
export XDG_CONFIG_HOME=$work/config
bin=$root/usr/bin
printf '[CLIENT]\r\nTIMEOUT=123456\r\n' >"$root/opt/tarn/tarnclient.ini"
settings=$("$bin/tarn-settings") || fail "tarn-settings failed: $settings"
for line in "QUORVAN.CounterPath=$root/opt/tarn/" "CLIENT.TIMEOUT=123456"; do
  grep -qxF "$line" <<<"$settings" || fail "tarn-settings printed no [$line]"
done
json=$(printf '{ "a" : [1, true] }' | "$bin/tarn-json" -) || fail "tarn-json failed: $json"
[ "$json" = '{"a":[1,true]}' ] || fail "tarn-json printed [$json]"
for program in "${programs[@]}"; do
  [ "$program" = tarnconfig ] && continue
  version=$("$bin/$program" --version) || fail "$program --version failed"
  [[ $version == "$program "[0-9]* ]] || fail "$program --version printed [$version]"
done

if [[ " ${programs[*]} " == *" tarnconfig "* ]]; then
  # The window stays up; it has loaded libquelmont.so from beside itself
  # and made its trace folder there.
  QT_QPA_PLATFORM=offscreen LD_DEBUG=files "$bin/tarnconfig" 2>"$work/window.log" &
  window=$!
  for _ in $(seq 100); do
    grep -qF "file=$root/opt/tarn/libquelmont.so " "$work/window.log" && break
    sleep 0.1
  done
  sleep 0.5
  if kill -0 $window 2>/dev/null; then
    kill $window
    wait $window || true
  else
    fail "tarnconfig ended by itself: $(grep -v '^ *[0-9]*:' "$work/window.log" | tail -5)"
  fi
  grep -qF "file=$root/opt/tarn/libquelmont.so " "$work/window.log" || fail "tarnconfig did not load libquelmont.so beside itself"
  [ -d "$root/opt/tarn/trace" ] || fail "tarnconfig made no trace folder beside itself"
fi

[ $status -eq 0 ] && echo "the tree holds ${names[*]}; its programs run through usr/bin"
exit $status
