#!/usr/bin/env bash
# clang-format check and clang-tidy over our sources (run after a build).
set -euo pipefail
cd "$(dirname "$0")/.."
files=$(git ls-files '*.cpp' '*.h')
clang-format --dry-run -Werror $files
run-clang-tidy -quiet -p build '^'"$(pwd)"'/(platform|tables|engine|startup|ui|app|tools|tests)/.*\.cpp$'
