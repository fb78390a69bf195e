#!/usr/bin/env bash
# Peak memory and time to the error message of kestrune-cli against each
# reply of bench/hostile-server.py. Builds nothing.
# Usage: bench/hostile-bench.sh [BUILD_DIR]   (default build)
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
cli="$(cd "${1:-${here}/../build}" && pwd)/app/kestrune-cli"
work="$(mktemp -d)"
server=""
trap '[[ -n "${server}" ]] && kill "${server}" 2>/dev/null; rm -rf "${work}"' EXIT
port=18936
printf '%-14s %10s %10s %s\n' reply "wall (s)" "peak MiB" "exit"
for mode in gzip-bomb deflate-bomb header-flood long-header; do
    python3 "${here}/hostile-server.py" "${mode}" "${port}" >"${work}/server.out" 2>&1 &
    server=$!
    for _ in $(seq 300); do grep -q ready "${work}/server.out" && break; sleep 0.1; done
    (cd "${work}" && /usr/bin/time -f '%e %M %x' -o "${work}/time" "${cli}" \
        --host "127.0.0.1:${port}" --to 20 --delay 0 >/dev/null 2>&1 || true)
    # The last line; a failing command adds one before it.
    read -r wall rss code < <(tail -n 1 "${work}/time")
    printf '%-14s %10s %10s %s\n' "${mode}" "${wall}" "$(awk "BEGIN { printf \"%.1f\", ${rss} / 1024 }")" "${code}"
    kill "${server}" 2>/dev/null || true
    wait "${server}" 2>/dev/null || true
    server=""
    port=$((port + 1))
done
