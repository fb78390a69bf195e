# Sourced by the benchmark scripts: start_sample_forum FORUM OUTFILE [ARGS...]
# starts the sample forum on a free loopback port and sets `server` (its pid)
# and `port`; the caller kills it.
start_sample_forum() {
    local forum="$1" out="$2"
    shift 2
    "${forum}" --port 0 "$@" >"${out}" 2>&1 &
    server=$!
    port=""
    for _ in $(seq 100); do
        port="$(sed -n 's/^listening on 127\.0\.0\.1:\([0-9]*\)$/\1/p' "${out}")"
        [[ -n "${port}" ]] && return 0
        sleep 0.05
    done
    echo "sample forum did not start" >&2
    return 1
}
