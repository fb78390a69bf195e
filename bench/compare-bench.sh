#!/usr/bin/env bash
# CPU, wall time and peak memory of `kestrune-cli --compare OLDER NEWER --table
# OUT` on two generated tables of a million members each (bench_compare_tables,
# the generator of bench_compare). Builds nothing.
# Usage: bench/compare-bench.sh [BUILD_DIR]   (default build-bench; MEMBERS=1000000,
#        REPS=3 runs, each reported, then the medians and the largest peak)
# Needs: /usr/bin/time, or python3 (getrusage) without it.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build_dir="$(cd "${1:-${here}/../build-bench}" && pwd)"
members="${MEMBERS:-1000000}"
reps="${REPS:-3}"
cli="${build_dir}/app/kestrune-cli"
tables="${build_dir}/bench/bench_compare_tables"
for tool in "${cli}" "${tables}"; do
    [[ -x "${tool}" ]] || { echo "missing ${tool}: build the bench preset first" >&2; exit 2; }
done

work="$(mktemp -d)"
trap 'rm -rf "${work}"' EXIT
"${tables}" "${work}" "${members}"

# timed COMMAND...: "cpu wall maxrss_kib" of one run, its output in work/out.
timed() {
    if [[ -x /usr/bin/time ]]; then
        /usr/bin/time -v -o "${work}/time" "$@" >"${work}/out" 2>&1 || return 1
        awk -F': ' '
            /User time/ { user = $2 } /System time/ { sys = $2 }
            /Elapsed \(wall clock\)/ { n = split($NF, p, ":"); wall = 0
                for (i = 1; i <= n; ++i) wall = wall * 60 + p[i] }
            /Maximum resident set size/ { rss = $2 }
            END { printf "%.2f %.2f %d\n", user + sys, wall, rss }' "${work}/time"
    else
        python3 -c '
import resource, subprocess, sys, time
start = time.perf_counter()
with open(sys.argv[1], "w") as out:
    code = subprocess.run(sys.argv[2:], stdout=out, stderr=subprocess.STDOUT).returncode
wall = time.perf_counter() - start
usage = resource.getrusage(resource.RUSAGE_CHILDREN)
print(f"{usage.ru_utime + usage.ru_stime:.2f} {wall:.2f} {usage.ru_maxrss}")
sys.exit(code)' "${work}/out" "$@"
    fi
}

printf 'older.csv %s bytes, newer.csv %s bytes, %s members each\n\n' \
    "$(stat -c %s "${work}/older.csv")" "$(stat -c %s "${work}/newer.csv")" "${members}"
printf '%-6s %14s %9s %14s\n' run "CPU u+s (s)" "wall (s)" "peak RSS (MiB)"
: >"${work}/samples"
for run in $(seq "${reps}"); do
    rm -f "${work}/comparison.csv"
    if ! timed "${cli}" --compare "${work}/older.csv" "${work}/newer.csv" \
        --table "${work}/comparison.csv" >"${work}/sample"; then
        cat "${work}/out" >&2
        echo "kestrune-cli --compare failed" >&2
        exit 1
    fi
    read -r cpu wall rss <"${work}/sample"
    echo "${cpu} ${wall} ${rss}" >>"${work}/samples"
    printf '%-6s %14s %9s %14s\n' "${run}" "${cpu}" "${wall}" \
        "$(awk "BEGIN { printf \"%.1f\", ${rss} / 1024 }")"
done
# median COLUMN: the middle value of a column of the samples.
median() {
    awk -v c="$1" '{ print $c }' "${work}/samples" | sort -n |
        awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}
peak="$(awk '$3 > m { m = $3 } END { printf "%.1f", m / 1024 }' "${work}/samples")"
printf '%-6s %14s %9s %14s\n' median "$(median 1)" "$(median 2)" "${peak}"
echo "(the median's peak RSS is the largest of the runs)"
echo "comparison table: $(stat -c %s "${work}/comparison.csv") bytes"
echo
cat "${work}/out"
