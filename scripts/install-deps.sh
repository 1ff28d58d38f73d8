#!/bin/sh
# Installs the Debian packages the builds need, when some are missing, plus any named as
# arguments (the benchmarks' extras). As root it runs apt-get itself; otherwise it prints the
# command to run and fails.
set -eu
packages="cmake make g++ googletest libgtest-dev libgmock-dev libbenchmark-dev rapidjson-dev
  binutils g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64 xvfb xauth
  clang libclang-rt-14-dev pkg-config libcairo2-dev lilypond-fonts fonts-roboto-unhinted
  python3-fonttools nodejs chromium $*"
# Debian's nodejs comes without npm, which the browser test installs its packages with; a Node.js
# that already brings npm (NodeSource's, for one) is left as it is.
if ! command -v npm >/dev/null 2>&1; then
    packages="$packages npm"
fi
missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
done
# Then FL Studio's font Cuprum for the editor's captures under Wine (npm and fonttools).
cuprum() { sh "$(dirname "$0")/../tests/editor/fonts/install_cuprum.sh" || echo "Cuprum was not installed: the editor captures under Wine will ask again" >&2; }
[ -z "$missing" ] && { cuprum; exit 0; }
if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages:$missing" >&2
    echo "Run: sudo apt-get update && sudo apt-get install -y --no-install-recommends$missing" >&2
    exit 1
fi
echo "Installing:$missing"
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
# shellcheck disable=SC2086
apt-get install -y -q --no-install-recommends $missing
cuprum
