#!/usr/bin/env bash
# Cross-builds the Windows program (corvanecfg.exe, ovsctl.exe), a portable zip, an NSIS
# installer (per user) and an MSI package (per machine) on Debian 12 with MinGW-w64, and
# signs them when given a certificate.
#
# The first run builds a minimal Qt for Windows (qtbase and Qt Serial Port) into a cache
# folder outside the repository; later runs reuse it.
#
#   OVS_QT_SOURCES   folder holding the Qt sources: a qtbase source folder or tarball
#                    (qtbase-everywhere-src-6.4.2* or Debian's qt6-base-6.4.2*) and
#                    qtserialport-everywhere-src-6.4.2.tar.xz. Whatever is missing is
#                    taken from Debian's source archive (qtbase) or the Qt download
#                    site (Qt Serial Port).
#   OVS_WIN_CACHE    cache folder (default ~/.cache/orvanel-windows)
#   OVS_WIN_OUT      where the zip, the installer and the MSI land
#                    (default build-windows/dist)
#   OVS_WIN_WORK     where the packing happens: stage/, msi/ and the packers' logs
#                    (default build-windows)
#   OVS_SIGN_PFX     a PKCS#12 file: sign corvanecfg.exe, ovsctl.exe, the installer, its
#                    uninstaller and the MSI with Authenticode (see scripts/sign-windows.sh
#                    for OVS_SIGN_PASSWORD and OVS_SIGN_TIMESTAMP). Unset: unsigned.
#
# Usage: scripts/build-windows.sh [qt|app|package|all]   (default all)
#   qt       builds the Windows Qt into the cache, unless it is there already
#   app      cross-builds the program in build-windows/, then packs it as below
#   package  collects the built program with the DLLs it loads in the stage folder,
#            strips it, signs it and packs the zip, the installer and the MSI
#   all      qt and app
# With CI=true in the environment the program builds with -Werror, as on Linux.
# scripts/test-windows.sh proves the result under Wine.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
stage=${1:-all}
qt_version=6.4.2
cache=${OVS_WIN_CACHE:-$HOME/.cache/orvanel-windows}
qt_prefix="$cache/qt-$qt_version-mingw64"
src_dir="$cache/src"
build_dir="$repo/build-windows"
out_dir=$(realpath -m "${OVS_WIN_OUT:-$build_dir/dist}")
work_dir=$(realpath -m "${OVS_WIN_WORK:-$build_dir}")
jobs=$(nproc)
toolchain="$repo/cmake/mingw-w64-x86_64.cmake"

log() { printf '== %s\n' "$*"; }

