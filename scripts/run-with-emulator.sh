#!/usr/bin/env bash
# Starts an emulated 8-channel switch on a pseudo-terminal, then the program with
# that port preselected, and stops the emulator when the program exits.
set -euo pipefail

build_dir=${1:-build}
gui="$build_dir/corvanecfg"
ovsctl="$build_dir/tools/ovsctl/ovsctl"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found: run 'xvfb-run -a make run' to start the program on a virtual X server."
    exit 1
fi

if [ ! -x "$ovsctl" ]; then
    exec "$gui"
fi

workdir=$(mktemp -d)
link="$workdir/vorrix8"
"$ovsctl" emulate --channels 8 --link "$link" >"$workdir/emulator.log" 2>&1 &
emulator=$!
stop_emulator() {
    kill "$emulator" 2>/dev/null || true
    rm -rf "$workdir"
}
trap stop_emulator EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

for _ in $(seq 50); do
    [ -e "$link" ] && break
    sleep 0.1
done
if [ ! -e "$link" ]; then
    echo "The switch emulator did not start:" >&2
    cat "$workdir/emulator.log" >&2
    exit 1
fi

echo "Emulated Vorrix 8 on $(readlink -f "$link"); it is preselected in the port dialog."
port=$(readlink -f "$link")

# The program takes over this process, so TERM, INT and HUP sent to the script reach the
# program itself and the script ends with its exit status. The watcher holds the read end
# of a pipe whose only writer is the program: it sees the end of input when the program
# ends, however it ended, and then stops the emulator. It ignores the signals itself.
exec {program_alive}> >(
    exec >/dev/null 2>&1
    trap '' INT TERM HUP
    cat >/dev/null
    stop_emulator
)
trap - EXIT HUP INT TERM
exec "$gui" --port "$port"
