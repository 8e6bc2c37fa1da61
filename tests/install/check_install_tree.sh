#!/usr/bin/env bash
# Installs the build into a fresh temporary prefix and checks the tree: the program answers
# --version, the desktop entry is valid for desktop-file-validate and names the program and its
# icon, and the icon is there at 48 and 256 pixels.
#   check_install_tree.sh <build directory>
set -euo pipefail
build="$1"
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null

fail() { echo "FAIL: $*" >&2; exit 1; }
[ -x "$prefix/bin/hivora" ] || fail "bin/hivora missing"
version="$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/hivora" --version)"
[ "$version" = "Hivora 1.0" ] || fail "installed program says '$version'"

entry="$prefix/share/applications/hivora.desktop"
[ -f "$entry" ] || fail "desktop entry missing"
desktop-file-validate "$entry" || fail "desktop entry invalid"
grep -qx 'Name=Hivora' "$entry" || fail "entry lacks Name=Hivora"
grep -qx 'Exec=hivora' "$entry" || fail "entry lacks Exec=hivora"
grep -qx 'Icon=hivora' "$entry" || fail "entry lacks Icon=hivora"
grep -q '^Categories=.*Settings;' "$entry" || fail "entry not in Settings"
grep -qP '^Comment=.*[\x{4e00}-\x{9fff}]' "$entry" || fail "entry has no Chinese comment"

for size in 48 256; do
    icon="$prefix/share/icons/hicolor/${size}x${size}/apps/hivora.png"
    [ -f "$icon" ] || fail "icon $size missing"
    # A PNG's width and height are the big-endian words at bytes 16 and 20.
    read -r a b c d e f g h < <(od -An -tu1 -j16 -N8 "$icon")
    width=$(( (a << 24) | (b << 16) | (c << 8) | d ))
    height=$(( (e << 24) | (f << 16) | (g << 8) | h ))
    [ "$width" -eq "$size" ] && [ "$height" -eq "$size" ] || fail "icon $size is ${width}x${height}"
done
echo "install tree ok"
