#!/bin/sh
# Installs the browser test's npm packages from the lock file, when they are missing or older
# than the lock file.
set -eu
cd "$(dirname "$0")"
if [ ! -f node_modules/.package-lock.json ] || [ package-lock.json -nt node_modules/.package-lock.json ]; then
    npm ci --no-audit --no-fund
fi
