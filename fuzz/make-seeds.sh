#!/usr/bin/env bash
# Makes the committed seed corpus (fuzz/corpus/) anew with uz-seeds, built by
# the native preset (gcc, so the catalogue's texts are GBK bytes).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset native >/dev/null
cmake --build --preset native --target uz-seeds
rm -rf fuzz/corpus
build/native/uz-seeds fuzz/corpus
find fuzz/corpus -type f | sort
