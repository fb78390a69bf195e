#!/usr/bin/env bash
# Sets everything up, starts the bundled sample forum on 127.0.0.1 and opens
# the window against it, working in ./demo. Without a display it runs the same
# export from the command line instead.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh

mkdir -p demo
forum_log=$(mktemp)
build/tools/sampleforum/kestrune-sample-forum --port 0 >"$forum_log" &
forum_pid=$!
trap 'kill $forum_pid 2>/dev/null; rm -f "$forum_log"' EXIT
for _ in $(seq 50); do
    grep -q listening "$forum_log" && break
    sleep 0.1
done
host=$(sed -n 's/^listening on //p' "$forum_log")
echo "sample forum on $host; results go to $(pwd)/demo/jieguo.txt"

cd demo
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    ../build/app/gui/kestrune --host "$host"
else
    echo "no display: exporting from the command line instead"
    ../build/app/kestrune-cli --host "$host" --forum Henu --from 1 --to 2000 --delay 0
fi
