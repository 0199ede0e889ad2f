#!/usr/bin/env bash
# The verdict task of deploy/ansible/leftovers.yml on the JSON that
# ferrowinder-cli leftovers writes: a store with nothing harmful passes, one
# with a harmful value fails naming it and its remedy. Usage:
#   ansible-leftovers.sh <ferrowinder-cli> <deploy/ansible>
# Exit 77 (skipped) when Ansible is not installed: scripts/test installs it.
set -euo pipefail
cli=$1
folder=$(cd "$2" && pwd)
if ! command -v ansible-playbook >/dev/null; then
  echo "skipped: ansible-playbook is not installed (scripts/test installs Debian's ansible)"
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cat >"$work/verdict.yml" <<PLAY
- hosts: localhost
  connection: local
  gather_facts: false
  tasks:
    # Registered as win_command registers it: stdout is the text.
    - ansible.builtin.command: cat $work/report.json
      register: ferrowinder_leftovers
      changed_when: false
    - ansible.builtin.import_tasks: $folder/tasks/leftovers-verdict.yml
PLAY
verdict() {
  "$cli" leftovers --format json --registry "$work/registry.db" >"$work/report.json" 2>/dev/null || true
  ANSIBLE_NOCOLOR=1 ansible-playbook -i localhost, "$work/verdict.yml" >"$work/out.txt" 2>&1
}
fail() {
  echo "$1"
  cat "$work/out.txt"
  exit 1
}

verdict || fail "nothing harmful, yet the check failed"
printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters]\r\n"Tcp1323Opts"=dword:00000000\r\n' >"$work/harmful.reg"
"$cli" import "$work/harmful.reg" --registry "$work/registry.db" >/dev/null
if verdict; then
  fail "Tcp1323Opts 0 is harmful, yet the check passed"
fi
grep -Eq "1 harmful setting found\. +Tcp1323Opts: dword:00000000 \(0\); to put it right: ferrowinder-cli leftovers --fix\." "$work/out.txt" ||
  fail "the failed check does not name the setting and its remedy"
echo "passed"
