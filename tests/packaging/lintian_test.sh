#!/usr/bin/env bash
# Usage: lintian_test.sh DEB hardened|plain
# Runs lintian on the package and fails on every error, warning or
# information it reports, except that the package lives in /opt (it is an
# add-on package, as the Filesystem Hierarchy Standard describes them) and,
# for a build without Debian's hardening flags, the hardening tags.
set -euo pipefail
package=$1
accepted='dir-or-file-in-opt'
[ "$2" = hardened ] || accepted+='|hardening-no-[a-z-]+'
command -v lintian >/dev/null || { echo "lintian is missing: scripts/install-deps test installs it"; exit 1; }
# lintian cannot unpack into a folder whose name is not ASCII.
report=$(TMPDIR=/tmp lintian --display-info --pedantic "$package" 2>&1 | grep -v '^running with root privileges' || true)
left=$(grep -Ev "^[EWIP]: tarn: ($accepted) " <<<"$report" | grep -v '^$' || true)
if [ -n "$left" ]; then
  printf 'FAIL: lintian reports\n%s\n' "$left"
  exit 1
fi
echo "lintian reports nothing but: $(grep -oE "^[EWIP]: tarn: [a-z-]+" <<<"$report" | sort -u | tr '\n' ' ')"
