#!/usr/bin/env bash
# Builds the fuzz targets of the parsing code (clang, libFuzzer, ASan, UBSan)
# and runs each for UZ_FUZZ_SECONDS seconds (the default is in
# fuzz/run-target.sh), two at a time, from the seeds in fuzz/corpus/ and
# what earlier runs in build/fuzz found. Extra arguments go to ctest, e.g.
#   UZ_FUZZ_SECONDS=3600 scripts/fuzz.sh -R file_list
# A finding fails the run; its input stays in build/fuzz/runs/<target>/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh >/dev/null

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
rm -f build/fuzz/runs/*/summary
status=0
ctest --preset fuzz -j "${UZ_FUZZ_JOBS:-2}" "$@" || status=$?
cat build/fuzz/runs/*/summary 2>/dev/null || true
exit $status
