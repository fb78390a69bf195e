#!/usr/bin/env bash
# Builds the static Windows libraries Kestrune links against, once, into a cache
# folder outside the tree: zlib, libcurl (Schannel TLS), GoogleTest and Qt, all
# from Debian's own sources, cross-compiled with mingw-w64.
#
#   KESTRUNE_WIN_DEPS  cache folder (default ~/.cache/kestrune-win)
#   KESTRUNE_JOBS      parallel compile jobs (default 2)
#
# Usage: build-windows-deps.sh [zlib] [curl] [googletest] [qt]   (default: all)
#
# Each library leaves a stamp naming its version and options; a warm cache
# returns at once, a changed option rebuilds only that library (and what
# depends on it). Everything is installed into $KESTRUNE_WIN_DEPS/prefix.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
cache=${KESTRUNE_WIN_DEPS:-$HOME/.cache/kestrune-win}
jobs=${KESTRUNE_JOBS:-2}
prefix=$cache/prefix
src=$cache/src
stamps=$cache/stamps
toolchain=$repo/cmake/mingw-w64-x86_64.cmake
triple=x86_64-w64-mingw32
mkdir -p "$prefix" "$src" "$stamps"
export KESTRUNE_WIN_DEPS=$cache

# Sections per function and data so the programs' --gc-sections can drop
# what they never call.
cflags="-ffunction-sections -fdata-sections"

log() { printf '[windows-deps %(%H:%M:%S)T] %s\n' -1 "$*"; }

# Debian 12 images list no source packages; add bookworm's once.
ensure_deb_src() {
    apt-get source --print-uris -qq "$1" >/dev/null 2>&1 && return
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    log "adding a deb-src entry for bookworm"
    printf '%s\n' 'Types: deb-src' 'URIs: http://deb.debian.org/debian' \
        'Suites: bookworm bookworm-updates' 'Components: main' \
        'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg' |
        $sudo tee /etc/apt/sources.list.d/kestrune-src.sources >/dev/null
    $sudo apt-get update -qq
}

# source_dir PACKAGE: unpacks Debian's source package once (patches applied).
source_dir() {
    local package=$1 dir
    dir=$(find "$src" -maxdepth 1 -type d -name "$package-[0-9]*" | sort | tail -n1)
    if [ -z "$dir" ]; then
        ensure_deb_src "$package" >&2
        (cd "$src" && apt-get source -qq "$package" >/dev/null 2>&1) ||
            { echo "apt-get source $package failed (is there a deb-src entry?)" >&2; exit 1; }
        dir=$(find "$src" -maxdepth 1 -type d -name "$package-[0-9]*" | sort | tail -n1)
    fi
    echo "$dir"
}

# stamp NAME OPTIONS...: the stamp's file name for these options.
stamp() {
    local name=$1
    shift
    echo "$stamps/$name-$(printf '%s\n' "$@" | sha256sum | cut -c1-12)"
}

