#!/usr/bin/env bash
# Usage: package_install_test.sh DEB
# Installs the Debian package with dpkg in a throw-away copy of this system
# (an overlay of its root in a private mount namespace, so that nothing
# reaches the real one) and uses it as the people who administer the
# environment would:
# - the maintainer scripts made the group tarn and the folders /etc/opt/tarn
#   and /var/opt/tarn/trace, owned by it, group-writable and set-group-ID,
#   with a default ACL;
# - a member of tarn saves both settings files through the links in
#   /opt/tarn (creating them), another member saves after them and both
#   write the same trace file;
# - a user outside the group is refused with the system's message, and the
#   file is left as it was;
# - a member's link in the shared folder leads neither root's nor another
#   member's save, an outsider's locks stall no save, and members' saves
#   over a file root wrote are atomic for killed writers and for readers;
# - removing the package keeps the settings (dpkg remembers the package),
#   purging removes both folders.
# Needs the superuser (mounts, dpkg); skipped (77) otherwise.
set -euo pipefail
package=$(realpath "$1")
[ "$(id -u)" -eq 0 ] || { echo "skipped: installing a package needs the superuser"; exit 77; }
if [ "${2:-}" != --inside ]; then
  # A chroot's root is no mount point, so no private namespace can start there.
  unshare --mount --propagation private true 2>/dev/null ||
    { echo "skipped: no private mount namespace here (in a chroot?)"; exit 77; }
  exec unshare --mount --propagation private "$0" "$package" --inside
fi

work=$(realpath "$(mktemp -d)")
trap 'umount -R "$work" 2>/dev/null; rm -rf "$work"' EXIT
mount -t tmpfs tmpfs "$work"
mkdir "$work/upper" "$work/scratch" "$work/root"
if ! mount -t overlay overlay -o "lowerdir=/,upperdir=$work/upper,workdir=$work/scratch" "$work/root" 2>"$work/error"; then
  echo "skipped: no overlay of the root folder here: $(cat "$work/error")"
  exit 77
fi
root=$work/root
mount -t proc proc "$root/proc"
mount --bind /dev "$root/dev"
mount -t tmpfs tmpfs "$root/tmp"
cp "$package" "$root/tmp/tarn.deb"
in_root() { chroot "$root" "$@"; }
as() {
  local user=$1
  shift
  chroot "$root" runuser -u "$user" -- env -i PATH=/usr/bin:/bin HOME=/tmp XDG_CONFIG_HOME=/tmp/$user "$@"
}
status=0
fail() {
  printf 'FAIL: %s\n' "$*"
  status=1
}

in_root dpkg -i /tmp/tarn.deb >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; exit 1; }
in_root getent group tarn >/dev/null || fail "installing made no group tarn"
for dir in /etc/opt/tarn /var/opt/tarn/trace; do
  [ "$(in_root stat -c '%a %U:%G' "$dir")" = "2775 root:tarn" ] ||
    fail "$dir is [$(in_root stat -c '%a %U:%G' "$dir")] instead of 2775 root:tarn"
  in_root getfacl -cp "$dir" | grep -qx 'default:group::rwx' || fail "$dir has no default ACL making files group-writable"
done

in_root useradd --no-create-home --groups tarn first
in_root useradd --no-create-home --groups tarn second
in_root useradd --no-create-home outsider
# Before the first save the links lead nowhere: the server's settings come
# from the registry, as without a file.
mkdir -p "$root/tmp/first/tarn"
printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\KESSLAN\\ORVIK\\SERVER]\r\n"log_level"="7"\r\n' \
  >"$root/tmp/first/tarn/registry.reg"
in_root chown -R first /tmp/first
as first tarn-settings | grep -qx 'SERVER.log_level=7' || fail "without tarnserver.ini the registry's values were not loaded"
# The administrators' umask does not let their group write: the folders do.
as first sh -c 'umask 022 && tarn-settings set /opt/tarn/tarnserver.ini SERVER log_level 3' || fail "a member could not save tarnserver.ini"
as first sh -c 'umask 022 && tarn-settings set /opt/tarn/tarnclient.ini CLIENT TIMEOUT 60000' || fail "a member could not save tarnclient.ini"
for file in tarnserver.ini tarnclient.ini; do
  [ "$(in_root stat -c '%a %U:%G' "/etc/opt/tarn/$file")" = "664 first:tarn" ] ||
    fail "/etc/opt/tarn/$file is [$(in_root stat -c '%a %U:%G' "/etc/opt/tarn/$file" 2>&1)] instead of 664 first:tarn"
done
as second sh -c 'umask 022 && tarn-settings set /opt/tarn/tarnserver.ini SERVER log_size_limit 5242880' ||
  fail "another member could not save after the first"
[ "$(as second tarn-settings get /opt/tarn/tarnserver.ini SERVER log_level)" = 3 ] &&
  [ "$(as second tarn-settings get /opt/tarn/tarnserver.ini SERVER log_size_limit)" = 5242880 ] ||
  fail "the second member's save lost the first's: $(cat "$root/etc/opt/tarn/tarnserver.ini")"
as first sh -c 'umask 022 && echo one >>/opt/tarn/trace/server.log' &&
  as second sh -c 'echo two >>/opt/tarn/trace/server.log' || fail "two members could not write one trace file"

cp "$root/etc/opt/tarn/tarnserver.ini" "$work/before"
if as outsider tarn-settings set /opt/tarn/tarnserver.ini SERVER log_level 9 2>"$work/refusal"; then
  fail "a user outside the group saved"
