#!/usr/bin/env bash
# Runs every libFuzzer harness for a short while, each on its own seed corpus.
set -euo pipefail
dir=$1
seconds=${2:-20}
top=$(cd "$(dirname "$0")/.." && pwd)
status=0
for harness in "$dir"/fuzz_*; do
    [ -x "$harness" ] || continue
    name=$(basename "$harness")
    corpus=$(mktemp -d)
    seeds="$top/fuzz/seeds/${name#fuzz_}"
    [ -d "$seeds" ] && cp -r "$seeds"/. "$corpus"/
    echo "== $name (${seconds}s)"
    if ! TMPDIR="$corpus" "$harness" -max_total_time="$seconds" -rss_limit_mb=2048 -max_len=65536 \
            -print_final_stats=1 "$corpus" 2>"$corpus.log"; then
        tail -50 "$corpus.log"
        status=1
    else
        grep -E 'stat::number_of_executed_units|Done' "$corpus.log" | tail -2
    fi
    rm -rf "$corpus" "$corpus.log"
done
exit $status