sudo_cmd=""
[ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"

install_packages() {
    local packages=(
        build-essential cmake ninja-build ccache dpkg-dev xz-utils zip curl
        g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
        qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-tools-dev-tools
        qt6-l10n-tools qt6-translations-l10n qt6-serialport-dev libgl-dev
        nsis wixl osslsigncode openssl python3 unzip
        wine wine64 fonts-wine xvfb xauth xdotool imagemagick
    )
    local missing=()
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    log "Installing: ${missing[*]}"
    $sudo_cmd apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >/dev/null
}

# Debian's source archive needs a deb-src entry naming the same mirror and suite as the
# configured binary one.
ensure_deb_src() {
    if apt-get source --print-uris qt6-base >/dev/null 2>&1; then
        return 0
    fi
    local list=/etc/apt/sources.list.d/orvanel-deb-src.sources
    log "Adding a deb-src entry ($list)"
    local uri suite
    uri=$(grep -h -m1 -E '^URIs:' /etc/apt/sources.list.d/debian.sources 2>/dev/null |
        awk '{print $2}')
    suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
    if [ -z "$uri" ]; then
        uri=$(grep -h -m1 -E '^deb .*debian' /etc/apt/sources.list 2>/dev/null |
            awk '{print $2}')
    fi
    uri=${uri:-http://deb.debian.org/debian}
    printf 'Types: deb-src\nURIs: %s\nSuites: %s\nComponents: main\nSigned-By: %s\n' \
        "$uri" "$suite" /usr/share/keyrings/debian-archive-keyring.gpg |
        $sudo_cmd tee "$list" >/dev/null
    $sudo_cmd apt-get update -qq
}

# Prints the path of an unpacked qtbase source tree, fetching it if need be.
qtbase_source() {
    local d
    for d in "${OVS_QT_SOURCES:-}"/qtbase-everywhere-src-"$qt_version"* \
        "${OVS_QT_SOURCES:-}"/qt6-base-"$qt_version"* "$src_dir"/qt6-base-"$qt_version"*; do
        [ -d "$d" ] && [ -f "$d/CMakeLists.txt" ] && { echo "$d"; return; }
    done
    local tarball
    for tarball in "${OVS_QT_SOURCES:-}"/qtbase-everywhere-src-"$qt_version".tar.*; do
        if [ -f "$tarball" ]; then
            mkdir -p "$src_dir"
            tar -C "$src_dir" -xf "$tarball"
            echo "$src_dir/qtbase-everywhere-src-$qt_version"
            return
        fi
    done
    ensure_deb_src >&2
    mkdir -p "$src_dir"
    (cd "$src_dir" && apt-get source -qq qt6-base >&2)
    for d in "$src_dir"/qt6-base-"$qt_version"*; do
        [ -d "$d" ] && { echo "$d"; return; }
    done
    echo "Could not fetch the qtbase $qt_version source" >&2
    exit 1
}

qtserialport_source() {
    local name="qtserialport-everywhere-src-$qt_version"
    [ -d "$src_dir/$name" ] && { echo "$src_dir/$name"; return; }
    mkdir -p "$src_dir"
    local tarball="${OVS_QT_SOURCES:-/nonexistent}/$name.tar.xz"
    if [ ! -f "$tarball" ]; then
        tarball="$src_dir/$name.tar.xz"
        curl -fsSL -o "$tarball" \
            "https://download.qt.io/archive/qt/${qt_version%.*}/$qt_version/submodules/$name.tar.xz"
    fi
    tar -C "$src_dir" -xf "$tarball"
    echo "$src_dir/$name"
}

host_qt=(-DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake)

build_qt() {
    if [ -f "$qt_prefix/.complete" ]; then
        log "Reusing the Windows Qt in $qt_prefix"
        return
    fi
    local base serial start
    base=$(qtbase_source)
    serial=$(qtserialport_source)
    start=$(date +%s)
    log "Building qtbase $qt_version for Windows from $base (about an hour on 2 cores)"
    # The tablet feature needs wintab.h, which Debian's repacked source leaves out;
    # OpenGL stays on because the 6.4 Windows platform plugin does not build without it.
    cmake -S "$base" -B "$cache/build-qtbase" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$qt_prefix" \
        -DCMAKE_BUILD_TYPE=Release "${host_qt[@]}" \
        -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DBUILD_SHARED_LIBS=ON \
        -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_network=OFF \
        -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_tabletevent=OFF \
        >"$cache/qtbase-configure.log"
    cmake --build "$cache/build-qtbase" --parallel "$jobs" >"$cache/qtbase-build.log"
    cmake --install "$cache/build-qtbase" >/dev/null
    log "Building Qt Serial Port $qt_version for Windows"
    "$qt_prefix/bin/qt-cmake" -S "$serial" -B "$cache/build-qtserialport" -G Ninja \
        -DCMAKE_BUILD_TYPE=Release "${host_qt[@]}" >"$cache/qtserialport-configure.log"
    cmake --build "$cache/build-qtserialport" --parallel "$jobs" >"$cache/qtserialport-build.log"
    cmake --install "$cache/build-qtserialport" >/dev/null
    echo "$(($(date +%s) - start))" >"$qt_prefix/.complete"
    log "Windows Qt built in $(($(date +%s) - start)) s"
}

# Runs a command with its output in a log; on failure shows the end of the log.
logged() {
    local logfile=$1
    shift
    if ! "$@" >"$logfile" 2>&1; then
        tail -n 40 "$logfile" >&2
        echo "Failed; the whole output is in $logfile" >&2
        exit 1
    fi
}

mingw_cxx=x86_64-w64-mingw32-g++-posix
mingw_strip=x86_64-w64-mingw32-strip
mingw_objdump=x86_64-w64-mingw32-objdump

build_app() {
    [ -f "$qt_prefix/.complete" ] || {
        echo "No Windows Qt in $qt_prefix; run '$0 qt' first" >&2
        exit 1
    }
    log "Building corvanecfg.exe and ovsctl.exe in $build_dir"
    mkdir -p "$build_dir"
    # Tests, benchmarks and fuzzers need a pseudo-terminal or POSIX; they stay on Linux.
    # CI=true in the environment adds -Werror, as in the Linux build.
    logged "$build_dir/configure.log" cmake -S "$repo" -B "$build_dir" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_PREFIX_PATH="$qt_prefix" \
        -DCMAKE_BUILD_TYPE=Release "${host_qt[@]}" -DBUILD_TESTING=OFF
    logged "$build_dir/build.log" cmake --build "$build_dir" --parallel "$jobs" \
        --target corvanecfg ovsctl
    if grep -q 'warning:' "$build_dir/build.log"; then
        grep 'warning:' "$build_dir/build.log" >&2
    fi
}

# The DLLs a Windows binary imports by name.
imports() {
    "$mingw_objdump" -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p'
}

# Puts the programs into a folder with everything they load: the Qt DLLs and plugins
# and the MinGW runtime, found by following the import tables. What is found nowhere
# here is part of Windows.
collect() {
    local dest=$1
    rm -rf "$dest"
    mkdir -p "$dest/platforms" "$dest/styles" "$dest/imageformats"
    cp "$build_dir/corvanecfg.exe" "$build_dir/ovsctl.exe" "$dest/"
    cp "$qt_prefix/plugins/platforms/qwindows.dll" "$dest/platforms/"
    cp "$qt_prefix/plugins/styles/qwindowsvistastyle.dll" "$dest/styles/"
    # The logos are JPEG files in the resources.
    cp "$qt_prefix/plugins/imageformats/qjpeg.dll" "$dest/imageformats/"

    local search=("$qt_prefix/bin")
    local lib
    for lib in libstdc++-6.dll libwinpthread-1.dll; do
        search+=("$(dirname "$("$mingw_cxx" -print-file-name="$lib")")")
    done
    local changed=1 binary name dir system=()
    while [ $changed -eq 1 ]; do
        changed=0
        while IFS= read -r binary; do
            while IFS= read -r name; do
                [ -e "$dest/$name" ] && continue
                local found=""
                for dir in "${search[@]}"; do
                    found=$(find "$dir" -maxdepth 1 -iname "$name" -print -quit)
                    [ -n "$found" ] && break
                done
                if [ -n "$found" ]; then
                    cp "$found" "$dest/$name"
                    changed=1
                else
                    system+=("$name")
                fi
            done < <(imports "$binary")
        done < <(find "$dest" -name '*.exe' -o -name '*.dll')
    done
    find "$dest" \( -name '*.exe' -o -name '*.dll' \) -exec "$mingw_strip" --strip-unneeded {} +
    printf '%s\n' "${system[@]}" | sort -fu >"$build_dir/system-dlls.txt"

    # Qt is LGPL and the MinGW runtime has its own notices: their texts go along.
    mkdir -p "$dest/licenses"
    cp /usr/share/common-licenses/LGPL-3 "$dest/licenses/Qt-LGPL-3.0.txt"
    cp /usr/share/common-licenses/GPL-3 "$dest/licenses/GPL-3.0.txt"
    cp /usr/share/doc/gcc-mingw-w64-base/copyright "$dest/licenses/MinGW-GCC-runtime.txt"
    cp /usr/share/doc/mingw-w64-common/copyright "$dest/licenses/MinGW-w64.txt"
}

# The uninstaller removes exactly what the installer put there, deepest folders last.
uninstall_list() {
    local dest=$1 f
    (cd "$dest" && find . -type f | sort) | while IFS= read -r f; do
        f=${f#./}
        printf 'Delete "$INSTDIR\\%s"\n' "${f//\//\\}"
    done
    (cd "$dest" && find . -mindepth 1 -type d | sort -r) | while IFS= read -r f; do
        f=${f#./}
        printf 'RMDir "$INSTDIR\\%s"\n' "${f//\//\\}"
    done
}

signing() { [ -n "${OVS_SIGN_PFX:-}" ]; }

sign() {
    signing || return 0
    "$repo/scripts/sign-windows.sh" "$@"
}

# The MSI: the program's own component (corvanecfg.exe, the Start-menu entry, the .ovs
# association) from resources/windows/corvanecfg.wxs, every other file of the stage
# folder from wixl-heat. Components are 64-bit; each build of one version has one
# product code.
make_msi() {
    local stage=$1 version=$2 msi=$3 msi_dir="$work_dir/msi" product_code
    rm -rf "$msi_dir"
    mkdir -p "$msi_dir"
    cp "$repo/resources/windows/corvanecfg.wxs" "$msi_dir/"
    (cd "$stage" && find . -type f ! -path ./corvanecfg.exe | sort) |
        wixl-heat -p ./ --directory-ref INSTALLDIR --component-group StageFiles \
            --var var.Stage | sed 's/Guid="\*"/Guid="*" Win64="yes"/' >"$msi_dir/files.wxs"
    product_code=$(python3 -c 'import sys, uuid
print(str(uuid.uuid5(uuid.UUID(sys.argv[1]), sys.argv[2])).upper())' \
        532AD42C-4F37-401C-889E-ECE82F02831E "$version")
    (cd "$msi_dir" && logged "$msi_dir/wixl.log" wixl -a x64 -o "$msi" \
        -D Version="$version" -D ProductCode="$product_code" \
        -D Stage="$(realpath --relative-to=. "$stage")" \
        -D Icon="$(realpath --relative-to=. "$repo/resources/windows/corvanecfg.ico")" \
        corvanecfg.wxs files.wxs)
}

package() {
    [ -f "$build_dir/corvanecfg.exe" ] || {
        echo "No Windows program in $build_dir; run '$0 app' first" >&2
        exit 1
    }
    local version name stage_dir msi
    version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build_dir/CMakeCache.txt")
    name="OrvanelSwitchingConfigTool-$version-win64"
    stage_dir="$work_dir/stage"
    msi="$out_dir/$name.msi"
    log "Collecting the program and its DLLs in $stage_dir/$name"
    collect "$stage_dir/$name"
    uninstall_list "$stage_dir/$name" >"$work_dir/uninstall-files.nsh"
    local sign_define=()
    if signing; then
        [ -r "$OVS_SIGN_PFX" ] || {
            echo "Cannot read the certificate named by OVS_SIGN_PFX: $OVS_SIGN_PFX" >&2
            exit 1
        }
        # makensis signs the uninstaller from the folder of the script.
        OVS_SIGN_PFX=$(realpath "$OVS_SIGN_PFX")
        export OVS_SIGN_PFX
        log "Signing with the certificate in OVS_SIGN_PFX${OVS_SIGN_TIMESTAMP:+, timestamped by $OVS_SIGN_TIMESTAMP}"
        sign "$stage_dir/$name/corvanecfg.exe" "$stage_dir/$name/ovsctl.exe"
        sign_define=(-DSIGN="$repo/scripts/sign-windows.sh")
    else
        log "Unsigned: set OVS_SIGN_PFX to a PKCS#12 file to sign the programs, the installer and the MSI"
    fi

    mkdir -p "$out_dir"
    rm -f "$out_dir/$name.zip" "$out_dir/$name-setup.exe" "$msi"
    log "Packing $out_dir/$name.zip"
    (cd "$stage_dir" && zip -q -r -9 "$out_dir/$name.zip" "$name")
    log "Making the installer $out_dir/$name-setup.exe"
    logged "$work_dir/makensis.log" makensis -V3 -INPUTCHARSET UTF8 \
        -DVERSION="$version" -DSTAGE="$stage_dir/$name" \
        -DUNINSTALL_LIST="$work_dir/uninstall-files.nsh" \
        -DICON="$repo/resources/windows/corvanecfg.ico" "${sign_define[@]}" \
        -DOUTFILE="$out_dir/$name-setup.exe" "$repo/resources/windows/installer.nsi"
    sign "$out_dir/$name-setup.exe"
    log "Making the MSI package $msi"
    make_msi "$stage_dir/$name" "$version" "$msi"
    sign "$msi"
    local f
    for f in "$out_dir/$name.zip" "$out_dir/$name-setup.exe" "$msi"; do
        log "$(du -b "$f" | cut -f1) bytes  $f"
    done
    log "$(du -sb "$stage_dir/$name" | cut -f1) bytes unpacked ($(find "$stage_dir/$name" -type f | wc -l) files)"
}

mkdir -p "$cache" "$work_dir"
install_packages
case "$stage" in
qt) build_qt ;;
package) package ;;
app | all)
    [ "$stage" = all ] && build_qt
    start=$(date +%s)
    build_app
    package
    log "Program built and packed in $(($(date +%s) - start)) s"
    ;;
*)
    echo "Usage: $0 [qt|app|package|all]" >&2
    exit 2
    ;;
esac
