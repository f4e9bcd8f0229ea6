#!/usr/bin/env bash
# Builds the fuzz targets and runs each for a fixed time; fails on a finding.
#   fuzz/run.sh SECONDS [TARGET...]     default: all targets, one after the other
# Each target starts from the seed corpus fuzz/corpus/<target>/ plus what
# earlier runs found (fuzz/corpus-work/<target>/, not kept in git). A crash,
# leak, UB report or timeout leaves its input in fuzz/corpus-work/funde/ and
# makes the script exit with status 1. Logs: fuzz/corpus-work/<target>.log.
set -euo pipefail
cd "$(dirname "$0")/.."

sekunden=${1:?usage: fuzz/run.sh SECONDS [TARGET...]}
shift
fuzz/build.sh build/fuzz >/dev/null

ziele=("$@")
if [ ${#ziele[@]} -eq 0 ]; then
  for t in fuzz/targets/*.cpp; do ziele+=("$(basename "$t" .cpp)"); done
fi

arbeit=fuzz/corpus-work
mkdir -p "$arbeit/funde"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:symbolize=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

fehler=()
for ziel in "${ziele[@]}"; do
  mkdir -p "$arbeit/$ziel"
  log="$arbeit/$ziel.log"
  echo "fuzz: $ziel for ${sekunden}s"
  if build/fuzz/"$ziel" "$arbeit/$ziel" "fuzz/corpus/$ziel" \
    -max_total_time="$sekunden" -timeout=10 -max_len=4096 -rss_limit_mb=2048 \
    -artifact_prefix="$arbeit/funde/$ziel-" -print_final_stats=1 >"$log" 2>&1; then
    # the last status line: executions, exec/s, corpus size
    grep -E '^#[0-9]+.*(DONE|pulse|NEW|REDUCE|INITED)' "$log" | tail -1 || true
    grep -E 'stat::(number_of_executed_units|average_exec_per_sec)' "$log" || true
  else
    echo "fuzz: FINDING in $ziel (see $log and $arbeit/funde/)"
    grep -E 'ERROR|SUMMARY|invariant|runtime error' "$log" | head -5 || true
    fehler+=("$ziel")
  fi
done
if [ ${#fehler[@]} -ne 0 ]; then
  echo "fuzz: findings in: ${fehler[*]}"
  exit 1
fi
echo "fuzz: no findings"
