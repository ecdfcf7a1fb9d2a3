#!/usr/bin/env bash
# The end-to-end suite: the x86_64 build of the program run under 64-bit Wine on a virtual X
# display, with the ANSI code page 936, each scenario driven by build/win64/e2e/e2e_suite.exe; then
# the real build/win64/rebootdel.exe started, closed from outside, and its exit code checked.
# Builds nothing (`make test` builds win64 first). Screenshots land in build/e2e/ as PNG.
# Ends with "N passed, M failed" and exits non-zero when a scenario failed.
#
# Usage: e2e.sh [scenario ...]   (default: every scenario, then the real program)
#
# E2E_LOCALE (default zh_CN.UTF-8) is the locale Wine runs in, which gives the ANSI code page:
# C.UTF-8 gives 1252, and hi_IN.UTF-8, a locale without an ANSI code page of its own, gives UTF-8
# (65001); Wine 8 takes no ACP value from the registry. Another locale than the default gets a
# prefix and output folder of its own under build/e2e/, and its screenshots are copied into
# build/e2e/ beside the others.
set -uo pipefail
cd "$(dirname "$0")/../.." || exit 1
root=$PWD

fail() {
    echo "e2e: FAIL: $*" >&2
    echo "0 passed, 1 failed"
    exit 1
}

wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
suite=$root/build/win64/e2e/e2e_suite.exe
closer=$root/build/win64/e2e/e2e_close.exe
program=$root/build/win64/rebootdel.exe
locale_name=${E2E_LOCALE:-zh_CN.UTF-8}
out=$root/build/e2e
shots=$out
if [ "$locale_name" != zh_CN.UTF-8 ]; then
    out=$shots/$locale_name
fi

for tool in "$wine" "$wineserver" /usr/bin/xvfb-run /usr/bin/convert; do
    [ -x "$tool" ] || fail "$tool is missing (run make setup)"
done
for exe in "$suite" "$closer" "$program"; do
    [ -f "$exe" ] || fail "$exe does not exist; build win64 first (make win64)"
done

# Everything below runs on a display of its own, whatever display the caller has.
if [ -z "${E2E_ON_XVFB:-}" ]; then
    E2E_ON_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" bash "$0" "$@"
fi

export WINEPREFIX=$out/prefix WINEARCH=win64 WINEDEBUG=-all
# A locale the system has not generated (hi_IN.UTF-8 is not among Debian's) is compiled into the
# output folder: without it Wine's Unix side has no UTF-8 for non-ASCII file names.
listed_name=$(echo "$locale_name" | tr '[:upper:]' '[:lower:]' | sed 's/utf-8$/utf8/')
if ! locale -a 2>/dev/null | tr '[:upper:]' '[:lower:]' | grep -qx "$listed_name"; then
    mkdir -p "$out/locale"
    localedef -i "${locale_name%%.*}" -f UTF-8 "$out/locale/$locale_name" >/dev/null 2>&1 ||
        fail "could not compile the locale $locale_name"
    export LOCPATH=$out/locale
fi
export LANG=$locale_name LC_ALL=$locale_name
# No Mono or Gecko installers: the program needs neither, and there is no network for them.
export WINEDLLOVERRIDES="mscoree,mshtml="

# Each scenario gets this long; a hang becomes a failure, not a stuck suite.
scenario_seconds=120

