#!/usr/bin/env bash
# Sets everything up, starts the bundled sample forum on 127.0.0.1 and opens
# the window against it, working in ./demo. Without a display it runs the same
# export from the command line instead.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh

# shellcheck source=scripts/sample-forum.sh
source scripts/sample-forum.sh
start_sample_forum build/tools/sampleforum/kestrune-sample-forum
host=$sample_forum_host
mkdir -p demo
echo "sample forum on $host; results go to $(pwd)/demo/jieguo.txt"

cd demo
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    ../build/app/gui/kestrune --host "$host"
else
    echo "no display: exporting from the command line instead"
    ../build/app/kestrune-cli --host "$host" --forum Henu --from 1 --to 2000 --delay 0
fi
