# Sourced by scripts/test-windows.sh, in its shell, with its helpers, virtual X server,
# Linux build and results:
#   5. the MSI package in a new prefix: a silent per-machine install, its files under
#      Program Files, the Start-menu entry and the folder the program works in, the
#      machine-wide .ovs association, the installed ovsctl.exe reading the emulator
#      through COM1, and a silent uninstall that leaves nothing behind;
#   6. signing: the packages made again with a throwaway certificate, every signed file
#      verified against it, the uninstaller inside the installer too, and the password
#      and key in no log.

# --- 5. The MSI package --------------------------------------------------------------
say "== MSI package $(basename "$msi") ($(stat -c %s "$msi") bytes)"
wineserver -k
wineserver -w
export WINEPREFIX=$work/prefix-msi
new_prefix
mdir=$WINEPREFIX/drive_c/ovs
cp "$cdir/a.ovs" "$mdir/"
msi_win=$(winepath -w "$msi")

t=$(now_ms)
wine msiexec /i "$msi_win" /qn /l*v 'C:\ovs\msi-install.log' >"$work/logs/msi-install.out" 2>&1
code=$?
wineserver -w
cp "$mdir/msi-install.log" "$work/logs/" 2>/dev/null
say "      msiexec /i $(basename "$msi") /qn: exit $code in $(($(now_ms) - t)) ms"
verdict "$code" "msiexec /i … /qn installs without a question"

progdir=$(winepath -u 'C:\Program Files\Orvanel Switching Config Tool' 2>/dev/null)
missing=$( (cd "$stage" && find . -type f) | while read -r f; do [ -f "$progdir/$f" ] || echo "$f"; done)
[[ -z $missing && $(find "$progdir" -type f | wc -l) == $(find "$stage" -type f | wc -l) ]]
verdict $? "every file of the program, and nothing else, under C:\\Program Files\\Orvanel Switching Config Tool"
grep -a 'ALLUSERS = ' "$work/logs/msi-install.log" | tail -1 | sed 's/^/      /' | tee -a "$results"

# Windows puts the entry of a per-machine package into the Start menu of all users;
# Wine 8 puts it into that of the installing user.
appdata=$(wine cmd /c 'echo %APPDATA%' 2>/dev/null | tr -d '\r')
localappdata=$(wine cmd /c 'echo %LOCALAPPDATA%' 2>/dev/null | tr -d '\r')
entry="Microsoft\\Windows\\Start Menu\\Programs\\Orvanel Switching Config Tool.lnk"
lnk=""
for f in "C:\\ProgramData\\$entry" "$appdata\\$entry"; do
    u=$(winepath -u "$f" 2>/dev/null)
    [ -f "$u" ] && { lnk=$u; lnk_win=$f; break; }
done
check "the Start-menu entry exists" test -n "$lnk"
# The strings of a shell link: working folder and arguments.
lnk_field() {
    python3 - "$1" "$2" <<'EOF'
import struct, sys
data = open(sys.argv[1], 'rb').read()
flags = struct.unpack_from('<I', data, 0x14)[0]
pos = 0x4C
if flags & 0x1:
    pos += 2 + struct.unpack_from('<H', data, pos)[0]
if flags & 0x2:
    pos += struct.unpack_from('<I', data, pos)[0]
width = 2 if flags & 0x80 else 1
fields = {}
for bit, name in ((0x4, 'name'), (0x8, 'path'), (0x10, 'folder'), (0x20, 'arguments'), (0x40, 'icon')):
    if flags & bit:
        count = struct.unpack_from('<H', data, pos)[0]
        raw = data[pos + 2:pos + 2 + count * width]
        fields[name] = raw.decode('utf-16-le' if width == 2 else 'cp1252').rstrip('\0')
        pos += 2 + count * width
print(fields.get(sys.argv[2], ''))
EOF
}
lnk_folder=$(lnk_field "$lnk" folder)
lnk_arguments=$(lnk_field "$lnk" arguments)
say "      $lnk_win: corvanecfg.exe $lnk_arguments, started in $lnk_folder"
[[ $lnk_arguments == --user-folder ]]
verdict $? "the entry starts the program with --user-folder"

