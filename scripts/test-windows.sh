#!/usr/bin/env bash
# Proves the Windows build under Wine, on a virtual X server of its own:
#   1. ovsctl.exe: help, version, show and show --json of the test files against the
#      Linux build's output, a C:\ path, emulate's answer on Windows;
#   2. readouts and transmissions through COM1, which Wine maps to the pseudo-terminal
#      of the Linux build's 'ovsctl emulate --channels 8';
#   3. corvanecfg.exe in English and German (a LANGUAGE file in its working folder):
#      the start-up dialog, the main window and a readout through COM1, driven with
#      xdotool and photographed;
#   4. the installer: a silent install, its files, Start-menu entry and .ovs association,
#      the installed program, a silent uninstall that leaves nothing behind;
#   5. and 6. the MSI package in a prefix of its own, and signing with a throwaway
#      certificate (scripts/test-windows-msi.sh).
# Needs the Linux build in build/ (make build) and the Windows build in build-windows/
# (scripts/build-windows.sh). Every run starts from a new Wine prefix.
#
# Usage: scripts/test-windows.sh        results, logs and screenshots in
#                                       build-windows/wine-test (results.txt, shots/)
set -uo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
linux_build=${OVS_LINUX_BUILD:-$repo/build}
win_build=$repo/build-windows
work=$win_build/wine-test
lovsctl=$linux_build/tools/ovsctl/ovsctl
testdata=$repo/tests/document/data

stage=$(find "$win_build/stage" -mindepth 1 -maxdepth 1 -type d -name '*-win64' 2>/dev/null | head -1)
installer=$(find "$win_build/dist" -maxdepth 1 -name '*-setup.exe' 2>/dev/null | head -1)
msi=$(find "$win_build/dist" -maxdepth 1 -name '*-win64.msi' 2>/dev/null | head -1)
for need in "$lovsctl" "$stage/ovsctl.exe" "$stage/corvanecfg.exe" "$installer" "$msi"; do
    if [ ! -e "$need" ]; then
        echo "Missing $need: run 'make build' and 'scripts/build-windows.sh' first" >&2
        exit 2
    fi
done
for tool in wine wineserver Xvfb xdotool import convert osslsigncode openssl python3 unzip; do
    command -v "$tool" >/dev/null || { echo "Missing $tool (scripts/build-windows.sh installs it)" >&2; exit 2; }
done

rm -rf "$work"
mkdir -p "$work/shots" "$work/logs"
results=$work/results.txt
: >"$results"
failures=0

export WINEPREFIX=$work/prefix WINEARCH=win64 WINEDEBUG=-all
# No Mono or Gecko: nothing here needs them, and their installers would ask. No menu
# builder: Start-menu entries stay in the prefix, out of this machine's own menus.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

say() { printf '%s\n' "$*" | tee -a "$results"; }
pass() { say "PASS  $*"; }
fail() {
    say "FAIL  $*"
    failures=$((failures + 1))
}
# verdict STATUS NAME: passes when the status of the test just made is 0.
verdict() {
    if [ "$1" -eq 0 ]; then pass "$2"; else fail "$2"; fi
}
# check NAME COMMAND...: passes when the command succeeds.
check() {
    local name=$1
    shift
    if "$@"; then pass "$name"; else fail "$name"; fi
}
# Runs a Windows program; its stdout goes to the named log, stderr beside it.
wrun() {
    local log=$1
    shift
    wine "$@" >"$work/logs/$log.out" 2>"$work/logs/$log.err"
}
# Output without the CR of Windows line ends.
unix_text() { tr -d '\r' <"$1"; }
now_ms() { date +%s%3N; }

emulator_pid=""
xvfb_pid=""
cleanup() {
    wineserver -k 2>/dev/null
    [ -n "$emulator_pid" ] && kill "$emulator_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
}
trap cleanup EXIT

