#!/bin/sh
# Runs a command with the Windows build's Wine prefix ready and one wineserver kept alive for
# its duration, so each Windows test process starts in milliseconds instead of seconds.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
WINEPREFIX=${WINEPREFIX:-$root/build/windows/wineprefix}
WINEDEBUG=-all
export WINEPREFIX WINEDEBUG
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    echo "Creating the Wine prefix (once) in $WINEPREFIX"
    wineboot --init >/dev/null 2>&1 || true
    wineserver -w
fi
wineserver -p
# Start Wine's background services now, detached from our output: started by the first test
# process instead, they would inherit its stdout and keep CTest waiting for it to close.
wineboot </dev/null >/dev/null 2>&1 || true
trap 'wineserver -k 2>/dev/null || true' EXIT INT TERM
"$@"
