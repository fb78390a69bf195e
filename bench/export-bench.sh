#!/usr/bin/env bash
# Times kestrune-cli exporting 100 pages from the sample forum against the
# curl/grep/sed pipeline doing the same by hand, then the CPU share of an
# export that pauses a second between pages. Builds nothing.
# Usage: bench/export-bench.sh [BUILD_DIR]   (default build; REPS=5 runs each)
# Needs: python3 (timing), curl and iconv (the pipeline).
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build_dir="$(cd "${1:-${here}/../build}" && pwd)"
reps="${REPS:-5}"
cli="${build_dir}/app/kestrune-cli"
forum="${build_dir}/tools/sampleforum/kestrune-sample-forum"
for tool in "${cli}" "${forum}"; do
    [[ -x "${tool}" ]] || { echo "missing ${tool}: build it first" >&2; exit 2; }
done
for tool in curl iconv python3; do
    command -v "${tool}" >/dev/null || { echo "missing ${tool}" >&2; exit 2; }
done

work="$(mktemp -d)"
trap 'rm -rf "${work}"' EXIT

# shellcheck source=scripts/sample-forum.sh
source "${here}/../scripts/sample-forum.sh"
start_sample_forum "${forum}"
host="${sample_forum_host}"

# Runs a command in a fresh directory and prints "wall cpu maxrss_kib" of it
# and everything it started; millisecond precision, which /usr/bin/time lacks.
timed() {
    local dir="${work}/run"
    rm -rf "${dir}" && mkdir -p "${dir}"
    (cd "${dir}" && python3 -c '
import resource, subprocess, sys, time
start = time.perf_counter()
code = subprocess.run(sys.argv[1:], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode
wall = time.perf_counter() - start
usage = resource.getrusage(resource.RUSAGE_CHILDREN)
print(f"{wall:.4f} {usage.ru_utime + usage.ru_stime:.4f} {usage.ru_maxrss}")
sys.exit(code)' "$@")
}

# measure COUNT COMMAND...: median wall and CPU over COUNT runs, largest RSS.
measure() {
    local count="$1" samples="${work}/samples"
    shift
    : >"${samples}"
    for _ in $(seq "${count}"); do
        timed "$@" >>"${samples}" || { echo "failed: $*" >&2; exit 1; }
    done
    python3 -c '
import statistics, sys
rows = [list(map(float, line.split())) for line in open(sys.argv[1])]
print(statistics.median(r[0] for r in rows), statistics.median(r[1] for r in rows),
      max(r[2] for r in rows))' "${samples}"
}

names_of() { # the name column of a results file, in UTF-8
    iconv -f GBK -t UTF-8 "$1" | sed -E "$2"
}

read -r cli_wall cli_cpu cli_rss < <(measure "${reps}" "${cli}" --host "${host}" --from 1 \
    --to 2000 --delay 0)
cp "${work}/run/jieguo.txt" "${work}/cli.txt"
read -r pipe_wall pipe_cpu pipe_rss < <(measure "${reps}" "${here}/curl-pipeline.sh" "${host}" \
    100 out.txt)
cp "${work}/run/out.txt" "${work}/pipe.txt"

cli_lines="$(wc -l <"${work}/cli.txt")"
pipe_lines="$(wc -l <"${work}/pipe.txt")"
same="no"
if [[ "${cli_lines}" -gt 0 ]] &&
    cmp -s <(names_of "${work}/cli.txt" 's/^ *-?[0-9]+ +//; s/ +[^ ]*\r$//') \
        <(names_of "${work}/pipe.txt" 's/^[0-9]+ //; s/\t.*$//'); then
    same="yes"
fi

read -r paced_wall paced_cpu _ < <(measure 1 "${cli}" --host "${host}" --from 1 --to 100 \
    --delay 10)

python3 - "$cli_wall" "$cli_cpu" "$cli_rss" "$pipe_wall" "$pipe_cpu" "$pipe_rss" \
    "$cli_lines" "$pipe_lines" "$same" "$paced_wall" "$paced_cpu" "$reps" <<'EOF_PY'
import sys
(cw, cc, cr, pw, pc, pr, cl, pl, same, dw, dc, reps) = sys.argv[1:]
cw, cc, pw, pc, dw, dc = map(float, (cw, cc, pw, pc, dw, dc))
print(f"100-page export (ranks 1-2000, delay 0), median of {reps} runs;"
      " the sample forum's own CPU is not counted\n")
print("| run | wall (s) | CPU user+sys (s) | peak RSS (MiB) | lines |")
print("|---|---:|---:|---:|---:|")
print(f"| kestrune-cli | {cw:.3f} | {cc:.3f} | {float(cr) / 1024:.1f} | {cl} |")
print(f"| curl + iconv/grep/sed pipeline | {pw:.3f} | {pc:.3f} | {float(pr) / 1024:.1f} | {pl} |")
print(f"| pipeline / kestrune-cli | {pw / cw:.1f}x | {pc / cc:.1f}x | | |")
print(f"\nSame names in the same order: {same}")
print(f"\n5-page export, delay 10 (1 s pauses): wall {dw:.2f} s, CPU {dc:.3f} s, "
      f"CPU share {100 * dc / dw:.2f} % of wall")
EOF_PY
