#!/usr/bin/env bash
# Signs Windows programs, installers and MSI packages in place with Authenticode
# (SHA-256), using osslsigncode:
#
#   OVS_SIGN_PFX        the PKCS#12 file with the certificate and its private key
#   OVS_SIGN_PASSWORD   its password (may be empty or unset)
#   OVS_SIGN_TIMESTAMP  an RFC 3161 timestamp server, optional
#
# The password goes to osslsigncode through a pipe, never on a command line, and
# nothing here prints it. scripts/build-windows.sh calls this for each file; makensis
# calls it for the uninstaller before packing it into the installer.
#
# Usage: scripts/sign-windows.sh FILE...
set -euo pipefail

[ -n "${OVS_SIGN_PFX:-}" ] || { echo "OVS_SIGN_PFX is not set" >&2; exit 2; }
[ -r "$OVS_SIGN_PFX" ] || { echo "Cannot read the certificate $OVS_SIGN_PFX" >&2; exit 2; }

timestamp=()
[ -n "${OVS_SIGN_TIMESTAMP:-}" ] && timestamp=(-ts "$OVS_SIGN_TIMESTAMP")
# An empty password is given as such (osslsigncode reads no empty password file).
password=(-pass "")
[ -n "${OVS_SIGN_PASSWORD:-}" ] && password=(-readpass /dev/stdin)

for file in "$@"; do
    signed="$file.signed"
    rm -f "$signed"
    # osslsigncode echoes nothing secret; its output stays out of the way unless it fails.
    if ! out=$(printf '%s' "${OVS_SIGN_PASSWORD:-}" |
        osslsigncode sign -pkcs12 "$OVS_SIGN_PFX" "${password[@]}" -h sha256 \
            -n "Orvanel Switching Config Tool" "${timestamp[@]}" \
            -in "$file" -out "$signed" 2>&1); then
        printf '%s\n' "$out" >&2
        rm -f "$signed"
        echo "Signing $file failed" >&2
        exit 1
    fi
    mv -f "$signed" "$file"
done
