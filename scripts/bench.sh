#!/usr/bin/env bash
# Prints the benchmark figures: over the stand-in, then under Wine, the shipped i686 build with the
# 32-bit Wine in a 32-bit prefix beside the x86_64 build with wine64 in a 64-bit prefix, one after
# the other in the same run. Figures only; nothing here passes or fails. Sizes may be given, e.g.
# `make bench SIZES="1000"`; the default is 1000 and 10000. The restart run of a folder has sizes
# of its own, FOLDER_SIZES (10000 and 200000), and so has the to-do list opened from the menu and
# closed, TODO_SIZES (1 and 62000 operations); REPEATS sets how many times each drop and folder run runs. Each
# build's own output is kept in build/bench/<build>.txt.
set -euo pipefail
cd "$(dirname "$0")/.."

sizes=${SIZES:-"1000 10000"}
read -r -a size_list <<<"$sizes"
read -r -a folder_sizes <<<"${FOLDER_SIZES:-"10000 200000"}"
read -r -a todo_sizes <<<"${TODO_SIZES:-"1 62000"}"
echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//')"
echo
build/bench-native/bench/bench_standin "${size_list[@]}"
echo

export WINEDEBUG=-all LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p build/bench

# Each measure and size runs in a bench_wine.exe process of its own, so that the peak working set
# printed after it is that measure's own, not what the heap kept from the measures before it. The
# drops and the folder runs run REPEATS times (3 unless given) and the table keeps the fastest: on
# a busy machine one try can take several times as long as the next, and a folder of 10,000 takes
# a tenth of a second, which one try's noise can double.
repeats=${REPEATS:-3}
measures=(drop-empty drop-rows restart-run folder-run to-do-list to-do-close)

# Makes the folder of n files that the folder run takes (C:\bench\folder<n>, files f000000.txt
# and on), on the host: Wine looks through the whole folder for each file it creates, which for
# 200,000 files takes hours, and here they take seconds. The measure finds them and leaves them.
make_folder() {
    local folder=$1 n=$2
    rm -rf "$folder"
    mkdir -p "$folder"
    (cd "$folder" && awk -v n="$n" 'BEGIN { for (i = 0; i < n; i++) printf "f%06d.txt\n", i }' |
        xargs touch)
}

# Runs one build's measures in a prefix of its own width; the output goes to
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
    local measure n try tries folder
    local -a sizes
    for measure in "${measures[@]}"; do
        tries=1
        [[ $measure == drop-* || $measure == folder-run ]] && tries=$repeats
        case $measure in
            folder-run) sizes=("${folder_sizes[@]}") ;;
            to-do-close) sizes=("${todo_sizes[@]}") ;;
            *) sizes=("${size_list[@]}") ;;
        esac
        for n in "${sizes[@]}"; do
            folder=$prefix/drive_c/bench/folder$n
            if [ "$measure" = folder-run ]; then
                make_folder "$folder" "$n"
            fi
            for ((try = 0; try < tries; try++)); do
                WINEPREFIX=$prefix xvfb-run -a sh -c "$run_then_end" sh \
                    "$wine" "build/bench-$build/bench/bench_wine.exe" "$measure" "$n" \
                    </dev/null >>"build/bench/$build.txt" 2>&1 || true
            done
            if [ "$measure" = folder-run ]; then
                rm -rf "$folder"
            fi
        done
    done
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
# largest (1.00: every file costs the same however many there are); for a measure whose smallest
# N is 1, the seconds the largest took more than one.
python3 - build/bench/win32.txt build/bench/win64.txt <<'PY'
import re
import sys

MEASURE = re.compile(r"^(.{34}) +(\d+) +([\d.]+) s +(?:([\d.]+) s|-)\s*(.*)$")
PEAK = re.compile(r"^peak working set after (.+), N = (\d+): ([\d.]+) MiB$")
STARTUP = re.compile(r"^start to opaque window: ([\d.]+) ms; WM_CLOSE to exit: ([\d.]+) ms$")