# Makes the Wine prefix WINEPREFIX anew.
new_prefix() {
    local start
    start=$(now_ms)
    wineboot -i >"$work/logs/wineboot-$(basename "$WINEPREFIX").log" 2>&1
    wineserver -w
    say "Wine $(wine --version 2>/dev/null), prefix $WINEPREFIX ready in $(($(now_ms) - start)) ms, DISPLAY=$DISPLAY"
    # Qt asks Windows for "Segoe UI", which Wine lacks; without a stand-in the text falls
    # back to a serif face. Wine's own Tahoma and Marlett (package fonts-wine) draw the
    # text and the title-bar buttons.
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Segoe UI' /t REG_SZ \
        /d 'DejaVu Sans' /f >/dev/null 2>&1
    local font
    for font in tahoma tahomabd marlett; do
        [ -f "/usr/share/wine/fonts/$font.ttf" ] &&
            cp "/usr/share/wine/fonts/$font.ttf" "$WINEPREFIX/drive_c/windows/Fonts/"
    done
    mkdir -p "$WINEPREFIX/drive_c/ovs"
}

# Maps COM1 of the current prefix to a pseudo-terminal; Wine reads its port map when
# the server starts.
map_com1() {
    wine reg add 'HKLM\Software\Wine\Ports' /v COM1 /t REG_SZ /d "$1" /f >/dev/null 2>&1
    wineserver -k
    wineserver -w
}

# --- The virtual X server and a new Wine prefix --------------------------------------
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/logs/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$work/display")
new_prefix
cdir=$WINEPREFIX/drive_c/ovs

# --- 1. ovsctl.exe against the Linux build -------------------------------------------
say "== ovsctl.exe"
wrun help "$stage/ovsctl.exe" --help
check "ovsctl.exe --help (exit 0, the command list)" grep -q 'emulate' "$work/logs/help.out"

# The version text and exit code are the Linux build's.
wrun version-win "$stage/ovsctl.exe" --version
win_code=$?
"$lovsctl" --version >"$work/logs/version-linux.out" 2>&1
linux_code=$?
unix_text "$work/logs/version-win.out" >"$work/logs/version-win.txt"
unix_text "$work/logs/version-win.err" >>"$work/logs/version-win.txt"
say "      ovsctl.exe --version: exit $win_code: $(head -1 "$work/logs/version-win.txt")"
[[ $win_code == "$linux_code" && $(cat "$work/logs/version-win.txt") == "$(cat "$work/logs/version-linux.out")" ]]
verdict $? "ovsctl.exe --version as on Linux"

