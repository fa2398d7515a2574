#!/usr/bin/env bash
# Builds the shipping 32-bit exe, the 64-bit build with tests and the Linux
# builds of the parsing code; checks the product sources statically; runs
# the logic tests natively under ASan and UBSan, all tests under Wine, and
# each fuzz target for a bounded time (scripts/fuzz.sh). Extra arguments go
# to the Wine tests' ctest (e.g. -R window, -j2).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

# The test fixture stops the Wine session, but not if the build or ctest dies
# first; this keeps a failed run from leaving Xvfb and wineserver behind.
trap 'tests/wine/wine-session.sh down build/win64/wine >/dev/null 2>&1 || true' EXIT

for preset in win32 win64 native fuzz; do
  cmake --preset "$preset"
  cmake --build --preset "$preset"
done
bash scripts/analyse.sh
ctest --preset native
ctest --preset win64 --output-on-failure "$@"
bash scripts/fuzz.sh
