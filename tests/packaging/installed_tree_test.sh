#!/usr/bin/env bash
# Usage: installed_tree_test.sh install|DEB BUILD_DIR BUILT_FILE...
# Lays out the installed tree in a fresh folder and checks what it holds:
# - install: a local installation, `cmake --install BUILD_DIR --prefix ROOT`:
#   the programs and libquelmont.so (BUILT_FILE...) in lib/tarn, relative
#   links to the programs in bin, manual pages, bash completions, the desktop
#   entry and its icon in share, and nothing else; its manifest names every file, so
#   removing what it lists uninstalls it;
# - DEB: the Debian package unpacked (its fields checked first): the same in
#   opt/tarn, the settings files and trace folder there as links into
#   /etc/opt/tarn and /var/opt/tarn, absolute links in usr/bin, the copyright
#   file, changelog, administrators' README and samples, manual pages,
#   completions, polkit rule and Ansible collection.
# Then runs each program through a link from another folder, as a user
# would, and sees that it found its settings file and its library beside the
# executable.
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
has_window=false
[[ " ${programs[*]} " == *" tarnconfig "* ]] && has_window=true

if [ "$source" = install ]; then
  dir=lib/tarn bin=bin share=share
  link_to() { echo "../lib/tarn/$1"; }
  entry_path=$root/lib/tarn
  cmake --install "$build" --prefix "$root" >/dev/null
  manifest=$build/install_manifest.txt
else
  dir=opt/tarn bin=usr/bin share=usr/share
  link_to() { echo "/opt/tarn/$1"; }
  entry_path=/opt/tarn
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
  wanted=(libc6 libstdc++6 fonts-wine acl)
  $has_window && wanted+=(libqt6widgets6 qt6-qpa-plugins)
  [[ " ${names[*]} " == *" tarn-fetch "* ]] && wanted+=(libcurl4)
  depends=", $(field Depends),"
  for package in "${wanted[@]}"; do
    [[ $depends == *", $package "* || $depends == *", $package,"* ]] || fail "the package does not depend on $package: [$(field Depends)]"
  done
  # Without polkitd the group's rule for the service does nothing.
  [[ ", $(field Recommends)," == *", polkitd,"* ]] || fail "the package does not recommend polkitd: [$(field Recommends)]"
  # The maintainer scripts make the group and folders, and remove them on purge.
  mkdir "$work/control"
  dpkg-deb -e "$source" "$work/control"
  for script in postinst postrm; do
    [ -x "$work/control/$script" ] || fail "the package has no $script script"
  done
  dpkg-deb -x "$source" "$root"
fi

expected=()
for name in "${names[@]}"; do expected+=("$dir/$name"); done
for program in "${programs[@]}"; do
  expected+=("$bin/$program" "$share/man/man1/$program.1.gz" "$share/bash-completion/completions/$program")
done
expected+=("$share/man/man5/tarnserver.ini.5.gz" "$share/man/man5/tarnclient.ini.5.gz")
$has_window && expected+=("$share/applications/tarnconfig.desktop" "$share/icons/hicolor/scalable/apps/tarnconfig.svg")
collection=usr/share/ansible/collections/ansible_collections/tarn/environment
if [ "$source" != install ]; then
  expected+=("$dir/tarnserver.ini" "$dir/tarnclient.ini" "$dir/trace" usr/share/doc/tarn/copyright
             usr/share/doc/tarn/changelog.gz usr/share/polkit-1/rules.d/60-tarn.rules usr/share/lintian/overrides/tarn
             usr/share/doc/tarn/README usr/share/doc/tarn/examples/{tarnserver.ini,tarnclient.ini,site.ini,playbook.yml}
             $collection/{galaxy.yml,meta/runtime.yml,plugins/modules/settings.py})
fi
held=$(cd "$root" && find . ! -type d | sed 's|^\./||' | sort)
[ "$held" = "$(printf '%s\n' "${expected[@]}" | sort)" ] ||
  fail "the tree holds [$(echo $held)] instead of [${expected[*]}]"
