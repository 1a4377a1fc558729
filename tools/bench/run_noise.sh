#!/usr/bin/env bash
# Readouts with `ovsctl read` from `ovsctl emulate` on a pseudo-terminal that damages
# one bit of any byte (header included) of a share of the frames it sends. Counts the
# exit codes and checks every file written against the switch's configuration.
#   tools/bench/run_noise.sh [build dir=build] [runs=100] [share=0.5] [channels=4]
set -euo pipefail

build_dir=${1:-build}
runs=${2:-100}
share=${3:-0.5}
channels=${4:-4}
ovsctl="$build_dir/tools/ovsctl/ovsctl"

workdir=$(mktemp -d)
emulator=
cleanup() {
    [ -n "$emulator" ] && kill "$emulator" 2>/dev/null && wait "$emulator" 2>/dev/null
    rm -rf "$workdir"
}
trap cleanup EXIT INT TERM

# The switch's configuration: every channel placed with its own rectangle and resolution.
entries=
for ((i = 1; i <= channels; i++)); do
    [ -n "$entries" ] && entries+=","
    entries+="{\"channel\": $i, \"placed\": 1, \"left\": $((2 * i)), \"top\": $i,"
    entries+=" \"right\": $((2 * i + 2)), \"bottom\": $((i + 2)),"
    entries+=" \"resolutionX\": $((1000 + i)), \"resolutionY\": $((700 + i))}"
done
echo "{\"channelCount\": $channels, \"switchingEnabled\": 1, \"mouseSpeed\": 7,
       \"channels\": [$entries]}" >"$workdir/switch.json"
"$ovsctl" import "$workdir/switch.json" --output "$workdir/switch.ovs"

"$ovsctl" emulate --from "$workdir/switch.ovs" --corrupt "$share" --corrupt-header \
    >"$workdir/emulator.out" 2>&1 &
emulator=$!
for _ in $(seq 50); do
    [ -s "$workdir/emulator.out" ] && break
    sleep 0.1
done
device=$(head -n 1 "$workdir/emulator.out")

ok=0 device_failure=0 other=0 wrong=0 hung=0
start=$(date +%s.%N)
for ((run = 1; run <= runs; run++)); do
    out="$workdir/read.ovs"
    rm -f "$out"
    code=0
    timeout 60 "$ovsctl" read --port "$device" --output "$out" 2>/dev/null || code=$?
    case $code in
    0)
        ok=$((ok + 1))
        cmp -s "$out" "$workdir/switch.ovs" || wrong=$((wrong + 1))
        ;;
    1)
        device_failure=$((device_failure + 1))
        [ -e "$out" ] && wrong=$((wrong + 1))
        ;;
    124) hung=$((hung + 1)) ;;
    *) other=$((other + 1)) ;;
    esac
done
end=$(date +%s.%N)

echo "$runs readouts of $channels channels through ovsctl, $share of the frames damaged (any byte):"
echo "  exit 0: $ok ($(awk "BEGIN { printf \"%.1f\", 100 * $ok / $runs }") %)," \
    "exit 1: $device_failure, other exit codes: $other, hung (60 s): $hung"
echo "  wrong or unexpected files: $wrong"
echo "  mean wall time per readout: $(awk "BEGIN { printf \"%.2f\", ($end - $start) / $runs }") s"
