#!/bin/sh
# Runs every fuzz target of the fuzz build for a while each, from its seed corpus when it has
# one. Usage: run-fuzzers.sh SECONDS
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
dir=$root/build/fuzz/fuzz
status=0
for target in "$dir"/*_fuzz; do
    [ -x "$target" ] || continue
    name=$(basename "$target")
    corpus=$root/build/fuzz/corpus/$name
    mkdir -p "$corpus"
    seeds=$root/fuzz/corpus/$name
    echo "== $name: ${seconds}s"
    if [ -d "$seeds" ]; then
        "$target" -max_total_time="$seconds" -print_final_stats=1 "$corpus" "$seeds" >"$corpus.log" 2>&1 || status=1
    else
        "$target" -max_total_time="$seconds" -print_final_stats=1 "$corpus" >"$corpus.log" 2>&1 || status=1
    fi
    grep -E 'stat::number_of_executed_units|ERROR|SUMMARY' "$corpus.log" || true
done
if [ "$status" -ne 0 ]; then echo "a fuzz target failed; see build/fuzz/corpus/*.log"; fi
exit "$status"
