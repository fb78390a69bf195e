#!/usr/bin/env bash
# Builds the fuzz targets with clang in build-fuzz and runs fuzz_scanner for
# SECONDS (default 60) over a copy of the seed corpus, then fuzz_decoder for
# a third of that, fuzz_resume and fuzz_table each for a sixth. Exits non-zero
# on a finding; the crashing input is left in build-fuzz/findings.
set -euo pipefail

seconds="${1:-60}"
source_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build_dir="${source_dir}/build-fuzz"

(cd "${source_dir}" && cmake --preset fuzz >/dev/null &&
    cmake --build --preset fuzz --target fuzz_scanner fuzz_decoder fuzz_resume fuzz_table)

# The seeds stay as they are; what the fuzzer adds goes to a scratch copy.
corpus="${build_dir}/corpus"
findings="${build_dir}/findings"
rm -rf "${corpus}"
mkdir -p "${corpus}" "${findings}"
cp "${source_dir}/tests/fuzz/corpus/"* "${corpus}/"

# Inputs up to a little over a sample-forum page (11.4 KB).
"${build_dir}/tests/fuzz/fuzz_scanner" -max_total_time="${seconds}" -print_final_stats=1 \
    -max_len=12288 -dict="${source_dir}/tests/fuzz/scanner.dict" \
    -artifact_prefix="${findings}/" "${corpus}"

# Seeds: a small gzip page and a deflate one, each behind its two control bytes.
decoder_corpus="${build_dir}/decoder-corpus"
rm -rf "${decoder_corpus}"
mkdir -p "${decoder_corpus}"
printf '\x00\x07' >"${decoder_corpus}/gzip"
printf 'username="AAA" l_item_ex 5' | gzip -c >>"${decoder_corpus}/gzip"
printf '\x01\x03' >"${decoder_corpus}/deflate"
printf 'username="AAA" l_item_ex 5' | python3 -c 'import sys, zlib; sys.stdout.buffer.write(zlib.compress(sys.stdin.buffer.read()))' >>"${decoder_corpus}/deflate"
"${build_dir}/tests/fuzz/fuzz_decoder" -max_total_time="$((seconds / 3 + 1))" -print_final_stats=1 \
    -artifact_prefix="${findings}/" "${decoder_corpus}"

# Seed: a whole record.
resume_corpus="${build_dir}/resume-corpus"
rm -rf "${resume_corpus}"
mkdir -p "${resume_corpus}"
printf 'kestrune-resume 1\nforum=Henu\\n\nnext-rank=741\nto-rank=2000\ndelay=10\nnext-number=741\ntable=\nhost=127.0.0.1:8936\nretries=0\ntimeout=3\nresults-size=0\ntable-size=0\nend\n' >"${resume_corpus}/record"
"${build_dir}/tests/fuzz/fuzz_resume" -max_total_time="$((seconds / 6 + 1))" -print_final_stats=1 \
    -artifact_prefix="${findings}/" "${resume_corpus}"

# Seed: a small table with quoting and the formula guard.
table_corpus="${build_dir}/table-corpus"
rm -rf "${table_corpus}"
mkdir -p "${table_corpus}"
printf '\xEF\xBB\xBF名次,会员名,等级\r\n1,甲,5\r\n2,"a,""b""",4\r\n3,\x27=1+1,\r\n3,甲,x\r\n' >"${table_corpus}/table"
"${build_dir}/tests/fuzz/fuzz_table" -max_total_time="$((seconds / 6 + 1))" -print_final_stats=1 \
    -artifact_prefix="${findings}/" "${table_corpus}"