userdir=$(winepath -u "$localappdata\\Orvanel Switching Config Tool" 2>/dev/null)
check "no per-user folder before the first start" test ! -e "$userdir"
(wine start "$lnk_win" >"$work/logs/msi-start.log" 2>&1 &)
check "the Start-menu entry starts corvanecfg.exe" wait_window '^Orvanel-Switching$' 60
sleep 1
[[ -f $userdir/LANGUAGE && ! -e $progdir/LANGUAGE ]]
verdict $? "it works in %LOCALAPPDATA%\\Orvanel Switching Config Tool, made at its first start, and keeps LANGUAGE there"
shoot msi-start screen
wineserver -k
wineserver -w

assoc=$(wine reg query 'HKCR\.ovs' /ve 2>/dev/null | tr -d '\r' | awk '/REG_SZ/ {print $NF}')
command=$(wine reg query 'HKLM\Software\Classes\Orvanel.ConfigFile\shell\open\command' /ve 2>/dev/null |
    tr -d '\r' | sed -n 's/.*REG_SZ[[:space:]]*//p')
say "      .ovs -> $assoc, open: $command"
[[ $assoc == Orvanel.ConfigFile &&
    $command == '"C:\Program Files\Orvanel Switching Config Tool\corvanecfg.exe" --user-folder "%1"' ]]
verdict $? "machine-wide .ovs association (HKLM\\Software\\Classes)"
# Wine's shell reads machine-wide associations, so this is what a double-click does.
(wine start 'C:\ovs\a.ovs' >"$work/logs/msi-open.log" 2>&1 &)
check "'start C:\\ovs\\a.ovs' opens the file in the program (title \"Vorrix 8\")" \
    wait_window '^Vorrix 8$' 60
sleep 1
shoot msi-open screen
wineserver -k
wineserver -w

"$lovsctl" emulate --channels 8 --from "$cdir/a.ovs" >"$work/logs/emulator-msi.out" 2>&1 &
emulator_pid=$!
for _ in $(seq 50); do [ -s "$work/logs/emulator-msi.out" ] && break; sleep 0.1; done
map_com1 "$(head -1 "$work/logs/emulator-msi.out")"
wrun msi-version "$progdir/ovsctl.exe" --version
[[ $(unix_text "$work/logs/msi-version.out") == "$(cat "$work/logs/version-linux.out")" ]]
verdict $? "the installed ovsctl.exe runs ($(unix_text "$work/logs/msi-version.out" | head -1))"
t=$(now_ms)
wrun msi-read "$progdir/ovsctl.exe" read --port COM1 -o 'C:\ovs\msi-read.ovs'
code=$?
say "      installed ovsctl.exe read --port COM1: exit $code in $(($(now_ms) - t)) ms"
check "… and reads the emulator's configuration through COM1" \
    "$lovsctl" diff "$cdir/a.ovs" "$mdir/msi-read.ovs"
kill "$emulator_pid"
wait "$emulator_pid" 2>/dev/null
emulator_pid=""
wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>/dev/null |
    tr -d '\r' >"$work/logs/msi-uninstall-keys.txt"
check "Programs and Features lists it" grep -q 'DisplayName.*Orvanel Switching Config Tool' \
    "$work/logs/msi-uninstall-keys.txt"

t=$(now_ms)
wine msiexec /x "$msi_win" /qn >"$work/logs/msi-uninstall.out" 2>&1
code=$?
wineserver -w
say "      msiexec /x $(basename "$msi") /qn: exit $code in $(($(now_ms) - t)) ms"
verdict "$code" "msiexec /x … /qn uninstalls without a question"
check "… the program folder is gone" test ! -e "$progdir"
check "… the Start-menu entry" test ! -e "$lnk"
# The registry files hold every key and value of the prefix.
check "… and every registry entry: no \"Orvanel\" or \"corvanecfg\" left in the registry" \
    sh -c "! grep -qi 'orvanel\\|corvanecfg' '$WINEPREFIX/system.reg' '$WINEPREFIX/user.reg'"