# A measure run more than once keeps its fastest try, and the highest peak of its processes;
# start-up and close, which every process measures, the fastest of all.
def read(path):
    heading, rows, peaks, rest = "not run", {}, {}, []
    starts, closes = [], []
    text = open(path, encoding="utf-8", errors="replace").read().replace("\r", "")
    for line in text.splitlines():
        match = MEASURE.match(line)
        peak = PEAK.match(line)
        if line.startswith("Wine ("):
            heading = line[len("Wine ("):].rstrip(")")
        elif match:
            measure, n, program, floor, note = match.groups()
            key = (measure.rstrip(), int(n))
            if key not in rows or float(program) < rows[key][0]:
                rows[key] = (float(program), floor, note)
        elif peak:
            key = (peak.group(1), int(peak.group(2)))
            peaks[key] = max(peaks.get(key, 0.0), float(peak.group(3)))
        elif STARTUP.match(line):
            starts.append(float(STARTUP.match(line).group(1)))
            closes.append(float(STARTUP.match(line).group(2)))
        elif line.startswith("measure") or line.startswith("peak working set:"):
            continue
        elif line.strip() and line not in rest:
            rest.append(line)
    if starts:
        rest.append(f"start to opaque window: {min(starts):.1f} ms; WM_CLOSE to exit: "
                    f"{min(closes):.1f} ms (the fastest of {len(starts)} processes)")
    return heading, rows, peaks, rest

builds = [("i686", *read(sys.argv[1])), ("x86_64", *read(sys.argv[2]))]
print("Wine: " + "; ".join(f"{name}: {heading}" for name, heading, _, _, _ in builds))
print("each measure in a process of its own; peak: that process's peak working set")
keys = list(dict.fromkeys(k for _, _, rows, _, _ in builds for k in rows))
measures = list(dict.fromkeys(measure for measure, _ in keys))
head = f"{'measure':<34} {'N':>6}"
for name, *_ in builds:
    head += f" | {name + ' seconds':>14} {'us/file':>9} {'floor':>9} {'peak MiB':>8}"
print(head)
for measure in measures:
    sizes = sorted(n for m, n in keys if m == measure)
    # A measure compared with one operation is told in seconds; a time per file says nothing there.
    by_difference = len(sizes) > 1 and sizes[0] == 1
    for n in sizes:
        line = f"{measure:<34} {n:>6}"
        notes = []
        for name, _, rows, peaks, _ in builds:
            if (measure, n) in rows:
                program, floor, note = rows[(measure, n)]
                floor = floor + " s" if floor else "-"
                peak = peaks.get((measure, n))
                peak = f"{peak:.1f}" if peak is not None else "-"
                per_file = "-" if by_difference else f"{1e6 * program / n:.1f}"
                line += f" | {program:>12.3f} s {per_file:>9} {floor:>9} {peak:>8}"
                if note:
                    notes.append(f"{name} {note}")
            else:
                line += f" | {'-':>14} {'-':>9} {'-':>9} {'-':>8}"
        print(line + ("  " + "; ".join(notes) if notes else ""))
    if by_difference:
        low, high = sizes[0], sizes[-1]
        line = f"{'  more than over ' + str(low):<34} {high:>6}"
        for _, _, rows, _, _ in builds:
            if (measure, low) in rows and (measure, high) in rows:
                more = rows[(measure, high)][0] - rows[(measure, low)][0]
                line += f" | {more:>+12.3f} s {'':>9} {'':>9} {'':>8}"
            else:
                line += f" | {'':>14} {'-':>9} {'':>9} {'':>8}"
        print(line)
    elif len(sizes) > 1:
        low, high = sizes[0], sizes[-1]
        line = f"{'  per file, ' + str(high) + ' / ' + str(low):<34} {'':>6}"
        for _, _, rows, _, _ in builds:
            if (measure, low) in rows and (measure, high) in rows and rows[(measure, low)][0] > 0:
                ratio = (rows[(measure, high)][0] / high) / (rows[(measure, low)][0] / low)
                line += f" | {'ratio':>14} {ratio:>9.2f} {'':>9} {'':>8}"
            else:
                line += f" | {'':>14} {'-':>9} {'':>9} {'':>8}"
        print(line)
for name, _, _, _, rest in builds:
    for line in rest:
        print(f"{name}: {line}")
PY
