#!/usr/bin/env bash
# Prints the start-up figures of the shipping 32-bit exe and of the 64-bit
# build side by side, against Wine's own "uninstaller --list", with 0 to
# 10,000 other uninstall entries. It uses a Wine session of its own (a WoW64
# prefix, as 64-bit Windows is) under build/bench, so it never disturbs the tests.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32
cmake --preset win32-tests >/dev/null
cmake --build --preset win32-tests --target uz-warmup
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target UninstallZolt uz-bench uz-warmup
mkdir -p build/bench
session=build/bench/wine
mkdir -p "$session"
trap 'tests/wine/wine-session.sh down "$session" >/dev/null 2>&1 || true' EXIT
UZ_WARMUP_EXE=$PWD/build/win64/uz-warmup.exe tests/wine/wine-session.sh up "$session"
tests/wine/wine-run.sh "$session" build/win64/uz-bench.exe build/win32/UninstallZolt.exe build/win64/UninstallZolt.exe \
  build/win32-tests/uz-warmup.exe build/win64/uz-warmup.exe
