#!/usr/bin/env bash
# Installs what the project needs on Debian 12 and builds it into ./build.
# Usage: scripts/bootstrap.sh [all|linux] [CMAKE-ARGS...]
#   linux   the Linux build and its tests, the sanitizer and fuzz builds,
#           scripts/lint.sh, the benchmarks and the Debian package check
#   all     those and what the Windows build, its Wine runs and its screenshot
#           add (mingw-w64, Wine, icoutils, locales, Xvfb); the default
# The remaining arguments go to `cmake --preset default`.
set -euo pipefail
cd "$(dirname "$0")/.."

linux=(build-essential cmake ninja-build qt6-base-dev libgtest-dev libbenchmark-dev
       zlib1g-dev libcurl4-openssl-dev clang libclang-rt-14-dev file curl fonts-wqy-microhei
       qt6-translations-l10n help2man lintian desktop-file-utils appstream man-db openssl
       clang-format clang-tidy)
windows=(g++-mingw-w64-x86-64-posix mingw-w64-tools qt6-base-dev-tools dpkg-dev wine wine64
         icoutils locales xvfb xauth)

packages=("${linux[@]}" "${windows[@]}")
case ${1:-} in
    linux) packages=("${linux[@]}"); shift ;;
    all) shift ;;
esac

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" ||
        missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"
fi

cmake --preset default "$@"
cmake --build --preset default
