#!/bin/sh
# Runs the start-up benchmark and its floor N times each (default 7) and prints the
# medians of both: time to the main window's first paint, time to the first window on
# screen (the start-up dialog), resident memory and idle CPU.
#   tools/bench/run_startup.sh BUILD_DIR [N] [IDLE_MS]
# Set QT_QPA_PLATFORM=offscreen, or run it under xvfb-run -a, for a headless machine.
set -eu
build=${1:?build directory}
n=${2:-7}
idle=${3:-5000}

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

for prog in bench_startup_floor bench_startup; do
    exe=$(find "$build" -name "$prog" -type f -perm -u+x | head -n 1)
    out=$(mktemp)
    i=0
    while [ "$i" -lt "$n" ]; do
        BENCH_T0=$(date +%s%N) "$exe" "$idle" >>"$out"
        i=$((i + 1))
    done
    printf '%-20s main window %s ms  first window %s ms  rss %s kB  idle cpu %s %%\n' \
        "$prog" "$(awk '{ print $2 }' "$out" | median)" "$(awk '{ print $8 }' "$out" | median)" \
        "$(awk '{ print $4 }' "$out" | median)" "$(awk '{ print $6 }' "$out" | median)"
    rm -f "$out"
done
