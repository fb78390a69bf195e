#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's own scratch prefix, quietly.
# CMake uses it as the emulator for the Windows build's tests.
#   KESTRUNE_WINEPREFIX  Wine prefix (default: build-win/wineprefix in the tree)
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${KESTRUNE_WINEPREFIX:-$repo/build-win/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko download prompts; nothing here needs them.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
if [ ! -e "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    wineboot --init >/dev/null 2>&1 || true
    # Wine keeps QT_* variables to the Linux side, so the window tests' font
    # folder (Qt's offscreen platform draws with FreeType) goes in the registry.
    wine reg add 'HKCU\Environment' /v QT_QPA_FONTDIR /d 'Z:\usr\share\fonts\truetype\wqy' \
        /f >/dev/null 2>&1 || true
    wineserver --wait || true
fi
# The C runtime writes GoogleTest's list of tests with CR LF; CMake's test
# discovery reads it line by line and would keep the CR in every name.
for arg in "$@"; do
    if [ "$arg" = --gtest_list_tests ]; then
        wine "$@" | tr -d '\r'
        exit "${PIPESTATUS[0]}"
    fi
done
exec wine "$@"
