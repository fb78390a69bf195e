#!/usr/bin/env bash
# Sets everything up, starts the bundled sample forum on 127.0.0.1 and opens
# the window against it, working in ./demo. Without a display it runs the same
# export from the command line instead.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh

# shellcheck source=scripts/sample-forum.sh
source scripts/sample-forum.sh
forum=build/tools/sampleforum/kestrune-sample-forum
mkdir -p demo

# Exports of two earlier days, so that 比较两次导出… has tables to compare at
# once. Two exports in one second are still told apart: the later one's table
# takes the _2 name, which sorts after the first.
if ! compgen -G 'demo/Henu_[0-9]*-[0-9]*.csv' >/dev/null; then
    for day in 1 2; do
        start_sample_forum "$forum" --day "$day"
        echo "day $day of the sample forum: exporting ranks 1-2000 to compare with later"
        build/app/kestrune-cli --host "$sample_forum_host" --folder demo --forum Henu \
            --from 1 --to 2000 --delay 0
    done
fi

start_sample_forum "$forum" --day 3
host=$sample_forum_host
echo "sample forum on $host; results go to $(pwd)/demo/jieguo.txt"

cd demo
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    ../build/app/gui/kestrune --host "$host"
else
    echo "no display: exporting from the command line instead"
    ../build/app/kestrune-cli --host "$host" --forum Henu --from 1 --to 2000 --delay 0
fi
