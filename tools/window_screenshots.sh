#!/usr/bin/env bash
# Renews the window pictures for the README: starts the program under a virtual X server (its own
# private store and configuration in a temporary home), saves every page as page<N>.png into the
# given folder (default docs/screenshots) and ends.
#   tools/window_screenshots.sh [folder]      (after: cmake --build --preset release --target hivora;
#                                              HIVORA_BIN=<program> picks another build)
set -euo pipefail
cd "$(dirname "$0")/.."
out="$(realpath -m "${1:-docs/screenshots}")"
home="$(mktemp -d)"
trap 'rm -rf "$home"' EXIT
HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" \
HIVORA_SCREENSHOTS="$out" xvfb-run -a -s "-screen 0 1024x768x24" "${HIVORA_BIN:-build/release/app/hivora}"
ls "$out"