build_zlib() {
    local dir s
    dir=$(source_dir zlib)
    s=$(stamp zlib "$(basename "$dir")" "$cflags")
    [ -e "$s" ] && return
    log "zlib from $(basename "$dir")"
    # Debian's tarball has no win32 makefile; the library is these files.
    local work=$cache/build/zlib file
    rm -rf "$work" && mkdir -p "$work"
    for file in adler32 compress crc32 deflate gzclose gzlib gzread gzwrite infback inffast \
        inflate inftrees trees uncompr zutil; do
        $triple-gcc-posix -O2 $cflags -D_LARGEFILE64_SOURCE=1 -c "$dir/$file.c" -o "$work/$file.o"
    done
    $triple-gcc-ar-posix rcs "$work/libz.a" "$work"/*.o
    install -D -m644 "$work/libz.a" "$prefix/lib/libz.a"
    install -D -m644 -t "$prefix/include" "$dir/zlib.h" "$dir/zconf.h"
    rm -f "$stamps"/curl-* "$stamps"/qt-*
    touch "$s"
}

build_curl() {
    local dir s options
    dir=$(source_dir curl)
    options=(-DBUILD_SHARED_LIBS=OFF -DBUILD_CURL_EXE=OFF -DBUILD_TESTING=OFF -DENABLE_MANUAL=OFF
             -DHTTP_ONLY=ON -DCURL_USE_SCHANNEL=ON -DCURL_USE_OPENSSL=OFF -DCURL_ZLIB=ON
             -DCURL_BROTLI=OFF -DCURL_ZSTD=OFF -DUSE_NGHTTP2=OFF -DUSE_LIBIDN2=OFF
             -DCURL_USE_LIBSSH2=OFF -DCURL_USE_LIBPSL=OFF -DCURL_DISABLE_LDAP=ON
             -DCURL_DISABLE_COOKIES=ON -DENABLE_UNICODE=ON -DCMAKE_BUILD_TYPE=Release)
    s=$(stamp curl "$(basename "$dir")" "$cflags" "${options[@]}")
    [ -e "$s" ] && return
    log "libcurl from $(basename "$dir")"
    rm -rf "$cache/build/curl"
    cmake -S "$dir" -B "$cache/build/curl" -G Ninja --toolchain "$toolchain" \
        -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_C_FLAGS="$cflags" "${options[@]}" >/dev/null
    cmake --build "$cache/build/curl" -j"$jobs" >/dev/null
    cmake --install "$cache/build/curl" >/dev/null
    touch "$s"
}

build_googletest() {
    local s options version
    version=$(dpkg-query -W -f='${Version}' googletest 2>/dev/null || echo unknown)
    options=(-DBUILD_SHARED_LIBS=OFF -DCMAKE_BUILD_TYPE=Release -Dgtest_disable_pthreads=OFF)
    s=$(stamp googletest "$version" "$cflags" "${options[@]}")
    [ -e "$s" ] && return
    log "GoogleTest $version from /usr/src/googletest"
    rm -rf "$cache/build/googletest"
    cmake -S /usr/src/googletest -B "$cache/build/googletest" -G Ninja --toolchain "$toolchain" \
        -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_CXX_FLAGS="$cflags" "${options[@]}" >/dev/null
    cmake --build "$cache/build/googletest" -j"$jobs" >/dev/null
    cmake --install "$cache/build/googletest" >/dev/null
    touch "$s"
}

build_qt() {
    local dir s options
    dir=$(source_dir qt6-base)
    # Debian's tarball lacks wintab.h, hence no tablet events. The rest is
    # trimmed because neither the programs nor the tests use it; a static
    # program carries only what it calls, so this is mostly build time.
    # HarfBuzz goes too: Chinese and Latin text need no shaping.
    options=(-DBUILD_SHARED_LIBS=OFF -DCMAKE_BUILD_TYPE=Release -DQT_BUILD_EXAMPLES=OFF
             -DQT_BUILD_TESTS=OFF -DQT_HOST_PATH=/usr
             "-DQT_HOST_PATH_CMAKE_DIR=/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/cmake"
             -DFEATURE_optimize_size=ON -DFEATURE_system_zlib=ON -DFEATURE_zstd=OFF
             -DFEATURE_tabletevent=OFF -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_opengl=OFF
             -DFEATURE_vulkan=OFF -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF
             -DFEATURE_xml=OFF -DFEATURE_androiddeployqt=OFF
             # Gui
             -DFEATURE_harfbuzz=OFF -DFEATURE_direct2d=OFF -DFEATURE_tuiotouch=OFF
             -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF -DFEATURE_ico=OFF -DFEATURE_movie=OFF
             -DFEATURE_pdf=OFF -DFEATURE_textodfwriter=OFF -DFEATURE_textmarkdownreader=OFF
             -DFEATURE_textmarkdownwriter=OFF -DFEATURE_sessionmanager=OFF
             -DFEATURE_systemtrayicon=OFF
             # Widgets
             -DFEATURE_graphicsview=OFF -DFEATURE_mdiarea=OFF
             -DFEATURE_calendarwidget=OFF -DFEATURE_datetimeedit=OFF -DFEATURE_colordialog=OFF
             -DFEATURE_fontdialog=OFF -DFEATURE_wizard=OFF -DFEATURE_dial=OFF
             -DFEATURE_lcdnumber=OFF -DFEATURE_splashscreen=OFF -DFEATURE_toolbox=OFF
             -DFEATURE_keysequenceedit=OFF -DFEATURE_syntaxhighlighter=OFF
             # Network (the fetcher uses libcurl; Qt Network serves the tests)
             -DFEATURE_openssl=OFF -DFEATURE_dtls=OFF -DFEATURE_brotli=OFF
             -DFEATURE_localserver=OFF -DFEATURE_dnslookup=OFF -DFEATURE_networkdiskcache=OFF
             -DFEATURE_socks5=OFF -DFEATURE_topleveldomain=OFF -DFEATURE_publicsuffix_qt=OFF
             -DFEATURE_publicsuffix_system=OFF -DFEATURE_networklistmanager=OFF)
    s=$(stamp qt "$(basename "$dir")" "$cflags" "${options[@]}")
    [ -e "$s" ] && return
    # Dynamic OpenGL stays on with OpenGL off, and the window code then names
    # OpenGL classes that were never declared.
    local window=$dir/src/plugins/platforms/windows/qwindowswindow.cpp
    sed -i 's|^#if QT_CONFIG(dynamicgl)$|#if QT_CONFIG(dynamicgl) \&\& QT_CONFIG(opengl)|' "$window"
    # Qt Gui builds the DirectWrite font database only beside Direct2D.
    local integration=$dir/src/plugins/platforms/windows/qwindowsintegration.cpp
    sed -i 's|^#if QT_CONFIG(directwrite3)$|#if QT_CONFIG(directwrite3) \&\& QT_CONFIG(direct2d)|' \
        "$integration"
    log "Qt from $(basename "$dir") (about half an hour on 2 idle cores)"
    # A changed option reconfigures in place, so only what it touches is
    # built again; an interrupted build resumes.
    [ "$(cat "$cache/build/qt/.source" 2>/dev/null)" = "$(basename "$dir")" ] ||
        rm -rf "$cache/build/qt"
    cmake -S "$dir" -B "$cache/build/qt" -G Ninja --toolchain "$toolchain" \
        -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_C_FLAGS="$cflags" \
        -DCMAKE_CXX_FLAGS="$cflags" "${options[@]}" >"$cache/qt-configure.log" ||
        { tail -n 40 "$cache/qt-configure.log" >&2; exit 1; }
    basename "$dir" >"$cache/build/qt/.source"
    cmake --build "$cache/build/qt" -j"$jobs" >"$cache/qt-build.log" ||
        { tail -n 40 "$cache/qt-build.log" >&2; exit 1; }
    cmake --install "$cache/build/qt" >/dev/null
    touch "$s"
}

# Names on the command line build only those (zlib first when missing).
[ $# -gt 0 ] || set -- zlib curl googletest qt
for name in "$@"; do
    case $name in
        zlib | curl | googletest | qt) ;;
        *) echo "unknown dependency: $name" >&2; exit 2 ;;
    esac
done
build_zlib
for name in "$@"; do
    [ "$name" = zlib ] || "build_$name"
done
log "done: $prefix"
