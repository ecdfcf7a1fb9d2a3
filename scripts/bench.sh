#!/usr/bin/env bash
# Prints the benchmark figures: over the stand-in, then under Wine, the shipped i686 build with the
# 32-bit Wine in a 32-bit prefix beside the x86_64 build with wine64 in a 64-bit prefix, one after
# the other in the same run. Figures only; nothing here passes or fails. Sizes may be given, e.g.
# `make bench SIZES="1000"`; the default is 1000 and 10000. Each build's own output is kept in
# build/bench/<build>.txt.
set -euo pipefail
cd "$(dirname "$0")/.."

sizes=${SIZES:-"1000 10000"}
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

# The two tables joined row by row, i686 first (the shipped build): for each measure and N the
# seconds and the time per file, then how the time per file grew from the smallest N to the
# largest (1.00: every file costs the same however many there are).
python3 - build/bench/win32.txt build/bench/win64.txt <<'PY'
import re
import sys

MEASURE = re.compile(r"^(.{34}) +(\d+) +([\d.]+) s +(?:([\d.]+) s|-)\s*(.*)$")

def read(path):
    heading, rows, rest = "not run", {}, []
    text = open(path, encoding="utf-8", errors="replace").read().replace("\r", "")
    for line in text.splitlines():
        match = MEASURE.match(line)
        if line.startswith("Wine ("):
            heading = line[len("Wine ("):].rstrip(")")
        elif match:
            measure, n, program, floor, note = match.groups()
            rows[(measure.rstrip(), int(n))] = (float(program), floor, note)
        elif line.startswith("measure"):
            continue
        elif line.strip():
            rest.append(line)
    return heading, rows, rest

builds = [("i686", *read(sys.argv[1])), ("x86_64", *read(sys.argv[2]))]
print("Wine: " + "; ".join(f"{name}: {heading}" for name, heading, _, _ in builds))
keys = list(dict.fromkeys(k for _, _, rows, _ in builds for k in rows))
measures = list(dict.fromkeys(measure for measure, _ in keys))
head = f"{'measure':<34} {'N':>6}"
for name, *_ in builds:
    head += f" | {name + ' seconds':>14} {'us/file':>9} {'floor':>9}"
print(head)
for measure in measures:
    sizes = sorted(n for m, n in keys if m == measure)
    for n in sizes:
        line = f"{measure:<34} {n:>6}"
        notes = []
        for name, _, rows, _ in builds:
            if (measure, n) in rows:
                program, floor, note = rows[(measure, n)]
                floor = floor + " s" if floor else "-"
                line += f" | {program:>12.3f} s {1e6 * program / n:>9.1f} {floor:>9}"
                if note:
                    notes.append(f"{name} {note}")
            else:
                line += f" | {'-':>14} {'-':>9} {'-':>9}"
        print(line + ("  " + "; ".join(notes) if notes else ""))
    if len(sizes) > 1:
        low, high = sizes[0], sizes[-1]
        line = f"{'  per file, ' + str(high) + ' / ' + str(low):<34} {'':>6}"
        for _, _, rows, _ in builds:
            if (measure, low) in rows and (measure, high) in rows and rows[(measure, low)][0] > 0:
                ratio = (rows[(measure, high)][0] / high) / (rows[(measure, low)][0] / low)
                line += f" | {'ratio':>14} {ratio:>9.2f} {'':>9}"
            else:
                line += f" | {'':>14} {'-':>9} {'':>9}"
        print(line)
for name, _, _, rest in builds:
    for line in rest:
        print(f"{name}: {line}")
PY
