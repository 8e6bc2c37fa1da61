#!/usr/bin/env bash
# The Ansible export against Ansible itself: a private store gets one value of every type, a
# removed value and a removed key through `hivora --import-reg`; `hivora --export ansible` writes
# the task list, which must pass `ansible-playbook --syntax-check` inside a playbook, and whose
# every task must use only options (and choices) that `ansible-doc -j ansible.windows.win_regedit`
# lists for the module.
# Usage: ansible_check.sh HIVORA_BINARY
# Exit status: 0 passed, 1 failed, 77 skipped (Ansible or its ansible.windows collection missing).
set -uo pipefail

hivora=${1:?usage: ansible_check.sh HIVORA_BINARY}
skip=77

for tool in ansible-playbook ansible-doc python3; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "skipped: $tool is missing (Debian package ansible)"
        exit $skip
    fi
done

work=$(mktemp -d "${TMPDIR:-/tmp}/hivora-ansible-XXXXXX")
trap 'rm -rf "$work"' EXIT
# A private store, journal and Ansible folder: nothing of the real home is read or written.
export HOME="$work/home" XDG_DATA_HOME="$work/data" XDG_STATE_HOME="$work/state"
export XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache"
export ANSIBLE_LOCAL_TEMP="$work/ansible-tmp" ANSIBLE_NOCOLOR=1
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}
mkdir -p "$HOME"

if ! ansible-doc -j ansible.windows.win_regedit >"$work/doc.json" 2>"$work/doc.err" \
    || ! grep -q '"options"' "$work/doc.json"; then
    cat "$work/doc.err"
    echo "skipped: ansible-doc does not know ansible.windows.win_regedit"
    exit $skip
fi

fail() {
    echo "FAILED: $*" >&2
    exit 1
}

# Written as UTF-8 REGEDIT4, which the import reads; hex(2), hex(7) and hex(b) carry the types
# that have no text form of their own.
write_reg() {  # FILE LINE...
    local file=$1
    shift
    printf '%s\r\n' "$@" >"$file"
}
write_reg "$work/set.reg" \
    'REGEDIT4' '' \
    '[HKEY_CURRENT_USER\Software\HivoraExport]' \
    '"Text"="a \"quoted\" \\ 中文"' \
    '"Yes"="yes"' \
    '"Path"=hex(2):25,54,45,4d,50,25,5c,78,00' \
    '"Count"=dword:0000002a' \
    '"Big"=hex(b):00,00,00,00,01,00,00,00' \
    '"Blob"=hex:01,ab,ff' \
    '"List"=hex(7):6f,6e,65,00,74,77,6f,00,00' \
    '"Gone"="soon"' \
    '@="default"' '' \
    '[HKEY_CURRENT_USER\Software\HivoraExport\Old]' \
    '"X"=dword:00000001'
write_reg "$work/remove.reg" \
    'REGEDIT4' '' \
    '[HKEY_CURRENT_USER\Software\HivoraExport]' \
    '"Gone"=-' '' \
    '[-HKEY_CURRENT_USER\Software\HivoraExport\Old]'

"$hivora" --import-reg "$work/set.reg" || fail "hivora --import-reg set.reg"
"$hivora" --import-reg "$work/remove.reg" || fail "hivora --import-reg remove.reg"
"$hivora" --export ansible "$work/tasks.yml" || fail "hivora --export ansible"
echo "--- tasks.yml"
cat "$work/tasks.yml"

cat >"$work/playbook.yml" <<'EOF'
- name: Hivora's exported settings
  hosts: localhost
  gather_facts: false
  tasks:
    - name: The exported tasks
      ansible.builtin.import_tasks: tasks.yml
EOF
ansible-playbook -i localhost, --syntax-check "$work/playbook.yml" >"$work/syntax.log" 2>&1 \
    || { cat "$work/syntax.log"; fail "ansible-playbook --syntax-check"; }

# Each task: only the module (and a name), only the module's own options, only listed choices,
# and what the store holds is there: every type, the removed value and the removed key.
python3 - "$work/doc.json" "$work/tasks.yml" <<'EOF' || fail "the tasks do not match win_regedit's options"
import json, sys, yaml

module = "ansible.windows.win_regedit"
doc = json.load(open(sys.argv[1]))[module]["doc"]["options"]
names = set(doc)
for option in doc.values():
    names.update(option.get("aliases") or [])
tasks = yaml.safe_load(open(sys.argv[2], encoding="utf-8"))
bad = []
if not isinstance(tasks, list) or not tasks:
    sys.exit("the file is not a list of tasks")
seen_types, removed_values, removed_keys = set(), [], []
for number, task in enumerate(tasks, 1):
    extra = set(task) - {"name", module}
    if extra or module not in task:
        bad.append(f"task {number}: keys {sorted(task)}")
        continue
    options = task[module]
    for key, value in options.items():
        if key not in names:
            bad.append(f"task {number}: unknown option {key!r}")
            continue
        choices = doc[key].get("choices")
        if choices and str(value) not in choices:
            bad.append(f"task {number}: {key}={value!r} not among {choices}")
        if doc[key].get("type") == "str" and not isinstance(value, str):
            bad.append(f"task {number}: {key}={value!r} is not a text")
        if doc[key].get("type") == "bool" and not isinstance(value, bool):
            bad.append(f"task {number}: {key}={value!r} is not true/false")
    if "path" not in options:
        bad.append(f"task {number}: no path")
    if options.get("state") == "absent":
        (removed_keys if options.get("delete_key") else removed_values).append(options)
    if "type" in options:
        seen_types.add(options["type"])
        if "data" not in options:
            bad.append(f"task {number}: a type without data")
want = {"string", "expandstring", "dword", "qword", "binary", "multistring"}
if want - seen_types:
    bad.append(f"types missing from the export: {sorted(want - seen_types)}")
if not any(o.get("name") == "Gone" for o in removed_values):
    bad.append("the removed value Gone is not removed")
if not any(o.get("path", "").endswith("\\Old") for o in removed_keys):
    bad.append("the removed key Old is not removed")
for line in bad:
    print(line)
sys.exit(1 if bad else 0)
EOF
echo "passed: $(grep -c 'ansible.windows.win_regedit:' "$work/tasks.yml") tasks checked"
