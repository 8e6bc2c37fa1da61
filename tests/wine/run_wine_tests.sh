#!/usr/bin/env bash
# The Windows side of the tests, run under Wine (Debian's wine64):
#   1. cross-builds core/, platform/ and their tests with MinGW-w64 into build/mingw (kept between
#      runs, so later runs only rebuild what changed);
#   2. makes one fresh Wine prefix in a temporary folder, in a Chinese locale (ANSI code page 936),
#      headless (Wine's null display driver);
#   3. runs every cross-built test program under Wine (CTest label "wine");
#   4. runs the native interoperability tests (label "wine", wine_interop_test) against that
#      prefix: our store writes its files for a Windows program to read, and reads what the
#      Windows program wrote;
#   5. checks .reg files with Wine's regedit (tests/wine/regedit_checks.sh): a file our
#      `--export reg` wrote, imported by `regedit /S`, and a file `regedit /E` wrote, imported by
#      our `--import-reg`;
#   6. removes the prefix and ends its wineserver, also when interrupted.
# Prints "N passed, N failed" (CTest tests of steps 3 and 4, and the checks of step 5) and exits
# non-zero on any failure.
#
# Environment (all optional):
#   HIVORA_NATIVE_BUILD  native build folder holding wine_interop_test and app/hivora (default
#                        build/debug-asan; configured with the debug-asan preset when missing)
#   HIVORA_CROSS_BUILD   cross build folder (default build/mingw)
#   HIVORA_SKIP_WINE=1   skip everything (prints why)
set -uo pipefail
cd "$(dirname "$0")/../.."
root=$PWD

if [ "${HIVORA_SKIP_WINE:-0}" = 1 ]; then
    echo "Wine tests skipped (HIVORA_SKIP_WINE=1)."
    exit 0
fi

native_build=${HIVORA_NATIVE_BUILD:-build/debug-asan}
cross_build=${HIVORA_CROSS_BUILD:-build/mingw}
jobs=$(nproc 2>/dev/null || echo 2)
started=$(date +%s)

fail_setup() {
    echo "Wine tests: $*" >&2
    echo "0 passed, 1 failed"
    exit 1
}

find_tool() {  # the first of the given programs that exists
    local candidate
    for candidate in "$@"; do
        if [ -x "$candidate" ]; then echo "$candidate"; return 0; fi
        if command -v "$candidate" >/dev/null 2>&1; then command -v "$candidate"; return 0; fi
    done
    return 1
}

wine=$(find_tool /usr/lib/wine/wine64 wine64) || fail_setup "wine64 is missing (Debian package wine64)"
wineserver=$(find_tool /usr/lib/wine/wineserver wineserver) || fail_setup "wineserver is missing (Debian package wine64)"
find_tool x86_64-w64-mingw32-g++-posix x86_64-w64-mingw32-g++ >/dev/null \
    || fail_setup "the MinGW-w64 compiler is missing (Debian package g++-mingw-w64-x86-64)"

# Wine takes its ANSI code page from the host's locale, which must exist: LANG=zh_CN.UTF-8 alone
# gives code page 1252 when the locale has not been generated.
if ! locale -a 2>/dev/null | grep -qix 'zh_CN\.utf-\?8'; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    echo "Generating the zh_CN.UTF-8 locale for Wine's code page 936"
    $sudo localedef -i zh_CN -c -f UTF-8 zh_CN.UTF-8 \
        || fail_setup "cannot generate the zh_CN.UTF-8 locale (Debian package locales)"
fi

# ---- 1. Cross build ---------------------------------------------------------------------------
echo "== Cross-building for Windows in $cross_build"
if [ ! -f "$cross_build/CMakeCache.txt" ]; then
    cmake -S . -B "$cross_build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Debug -DHIVORA_BUILD_GUI=OFF -DHIVORA_BUILD_BENCH=OFF >/dev/null \
        || fail_setup "configuring the cross build failed"
fi
# Keeps going past a program that does not build for Windows: the others still run, and the one
# that did not build counts as failed ("Not Run") below.
keep_going=-k
grep -q '^CMAKE_GENERATOR:INTERNAL=Ninja' "$cross_build/CMakeCache.txt" && keep_going="-k 0"
if ! cmake --build "$cross_build" -j "$jobs" -- $keep_going >"$cross_build/build.log" 2>&1; then
    grep -E 'error|Error [0-9]' "$cross_build/build.log" | head -n 20 >&2
    echo "Some of the cross build failed (whole log: $cross_build/build.log)." >&2
fi