# A fresh prefix for every run of the suite, created once and shared by all scenarios.
rm -rf "$WINEPREFIX"
rm -f "$out"/*.bmp "$out"/*.png "$out"/*.log
mkdir -p "$out"
echo "e2e: creating the Wine prefix in ${WINEPREFIX#"$root"/}"
timeout 300 "$wine" wineboot --init >"$out/wineboot.log" 2>&1 ||
    fail "wineboot failed (see ${out#"$root"/}/wineboot.log)"
# Without a window manager Wine waits two seconds for one whenever a managed window is hidden;
# unmanaged windows are drawn the same and hide at once.
timeout 60 "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 ||
    fail "could not configure the Wine prefix"
# A Western Windows shows Chinese in the dialog font and the caption font through its font links
# to its East Asian fonts; the prefix's own links name Windows fonts that are not installed here,
# so outside the Chinese locale they are pointed at the Chinese font that is.
cjk_file=$(fc-match -f '%{file}' ':lang=zh-cn' 2>/dev/null)
cjk_family=$(fc-match -f '%{family[0]}' ':lang=zh-cn' 2>/dev/null)
if [ "$locale_name" != zh_CN.UTF-8 ] && [ -n "$cjk_file" ]; then
    for face in 'MS Sans Serif' Tahoma; do
        timeout 60 "$wine" reg add \
            'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' /v "$face" \
            /t REG_MULTI_SZ /d "$(basename "$cjk_file"),$cjk_family" /f >/dev/null 2>&1 ||
            fail "could not link the font $face to $cjk_family"
    done
fi
timeout 60 "$wineserver" -w
# One server for the whole run, so that each scenario starts quickly.
"$wineserver" -p </dev/null >/dev/null 2>&1
trap '"$wineserver" -k >/dev/null 2>&1' EXIT

passed=0
failed=0
failed_names=()

record() {
    local name=$1 status=$2
    if [ "$status" -eq 0 ]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        failed_names+=("$name")
        echo "e2e: $name FAILED (exit code $status)"
    fi
}

# Runs a Windows program in build/e2e with a time limit and shows its output. The output goes
# through a file, not a pipe: Wine's service processes, started by whichever program comes first,
# inherit its output and outlive it, so a pipe would never reach its end.
run_windows() {
    local log=$1
    shift
    local status=0
    (cd "$out" && timeout "$scenario_seconds" "$wine" "$@" </dev/null >"$log" 2>&1) || status=$?
    tr -d '\r' <"$log"
    return "$status"
}

run_scenario() {
    local name=$1 status=0
    echo "== e2e: $name"
    run_windows "$out/$name.log" "$suite" "$name" || status=$?
    record "$name" "$status"
}

# The shipped program itself: started as a user starts it, closed from another process as the
# close box does, and it must end with exit code 0.
run_real_program() {
    local name=real-program
    echo "== e2e: $name"
    (cd "$out" &&
        timeout "$scenario_seconds" "$wine" "$program" </dev/null >"$out/$name.log" 2>&1) &
    local pid=$!
    local closed=0
    run_windows "$out/close.log" "$closer" || closed=1
    local exit_code=0
    wait "$pid" || exit_code=$?
    echo "rebootdel.exe exit code: $exit_code"
    if [ "$closed" -eq 0 ] && [ "$exit_code" -eq 0 ]; then
        echo "PASS: rebootdel.exe ended with exit code 0 after WM_CLOSE"
        record "$name" 0
    else
        echo "FAIL: rebootdel.exe was not closed cleanly"
        record "$name" 1
    fi
}

if [ $# -gt 0 ]; then
    scenarios=("$@")
else
    run_windows "$out/scenarios.txt" "$suite" --list >/dev/null ||
        fail "e2e_suite.exe --list failed"
    mapfile -t scenarios < <(tr -d '\r' <"$out/scenarios.txt")
    [ ${#scenarios[@]} -gt 0 ] || fail "e2e_suite.exe lists no scenarios"
    scenarios+=(real-program)
fi

for name in "${scenarios[@]}"; do
    if [ "$name" = real-program ]; then
        run_real_program
    else
        run_scenario "$name"
    fi
done

for bmp in "$out"/*.bmp; do
    [ -e "$bmp" ] || continue
    /usr/bin/convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
done
ls "$out"/*.png >/dev/null 2>&1 && echo "e2e: screenshots: $(cd "$out" && echo *.png)"
if [ "$out" != "$shots" ]; then
    for png in "$out"/*.png; do
        [ -e "$png" ] && cp "$png" "$shots/"
    done
fi

[ "$failed" -eq 0 ] || echo "e2e: failed: ${failed_names[*]}"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
