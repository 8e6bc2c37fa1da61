#!/bin/sh
# Hive changes checked with the format's own tools, as a reader can repeat them by hand:
#   hive_tools_check.sh HIVORA MAKE_TEST_INSTALLATION
# An installation with users alice and bob is made; Hivora imports a .reg file into it through
# --windows (one value for alice, one in SOFTWARE, one in SYSTEM through CurrentControlSet);
# hivexsh must then read the new values and the untouched ones, reglookup must read every hive
# without an error, backups must hold the old bytes, and --undo must give back hives that
# reglookup lists as before (key times aside). Runs that only read change no byte, and a hive
# left half written is refused.
set -eu
hivora=$1
make_installation=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME="$work/home" XDG_STATE_HOME="$work/state" XDG_DATA_HOME="$work/data" \
    XDG_CONFIG_HOME="$work/config"
mkdir -p "$HOME"
fail() { echo "FAIL: $*" >&2; exit 1; }

root="$work/c"
"$make_installation" "$root" alice bob || fail "installation not made"
config="$root/Windows/System32/config"
ntuser="$root/Users/alice/NTUSER.DAT"
hives="$config/SOFTWARE $config/SYSTEM $config/DEFAULT $ntuser"
mkdir "$work/before"
listing() { reglookup -H "$1" 2>"$work/reglookup.err" | cut -d, -f1-3 || fail "reglookup $1"; \
    ! grep -q . "$work/reglookup.err" || fail "reglookup $1: $(cat "$work/reglookup.err")"; }
i=0
for h in $hives; do
    i=$((i + 1)); cp "$h" "$work/before/$i"; listing "$h" > "$work/before/$i.txt"
done

# Several users and none named: the users are listed, nothing is written.
if "$hivora" --windows "$root" --status > /dev/null 2> "$work/users.txt"; then
    fail "--status without --user went ahead"
fi
grep -q "^  alice$" "$work/users.txt" && grep -q "^  bob$" "$work/users.txt" || fail "users not listed"

# Reading runs change nothing.
"$hivora" --windows "$root" --user alice --status > "$work/status.txt" || fail "--status"
"$hivora" --windows "$root" --user alice --history > /dev/null || fail "--history"
# The rows' reach is judged by the installation's own version (Windows 10 here): the clock text
# row is read no more, the Run box row still is.
grep -q "显示任意文字.*	无效（仅 " "$work/status.txt" || fail "clock text row not marked for Windows 10"
grep -q "隐藏<运行>菜单	.*	有效$" "$work/status.txt" || fail "Run row not effective on Windows 10"
"$hivora" --windows "$root" --user alice --startup > /dev/null || fail "--startup"
i=0
for h in $hives; do i=$((i + 1)); cmp -s "$h" "$work/before/$i" || fail "$h changed by reading"; done

printf 'Windows Registry Editor Version 5.00\r\n\r\n' > "$work/t.reg"
printf '[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System]\r\n' >> "$work/t.reg"
printf '"DisableTaskMgr"=dword:00000001\r\n\r\n' >> "$work/t.reg"
printf '[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion]\r\n"RegisteredOwner"="Hivora"\r\n\r\n' >> "$work/t.reg"
printf '[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control]\r\n"HivoraTest"="x"\r\n' >> "$work/t.reg"
"$hivora" --windows "$root" --user alice --import-reg "$work/t.reg" > /dev/null || fail "--import-reg"

read_value() {  # hive, key, value -> what hivexsh prints
    printf 'cd %s\nlsval %s\n' "$2" "$3" | hivexsh "$1" 2>&1
}
[ "$(read_value "$ntuser" '\Software\Microsoft\Windows\CurrentVersion\Policies\System' DisableTaskMgr)" = 1 ] \
    || fail "DisableTaskMgr not in NTUSER.DAT"
[ "$(read_value "$ntuser" '\Environment' TEMP)" = '%USERPROFILE%\AppData\Local\Temp' ] \
    || fail "the other values of NTUSER.DAT did not survive"
[ "$(read_value "$config/SOFTWARE" '\Microsoft\Windows NT\CurrentVersion' RegisteredOwner)" = Hivora ] \
    || fail "RegisteredOwner not in SOFTWARE"
[ "$(read_value "$config/SOFTWARE" '\Microsoft\Windows NT\CurrentVersion' ProductName)" = 'Windows 10 Pro' ] \
    || fail "ProductName lost beside the new value"
[ "$(read_value "$config/SYSTEM" '\ControlSet001\Control' HivoraTest)" = x ] \
    || fail "HivoraTest not in ControlSet001"
for h in $hives; do listing "$h" > /dev/null; done
listing "$config/SYSTEM" | grep -q '^/ControlSet001/Control/HivoraTest,SZ,x$' || fail "reglookup: HivoraTest"
cmp -s "$config/DEFAULT" "$work/before/3" || fail "DEFAULT changed though nothing was set in it"
for pair in "$config/SOFTWARE:1" "$config/SYSTEM:2" "$ntuser:4"; do
    h=${pair%:*}
    backup=$(ls "$h".hivora-backup-* 2>/dev/null | head -n 1)
    [ -n "$backup" ] || fail "no backup of $h"
    cmp -s "$backup" "$work/before/${pair##*:}" || fail "$backup is not the old $h"
done

"$hivora" --windows "$root" --user alice --undo > /dev/null || fail "--undo"
i=0
for h in $hives; do
    i=$((i + 1)); listing "$h" > "$work/after.txt"
    cmp -s "$work/after.txt" "$work/before/$i.txt" || fail "$h after undo: $(diff "$work/before/$i.txt" "$work/after.txt")"
done

# A hive Windows left half written (its sequence numbers differ) is never written.
cp "$config/SYSTEM" "$work/system.kept"
printf '\377' | dd of="$config/SYSTEM" bs=1 seek=4 conv=notrunc 2> /dev/null
cp "$config/SYSTEM" "$work/system.dirty"
if "$hivora" --windows "$root" --user alice --import-reg "$work/t.reg" > /dev/null 2> "$work/refused.txt"; then
    fail "a half-written SYSTEM was written"
fi
grep -q "没有写入任何内容" "$work/refused.txt" || fail "refusal unexplained: $(cat "$work/refused.txt")"
cmp -s "$config/SYSTEM" "$work/system.dirty" || fail "the half-written SYSTEM changed"
echo "hive tools check passed"
