#!/usr/bin/env bash
# Builds the shipping 32-bit exe and the 64-bit build with tests, then runs the
# tests under Wine. Extra arguments go to ctest (e.g. -R window, -j2).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

# The test fixture stops the Wine session, but not if the build or ctest dies
# first; this keeps a failed run from leaving Xvfb and wineserver behind.
trap 'tests/wine/wine-session.sh down build/win64/wine >/dev/null 2>&1 || true' EXIT

for preset in win32 win64; do
  cmake --preset "$preset"
  cmake --build --preset "$preset"
done
ctest --preset win64 --output-on-failure "$@"
