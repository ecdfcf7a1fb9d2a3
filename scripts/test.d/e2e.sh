#!/usr/bin/env bash
# The end-to-end suite: the x86_64 build of the program run under 64-bit Wine on a virtual X
# display, with the ANSI code page 936, each scenario driven by build/win64/e2e/e2e_suite.exe; then
# the real build/win64/rebootdel.exe started, closed from outside, and its exit code checked.
# Builds nothing (`make test` builds win64 first). Screenshots land in build/e2e/ as PNG.
# Ends with "N passed, M failed" and exits non-zero when a scenario failed.
#
# Usage: e2e.sh [scenario ...]   (default: every scenario, then the real program)
# E2E_LOCALE: the locale Wine runs in, and so its ANSI code page (default zh_CN.UTF-8: 936;
# C.UTF-8 gives 1252). Another locale gets a prefix and output folder of its own.
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
locale=${E2E_LOCALE:-zh_CN.UTF-8}
out=$root/build/e2e
[ "$locale" = zh_CN.UTF-8 ] || out=$root/build/e2e-$locale

for tool in "$wine" "$wineserver" /usr/bin/xvfb-run /usr/bin/convert; do
    [ -x "$tool" ] || fail "$tool is missing (run make setup)"
done
# locale -a spells UTF-8 as utf8.
locale -a 2>/dev/null | grep -qix "${locale/%UTF-8/utf8}" ||
    fail "the $locale locale is missing (run make setup)"
for exe in "$suite" "$closer" "$program"; do
    [ -f "$exe" ] || fail "$exe does not exist; build win64 first (make win64)"
done

# Everything below runs on a display of its own, whatever display the caller has.
if [ -z "${E2E_ON_XVFB:-}" ]; then
    E2E_ON_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" bash "$0" "$@"
fi

export WINEPREFIX=$out/prefix WINEARCH=win64 WINEDEBUG=-all
export LANG=$locale LC_ALL=$locale
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

[ "$failed" -eq 0 ] || echo "e2e: failed: ${failed_names[*]}"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
