#!/bin/sh
# Runs one Windows program under Wine in the build's own prefix, quietly.
# Used by wine-test-run.sh, and alone where a program's output is read as it comes; scripts/with-wine.sh
# keeps a wineserver up around test runs.
here=$(cd "$(dirname "$0")/.." && pwd)
: "${WINEPREFIX:=$here/build/windows/wineprefix}"
export WINEPREFIX
export WINEDEBUG=-all
exec wine "$@"