for file in "$testdata"/*.ovs; do
    name=$(basename "$file" .ovs)
    for json in "" --json; do
        log="show-$name${json:+-json}"
        wrun "$log" "$stage/ovsctl.exe" show $json "$file"
        code=$?
        "$lovsctl" show $json "$file" >"$work/logs/$log.linux"
        [[ $code == 0 && $(unix_text "$work/logs/$log.out") == "$(cat "$work/logs/$log.linux")" &&
            $(grep -c $'\r$' "$work/logs/$log.out") == "$(wc -l <"$work/logs/$log.linux")" ]]
        verdict $? "ovsctl.exe show $json $name.ovs: exit $code, the Linux text with CR LF line ends"
    done
done

cp "$testdata/example27.ovs" "$cdir/"
wrun show-cpath "$stage/ovsctl.exe" show 'C:\ovs\example27.ovs'
[[ $(unix_text "$work/logs/show-cpath.out") == "$(cat "$work/logs/show-example27.linux")" ]]
verdict $? "ovsctl.exe show C:\\ovs\\example27.ovs"
wrun json-cpath "$stage/ovsctl.exe" show --json 'C:\ovs\example27.ovs'
cp "$work/logs/json-cpath.out" "$cdir/example27.json"
wrun import "$stage/ovsctl.exe" import 'C:\ovs\example27.json' -o 'C:\ovs\imported.ovs'
check "ovsctl.exe import of its own CR LF JSON gives the same file" \
    cmp -s "$cdir/imported.ovs" "$testdata/example27.ovs"

wrun emulate "$stage/ovsctl.exe" emulate --channels 8
code=$?
say "      ovsctl.exe emulate: exit $code: $(unix_text "$work/logs/emulate.err")"
[[ $code == 1 && $(unix_text "$work/logs/emulate.err" | wc -l) == 1 ]]
verdict $? "ovsctl.exe emulate says in one line that it needs a pseudo-terminal and exits 1"

# --- 2. Readout and transmission through COM1 ----------------------------------------
say "== ovsctl.exe through COM1"
# Eight screens in two rows of four; the second file moves them and changes the
# resolutions and the pointer speed; the third has two tiles on one spot.
layout_json() { # speed, column order, resolution shift
    local speed=$1 order=$2 shift=$3 i col row sep res
    local all=("1920 1080" "2560 1440" "1280 1024" "3840 2160" "1920 1200" "1600 900" "1680 1050" "1366 768")
    printf '{ "channelCount": 8, "mouseSpeed": %d, "switchingEnabled": 1, "channels": [\n' "$speed"
    for i in 0 1 2 3 4 5 6 7; do
        col=${order:$((i % 4)):1}
        row=$((i / 4))
        read -r -a res <<<"${all[$(((i + shift) % 8))]}"
        sep=,
        [ $i -eq 7 ] && sep=
        printf '{ "channel": %d, "placed": 1, "left": %d, "top": %d, "right": %d, "bottom": %d, "resolutionX": %d, "resolutionY": %d }%s\n' \
            $((i + 1)) $((col * 4)) $((row * 3)) $((col * 4 + 4)) $((row * 3 + 3)) "${res[0]}" "${res[1]}" "$sep"
    done
    printf '] }\n'
}
layout_json 5 0123 0 >"$work/a.json"
layout_json 8 3120 3 >"$work/b.json"
layout_json 5 0023 0 >"$work/overlap.json"
for f in a b overlap; do
    "$lovsctl" import "$work/$f.json" -o "$cdir/$f.ovs" >/dev/null || fail "import $f.json"
done

"$lovsctl" emulate --channels 8 --from "$cdir/a.ovs" --save "$work/emulator-final.ovs" \
    >"$work/logs/emulator.out" 2>&1 &
emulator_pid=$!
for _ in $(seq 50); do [ -s "$work/logs/emulator.out" ] && break; sleep 0.1; done
pty=$(head -1 "$work/logs/emulator.out")
map_com1 "$pty"
say "      Linux emulator: ovsctl emulate --channels 8 on $pty, mapped to COM1"

t=$(now_ms)
wrun read "$stage/ovsctl.exe" read --port COM1 -o 'C:\ovs\read.ovs' --trace 'C:\ovs\read.trace'
code=$?
say "      ovsctl.exe read --port COM1 -o C:\\ovs\\read.ovs: exit $code in $(($(now_ms) - t)) ms"
check "read through COM1 gives the emulator's configuration" \
    "$lovsctl" diff "$cdir/a.ovs" "$cdir/read.ovs"
"$lovsctl" show "$cdir/read.ovs" >"$work/logs/read.show"

wrun read-unc "$stage/ovsctl.exe" read --port '\\.\COM1' -o 'C:\ovs\read-unc.ovs'
check "read through \\\\.\\COM1 as well" cmp -s "$cdir/read.ovs" "$cdir/read-unc.ovs"

wrun write-refused "$stage/ovsctl.exe" write --port COM1 'C:\ovs\overlap.ovs'
code=$?
[[ $code == 4 ]]
verdict $? "write refuses a file with overlapping tiles (exit $code)"

t=$(now_ms)
wrun write "$stage/ovsctl.exe" write --port COM1 'C:\ovs\b.ovs'
code=$?
say "      ovsctl.exe write --port COM1 C:\\ovs\\b.ovs: exit $code in $(($(now_ms) - t)) ms: $(unix_text "$work/logs/write.out")"
[[ $code == 0 && $(unix_text "$work/logs/write.out") == "Transmission complete!" ]]
verdict $? "write through COM1 says \"Transmission complete!\""
wrun diff "$stage/ovsctl.exe" diff 'C:\ovs\b.ovs' --port COM1
verdict $? "diff of b.ovs against the switch afterwards: no difference"

wrun verify "$stage/ovsctl.exe" write --port COM1 --verify 'C:\ovs\a.ovs'
code=$?
say "      ovsctl.exe write --verify C:\\ovs\\a.ovs: exit $code: $(unix_text "$work/logs/verify.out" | tr '\n' ' ')"
verdict "$code" "write --verify through COM1"

wrun noport "$stage/ovsctl.exe" read --port COM7 -o 'C:\ovs\none.ovs'
code=$?
[[ $code == 1 ]]
verdict $? "a port that does not exist: exit $code, $(unix_text "$work/logs/noport.err")"

# --- 3. The window in English and German ---------------------------------------------
wait_window() { # title regex, seconds
    local _
    for _ in $(seq $(($2 * 5))); do
        xdotool search --name "$1" >/dev/null 2>&1 && return 0
        sleep 0.2
    done
    return 1
}
# Photographs Wine's desktop, or the whole screen for windows outside one; trimmed to
# the windows when asked.
shoot() { # name [trim|screen]
    local file=$work/shots/$1.png crop=(-crop 1024x768+0+0 +repage)
    [ "${2:-}" = screen ] && crop=()
    import -window root "${crop[@]}" "$file"
    if [ "${2:-}" = trim ] || [ "${2:-}" = screen ]; then
        local desktop
        desktop=$(convert "$file" -format '%[pixel:p{0,0}]' info:)
        convert "$file" -fuzz 4% -trim +repage -bordercolor "$desktop" -border 12 "$file"
    fi
    say "      screenshot $file"
}

gui_run() { # language, port dialog title
    local lang=$1 title=$2 dir=$work/gui-$1
    mkdir -p "$dir"
    printf '%s' "$lang" >"$dir/LANGUAGE"
    say "== corvanecfg.exe, LANGUAGE \"$lang\""
    (cd "$dir" && wine explorer /desktop=ovs,1024x768 "$stage/corvanecfg.exe" \
        >"$work/logs/gui-$lang.log" 2>&1 &)
    check "$lang: the start-up dialog appears" wait_window '^Orvanel-Switching$' 60
    sleep 1
    shoot "startup-$lang" trim
    xdotool key Return
    check "$lang: OK opens the main window" wait_window '^Vorrix 4$' 20
    sleep 1
    shoot "main-$lang"
    # Action menu, first entry: the readout.
    xdotool key alt+a
    sleep 0.5
    xdotool key Return
    check "$lang: the port dialog \"$title\" lists COM1" wait_window "^$title\$" 20
    sleep 1
    shoot "ports-$lang"
    local t
    t=$(now_ms)
    xdotool key Return
    check "$lang: the readout through COM1 fills the window (title \"Vorrix 8\")" \
        wait_window '^Vorrix 8$' 30
    say "      readout in the window: $(($(now_ms) - t)) ms from OK"
    sleep 1
    shoot "readout-$lang"
    wineserver -k
    wineserver -w
}
gui_run English 'Get device configuration'
gui_run Deutsch 'Gerätekonfiguration auslesen'

kill -TERM "$emulator_pid"
wait "$emulator_pid" 2>/dev/null
emulator_pid=""
check "the emulator ends holding the configuration written last (a.ovs)" \
    "$lovsctl" diff "$cdir/a.ovs" "$work/emulator-final.ovs"

# --- 4. The installer ----------------------------------------------------------------
say "== installer $(basename "$installer") ($(stat -c %s "$installer") bytes)"
t=$(now_ms)
wine "$installer" /S >"$work/logs/install.log" 2>&1
code=$?
wineserver -w
say "      wine $(basename "$installer") /S: exit $code in $(($(now_ms) - t)) ms"
localappdata=$(wine cmd /c 'echo %LOCALAPPDATA%' 2>/dev/null | tr -d '\r')
appdata=$(wine cmd /c 'echo %APPDATA%' 2>/dev/null | tr -d '\r')
instdir=$(winepath -u "$localappdata\\Programs\\Orvanel Switching Config Tool" 2>/dev/null)
shortcut=$(winepath -u "$appdata\\Microsoft\\Windows\\Start Menu\\Programs\\Orvanel Switching Config Tool.lnk" 2>/dev/null)
say "      installed in $instdir"
missing=$( (cd "$stage" && find . -type f) | while read -r f; do [ -f "$instdir/$f" ] || echo "$f"; done)
[[ -z $missing && -f $instdir/uninstall.exe ]]
verdict $? "every file of the program is installed, and the uninstaller"
check "the Start-menu entry exists" test -f "$shortcut"
assoc=$(wine reg query 'HKCU\Software\Classes\.ovs' /ve 2>/dev/null | tr -d '\r' | awk '/REG_SZ/ {print $NF}')
command=$(wine reg query 'HKCU\Software\Classes\Orvanel.ConfigFile\shell\open\command' /ve 2>/dev/null |
    tr -d '\r' | sed -n 's/.*REG_SZ[[:space:]]*//p')