fi
grep -qF "Unable to write to /opt/tarn/tarnserver.ini" "$work/refusal" || fail "the outsider was told [$(cat "$work/refusal")]"
cmp -s "$work/before" "$root/etc/opt/tarn/tarnserver.ini" || fail "the outsider's refused save changed the file"

# What a member may not do to root or to another member, nor an outsider to
# anyone. A member's link in the shared folder leads no one else's save.
printf 'root only\n' >"$root/etc/tarn-victim"
as first sh -c 'rm -f /etc/opt/tarn/tarnclient.ini && ln -s /etc/tarn-victim /etc/opt/tarn/tarnclient.ini'
for who in root second; do
  if { [ $who = root ] && in_root tarn-settings set /opt/tarn/tarnclient.ini CLIENT DEBUG 1 2>"$work/refusal"; } ||
    { [ $who = second ] && as second tarn-settings set /opt/tarn/tarnclient.ini CLIENT DEBUG 1 2>"$work/refusal"; }; then
    fail "$who saved through a member's link"
  fi
  grep -qF "/etc/opt/tarn/tarnclient.ini is a link made by another user" "$work/refusal" ||
    fail "$who was told [$(cat "$work/refusal")] of a member's link"
done
[ "$(cat "$root/etc/tarn-victim")" = "root only" ] || fail "a save went through a member's link"
in_root rm /etc/opt/tarn/tarnclient.ini
# An administrator's own link is still followed.
in_root ln -s /etc/opt/tarn/tarnclient.ini /etc/opt/tarn/alias.ini
in_root tarn-settings set /etc/opt/tarn/alias.ini CLIENT DEBUG 1 || fail "root could not save through its own link"
in_root rm /etc/opt/tarn/alias.ini

# An outsider holds every lock it can reach; members still save at once.
as outsider flock /etc/opt/tarn sleep 4 &
as outsider flock /etc/opt/tarn/tarnclient.ini sleep 4 &
sleep 0.5
as outsider cat /etc/opt/tarn/.tarn.lock 2>/dev/null && fail "an outsider may open the writers' lock"
if ! timeout 5 chroot "$root" runuser -u second -- env -i PATH=/usr/bin:/bin \
  tarn-settings set /opt/tarn/tarnclient.ini CLIENT DEBUG 0 2>"$work/wait"; then
  fail "an outsider's locks stopped a member's save: $(cat "$work/wait")"
fi
[ -s "$work/wait" ] && fail "an outsider's locks made a member wait: $(cat "$work/wait")"
wait

# Over a file root wrote, members replace it whole: a save killed midway
# leaves the old text or the new, and a reader never sees half of one.
in_root useradd --no-create-home --groups tarn third
in_root rm /etc/opt/tarn/tarnclient.ini
for value in "FORCEADDRESS srv.exemplo:6015" "DEBUG 0" "TIMEOUT 1"; do
  in_root tarn-settings set /opt/tarn/tarnclient.ini CLIENT $value
done
inode=$(in_root stat -c %i /etc/opt/tarn/tarnclient.ini)
as second tarn-settings set /opt/tarn/tarnclient.ini CLIENT TIMEOUT 60000
[ "$(in_root stat -c '%i' /etc/opt/tarn/tarnclient.ini)" != "$inode" ] &&
  [ "$(in_root stat -c '%a %U:%G' /etc/opt/tarn/tarnclient.ini)" = "664 second:tarn" ] ||
  fail "a member's save over root's file was no replacement: $(in_root stat -c '%i %a %U:%G' /etc/opt/tarn/tarnclient.ini)"
cat >"$root/tmp/whole" <<'EOF'
# Ends with 0 when one read of the client file finds its four lines whole.
text=$(cat /etc/opt/tarn/tarnclient.ini) || exit 1
cr=$(printf '\r')
[ "$(printf '%s\n' "$text" | grep -cE "^(\[CLIENT\]|DEBUG=0|FORCEADDRESS=srv\.exemplo:6015|TIMEOUT=[0-9]+)$cr\$")" = 4 ] &&
  [ "$(printf '%s\n' "$text" | wc -l)" = 4 ]
EOF
as first bash -c 'torn=0; for i in $(seq 300); do
    tarn-settings set /opt/tarn/tarnclient.ini CLIENT TIMEOUT $i & sleep 0.00$((i % 7)); kill -9 $! 2>/dev/null
    wait; sh /tmp/whole || torn=$((torn + 1))
  done; [ $torn = 0 ] || { echo "$torn torn"; exit 1; }' || fail "saves killed midway left torn files"
for member in first second third; do
  as $member bash -c 'for i in $(seq 100); do tarn-settings set /opt/tarn/tarnclient.ini CLIENT TIMEOUT $i; done' &
done
torn=$(as outsider bash -c 'torn=0; for i in $(seq 1500); do sh /tmp/whole || torn=$((torn + 1)); done; echo $torn')
wait
[ "$torn" = 0 ] || fail "a reader saw $torn torn files while three members saved"

in_root dpkg -r tarn >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; exit 1; }
[ -f "$root/etc/opt/tarn/tarnserver.ini" ] || fail "removing the package removed the settings"
[ "$(in_root dpkg-query -W -f='${db:Status-Abbrev}' tarn)" = "rc " ] || fail "dpkg forgot the removed package"
in_root dpkg -P tarn >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; exit 1; }
for dir in /etc/opt/tarn /var/opt/tarn /opt/tarn; do
  [ ! -e "$root$dir" ] || fail "purging left $dir"
done

[ $status -eq 0 ] && echo "installed; members of tarn saved through /opt/tarn, an outsider was refused; removed, purged"
exit $status
