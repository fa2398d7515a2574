#!/usr/bin/env bash
# Builds the shipping 32-bit exe, the tests for i686 and for x86-64, and the
# Linux builds of the parsing code; checks the product sources statically;
# runs the logic tests natively under ASan and UBSan, then the whole Wine
# suite twice: first built for i686 against the shipping exe in a WoW64
# prefix, as users run it, then the 64-bit build (which guards pointer
# width); then each fuzz target for a bounded time (scripts/fuzz.sh). Extra
# arguments go to both Wine runs' ctest (e.g. -R window, -j2).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

# The test fixture stops the Wine session, but not if the build or ctest dies
# first; this keeps a failed run from leaving Xvfb and wineserver behind.
trap 'for tree in win32-tests win64; do tests/wine/wine-session.sh down build/$tree/wine >/dev/null 2>&1 || true; done' EXIT

for preset in win32 win32-tests win64 native fuzz; do
  cmake --preset "$preset"
  cmake --build --preset "$preset"
done
bash scripts/analyse.sh
ctest --preset native
# Both Wine runs report, even when the first fails.
wine_status=0
ctest --preset win32-tests --output-on-failure "$@" || wine_status=$?
ctest --preset win64 --output-on-failure "$@" || wine_status=$?
[ "$wine_status" -eq 0 ] || exit "$wine_status"
bash scripts/fuzz.sh
