#!/usr/bin/env bash
# The end-to-end suite: the program run under Wine on a virtual X display, each scenario driven
# by e2e/e2e_suite.exe of a Windows build; then that build's real rebootdel.exe started, closed
# from outside, and its exit code checked. Builds nothing (`make test` builds win32 and win64).
#
# One run is one configuration, chosen by environment variables:
#   E2E_BUILD        win32 (the shipped i686 program) or win64 (x86_64); default win64
#   E2E_PREFIX_ARCH  win32 (a 32-bit Windows) or win64 (a 64-bit one); default win64
#   E2E_LOCALE       the locale Wine takes the ANSI code page from; default zh_CN.UTF-8 (936)
#   E2E_DPI          the display's DPI (LogPixels in the prefix); default 96
# E2E_LOCALE C.UTF-8 gives code page 1252, and hi_IN.UTF-8, a locale without an ANSI code page of
# its own, gives UTF-8 (65001); Wine 8 takes no ACP value from the registry. The programs declare
# UTF-8 as their code page in their manifest, which Wine honours: the locale's code page is the
# one a Windows older than 10 version 1903 would give them.
# Its prefix, logs and PNG screenshots are in build/e2e/<build>-<prefix arch>-<locale>/ (with
# -<dpi>dpi after it for another DPI than 96), and it ends with "N passed, M failed". With none of
# the four set, every configuration of the table below runs in turn, and a closing line says which
# build ran in which prefix and how each went.
#
# Usage: [E2E_BUILD=...] [E2E_PREFIX_ARCH=...] [E2E_LOCALE=...] [E2E_DPI=...] e2e.sh [scenario ...]
#        (default: every scenario, then the real program)
set -uo pipefail
cd "$(dirname "$0")/../.." || exit 1
root=$PWD

# The configurations `make test` runs, in this order: build, prefix architecture, locale, DPI, and
# the scenarios (none named: every scenario, then the real program).
texts="wide-texts fatal-out-of-memory fatal-internal-error"
configurations=(
    "win32 win32 zh_CN.UTF-8 96" # the shipped i686 program on 32-bit Windows: the main run
    "win64 win64 zh_CN.UTF-8 96" # the x86_64 build on 64-bit Windows
    # The shipped program as most users run it: a 32-bit program on 64-bit Windows (WOW64), whose
    # own view of the system folder is redirected while the boot deletes in the native one.
    "win32 win64 zh_CN.UTF-8 96"
    # The program's texts, and names outside the locale's code page 1252.
    "win32 win32 C.UTF-8 96 names long-paste $texts"
    "win64 win64 C.UTF-8 96 names long-paste $texts"
    # The program's texts, and Chinese names of three bytes a character, under UTF-8.
    "win32 win32 hi_IN.UTF-8 96 $texts"
    "win64 win64 hi_IN.UTF-8 96 $texts"
    # A display at 144 DPI (150 %): the dialog grows by half, and the list's columns with it
    # (the x86_64 build in a 64-bit prefix where 32-bit programs cannot run).
    "win32 win32 zh_CN.UTF-8 144 start-up names"
)

# "the i686 build in a 32-bit prefix (zh_CN.UTF-8)", with ", 144 DPI" for another DPI than 96
describe() {
    local machine=x86_64 bits=64 dpi=""
    [ "$1" = win32 ] && machine=i686
    [ "$2" = win32 ] && bits=32
    [ "$4" = 96 ] || dpi=", $4 DPI"
    echo "the $machine build in a $bits-bit prefix ($3$dpi)"
}

# The output folder of a configuration: build, prefix architecture, locale, DPI.
output_folder() {
    local folder=$root/build/e2e/$1-$2-${3%%.*}
    [ "$4" = 96 ] || folder+=-$4dpi
    echo "$folder"
}

