#!/bin/sh
# The program at rest: the main window up, no connection. Starts corvanecfg, accepts the
# new-configuration dialog, lets it settle, then counts over SECONDS the context switches
# of all its threads (voluntary and not, from /proc/PID/task/*/status) and its CPU time.
#   tools/bench/run_idle.sh BUILD_DIR [SECONDS]
# Needs an X display and xdotool, which answers the dialog: xvfb-run -a tools/bench/run_idle.sh build
# With OVS_IDLE_SWITCHES=1 the Switches window is opened first and its search for
# switches left to end: then only its port watch may wake the program (twice a second).
set -eu
build=${1:?build directory}
seconds=${2:-10}
exe=$(cd "$build" && pwd)/corvanecfg

workdir=$(mktemp -d)
cd "$workdir"
"$exe" >/dev/null 2>&1 &
pid=$!
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$workdir"' EXIT

# Accept the start-up dialog, then give the window time to settle.
sleep 2
if [ -n "${DISPLAY:-}" ] && command -v xdotool >/dev/null; then
    xdotool key Return
    if [ "${OVS_IDLE_SWITCHES:-}" = 1 ]; then
        sleep 1
        xdotool key alt+a
        sleep 0.5
        xdotool key w
        # Every port asked at both bitrates, with the closing delay between them.
        sleep 6
    fi
fi
sleep 2

switches() {
    cat /proc/"$pid"/task/*/status 2>/dev/null |
        awk '/ctxt_switches/ { n += $2 } END { print n + 0 }'
}
cputicks() {
    # utime + stime of the whole process, in clock ticks
    awk '{ print $14 + $15 }' /proc/"$pid"/stat
}

hz=$(getconf CLK_TCK)
s0=$(switches)
c0=$(cputicks)
sleep "$seconds"
s1=$(switches)
c1=$(cputicks)
threads=$(ls /proc/"$pid"/task | wc -l)

awk -v s="$((s1 - s0))" -v c="$((c1 - c0))" -v t="$seconds" -v hz="$hz" -v n="$threads" \
    'BEGIN { printf "at rest over %d s, %d threads: %.1f wake-ups/s, %.2f %% CPU\n", t, n, s / t, 100 * c / hz / t }'
