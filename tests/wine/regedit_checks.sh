# Step 5 of run_wine_tests.sh, sourced by it: .reg files between our store and Wine's regedit.
# Uses the runner's $wine, $wineserver, $WINEPREFIX, $work, $root, $native_build and $jobs, and
# adds one to $passed or $failed per check:
#   a. a .reg our `--export reg` wrote from a private store, imported by Wine's `regedit /S`,
#      reads back through Wine (`regedit /E`) the same as the same values written into the
#      prefix by our store;
#   b. a key Wine exports with `regedit /E` (Control Panel\Desktop, with a subkey and long binary
#      values), imported by our `--import-reg`, reads back through Wine the same as after Wine's
#      own `regedit /S` of the same file.
# Wine has ended before our store writes the prefix's files (it refuses while Wine runs).

regedit_check_result() {  # NAME STATUS
    if [ "$2" -eq 0 ]; then
        echo "regedit check $1: passed"
        passed=$((passed + 1))
    else
        echo "regedit check $1: FAILED" >&2
        failed=$((failed + 1))
    fi
}

# Wine's regedit, then waiting for the prefix's server to end so that the files are written.
regedit_run() {
    "$wine" regedit "$@" </dev/null >>"$work/regedit/wine.log" 2>&1
    local status=$?
    "$wineserver" -w >/dev/null 2>&1
    return $status
}

wine_reg() {
    "$wine" reg "$@" </dev/null >>"$work/regedit/wine.log" 2>&1
    local status=$?
    "$wineserver" -w >/dev/null 2>&1
    return $status
}

# Our program on a store of its own ($1 names the journal folder, so checks do not share undo
# histories); the sanitizer build's leak report would only add noise to a command-line run.
regedit_hivora() {
    local journal=$1
    shift
    ASAN_OPTIONS=detect_leaks=0 XDG_DATA_HOME="$work/regedit/data" \
        XDG_STATE_HOME="$work/regedit/$journal" "$regedit_hivora_bin" "$@" \
        >>"$work/regedit/hivora.log" 2>&1
}

regedit_check_export() {
    local dir=$work/regedit key='HKEY_CURRENT_USER\Software\HivoraExport'
    # UTF-8 REGEDIT4, which our import reads; hex(2), hex(7) and hex(b) give the types without
    # a text form of their own. The texts stay within code page 936, the prefix's. Set, then the value Gone and the key Old removed again.
    printf '%s\r\n' 'REGEDIT4' '' "[$key]" \
        '"Text"="a \"quoted\" \\ 中文"' \
        '"Path"=hex(2):25,54,45,4d,50,25,5c,78,00' \
        '"Count"=dword:0000002a' \
        '"Big"=hex(b):00,00,00,00,01,00,00,00' \
        '"Blob"=hex:01,ab,ff' \
        '"List"=hex(7):6f,6e,65,00,74,77,6f,00,00' \
        '"Gone"="soon"' \
        '@="default"' '' \
        "[$key\\Old]" '"X"=dword:00000001' >"$dir/set.reg"
    printf '%s\r\n' 'REGEDIT4' '' "[$key]" '"Gone"=-' '' "[-$key\\Old]" >"$dir/remove.reg"

    regedit_hivora private --import-reg "$dir/set.reg" \
        && regedit_hivora private --import-reg "$dir/remove.reg" \
        && regedit_hivora private --export reg "$dir/ours.reg" || return 1

    # The prefix holds what the file must remove and a value it must overwrite.
    wine_reg add "$key\\Old" /v X /t REG_DWORD /d 7 /f \
        && wine_reg add "$key" /v Gone /d here /f \
        && wine_reg add "$key" /v Count /t REG_DWORD /d 1 /f || return 1
    regedit_run /S "$dir/ours.reg" && regedit_run /E "$dir/by_wine.reg" "$key" || return 1

    # The same values written into the prefix by our store, read back by Wine the same way.
    wine_reg delete "$key" /f \
        && regedit_hivora prefix --prefix "$WINEPREFIX" --import-reg "$dir/set.reg" \
        && regedit_hivora prefix --prefix "$WINEPREFIX" --import-reg "$dir/remove.reg" \
        && regedit_run /E "$dir/by_store.reg" "$key" || return 1

    iconv -f UTF-16 -t UTF-8 "$dir/by_wine.reg" >"$dir/by_wine.txt" || return 1
    # Guards against two equally empty reads: every value is there, the removed ones are not.
    local name
    for name in Text Path Count Big Blob List; do
        grep -q "^\"$name\"=" "$dir/by_wine.txt" || { echo "missing after regedit /S: $name"; return 1; }
    done
    if grep -q -e '^"Gone"=' -e '\\Old\]' "$dir/by_wine.txt"; then
        echo "regedit /S left what the file removes"
        return 1
    fi
    cmp "$dir/by_wine.reg" "$dir/by_store.reg" \
        || { diff <(cat "$dir/by_wine.txt") <(iconv -f UTF-16 -t UTF-8 "$dir/by_store.reg"); return 1; }
}

regedit_check_import() {
    local dir=$work/regedit key='HKEY_CURRENT_USER\Control Panel\Desktop'
    regedit_run /E "$dir/desktop.reg" "$key" || return 1
    # Wine's import of its own file, into a key emptied first, read back.
    wine_reg delete "$key" /f && regedit_run /S "$dir/desktop.reg" \
        && regedit_run /E "$dir/desktop_wine.reg" "$key" || return 1
    # Ours of the same file, into the key emptied again.
    wine_reg delete "$key" /f \
        && regedit_hivora import --prefix "$WINEPREFIX" --import-reg "$dir/desktop.reg" \
        && regedit_run /E "$dir/desktop_ours.reg" "$key" || return 1
    iconv -f UTF-16 -t UTF-8 "$dir/desktop_wine.reg" | grep -q '^"UserPreferencesMask"=hex:' \
        || { echo "Wine's export of $key is missing UserPreferencesMask"; return 1; }
    cmp "$dir/desktop_wine.reg" "$dir/desktop_ours.reg" \
        || { diff <(iconv -f UTF-16 -t UTF-8 "$dir/desktop_wine.reg") \
                  <(iconv -f UTF-16 -t UTF-8 "$dir/desktop_ours.reg"); return 1; }
}

run_regedit_checks() {
    mkdir -p "$work/regedit"
    regedit_hivora_bin=$native_build/app/hivora
    [[ "$regedit_hivora_bin" = /* ]] || regedit_hivora_bin=$root/$regedit_hivora_bin
    if ! cmake --build "$native_build" -j "$jobs" --target hivora >"$work/regedit/build.log" 2>&1 \
        || [ ! -x "$regedit_hivora_bin" ]; then
        tail -n 20 "$work/regedit/build.log" >&2
        echo "regedit checks: $regedit_hivora_bin could not be built; both counted as failed" >&2
        failed=$((failed + 2))
        return
    fi
    "$wineserver" -w >/dev/null 2>&1
    local status
    regedit_check_export
    status=$?
    [ $status -ne 0 ] && cat "$work/regedit/hivora.log" >&2
    regedit_check_result "export .reg -> regedit /S" $status
    regedit_check_import
    status=$?
    [ $status -ne 0 ] && cat "$work/regedit/hivora.log" >&2
    regedit_check_result "regedit /E -> --import-reg" $status
}
