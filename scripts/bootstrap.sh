#!/usr/bin/env bash
# Installs what the project needs on Debian 12 and builds it into ./build.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(build-essential cmake ninja-build qt6-base-dev libgtest-dev libbenchmark-dev
          zlib1g-dev libcurl4-openssl-dev clang libclang-rt-14-dev file curl xvfb xauth fonts-wqy-microhei
          qt6-translations-l10n help2man lintian desktop-file-utils appstream man-db openssl
          g++-mingw-w64-x86-64-posix mingw-w64-tools qt6-base-dev-tools dpkg-dev wine wine64
          icoutils locales)
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
