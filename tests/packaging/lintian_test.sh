#!/usr/bin/env bash
# Usage: lintian_test.sh DEB hardened|plain
# Runs lintian on the package, pedantic tags included, and fails on every tag
# it reports: the few that the package overrides (each with its reason) and,
# for a build without Debian's hardening flags (a debug build), the
# hardening tags are the only ones accepted.
set -euo pipefail
package=$1
accepted='^$'
[ "$2" = hardened ] || accepted='^[EWIP]: tarn: hardening-no-[a-z-]+ '
command -v lintian >/dev/null || { echo "lintian is missing: scripts/install-deps test installs it"; exit 1; }
# lintian cannot unpack into a folder whose name is not ASCII.
report=$(TMPDIR=/tmp lintian --pedantic --display-info --show-overrides "$package" 2>&1 |
  grep -v '^running with root privileges' || true)
left=$(grep -Ev '^[ON]: ' <<<"$report" | grep -Ev "$accepted" | grep -v '^$' || true)
if [ -n "$left" ]; then
  printf 'FAIL: lintian reports\n%s\n' "$left"
  exit 1
fi
echo "lintian reports nothing but the overrides: $(grep -oE '^O: tarn: [a-z-]+' <<<"$report" | sort -u | tr '\n' ' ')"
