#!/bin/sh
# Runs one Windows test program under Wine (through wine-run.sh) and passes on what it printed.
# Used as CMAKE_CROSSCOMPILING_EMULATOR. On a loaded machine Wine now and then ends a program at
# its start, with a failing status and not a byte of output; such a start is tried again, up to
# three times, and said on stderr. A program that printed anything is never run again, so a test
# that fails stays failed.
here=$(cd "$(dirname "$0")" && pwd)
out=$(mktemp)
err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
for attempt in 1 2 3; do
    status=0
    "$here/wine-run.sh" "$@" >"$out" 2>"$err" || status=$?
    if [ "$status" -eq 0 ] || [ -s "$out" ] || [ -s "$err" ]; then break; fi
    echo "wine-test-run: $1 ended with status $status before any output (start $attempt of 3)" >&2
done
cat "$out"
cat "$err" >&2
exit "$status"