run_every_configuration() {
    local can_run_32bit=yes reason
    if ! reason=$(bash scripts/runs_32bit.sh 2>&1); then
        can_run_32bit=""
        echo "e2e: NOT RUN: the 32-bit configurations, because $reason; only the 64-bit ones run"
    fi
    local summary=() failures=0 configuration build prefix_arch locale dpi named
    for configuration in "${configurations[@]}"; do
        read -r build prefix_arch locale dpi named <<<"$configuration"
        local chosen=("$@")
        # A configuration that names its scenarios runs them unless the caller named others.
        [ $# -gt 0 ] || [ -z "$named" ] || read -r -a chosen <<<"$named"
        # No other configuration looks at another DPI: where 32-bit programs cannot run, the
        # x86_64 build takes it in a 64-bit prefix, so that every machine runs it.
        if [ -z "$can_run_32bit" ] && [ "$dpi" != 96 ]; then
            build=win64
            prefix_arch=win64
        fi
        local what
        what=$(describe "$build" "$prefix_arch" "$locale" "$dpi")
        if [ -z "$can_run_32bit" ] && { [ "$build" = win32 ] || [ "$prefix_arch" = win32 ]; }; then
            summary+=("$what: NOT RUN (the kernel cannot execute 32-bit programs)")
            continue
        fi
        echo "=== e2e: $what"
        local started=$SECONDS result_file
        result_file=$(output_folder "$build" "$prefix_arch" "$locale" "$dpi")/result.txt
        rm -f "$result_file"
        E2E_BUILD=$build E2E_PREFIX_ARCH=$prefix_arch E2E_LOCALE=$locale E2E_DPI=$dpi \
            bash "$0" "${chosen[@]}"
        local status=$? result="did not finish"
        [ -s "$result_file" ] && result=$(cat "$result_file")
        [ "$status" -eq 0 ] || failures=$((failures + 1))
        summary+=("$what: $result in $((SECONDS - started)) s")
    done
    local line
    line=$(printf '%s; ' "${summary[@]}")
    echo "e2e: summary: ${line%; }"
    [ "$failures" -eq 0 ]
}

if [ -z "${E2E_BUILD:-}${E2E_PREFIX_ARCH:-}${E2E_LOCALE:-}${E2E_DPI:-}" ]; then
    run_every_configuration "$@"
    exit
fi

build=${E2E_BUILD:-win64}
prefix_arch=${E2E_PREFIX_ARCH:-win64}
locale_name=${E2E_LOCALE:-zh_CN.UTF-8}
# Exported: the scenarios read the DPI the display must have.
export E2E_DPI=${E2E_DPI:-96}
out=$(output_folder "$build" "$prefix_arch" "$locale_name" "$E2E_DPI")
mkdir -p "$out"
rm -f "$out/result.txt"

fail() {
    echo "e2e: FAIL: $*" >&2
    echo "0 passed, 1 failed" | tee "$out/result.txt"
    exit 1
}

case "$build" in
    win32) wine=/usr/lib/wine/wine ;;
    win64) wine=/usr/lib/wine/wine64 ;;
    *) fail "E2E_BUILD is $build; it must be win32 or win64" ;;
esac
# The prefix is made by the loader of its own width: wine64 refuses a 32-bit prefix.
case "$prefix_arch" in
    win32) prefix_wine=/usr/lib/wine/wine ;;
    win64) prefix_wine=/usr/lib/wine/wine64 ;;
    *) fail "E2E_PREFIX_ARCH is $prefix_arch; it must be win32 or win64" ;;
esac
[ "$build" = win32 ] || [ "$prefix_arch" = win64 ] ||
    fail "a 32-bit prefix cannot run the x86_64 build"
wineserver=/usr/lib/wine/wineserver
suite=$root/build/$build/e2e/e2e_suite.exe
closer=$root/build/$build/e2e/e2e_close.exe
program=$root/build/$build/rebootdel.exe

if [ "$build" = win32 ] || [ "$prefix_arch" = win32 ]; then
    reason=$(bash scripts/runs_32bit.sh 2>&1) || fail "not run: $reason"
fi
for tool in "$wine" "$wineserver" /usr/bin/xvfb-run /usr/bin/convert; do
    [ -x "$tool" ] || fail "$tool is missing (run make setup)"
done
# A locale the system has not generated (hi_IN.UTF-8 is not among Debian's) is compiled into the
# output folder: without it Wine's Unix side has no UTF-8 for non-ASCII file names. locale -a
# writes "zh_CN.utf8" for zh_CN.UTF-8.
listed_locale=$locale_name
case "$locale_name" in *.UTF-8 | *.utf-8) listed_locale=${locale_name%.*}.utf8 ;; esac
if ! locale -a 2>/dev/null | grep -qixF "$listed_locale"; then
    mkdir -p "$out/locale"
    localedef -i "${locale_name%%.*}" -f UTF-8 "$out/locale/$locale_name" >/dev/null 2>&1 ||
        fail "could not compile the locale $locale_name"
    export LOCPATH=$out/locale
fi
for exe in "$suite" "$closer" "$program"; do
    [ -f "$exe" ] || fail "$exe does not exist; build $build first (make $build)"
done

# Everything below runs on a display of its own, whatever display the caller has.
if [ -z "${E2E_ON_XVFB:-}" ]; then
    E2E_ON_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" bash "$0" "$@"
fi

export WINEPREFIX=$out/prefix WINEARCH=$prefix_arch WINEDEBUG=-all
export LANG=$locale_name LC_ALL=$locale_name
# No Mono or Gecko installers: the program needs neither, and there is no network for them.
export WINEDLLOVERRIDES="mscoree,mshtml="

# Each scenario gets this long; a hang becomes a failure, not a stuck suite.
scenario_seconds=120