say "      .ovs -> $assoc, open: $command"
[[ $assoc == Orvanel.ConfigFile && $command == *'corvanecfg.exe" "%1"' ]]
verdict $? ".ovs files open with corvanecfg.exe \"%1\""
wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\OrvanelSwitchingConfigTool' \
    >"$work/logs/uninstall-key.txt" 2>/dev/null
check "the uninstaller is registered" grep -q 'QuietUninstallString' "$work/logs/uninstall-key.txt"

wrun installed-show "$instdir/ovsctl.exe" show "$testdata/example27.ovs"
[[ $(unix_text "$work/logs/installed-show.out") == "$(cat "$work/logs/show-example27.linux")" ]]
verdict $? "the installed ovsctl.exe works"
# As the Start-menu entry starts it: in the program folder, which keeps LANGUAGE.
(cd "$instdir" && wine explorer /desktop=ovs,1024x768 "$instdir/corvanecfg.exe" \
    >"$work/logs/installed-gui.log" 2>&1 &)
check "the installed corvanecfg.exe starts" wait_window '^Orvanel-Switching$' 60
sleep 1
shoot installed-start trim
wineserver -k
wineserver -w
check "it keeps its language in the program folder" test -f "$instdir/LANGUAGE"
# Opening a file runs the registered command with the file. Windows reads per-user
# associations (HKCU\Software\Classes) through HKEY_CLASSES_ROOT; Wine 8 does not, so
# its ShellExecute finds none, and the command is run here as Explorer would run it.
exe=${command#\"}
exe=${exe%%\"*}
(wine "$exe" 'C:\ovs\a.ovs' >"$work/logs/open-file.log" 2>&1 &)
# A program that opens the file shows its eight channels; one that does not take files
# yet shows the start-up dialog.
check "the registered command starts corvanecfg.exe with the file" \
    wait_window '^(Vorrix 8|Orvanel-Switching)$' 60
say "      window: $(xdotool search --name '^(Vorrix 8|Orvanel-Switching)$' getwindowname %@ 2>/dev/null | head -1)"
ps -eo args | grep -i 'corvanecfg.exe.*a.ovs' | grep -v grep >"$work/logs/open-file-process.txt"
say "      started as: $(head -1 "$work/logs/open-file-process.txt")"
wineserver -k
wineserver -w

t=$(now_ms)
wine "$instdir/uninstall.exe" /S >"$work/logs/uninstall.log" 2>&1
# The uninstaller runs on from a copy of itself; the server ends with it.
wineserver -w
say "      uninstall.exe /S: $(($(now_ms) - t)) ms"
check "the uninstaller removes the program folder" test ! -e "$instdir"
check "… the Start-menu entry" test ! -e "$shortcut"
check "… the .ovs association" \
    sh -c "! wine reg query 'HKCU\\Software\\Classes\\.ovs' >/dev/null 2>&1 && \
           ! wine reg query 'HKCU\\Software\\Classes\\Orvanel.ConfigFile' >/dev/null 2>&1"
check "… and its own registry entry" \
    sh -c "! wine reg query 'HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\OrvanelSwitchingConfigTool' >/dev/null 2>&1"

. "$repo/scripts/test-windows-msi.sh"

say "== $(grep -c '^PASS' "$results") passed, $failures failed; details in $work"
[ "$failures" -eq 0 ]
