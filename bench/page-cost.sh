#!/usr/bin/env bash
# What one page of an export costs kestrune-cli: a 1,000-page export at delay
# 0 from the sample forum on loopback, less a 1-page export (start-up), over
# 999. CPU time (median of REPS runs, interleaved between builds), and when
# valgrind and strace are installed the instructions and system calls, which
# repeat from run to run on a busy machine where times do not. Given a second
# build directory, its figures stand beside the first and both must write the
# same bytes. The sample forum runs in its own process and is not counted.
# BASELINE_ARGS are given to the baseline's runs only: `BASELINE_ARGS=--no-table
# bench/page-cost.sh build build` prices the table in one build, side by side.
# Usage: bench/page-cost.sh BUILD_DIR [BASELINE_BUILD_DIR]   (REPS=5)
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
builds=("$(cd "${1:-${here}/../build}" && pwd)")
[[ $# -ge 2 ]] && builds=("$(cd "$2" && pwd)" "${builds[0]}")
reps="${REPS:-5}"
for build in "${builds[@]}"; do
    [[ -x "${build}/app/kestrune-cli" ]] || { echo "missing ${build}/app/kestrune-cli" >&2; exit 2; }
done
forum="${builds[-1]}/tools/sampleforum/kestrune-sample-forum"
[[ -x "${forum}" ]] || { echo "missing ${forum}" >&2; exit 2; }
command -v python3 >/dev/null || { echo "missing python3" >&2; exit 2; }

work="$(mktemp -d)"
trap 'rm -rf "${work}"' EXIT

# shellcheck source=scripts/sample-forum.sh
source "${here}/../scripts/sample-forum.sh"
start_sample_forum "${forum}" --members 20000

# run INDEX PAGES [WRAPPER...]: one export by build INDEX in a fresh directory.
run() {
    local index="$1" pages="$2" dir="${work}/run-$1"
    shift 2
    rm -rf "${dir}" && mkdir -p "${dir}"
    local extra=()
    [[ ${#builds[@]} -gt 1 && "${index}" == 0 && -n "${BASELINE_ARGS:-}" ]] &&
        read -r -a extra <<<"${BASELINE_ARGS}"
    (cd "${dir}" && "$@" "${builds[index]}/app/kestrune-cli" --host "${sample_forum_host}" \
        --from 1 --to "$((pages * 20))" --delay 0 "${extra[@]}" >/dev/null 2>&1)
}

# Writes the CPU seconds (user sys) of the command it runs to its first argument.
# What Python's own start-up ran is counted as children too, so it is taken off.
rusage='
import resource, subprocess, sys
b = resource.getrusage(resource.RUSAGE_CHILDREN)
subprocess.run(sys.argv[2:], check=True)
u = resource.getrusage(resource.RUSAGE_CHILDREN)
open(sys.argv[1], "w").write(f"{u.ru_utime - b.ru_utime} {u.ru_stime - b.ru_stime}")'

samples="${work}/samples"
: >"${samples}"
for _ in $(seq "${reps}"); do
    for index in "${!builds[@]}"; do
        for pages in 1 1000; do
            run "${index}" "${pages}" python3 -c "${rusage}" "${work}/cpu"
            echo "${index} ${pages} $(cat "${work}/cpu")" >>"${samples}"
        done
    done
done
# The last run of each build was the 1,000-page one.
same="yes"
cmp -s "${work}/run-0/jieguo.txt" "${work}/run-$((${#builds[@]} - 1))/jieguo.txt" || same="NO"

counts="${work}/counts"
: >"${counts}"
for index in "${!builds[@]}"; do
    for pages in 1 1000; do
        ir="-" calls="-"
        if command -v valgrind >/dev/null; then
            run "${index}" "${pages}" valgrind --tool=callgrind --callgrind-out-file=/dev/null \
                --log-file="${work}/callgrind.log"
            ir="$(sed -n 's/.*Collected : \([0-9]*\)/\1/p' "${work}/callgrind.log")"
        fi
        if command -v strace >/dev/null; then
            run "${index}" "${pages}" strace -f -c -o "${work}/strace.log"
            calls="$(awk '$NF == "total" { print $4 }' "${work}/strace.log")"
        fi
        echo "${index} ${pages} ${ir} ${calls}" >>"${counts}"
    done
done

labels=("${builds[@]}")
[[ ${#builds[@]} -gt 1 && -n "${BASELINE_ARGS:-}" ]] && labels[0]="${builds[0]} ${BASELINE_ARGS}"
python3 - "${samples}" "${counts}" "${same}" "${reps}" "${labels[@]}" <<'EOF_PY'
import statistics, sys
samples, counts, same, reps, builds = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4], sys.argv[5:]
cpu = {}
for line in open(samples):
    index, pages, user, system = line.split()
    cpu.setdefault((int(index), int(pages)), []).append((float(user), float(system)))
count = {}
for line in open(counts):
    index, pages, ir, calls = line.split()
    count[(int(index), int(pages))] = (ir, calls)

def per_page(index, pick):
    full = statistics.median(pick(s) for s in cpu[(index, 1000)])
    one = statistics.median(pick(s) for s in cpu[(index, 1)])
    return (full - one) / 999 * 1e3

def counted(index, which):
    full, one = count[(index, 1000)][which], count[(index, 1)][which]
    return "-" if "-" in (full, one) else f"{(int(full) - int(one)) / 999:,.0f}"

rows = [("CPU user+sys (ms)", lambda i: f"{per_page(i, lambda s: s[0] + s[1]):.3f}"),
        ("  user (ms)", lambda i: f"{per_page(i, lambda s: s[0]):.3f}"),
        ("  sys (ms)", lambda i: f"{per_page(i, lambda s: s[1]):.3f}"),
        ("instructions (callgrind)", lambda i: counted(i, 0)),
        ("system calls (strace)", lambda i: counted(i, 1)),
        ("start-up CPU, 1 page (ms)",
         lambda i: f"{statistics.median(s[0] + s[1] for s in cpu[(i, 1)]) * 1e3:.1f}")]
print(f"Per page of a 1,000-page export at delay 0 (ranks 1-20000), CPU medians of {reps} runs;"
      " the sample forum's own CPU is not counted\n")
print("| per page | " + " | ".join(builds) + " |")
print("|---|" + "---:|" * len(builds))
for label, value in rows:
    print(f"| {label} | " + " | ".join(value(i) for i in range(len(builds))) + " |")
if len(builds) > 1:
    print(f"\nSame jieguo.txt bytes from both: {same}")
EOF_PY
