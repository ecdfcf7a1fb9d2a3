#!/usr/bin/env bash
# Runs every libFuzzer target of build/fuzz for a bounded time, from the seeds in
# tests/fuzz/corpus/<target>/ plus what earlier runs kept in build/fuzz/corpus/<target>/, and
# prints the executions of each target and in total. Fails when a target finds an input that
# breaks a property, crashes or trips a sanitizer; the input is kept in build/fuzz/findings/.
#
# FUZZ_SECONDS: seconds per target (default 30); FUZZ_JOBS: targets run at once (default 2).
# With the defaults the twelve targets take about three minutes in all.
set -euo pipefail
cd "$(dirname "$0")/../.."

seconds=${FUZZ_SECONDS:-30}
jobs=${FUZZ_JOBS:-2}
bin=build/fuzz/fuzzers
work=build/fuzz

[ -d "$bin" ] || {
    echo "fuzz: $bin does not exist; build it first (make fuzz-build)" >&2
    exit 1
}

targets=()
for program in "$bin"/fuzz_*; do
    [ -x "$program" ] || continue
    target=${program##*/fuzz_}
    [ -d "tests/fuzz/corpus/$target" ] || {
        echo "fuzz: no seed corpus tests/fuzz/corpus/$target" >&2
        exit 1
    }
    targets+=("$target")
done
[ ${#targets[@]} -gt 0 ] || {
    echo "fuzz: no targets in $bin" >&2
    exit 1
}

run_target() {
    local target=$1
    mkdir -p "$work/corpus/$target" "$work/findings/$target" "$work/logs"
    local status=0
    "$bin/fuzz_$target" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 \
        -rss_limit_mb=2048 -artifact_prefix="$work/findings/$target/" \
        "$work/corpus/$target" "tests/fuzz/corpus/$target" >"$work/logs/$target.log" 2>&1 ||
        status=$?
    echo "$status" >"$work/logs/$target.status"
}

echo "fuzz: ${#targets[@]} targets, ${seconds}s each, $jobs at a time"
running=0
for target in "${targets[@]}"; do
    if [ "$running" -ge "$jobs" ]; then
        wait -n || true
        running=$((running - 1))
    fi
    run_target "$target" &
    running=$((running + 1))
done
wait

total=0
failed=0
printf '%-18s %14s %10s %8s  %s\n' target executions "exec/s" corpus result
for target in "${targets[@]}"; do
    log="$work/logs/$target.log"
    status=$(cat "$work/logs/$target.status")
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
    units=$(find "$work/corpus/$target" -type f | wc -l)
    executions=${executions:-0}
    total=$((total + executions))
    result=ok
    if [ "$status" -ne 0 ]; then
        failed=$((failed + 1))
        finding=$(grep -o "Test unit written to .*" "$log" | tail -1 | sed 's/Test unit written to //')
        result="FAILED (exit $status) ${finding:-see $log}"
    fi
    printf '%-18s %14s %10s %8s  %s\n' "$target" "$executions" "${rate:-0}" "$units" "$result"
done
printf '%-18s %14s\n' total "$total"

if [ "$failed" -ne 0 ]; then
    for target in "${targets[@]}"; do
        if [ "$(cat "$work/logs/$target.status")" -ne 0 ]; then
            echo "---- $target"
            grep -E -A12 "property failed|internal error|ERROR: |runtime error" \
                "$work/logs/$target.log" | head -40 || tail -20 "$work/logs/$target.log"
        fi
    done
    echo "fuzz: $failed target(s) failed; reproduce with build/fuzz/fuzzers/fuzz_<target> <input>" >&2
    exit 1
fi
