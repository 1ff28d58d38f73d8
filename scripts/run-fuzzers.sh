#!/bin/sh
# Runs every fuzz target of the fuzz build for a while each, from its seeds and with its
# dictionary when it has them (fuzz/corpus/<name>/, fuzz/<name>.dict, where the target is
# <name>_fuzz); what it finds beyond the seeds is kept in build/fuzz/corpus/<target>/.
# Usage: run-fuzzers.sh SECONDS
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
dir=$root/build/fuzz/fuzz
status=0
for target in "$dir"/*_fuzz; do
    [ -x "$target" ] || continue
    name=$(basename "$target")
    base=${name%_fuzz}
    corpus=$root/build/fuzz/corpus/$name
    mkdir -p "$corpus"
    # A failing input is written beside the log, not into the checkout.
    set -- -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$corpus-"
    [ -f "$root/fuzz/$base.dict" ] && set -- "$@" -dict="$root/fuzz/$base.dict"
    set -- "$@" "$corpus"
    [ -d "$root/fuzz/corpus/$base" ] && set -- "$@" "$root/fuzz/corpus/$base"
    echo "== $name: ${seconds}s"
    if ! "$target" "$@" >"$corpus.log" 2>&1; then
        status=1
        tail -40 "$corpus.log"
    fi
    grep -E 'stat::number_of_executed_units' "$corpus.log" || true
done
[ "$status" -eq 0 ] || echo "a fuzz target failed; its log and the failing input are in build/fuzz/corpus/"
exit "$status"
