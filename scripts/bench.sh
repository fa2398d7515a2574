#!/usr/bin/env bash
# Prints the start-up figures of the shipping 32-bit exe and of the 64-bit
# build side by side, against Wine's own "uninstaller --list", with 0 to
# 10,000 other uninstall entries; then how long the look for programs that
# hold a product's files takes, with 0 and 150 other processes running. It uses a Wine session of its own (a WoW64
# prefix, as 64-bit Windows is) under build/bench, so it never disturbs the tests.
# On a machine that cannot run 32-bit x86 code (tests/wine/x86-32.sh;
# UZ_NO_X86_32=1 tries it anywhere) it says why and prints the 64-bit figures only.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
answer=$(tests/wine/x86-32.sh) || true
export UZ_X86_32=$answer
exe32=build/win32/UninstallZolt.exe bare32=build/win32-tests/uz-warmup.exe
if [ "$answer" = yes ]; then
  cmake --preset win32 >/dev/null
  cmake --build --preset win32
  cmake --preset win32-tests >/dev/null
  cmake --build --preset win32-tests --target uz-warmup
else
  echo "bench: the 64-bit figures only: this machine cannot run 32-bit x86 code (${answer#no: }),"
  echo "bench: so the shipping 32-bit exe is not run"
  exe32=- bare32=-
fi
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target UninstallZolt uz-bench uz-warmup uz-holder-bench uz-holder uz-holder-lib
mkdir -p build/bench
session=build/bench/wine
mkdir -p "$session"
trap 'tests/wine/wine-session.sh down "$session" >/dev/null 2>&1 || true' EXIT
UZ_WARMUP_EXE=$PWD/build/win64/uz-warmup.exe tests/wine/wine-session.sh up "$session"
tests/wine/wine-run.sh "$session" build/win64/uz-bench.exe "$exe32" build/win64/UninstallZolt.exe \
  "$bare32" build/win64/uz-warmup.exe
echo
tests/wine/wine-run.sh "$session" build/win64/uz-holder-bench.exe build/win64/tests/uz-holder.exe
