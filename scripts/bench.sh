#!/usr/bin/env bash
# Prints the benchmark figures: over the stand-in, then under Wine (the x86_64 build; this kernel
# cannot run the 32-bit one). Figures only; nothing here passes or fails. Sizes may be given,
# e.g. `make bench SIZES="1000"`; the default is 1000 and 4000.
set -euo pipefail
cd "$(dirname "$0")/.."

sizes=${SIZES:-"1000 4000"}
echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//')"
echo
build/bench-native/bench/bench_standin $sizes
echo

export WINEPREFIX="$PWD/build/bench/prefix" WINEDEBUG=-all LANG=zh_CN.UTF-8
mkdir -p build/bench
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    /usr/lib/wine/wine64 wineboot --init >/dev/null 2>&1 || true
    /usr/lib/wine/wineserver -w || true
fi
xvfb-run -a /usr/lib/wine/wine64 build/bench-win64/bench/bench_wine.exe $sizes
