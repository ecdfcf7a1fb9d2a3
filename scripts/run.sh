#!/usr/bin/env bash
# `make run`: starts the program under Wine. With a display it simply runs; without one it runs on
# a virtual X display, saves a screenshot of the main window to build/screenshot.png and ends.
#
# It runs the shipped i686 build with the 32-bit Wine in a 32-bit prefix, as on 32-bit Windows.
# Where the kernel cannot execute 32-bit programs it says so and runs the x86_64 build with wine64
# in a 64-bit prefix instead; the sources are the same.
set -euo pipefail
cd "$(dirname "$0")/.."

if reason=$(bash scripts/runs_32bit.sh 2>&1); then
    build=win32
    wine=/usr/lib/wine/wine
else
    [ "${1:-}" = --on-virtual-display ] ||
        echo "run: $reason; running the x86_64 build instead of the shipped i686 one"
    build=win64
    wine=/usr/lib/wine/wine64
fi
exe=build/$build/rebootdel.exe
wineserver=/usr/lib/wine/wineserver
screenshot=build/screenshot.png

[ -f "$exe" ] || {
    echo "run: $exe is missing; run make $build first" >&2
    exit 1
}

# A prefix of the program's own width: a 32-bit prefix is a 32-bit Windows.
export WINEPREFIX="$PWD/build/wineprefix-$build" WINEARCH=$build
export WINEDEBUG=-all
# Wine takes the ANSI code page from the locale: zh_CN.UTF-8 gives code page 936, the program's.
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
# No Mono or Gecko installer prompts while the prefix is created.
export WINEDLLOVERRIDES="mscoree,mshtml="

if [ "${1:-}" != --on-virtual-display ] && [ -z "${DISPLAY:-}" ]; then
    command -v xvfb-run >/dev/null || {
        echo "run: no display and no xvfb-run (run make setup)" >&2
        exit 1
    }
    exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" --on-virtual-display
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "run: creating the Wine prefix $WINEPREFIX (once)"
    mkdir -p "$WINEPREFIX"
    "$wine" wineboot --init >/dev/null 2>&1
    "$wineserver" -w
fi
# The dialogs' texts drawn whole, not from a Chinese font's broken small bitmaps, and the title
# bars' buttons; set on every run, so that a prefix made before is mended too.
# shellcheck source=wine_fonts.sh
. scripts/wine_fonts.sh
use_whole_dialog_fonts "$wine"
use_wine_title_buttons

if [ "${1:-}" != --on-virtual-display ]; then
    exec "$wine" "$exe"
fi

# On the virtual display: start the program, wait for its main window, take the picture, end it.
"$wine" "$exe" >/dev/null 2>&1 &
caption="重启删除文件"
found=""
for _ in $(seq 1 60); do
    if xwininfo -root -tree 2>/dev/null | grep -qF "$caption"; then
        found=yes
        break
    fi
    sleep 0.5
done
# Let the fade-in finish and the controls paint.
sleep 2
import -window root "$screenshot"
"$wineserver" -k || true
wait || true

if [ -z "$found" ]; then
    echo "run: the main window did not appear; the screen is in $screenshot" >&2
    exit 1
fi
echo "run: screenshot of the main window saved to $screenshot"
