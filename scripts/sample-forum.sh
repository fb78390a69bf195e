# shellcheck shell=bash
# Sourced by the scripts that export from the sample forum:
#   start_sample_forum PROGRAM [OPTIONS...]
# starts PROGRAM (build/tools/sampleforum/kestrune-sample-forum) on a free
# loopback port, waits until it listens and sets sample_forum_host
# (127.0.0.1:PORT) and sample_forum_pid. A forum started before is stopped
# first, so one script can serve several days in turn. The forum is stopped
# when the script exits, before the EXIT trap the script had set.

# The first line the forum prints says where it listens; reading it through a
# pipe waits exactly as long as the start takes.
start_sample_forum() {
    local program=$1 line=""
    shift
    stop_sample_forum
    exec {sample_forum_fd}< <(exec "$program" --port 0 "$@")
    sample_forum_pid=$!
    _sample_forum_stop_on_exit
    read -r -t 30 line <&"$sample_forum_fd" || true
    if [[ $line != "listening on "* ]]; then
        echo "sample forum did not start: $program $*" >&2
        return 1
    fi
    # shellcheck disable=SC2034 # for the scripts that source this
    sample_forum_host=${line#listening on }
}

stop_sample_forum() {
    [[ -n ${sample_forum_pid:-} ]] || return 0
    kill "$sample_forum_pid" 2>/dev/null || true
    wait "$sample_forum_pid" 2>/dev/null || true
    exec {sample_forum_fd}<&-
    sample_forum_pid=""
}

# `trap -p EXIT` prints the trap already set as: trap -- 'COMMAND' EXIT
_sample_forum_stop_on_exit() {
    local previous words
    previous=$(trap -p EXIT)
    eval "words=(${previous:-trap -- '' EXIT})"
    # Once is enough for forums started one after another.
    [[ ${words[2]} != "stop_sample_forum; "* ]] || return 0
    # shellcheck disable=SC2064 # the previous command is expanded now, on purpose
    trap "stop_sample_forum; ${words[2]}" EXIT
}
