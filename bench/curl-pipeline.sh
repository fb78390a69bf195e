#!/usr/bin/env bash
# The export done by hand, as the peer to time kestrune-cli against: fetch
# each ranking page with curl, cut names and levels out with grep and sed and
# number them into a code page 936 file.
# Usage: bench/curl-pipeline.sh HOST:PORT [PAGES] [OUTPUT]   (defaults 100, jieguo-curl.txt)
set -euo pipefail

host="$1"
pages="${2:-100}"
output="${3:-jieguo-curl.txt}"

for page in $(seq 1 "${pages}"); do
    curl -sf "http://${host}/f/like/furank?kw=Henu&pn=${page}"
done |
    iconv -f GBK -t UTF-8 |
    grep -oE 'username=[^>]*>[^<]*<|l_item_ex[^>]*>[^<]*<' |
    sed -E 's/^[^>]*>//; s/<$//' |
    paste - - |
    nl -w1 -s ' ' |
    sed 's/$/\r/' |
    iconv -f UTF-8 -t GBK >"${output}"
