#!/usr/bin/env bash
# Builds the shipping 32-bit exe, the tests for i686 and for x86-64, and the
# Linux builds of the parsing code; checks the product sources statically;
# runs the logic tests natively under ASan and UBSan, then the whole Wine
# suite twice: first built for i686 against the shipping exe in a WoW64
# prefix, as users run it, then the 64-bit build (which guards pointer
# width); then each fuzz target for a bounded time (scripts/fuzz.sh). Extra
# arguments go to both Wine runs' ctest (e.g. -R window, -j2).
#
# On a machine that cannot run 32-bit x86 code (tests/wine/x86-32.sh; set
# UZ_NO_X86_32=1 to try it anywhere) everything is still built and the
# shipping exe still checked where that needs no running (imports, size, PE
# header, resources, manifest), but the i686 suite cannot run: it says so at
# the start and at the end, and passes when all that ran passed.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

answer=$(tests/wine/x86-32.sh) || true
export UZ_X86_32=$answer
not_run=''
if [ "$answer" != yes ]; then
  not_run="test: the shipping 32-bit exe was not run: this machine cannot run 32-bit x86 code (${answer#no: })"
  echo "$not_run"
  echo "test: the i686 suite is built and statically checked; the Wine suite runs in its 64-bit build only"
fi

# The test fixture stops the Wine session, but not if the build or ctest dies
# first; this keeps a failed run from leaving Xvfb and wineserver behind.
finish() {
  for tree in win32-tests win64; do tests/wine/wine-session.sh down build/$tree/wine >/dev/null 2>&1 || true; done
  [ -z "$not_run" ] || echo "$not_run"
}
trap finish EXIT

for preset in win32 win32-tests win64 native fuzz; do
  cmake --preset "$preset"
  cmake --build --preset "$preset"
done
bash scripts/analyse.sh
ctest --preset native
# Both Wine runs report, even when the first fails.
wine_status=0
if [ -z "$not_run" ]; then
  ctest --preset win32-tests --output-on-failure "$@" || wine_status=$?
else
  # What of the i686 tree needs no Wine: the exes' imports, size and PE header.
  ctest --preset win32-tests --output-on-failure -LE wine "$@" || wine_status=$?
fi
ctest --preset win64 --output-on-failure "$@" || wine_status=$?
[ "$wine_status" -eq 0 ] || exit "$wine_status"
bash scripts/fuzz.sh