echo "== Building the native interoperability test in $native_build"
if [ ! -f "$native_build/CMakeCache.txt" ]; then
    if [ "$native_build" = build/debug-asan ]; then
        cmake --preset debug-asan >/dev/null || fail_setup "configuring $native_build failed"
    else
        fail_setup "$native_build is not configured"
    fi
fi
cmake --build "$native_build" -j "$jobs" --target wine_interop_test >/dev/null \
    || fail_setup "building wine_interop_test failed"

# ---- 2. A fresh prefix ----------------------------------------------------------------------------
work=$(mktemp -d "${TMPDIR:-/tmp}/hivora-wine-XXXXXX")
export WINEPREFIX="$work/prefix"
export WINEDEBUG=-all
# No Mono or Gecko installer dialogues, and no menu entries written for the desktop.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# Wine links the prefix's user folders to folders of the home directory: a private one keeps the
# tests away from the real home.
mkdir -p "$work/home"
export HOME="$work/home"
unset XDG_CONFIG_HOME XDG_DATA_HOME XDG_CACHE_HOME
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
unset DISPLAY WAYLAND_DISPLAY

cleanup() {
    "$wineserver" -k >/dev/null 2>&1
    "$wineserver" -w >/dev/null 2>&1
    # Debian's Wine keeps the server's socket folder in a temporary folder named in the prefix's
    # "wineserver" file ("wine-XXXXXX", below $TMPDIR or /tmp), and leaves it behind.
    local server_tmp
    server_tmp=$(cat "$WINEPREFIX/wineserver" 2>/dev/null)
    if [[ "$server_tmp" =~ ^wine-[A-Za-z0-9]{6}$ ]]; then
        rm -rf "${TMPDIR:-/tmp}/$server_tmp"
    fi
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

echo "== Creating a Wine prefix in $WINEPREFIX"
{
    "$wine" wineboot --init \
        && "$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f \
        && "$wineserver" -w
} >"$work/wineboot.log" 2>&1 || { cat "$work/wineboot.log" >&2; fail_setup "wineboot failed"; }

passed=0
failed=0
# Adds the counts of a CTest log ("... tests passed, N tests failed out of M") to the totals.
count_results() {
    local line total bad
    line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$1" | tail -n 1)
    if [ -z "$line" ]; then
        failed=$((failed + 1))
        return
    fi
    bad=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
    total=$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$line")
    passed=$((passed + total - bad))
    failed=$((failed + bad))
}

# ---- 3. The Windows programs under Wine ---------------------------------------------------
# One server for the whole step, and Wine's background services (services.exe, rpcss.exe, ...),
# which the first program of a server starts, all with their output away from ours: started by a
# test they would inherit CTest's output pipe and keep it open, so CTest would wait for them
# until the test times out.
"$wineserver" -p </dev/null >/dev/null 2>&1
"$wine" cmd /c exit </dev/null >/dev/null 2>&1
echo "== Running the Windows test programs under Wine"
# A program that did not build for Windows is not started (Wine would wait for it to time out);
# it counts as failed.
unbuilt=()
while read -r name; do
    [ -f "$cross_build/tests/$name.exe" ] || unbuilt+=("$name")
done < <(ctest --test-dir "$cross_build" -N -L wine | sed -nE 's/^ *Test +#[0-9]+: ([^ ]+).*/\1/p')
exclude='^$'
if [ ${#unbuilt[@]} -gt 0 ]; then
    echo "Not built for Windows, counted as failed: ${unbuilt[*]}" >&2
    failed=$((failed + ${#unbuilt[@]}))
    exclude="^($(IFS='|'; echo "${unbuilt[*]}"))\$"
fi
ctest --test-dir "$cross_build" -L wine -E "$exclude" -j "$jobs" --timeout 120 \
    --output-on-failure 2>&1 | tee "$work/windows.log"
count_results "$work/windows.log"
"$wineserver" -k >/dev/null 2>&1
"$wineserver" -w >/dev/null 2>&1

# ---- 4. Interoperability ---------------------------------------------------------------------------
echo "== Running the interoperability tests (our store <-> Wine)"
HIVORA_WINE_PREFIX="$WINEPREFIX" HIVORA_WINE_LOADER="$wine" HIVORA_WINESERVER="$wineserver" \
HIVORA_INTEROP_PEER="$root/$cross_build/tests/interop_peer.exe" \
    ctest --test-dir "$native_build" -L wine -R WineInterop --timeout 120 --output-on-failure \
    2>&1 | tee "$work/interop.log"
count_results "$work/interop.log"

# ---- 5. .reg files between our export and import and Wine's regedit ------------------------
echo "== Checking .reg files against Wine's regedit"
. "$root/tests/wine/regedit_checks.sh"
run_regedit_checks

echo "Wine tests took $(($(date +%s) - started)) s."
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
