#!/usr/bin/env bash
# Sets everything up, builds, and runs the whole test suite: once in a normal
# build (whose Debian package is then built and checked), once under
# AddressSanitizer and UndefinedBehaviorSanitizer; then the scanner fuzzer for
# a minute; then the Windows build and every test again under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh
export QT_QPA_PLATFORM=offscreen
ctest --preset default -j"$(nproc)"
scripts/check-package.sh build

cmake --preset asan
cmake --build --preset asan
ctest --preset asan -j"$(nproc)"
tests/fuzz/run-fuzz.sh 60
scripts/run-windows-tests.sh
