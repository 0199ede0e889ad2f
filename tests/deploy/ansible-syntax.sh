#!/usr/bin/env bash
# ansible-playbook --syntax-check on every playbook in the folder given. It
# also resolves each module name, so a misspelt or missing module fails.
# Exit 77 (skipped) when Ansible is not installed: scripts/test installs it.
set -euo pipefail
folder=$1
if ! command -v ansible-playbook >/dev/null; then
  echo "skipped: ansible-playbook is not installed (scripts/test installs Debian's ansible)"
  exit 77
fi
inventory=$(mktemp)
trap 'rm -f "$inventory"' EXIT
printf '[windows]\npc1\n' >"$inventory"
status=0
for playbook in "$folder"/*.yml; do
  ansible-playbook --syntax-check -i "$inventory" "$playbook" || status=1
done
exit $status
