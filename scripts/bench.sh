#!/usr/bin/env bash
# Prints the benchmark figures: over the stand-in, then under Wine, the shipped i686 build with the
# 32-bit Wine in a 32-bit prefix beside the x86_64 build with wine64 in a 64-bit prefix, one after
# the other in the same run. Figures only; nothing here passes or fails. Sizes may be given, e.g.
# `make bench SIZES="1000"`; the default is 1000 and 4000. Each build's own output is kept in
# build/bench/<build>.txt.
set -euo pipefail
cd "$(dirname "$0")/.."

sizes=${SIZES:-"1000 4000"}
read -r -a size_list <<<"$sizes"
echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//')"
echo
build/bench-native/bench/bench_standin "${size_list[@]}"
echo

export WINEDEBUG=-all LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p build/bench

# Runs one build's bench_wine.exe in a prefix of its own width; its output goes to
# build/bench/<build>.txt (through a file: Wine's service processes keep a pipe open).
run_build() {
    local build=$1 wine=$2
    local prefix=$PWD/build/bench/prefix-$build
    if [ ! -f "$prefix/system.reg" ]; then
        echo "bench: creating the Wine prefix build/bench/prefix-$build (once)"
        WINEPREFIX=$prefix WINEARCH=$build "$wine" wineboot --init >/dev/null 2>&1 || true
        WINEPREFIX=$prefix /usr/lib/wine/wineserver -w || true
    fi
    echo "bench: running the $build build under Wine"
    # Wine's own processes end while the virtual display is still there, or they complain.
    # shellcheck disable=SC2016
    local run_then_end='"$@"; status=$?; /usr/lib/wine/wineserver -k; exit $status'
    WINEPREFIX=$prefix xvfb-run -a sh -c "$run_then_end" sh \
        "$wine" "build/bench-$build/bench/bench_wine.exe" "${size_list[@]}" \
        </dev/null >"build/bench/$build.txt" 2>&1 || true
}

rm -f build/bench/win32.txt build/bench/win64.txt
if reason=$(bash scripts/runs_32bit.sh 2>&1); then
    run_build win32 /usr/lib/wine/wine
else
    echo "bench: NOT RUN: the i686 build, because $reason" | tee build/bench/win32.txt
fi
run_build win64 /usr/lib/wine/wine64
echo

# The two tables joined row by row, i686 first (the shipped build).
python3 - build/bench/win32.txt build/bench/win64.txt <<'PY'
import sys

def read(path):
    heading, rows, rest = "not run", {}, []
    text = open(path, encoding="utf-8", errors="replace").read().replace("\r", "")
    for line in text.splitlines():
        if line.startswith("Wine ("):
            heading = line[len("Wine ("):].rstrip(")")
        elif line.startswith("drop N files") or line.startswith("restart run"):
            measure, fields = line[:34].rstrip(), line[34:].split()
            # N, program, "s", floor, "s", ratio
            rows[(measure, fields[0])] = (fields[1], fields[3], fields[5])
        elif line.startswith("measure"):
            continue
        elif line.strip():
            rest.append(line)
    return heading, rows, rest

builds = [("i686", *read(sys.argv[1])), ("x86_64", *read(sys.argv[2]))]
print("Wine: " + "; ".join(f"{name}: {heading}" for name, heading, _, _ in builds))
keys = list(dict.fromkeys(k for _, _, rows, _ in builds for k in rows))
head = f"{'measure':<34} {'N':>6}"
for name, *_ in builds:
    head += f" | {name + ' program':>14} {'floor':>9} {'ratio':>6}"
print(head)
for key in keys:
    line = f"{key[0]:<34} {key[1]:>6}"
    for _, _, rows, _ in builds:
        program, floor, ratio = rows.get(key, ("-", "-", "-"))
        line += f" | {program + ' s':>14} {floor + ' s':>9} {ratio:>6}"
    print(line)
for name, _, _, rest in builds:
    for line in rest:
        print(f"{name}: {line}")
PY