for program in "${programs[@]}"; do
  [ "$(readlink "$root/$bin/$program")" = "$(link_to "$program")" ] || fail "$bin/$program is no link to it"
  title=$(gzip -dc "$root/$share/man/man1/$program.1.gz" | grep -m1 '^\.TH ' || true)
  [[ ${title//\\-/-} == ".TH ${program^^} 1 "* ]] || fail "$program.1.gz is no manual page of section 1 for it: [$title]"
  # Completions load by the program's name, each defining its own.
  (source "$root/$share/bash-completion/completions/$program" && complete -p "$program" >/dev/null) 2>/dev/null ||
    fail "the bash completion for $program defines none for it"
done
[ "$(readlink "$root/$share/man/man5/tarnclient.ini.5.gz")" = tarnserver.ini.5.gz ] &&
  gzip -dc "$root/$share/man/man5/tarnserver.ini.5.gz" | grep -q '^\.TH TARNSERVER\.INI 5 ' ||
  fail "no manual page of section 5 for the settings files"
[ -f "$root/$share/man/man1/tarn-fetch.1.gz" ] && gzip -dc "$root/$share/man/man1/tarn-fetch.1.gz" | grep -q 'redirects included' &&
  fail "tarn-fetch's manual says --max-time covers redirects, which it never follows"

if $has_window; then
  entry=$root/$share/applications/tarnconfig.desktop
  for line in 'Name=TARN environment settings' 'Name[pt_BR]=Configuração de ambiente TARN' \
              'Comment[pt_BR]=Configura o servidor e os clientes do ambiente TARN' 'Exec=tarnconfig' \
              'Icon=tarnconfig' "Path=$entry_path" 'Categories=Settings;'; do
    grep -qxF "$line" "$entry" || fail "the desktop entry lacks [$line]"
  done
  grep -q '^Keywords=.*;' "$entry" || fail "the desktop entry has no keywords"
  problems=$(desktop-file-validate "$entry" 2>&1) || fail "the desktop entry is not valid: $problems"
  grep -q '<svg' "$root/$share/icons/hicolor/scalable/apps/tarnconfig.svg" || fail "the icon is no SVG"
fi

if [ "$source" = install ]; then
  # The README's uninstallation: every file the manifest names, removed,
  # leaves no file behind.
  (cd "$root" && find . ! -type d | sed "s|^\.|$root|" | sort) >"$work/installed"
  sort -u "$manifest" >"$work/listed"
  cmp -s "$work/installed" "$work/listed" || fail "the manifest does not list what was installed: $(diff "$work/listed" "$work/installed" | tr '\n' ' ')"
else
  # The settings and traces live elsewhere, written by the group tarn.
  for link in tarnserver.ini:/etc/opt/tarn/tarnserver.ini tarnclient.ini:/etc/opt/tarn/tarnclient.ini \
              trace:/var/opt/tarn/trace; do
    [ "$(readlink "$root/$dir/${link%%:*}")" = "${link#*:}" ] || fail "$dir/${link%%:*} is no link to ${link#*:}"
  done
  rule=$(cat "$root/usr/share/polkit-1/rules.d/60-tarn.rules")
  for text in 'action.id == "org.freedesktop.systemd1.manage-units"' '"tarnServiceMain.service"' \
              '"start", "stop"' 'subject.isInGroup("tarn")' 'return polkit.Result.YES'; do
    [[ $rule == *"$text"* ]] || fail "the polkit rule lacks [$text]"
  done
  copyright=$root/usr/share/doc/tarn/copyright
  grep -qxF 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' "$copyright" &&
    grep -qxF 'License: Expat' "$copyright" || fail "the copyright file is not machine-readable or names no licence"
  [[ $(gzip -dc "$root/usr/share/doc/tarn/changelog.gz" | head -1) == "tarn ($(dpkg-deb -f "$source" Version)) "* ]] ||
    fail "the changelog's newest entry is not this version"
  # Those links lead out of this tree: the installation test follows them.
  rm "$root/$dir/tarnserver.ini" "$root/$dir/tarnclient.ini" "$root/$dir/trace"
fi

# From another folder, through links of its own, with a registry of the
# test's own.
mkdir "$work/elsewhere" "$work/links"
for program in "${programs[@]}"; do ln -s "$root/$dir/$program" "$work/links/$program"; done
cd "$work/elsewhere"
export XDG_CONFIG_HOME=$work/config
links=$work/links
printf '[CLIENT]\r\nTIMEOUT=123456\r\n' >"$root/$dir/tarnclient.ini"
settings=$("$links/tarn-settings") || fail "tarn-settings failed: $settings"
# The folder is program text (Windows-1252) there: a character it lacks shows as '?'.
shown_dir=$(python3 -c 'import sys; print(sys.argv[1].encode("cp1252", "replace").decode("cp1252"))' "$root/$dir/")
for line in "QUORVAN.CounterPath=$shown_dir" "CLIENT.TIMEOUT=123456"; do
  grep -qxF "$line" <<<"$settings" || fail "tarn-settings printed no [$line]"
done
json=$(printf '{ "a" : [1, true] }' | "$links/tarn-json" -) || fail "tarn-json failed: $json"
[ "$json" = '{"a":[1,true]}' ] || fail "tarn-json printed [$json]"
for program in "${programs[@]}"; do
  version=$(env -u DISPLAY -u WAYLAND_DISPLAY "$links/$program" --version) || fail "$program --version failed"
  [[ $version == "$program "[0-9]* ]] || fail "$program --version printed [$version]"
done

if $has_window; then
  # Without a display: help and version as the companions give them, and the
  # window refused with the reason (not an abort).
  help=$(env -u DISPLAY -u WAYLAND_DISPLAY "$links/tarnconfig" --help) && [[ $help == "usage: tarnconfig"* ]] ||
    fail "tarnconfig --help printed [$help]"
  for display in unset :$((300 + RANDOM % 100)); do
    refusal=$( (if [ $display = unset ]; then unset DISPLAY; else export DISPLAY=$display; fi
                env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$links/tarnconfig" 2>&1 >/dev/null) ) && code=0 || code=$?
    [ $code -eq 1 ] && [[ $refusal == "tarnconfig: cannot open the display"* ]] ||
      fail "tarnconfig without a display (DISPLAY $display) ended with status $code and said [$refusal]"
  done
  # The window stays up; it has loaded libquelmont.so from beside itself
  # and made its trace folder there.
  QT_QPA_PLATFORM=offscreen LD_DEBUG=files "$links/tarnconfig" 2>"$work/window.log" &
  window=$!
  for _ in $(seq 100); do
    grep -qF "file=$root/$dir/libquelmont.so " "$work/window.log" && break
    sleep 0.1
  done
  sleep 0.5
  if kill -0 $window 2>/dev/null; then
    kill $window
    wait $window || true
  else
    fail "tarnconfig ended by itself: $(grep -v '^ *[0-9]*:' "$work/window.log" | tail -5)"
  fi
  grep -qF "file=$root/$dir/libquelmont.so " "$work/window.log" || fail "tarnconfig did not load libquelmont.so beside itself"
  [ -d "$root/$dir/trace" ] || fail "tarnconfig made no trace folder beside itself"
fi

[ $status -eq 0 ] && echo "the tree holds ${names[*]}; its programs run through links"
exit $status
