#!/usr/bin/env bash
# Runs one fuzz target for a bounded time, from its committed seeds and what
# earlier runs in this build tree found:
#   run-target.sh <fuzzer> <seed-dir> <run-dir> [<dict>]
# <run-dir> holds the grown corpus (corpus/), the log (log), a line on how
# it went (summary) and, when a rule breaks or the sanitizers report, the
# input that did it (findings/); the run then fails. Findings stay there
# and are replayed by every later run.
set -euo pipefail

# Seconds each target runs: the one place this is set. 0 only replays what
# there is (seeds, grown corpus, findings).
seconds=${UZ_FUZZ_SECONDS:-60}

fuzzer=$1
seeds=$2
run=$3
dict=${4:-}
name=$(basename "$run")
mkdir -p "$run/corpus" "$run/findings"

args=(-timeout=10 -rss_limit_mb=2048 -max_len=4096 -print_final_stats=1 -artifact_prefix="$run/findings/")
if [ "$seconds" -gt 0 ]; then
  args+=(-max_total_time="$seconds")
else
  args+=(-runs=0)
fi
[ -n "$dict" ] && args+=(-dict="$dict")
# Earlier findings are replayed first, so a fault that is back fails at once.
dirs=("$run/corpus")
[ -d "$seeds" ] && dirs+=("$seeds")
[ -n "$(ls -A "$run/findings")" ] && dirs+=("$run/findings")

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:strict_string_checks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
symbolizer=$(command -v llvm-symbolizer-14 || command -v llvm-symbolizer || true)
[ -n "$symbolizer" ] && export ASAN_SYMBOLIZER_PATH=$symbolizer

if "$fuzzer" "${args[@]}" "${dirs[@]}" >"$run/log" 2>&1; then
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$run/log")
  took=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$run/log")
  corpus=$(find "$run/corpus" -type f | wc -l)
  echo "fuzz: $name: ${execs:-?} runs in ${took:-?} s, no finding; grown corpus $corpus inputs" | tee "$run/summary"
  exit 0
fi

tail -n 60 "$run/log"
{
  written=$(sed -n 's/.*Test unit written to \(.*\)$/\1/p' "$run/log" | tail -n 1)
  echo "fuzz: $name: FINDING, the input is ${written:-in $run/findings/}"
  echo "fuzz: replay it with: $fuzzer ${written:-$run/findings/<file>}"
} | tee "$run/summary"
exit 1
