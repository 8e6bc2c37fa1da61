#!/usr/bin/env bash
# Renews the window pictures for the README: starts the program under a virtual X server (its own
# private store and configuration in a temporary home), saves every page as page<N>.png into the
# given folder (default docs/screenshots) and ends. A second run on a store where some rows are
# set already saves the desktop and system pages again as page1-set.png and page3-set.png, so
# that the state marks show in use.
#   tools/window_screenshots.sh [folder]      (after: cmake --build --preset release --target hivora;
#                                              HIVORA_BIN=<program> picks another build)
set -euo pipefail
cd "$(dirname "$0")/.."
out="$(realpath -m "${1:-docs/screenshots}")"
home="$(mktemp -d)"
trap 'rm -rf "$home"' EXIT

run_in() {  # run_in HOME FOLDER: the program on HOME's private store, pictures into FOLDER
    HOME="$1" XDG_CONFIG_HOME="$1/.config" XDG_DATA_HOME="$1/.local/share" \
    XDG_STATE_HOME="$1/.local/state" HIVORA_SCREENSHOTS="$2" \
        xvfb-run -a -s "-screen 0 1024x768x24" "${HIVORA_BIN:-build/release/app/hivora}"
}

run_in "$home/fresh" "$out"

# Some desktop and restriction rows set, others not, one row half set (the user's copy of a
# policy without the default profile's).
store="$home/set/.local/share/hivora/registry"
mkdir -p "$store"
cat >"$store/user.reg" <<'REG'
WINE REGISTRY Version 2
;; All keys relative to \\User\\S-1-5-21-0-0-0-1000

[Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer] 1700000000
"NoDesktop"=dword:00000001
"NoFind"=dword:00000001
"NoRun"=dword:00000001
"NoTrayContextMenu"=hex:01,00,00,00
"NoSetTaskbar"=dword:00000001
"NoViewContextMenu"=hex:01,00,00,00

[Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System] 1700000000
"DisableRegistryTools"=dword:00000001
REG
run_in "$home/set" "$home/set-pictures"
cp "$home/set-pictures/page1.png" "$out/page1-set.png"
cp "$home/set-pictures/page3.png" "$out/page3-set.png"
ls "$out"
