#!/usr/bin/env bash
# Usage: ansible_module_test.sh COLLECTIONS_DIR BIN_DIR
# Runs the playbook of the Ansible module tarn.environment.settings (from
# COLLECTIONS_DIR, with the tarn-settings of BIN_DIR) against this machine,
# on settings in a temporary folder, after its documentation builds; and
# checks the package's sample playbook and document.
set -euo pipefail
if ! command -v ansible-playbook >/dev/null; then
  echo "SKIPPED: ansible-playbook is missing (scripts/install-deps test installs ansible-core)"
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export ANSIBLE_COLLECTIONS_PATH=$1 PATH=$2:$PATH ANSIBLE_HOME=$work/ansible XDG_CONFIG_HOME=$work/config
export ANSIBLE_NOCOLOR=1 ANSIBLE_RETRY_FILES_ENABLED=0 ANSIBLE_PYTHON_INTERPRETER=/usr/bin/python3
ansible-doc tarn.environment.settings >"$work/doc" 2>&1 || { cat "$work/doc"; exit 1; }
grep -q 'EXAMPLES' "$work/doc" || { echo "ansible-doc printed no examples"; exit 1; }
examples=$(dirname "$0")/../../packaging/linux/doc/examples
ansible-playbook -i localhost, --syntax-check "$examples/playbook.yml" >/dev/null
mkdir "$work/settings"
status=0
tarn-settings load --check "$examples/site.ini" "$work/settings" >/dev/null || status=$?
[ $status = 3 ] || { echo "the sample document would change nothing (status $status)"; exit 1; }
# As JSON: key=value extra variables end at a blank, which the folder may hold.
ansible-playbook -i localhost, -c local -e "$(printf '{"dir": "%s"}' "$work/settings")" \
  "$(dirname "$0")/settings_playbook.yml"
