#!/bin/sh
# FL Studio's editor font as a TrueType file, for the editor's captures under Wine: the web font
# of the npm package @fontsource/cuprum (SIL Open Font License 1.1, from the lock file), turned
# into TrueType by Debian's fonttools. Writes node_modules/Cuprum.ttf here, once.
set -eu
cd "$(dirname "$0")"
if [ ! -f node_modules/.package-lock.json ] || [ package-lock.json -nt node_modules/.package-lock.json ]; then
    npm ci --no-audit --no-fund
fi
woff=node_modules/@fontsource/cuprum/files/cuprum-latin-400-normal.woff
if [ ! -f node_modules/Cuprum.ttf ] || [ "$woff" -nt node_modules/Cuprum.ttf ]; then
    # Debian's interpreter: the one that finds Debian's python3-fonttools.
    /usr/bin/python3 -c 'import sys
from fontTools.ttLib import TTFont
font = TTFont(sys.argv[1])
font.flavor = None
font.save(sys.argv[2])' "$woff" node_modules/Cuprum.ttf
fi