left=$(find "$(realpath "$WINEPREFIX/drive_c")" -iname '*orvanel*' ! -path "$(realpath "$userdir")" -print)
[[ -z $left ]]
verdict $? "no file or folder of it left on C:, but each operator's own folder with LANGUAGE${left:+: $left}"

# --- 6. Signing ----------------------------------------------------------------------
say "== signing with a throwaway certificate"
sig=$work/signing
mkdir -p "$sig"
password=$(openssl rand -hex 16)
export OVS_SIGN_PASSWORD=$password
openssl req -x509 -newkey rsa:3072 -nodes -days 2 -subj '/CN=Orvanel test signing/O=Orvanel' \
    -addext extendedKeyUsage=codeSigning -keyout "$sig/key.pem" -out "$sig/cert.pem" \
    >"$work/logs/openssl.log" 2>&1
openssl pkcs12 -export -inkey "$sig/key.pem" -in "$sig/cert.pem" -out "$sig/test.pfx" \
    -passout env:OVS_SIGN_PASSWORD >>"$work/logs/openssl.log" 2>&1
t=$(now_ms)
OVS_SIGN_PFX=$sig/test.pfx OVS_WIN_OUT=$sig/dist OVS_WIN_WORK=$sig/work \
    "$repo/scripts/build-windows.sh" package >"$work/logs/signed-package.log" 2>&1
verdict $? "scripts/build-windows.sh package with OVS_SIGN_PFX ($(($(now_ms) - t)) ms)"
unset OVS_SIGN_PASSWORD

verify() { # name, file
    osslsigncode verify -CAfile "$sig/cert.pem" -in "$2" >"$work/logs/verify-$1.log" 2>&1 &&
        grep -q 'Signature verification: ok' "$work/logs/verify-$1.log"
}
mkdir -p "$sig/unzipped"
unzip -q -o "$sig/dist/"*.zip -d "$sig/unzipped"
for exe in corvanecfg.exe ovsctl.exe; do
    check "$exe in the zip verifies" verify "zip-$exe" "$(find "$sig/unzipped" -name "$exe")"
done
check "the installer verifies" verify setup "$(find "$sig/dist" -name '*-setup.exe')"
check "the MSI verifies" verify msi "$(find "$sig/dist" -name '*.msi')"
# The uninstaller is what the installer writes.
wine "$(find "$sig/dist" -name '*-setup.exe')" /S '/D=C:\signed' >"$work/logs/signed-install.log" 2>&1
wineserver -w
check "the uninstaller it installs verifies" verify uninstaller "$WINEPREFIX/drive_c/signed/uninstall.exe"
check "the installed corvanecfg.exe verifies" verify installed "$WINEPREFIX/drive_c/signed/corvanecfg.exe"
wine 'C:\signed\uninstall.exe' /S >>"$work/logs/signed-install.log" 2>&1
wineserver -w
# A file signed by someone else does not pass.
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj '/CN=Someone else' \
    -keyout "$sig/other-key.pem" -out "$sig/other.pem" >>"$work/logs/openssl.log" 2>&1
! osslsigncode verify -CAfile "$sig/other.pem" -in "$(find "$sig/dist" -name '*.msi')" \
    >"$work/logs/verify-other.log" 2>&1
verdict $? "… and none against another certificate"
key_line=$(sed -n 2p "$sig/key.pem")
leaks=$(grep -rlF -e "$password" -e "$key_line" "$work/logs" "$sig/work" "$win_build"/*.log 2>/dev/null)
[[ -z $leaks ]]
verdict $? "neither the password nor the key appears in any log${leaks:+: $leaks}"
rm -f "$sig/key.pem" "$sig/other-key.pem" "$sig/test.pfx"