# A fresh prefix for every run of the suite, created once and shared by all scenarios.
rm -rf "$WINEPREFIX"
rm -f "$out"/*.bmp "$out"/*.png "$out"/*.log
rm -rf "$out/network" "$out/removable"
mkdir -p "$out"
echo "e2e: creating the Wine prefix in ${WINEPREFIX#"$root"/}"
timeout 300 "$prefix_wine" wineboot --init >"$out/wineboot.log" 2>&1 ||
    fail "wineboot failed (see ${out#"$root"/}/wineboot.log)"
# Without a window manager Wine waits two seconds for one whenever a managed window is hidden;
# unmanaged windows are drawn the same and hide at once.
timeout 60 "$prefix_wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
    >/dev/null 2>&1 || fail "could not configure the Wine prefix"
# The display's DPI, read by every program started after this.
timeout 60 "$prefix_wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD \
    /d "$E2E_DPI" /f >/dev/null 2>&1 || fail "could not set the display's DPI to $E2E_DPI"
# A Western Windows shows Chinese in the dialog font and the caption font through its font links
# to its East Asian fonts; the prefix's own links name Windows fonts that are not installed here,
# so outside the Chinese locale they are pointed at the Chinese font that is.
cjk_file=$(fc-match -f '%{file}' ':lang=zh-cn' 2>/dev/null)
cjk_family=$(fc-match -f '%{family[0]}' ':lang=zh-cn' 2>/dev/null)
if [ "$locale_name" != zh_CN.UTF-8 ] && [ -n "$cjk_file" ]; then
    for face in 'MS Sans Serif' Tahoma; do
        timeout 60 "$prefix_wine" reg add \
            'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' /v "$face" \
            /t REG_MULTI_SZ /d "$(basename "$cjk_file"),$cjk_family" /f >/dev/null 2>&1 ||
            fail "could not link the font $face to $cjk_family"
    done
fi
# C:\e2e\linked\link is a folder link to C:\e2e\linked\target, as a moved profile folder or a
# junction is: a directory symlink in the prefix, whose files' final paths are under its target.
mkdir -p "$WINEPREFIX/drive_c/e2e/linked/target"
ln -sfn target "$WINEPREFIX/drive_c/e2e/linked/link"
# The dialogs' texts drawn whole, not from a Chinese font's broken small bitmaps, and the title
# bars' buttons.
# shellcheck source=../wine_fonts.sh
. "$root/scripts/wine_fonts.sh"
use_whole_dialog_fonts "$prefix_wine" || fail "could not give the prefix a whole dialog font"
use_wine_title_buttons || fail "could not give the prefix Wine's Marlett"
# Drive N: is a network drive (DRIVE_REMOTE) over a folder of the output folder, as a mapped
# share is; the drive manager reads the type when the server starts.
mkdir -p "$out/network"
ln -sfn "$out/network" "$WINEPREFIX/dosdevices/n:"
timeout 60 "$prefix_wine" reg add 'HKLM\Software\Wine\Drives' /v n: /d network /f \
    >/dev/null 2>&1 || fail "could not make drive N: a network drive"
# Drive R: is a removable disk (DRIVE_REMOVABLE), as a floppy drive is to Wine.
mkdir -p "$out/removable"
ln -sfn "$out/removable" "$WINEPREFIX/dosdevices/r:"
timeout 60 "$prefix_wine" reg add 'HKLM\Software\Wine\Drives' /v r: /d floppy /f \
    >/dev/null 2>&1 || fail "could not make drive R: a removable disk"
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

# Runs a Windows program in the output folder with a time limit and shows its output. The output
# goes through a file, not a pipe: Wine's service processes, started by whichever program comes
# first, inherit its output and outlive it, so a pipe would never reach its end.
run_windows() {
    local log=$1
    shift
    local status=0
    (cd "$out" && timeout "$scenario_seconds" "$wine" "$@" </dev/null >"$log" 2>&1) || status=$?
    tr -d '\r' <"$log"
    return "$status"
}

# A restart as the boot makes it: the server and every process of the session end (drives the
# session defined are gone), then wineboot carries out the pending file operations with the
# prefix's own loader, a native process as the boot is; then the persistent server again.
restart_wine() {
    "$wineserver" -k >/dev/null 2>&1
    "$wineserver" -w
    timeout 300 "$prefix_wine" wineboot -r >"$out/wineboot-restart.log" 2>&1 || return 1
    timeout 60 "$wineserver" -w
    "$wineserver" -p </dev/null >/dev/null 2>&1
}

run_scenario() {
    local name=$1 status=0
    echo "== e2e: $name"
    run_windows "$out/$name.log" "$suite" "$name" || status=$?
    if [ -n "${after_restart[$name]:-}" ]; then
        echo "== e2e: $name: restarting Wine"
        if ! restart_wine; then
            echo "FAIL: wineboot -r did not finish (see ${out#"$root"/}/wineboot-restart.log)"
            status=1
        fi
        run_windows "$out/$name-after-restart.log" "$suite" --after-restart "$name" || status=1
    fi
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

# The suite lists its scenarios one a line, "NAME after-restart" for those that go on after a
# restart.
run_windows "$out/scenarios.txt" "$suite" --list >/dev/null || fail "e2e_suite.exe --list failed"
declare -A after_restart=()
listed=()
while read -r name part; do
    [ -n "$name" ] || continue
    listed+=("$name")
    [ "$part" != after-restart ] || after_restart[$name]=1
done < <(tr -d '\r' <"$out/scenarios.txt")
if [ $# -gt 0 ]; then
    scenarios=("$@")
else
    [ ${#listed[@]} -gt 0 ] || fail "e2e_suite.exe lists no scenarios"
    scenarios=("${listed[@]}" real-program)
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
echo "$passed passed, $failed failed" | tee "$out/result.txt"
[ "$failed" -eq 0 ]
