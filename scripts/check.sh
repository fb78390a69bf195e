#!/usr/bin/env bash
# The quick developer loop: configure when needed, build, and run the tests
# not labelled slow (HTTPS, Windows-only). Installs nothing; see bootstrap.sh.
# Arguments go to ctest, e.g. scripts/check.sh -R tst_exporter
set -euo pipefail
cd "$(dirname "$0")/.."
[ -f build/CMakeCache.txt ] || cmake --preset default
cmake --build --preset default
ctest --preset default -LE slow -j"$(nproc)" "$@"
