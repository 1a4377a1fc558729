#!/usr/bin/env bash
# Cross-builds the Windows program (corvanecfg.exe, ovsctl.exe), a portable zip and an
# NSIS installer on Debian 12 with MinGW-w64.
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
#   OVS_WIN_OUT      where the zip and the installer land (default build-windows/dist)
#
# Usage: scripts/build-windows.sh [qt|app|all]   (default all)
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
stage=${1:-all}
qt_version=6.4.2
cache=${OVS_WIN_CACHE:-$HOME/.cache/orvanel-windows}
qt_prefix="$cache/qt-$qt_version-mingw64"
src_dir="$cache/src"
build_dir="$repo/build-windows"
out_dir=${OVS_WIN_OUT:-$build_dir/dist}
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
        nsis wine wine64 xvfb xauth xdotool imagemagick
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

mkdir -p "$cache"
install_packages
case "$stage" in
qt) build_qt ;;
*)
    build_qt
    ;;
esac
