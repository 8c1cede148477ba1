#!/bin/sh
# Builds the fuzz targets with clang and runs each one for the given number of
# seconds (default 600) over its committed corpus, two at a time at low
# priority. New inputs go to build/fuzz/corpus/<target>, crash files and the
# fuzzer's output to build/fuzz/runs/<target>. Exits non-zero when any target
# found a fault.
#
#   tools/fuzz/run.sh [seconds] [target...]
set -eu

seconds=${1:-600}
[ $# -gt 0 ] && shift
targets=${*:-"fuzz_receive_host fuzz_receive_joiner fuzz_server fuzz_lobby fuzz_settings fuzz_rules_ai"}

root=$(cd "$(dirname "$0")/../.." && pwd)
build=$root/build/fuzz

CC=${CC:-clang-14} CXX=${CXX:-clang++-14} cmake -S "$root" -B "$build" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORN_FUZZ=ON -DVORN_GUI=OFF >/dev/null
# shellcheck disable=SC2086
nice -n 10 ninja -C "$build" -j2 $targets

run_one() {
    name=$1
    out=$build/runs/$name
    mkdir -p "$out" "$build/corpus/$name"
    nice -n 10 "$build/bin/$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$out/" "$build/corpus/$name" \
        "$root/tools/fuzz/corpus/$name" >"$out/log.txt" 2>&1
}

status=0
running=0
for name in $targets; do
    run_one "$name" &
    running=$((running + 1))
    if [ $running -eq 2 ]; then
        wait
        running=0
    fi
done
wait

for name in $targets; do
    log=$build/runs/$name/log.txt
    last=$(grep -E '^#[0-9]+' "$log" | tail -n 1 || true)
    runs=$(grep -E '^stat::number_of_executed_units' "$log" | awk '{print $2}' || true)
    if grep -qE '^==[0-9]+==ERROR|^SUMMARY|invariant broken|^rules/ai:|^settings:|deadly signal' "$log"; then
        echo "$name: FAULT, see $log"; ls "$build/runs/$name"/crash-* "$build/runs/$name"/timeout-* \
            "$build/runs/$name"/leak-* "$build/runs/$name"/oom-* 2>/dev/null || true
        status=1
    else
        echo "$name: ${runs:-?} runs; $last"
    fi
done
exit $status
